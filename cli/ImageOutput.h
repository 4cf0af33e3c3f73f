// Images written by the command-line tool: encoded through QImage (JPEG or
// BMP for a name ending in .jpg/.jpeg or .bmp, PNG otherwise), then the
// safe write of FileOutput.h.
#pragma once

#include <string>

class QImage;

namespace kestrova::cli {

// Throws InputError naming the file when the image cannot be encoded or
// written.
void WriteImage(const std::string& path, const QImage& image);

} // namespace kestrova::cli
