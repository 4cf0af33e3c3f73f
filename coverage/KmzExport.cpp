#include "coverage/KmzExport.h"

#include "coverage/ZipFiles.h"
#include "files/SafeWrite.h"

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <sstream>

namespace kestrova {
namespace {

bool WriteText(const QString& path, const std::string& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(text.data(), static_cast<qint64>(text.size())) ==
               static_cast<qint64>(text.size()) &&
           file.flush();
}

// The icon the program carries (a resource of this library).
bool WriteIcon(const QString& path) {
    QFile icon(QStringLiteral(":/coverage/Triangle.png"));
    if (!icon.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = icon.readAll();
    return !bytes.isEmpty() && WriteText(path, bytes.toStdString());
}

// The three working files in directory, or what failed.
std::string WriteWorkingFiles(const QString& directory, const std::string& document,
                              const QImage& image, const char* imageName, const char* format) {
    const QString dir = directory + QLatin1Char('/');
    if (!WriteText(dir + QLatin1String(kmlDocumentName), document))
        return std::string("could not write ") + kmlDocumentName;
    if (image.isNull() || !image.save(dir + QLatin1String(imageName), format))
        return std::string("could not write ") + imageName;
    if (!WriteIcon(dir + QLatin1String(kmlIconName)))
        return std::string("could not write ") + kmlIconName;
    return {};
}

std::string Pack(const std::string& archive, const std::string& document, const QImage& image,
                 const char* imageName, const char* format) {
    const QTemporaryDir work;
    if (!work.isValid())
        return "could not write \"" + archive + "\": " + work.errorString().toStdString();
    const std::string error = WriteWorkingFiles(work.path(), document, image, imageName, format);
    if (!error.empty()) return "could not write \"" + archive + "\": " + error;
    return WriteFileThrough(
               archive,
               [&](const std::string& temporary) {
                   std::ostringstream diagnostics;
                   if (ZipFiles(temporary, work.path().toStdString(),
                                {kmlDocumentName, imageName, kmlIconName}, diagnostics) != 0) {
                       std::string message = diagnostics.str();
                       while (!message.empty() && message.back() == '\n')
                           message.pop_back();
                       return message.empty() ? std::string("packing failed") : message;
                   }
                   return std::string();
               })
        .message;
}

} // namespace

std::string ExportKMZ(const std::string& archive, const QImage& image, const KmlOverlay& overlay) {
    return Pack(archive, KmlDocument(overlay), image, kmlImageName, "JPG");
}

QImage BestServerImage(const BestServer& composite, const std::vector<unsigned int>& colours,
                       double minFs) {
    const int n = composite.Area().n;
    QImage image(n, n, QImage::Format_ARGB32);
    const double least = std::floor(100.0 * minFs + 0.5);
    for (int i = 0; i < n; ++i) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(i));
        for (int j = 0; j < n; ++j) {
            const unsigned server = composite.ServerAt(i, j);
            const bool shown =
                server > 0 && server <= colours.size() && composite.StrongestAt(i, j) >= least;
            line[j] = shown ? (0xFF000000u | colours[server - 1]) : 0u;
        }
    }
    return image;
}

std::string ExportBestServerKMZ(const std::string& archive, const QImage& image,
                                const KmlOverlay& box, const std::vector<KmlSite>& sites) {
    return Pack(archive, BestServerKmlDocument(box, sites), image, kmlBestServerImageName, "PNG");
}

} // namespace kestrova
