#include "cli/ImageOutput.h"

#include "cli/Args.h"
#include "cli/FileOutput.h"

#include <QBuffer>
#include <QImage>

namespace kestrova::cli {

void WritePng(const std::string& path, const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        throw InputError("could not encode the image for \"" + path + "\"");
    WriteFileSafely(path, bytes.toStdString());
}

} // namespace kestrova::cli
