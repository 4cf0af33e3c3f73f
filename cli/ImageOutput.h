// Images written by the command-line tool: PNG through QImage, then the
// safe write of FileOutput.h.
#pragma once

#include <string>

class QImage;

namespace kestrova::cli {

// Throws InputError naming the file when the image cannot be encoded or
// written.
void WritePng(const std::string& path, const QImage& image);

} // namespace kestrova::cli
