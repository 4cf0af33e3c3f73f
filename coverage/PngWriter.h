// A minimal PNG encoder (8-bit RGB, zlib-deflated), so that the core can
// write images without a GUI toolkit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrova {

// rgb holds width x height pixels, row by row from the top, three bytes a
// pixel. The PNG file's bytes, empty when compression fails.
std::string EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb);

} // namespace kestrova
