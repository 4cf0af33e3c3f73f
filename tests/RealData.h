// Where the tests find the real SRTM3 tiles: $KESTROVA_DATA/srtm3/ (CTest
// sets it; ../shared/data otherwise), and for the demo tile's cell n51w002
// the copy the build unpacks from data/n51w002.hgt.zip when that folder
// lacks it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace kestrova::test {

// The tile directory with a trailing '/', or "" when the tile is missing.
inline std::string RealTileDirectory(const char* tile = "n51w002.hgt") {
    const char* data = std::getenv("KESTROVA_DATA");
    const std::string tiles = std::string(data && *data ? data : "../shared/data") + "/srtm3/";
    if (std::filesystem::exists(tiles + tile)) return tiles;
#ifdef KESTROVA_DEMO_TILES
    if (std::filesystem::exists(std::string(KESTROVA_DEMO_TILES) + tile))
        return KESTROVA_DEMO_TILES;
#endif
    return {};
}

} // namespace kestrova::test
