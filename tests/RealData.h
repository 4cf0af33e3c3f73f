// Where the tests find the real SRTM3 tiles: $KESTROVA_DATA/srtm3/ (CTest
// sets it; ../shared/data otherwise).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace kestrova::test {

// The tile directory with a trailing '/', or "" when the tile is missing.
inline std::string RealTileDirectory(const char* tile = "n51w002.hgt") {
    const char* data = std::getenv("KESTROVA_DATA");
    const std::string tiles = std::string(data ? data : "../shared/data") + "/srtm3/";
    return std::filesystem::exists(tiles + tile) ? tiles : std::string();
}

} // namespace kestrova::test
