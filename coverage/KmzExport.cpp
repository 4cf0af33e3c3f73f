#include "coverage/KmzExport.h"

#include "coverage/ZipFiles.h"
#include "files/SafeWrite.h"

#include <QFile>
#include <QTemporaryDir>

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

// doc.kml, KestrovaImage.jpg and Triangle.png in directory, or what failed.
std::string WriteWorkingFiles(const QString& directory, const QImage& image,
                              const KmlOverlay& overlay) {
    const QString dir = directory + QLatin1Char('/');
    if (!WriteText(dir + QLatin1String(kmlDocumentName), KmlDocument(overlay)))
        return std::string("could not write ") + kmlDocumentName;
    if (image.isNull() || !image.save(dir + QLatin1String(kmlImageName), "JPG"))
        return std::string("could not write ") + kmlImageName;
    if (!WriteIcon(dir + QLatin1String(kmlIconName)))
        return std::string("could not write ") + kmlIconName;
    return {};
}

} // namespace

std::string ExportKMZ(const std::string& archive, const QImage& image, const KmlOverlay& overlay) {
    const QTemporaryDir work;
    if (!work.isValid())
        return "could not write \"" + archive + "\": " + work.errorString().toStdString();
    const std::string error = WriteWorkingFiles(work.path(), image, overlay);
    if (!error.empty()) return "could not write \"" + archive + "\": " + error;
    return WriteFileThrough(
               archive,
               [&](const std::string& temporary) {
                   std::ostringstream diagnostics;
                   if (ZipFiles(temporary, work.path().toStdString(),
                                {kmlDocumentName, kmlImageName, kmlIconName}, diagnostics) != 0) {
                       std::string message = diagnostics.str();
                       while (!message.empty() && message.back() == '\n')
                           message.pop_back();
                       return message.empty() ? std::string("packing failed") : message;
                   }
                   return std::string();
               })
        .message;
}

} // namespace kestrova
