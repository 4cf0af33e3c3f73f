#include "cli/ImageOutput.h"

#include "cli/Args.h"
#include "cli/FileOutput.h"

#include <QBuffer>
#include <QImage>

#include <algorithm>
#include <cctype>

namespace kestrova::cli {
namespace {

const char* FormatFor(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    std::string suffix = dot == std::string::npos ? "" : path.substr(dot + 1);
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (suffix == "jpg" || suffix == "jpeg") return "JPG";
    if (suffix == "bmp") return "BMP";
    return "PNG";
}

} // namespace

void WriteImage(const std::string& path, const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) ||
        !image.save(&buffer, FormatFor(path)))
        throw InputError("could not encode the image for \"" + path + "\"");
    WriteFileSafely(path, bytes.toStdString());
}

} // namespace kestrova::cli
