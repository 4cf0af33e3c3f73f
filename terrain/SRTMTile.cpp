#include "terrain/SRTMTile.h"

#include "terrain/TerrainSources.h"
#include "terrain/TileLibrary.h"

#include <cmath>
#include <cstdio>
#include <exception>

namespace kestrova {

CSRTMTILE::CSRTMTILE() {
    Init();
}

void CSRTMTILE::Init() {
    rows = cols = kTileSize3;
    latStep = lonStep = 1.0 / 1200.0;
    noDataValue = 0;
    voidValue = -32767;
    ClearBounds();
    samples.reset();
    scoreStep = 100;
}

void CSRTMTILE::ClearBounds() {
    latMin = latMax = lonMin = lonMax = 0;
    score = 0;
    loaded = false;
}

bool CSRTMTILE::Load(double lat, double lon) {
    Init();
    const std::string name = MakeName(lat, lon);
    loaded = ReadFile(name, "hgt");
    return loaded;
}

std::string CSRTMTILE::MakeName(double lat, double lon) {
    latMin = std::floor(lat);
    latMax = latMin + 1;
    lonMin = std::floor(lon);
    lonMax = lonMin + 1;
    if (!(std::fabs(latMin) <= 90 && std::fabs(lonMin) <= 180)) return {};
    char name[32];
    std::snprintf(name, sizeof name, "%c%02d%c%03d", latMin >= 0 ? 'n' : 's',
                  static_cast<int>(std::fabs(latMin)), lonMin >= 0 ? 'e' : 'w',
                  static_cast<int>(std::fabs(lonMin)));
    return name;
}

bool CSRTMTILE::ReadFile(const std::string& name, const std::string& extension) {
    if (name.empty() || extension != "hgt") return false;
    try {
        samples = library ? library->Get(directory, name, latMin, lonMin)
                          : ReadCell(directory, name, latMin, lonMin).samples;
    } catch (const std::exception&) { // out of memory: the tile stays unloaded
        samples.reset();
    }
    if (!samples) return false;
    rows = cols = samples->size;
    latStep = lonStep = 1.0 / (samples->size - 1);
    return true;
}

bool CSRTMTILE::Contains(double lat, double lon) {
    if (Covers(lat, lon)) {
        if (++score > kScoreLimit) score -= scoreStep;
        return true;
    }
    if (--score <= -kScoreLimit) score += scoreStep;
    return false;
}

void CSRTMTILE::AddUses(int uses) {
    score += uses;
    while (score > kScoreLimit)
        score -= scoreStep;
}

short CSRTMTILE::GetHeight(double lat, double lon) const {
    if (!loaded) return static_cast<short>(noDataValue);
    // The sample at or south-west of the position; checked as a double so
    // that a position far outside the cell (or NaN) never overflows an int.
    const double r = std::trunc(std::fabs(latMin - lat) / latStep);
    const double c = std::trunc(std::fabs(lonMin - lon) / lonStep);
    if (!(r >= 0 && r < rows && c >= 0 && c < cols)) return static_cast<short>(noDataValue);
    const int row = rows - 1 - static_cast<int>(r);
    const int col = static_cast<int>(c);
    return Classify(samples->heights[static_cast<std::size_t>(row) * cols + col]);
}

short CSRTMTILE::GetNodeHeight(double latIndex, double lonIndex) const {
    if (!loaded) return static_cast<short>(noDataValue);
    const double r = latIndex - latMin * (rows - 1);
    const double c = lonIndex - lonMin * (cols - 1);
    if (!(r >= 0 && r < rows && c >= 0 && c < cols)) return static_cast<short>(noDataValue);
    const int row = rows - 1 - static_cast<int>(r);
    const int col = static_cast<int>(c);
    return Classify(samples->heights[static_cast<std::size_t>(row) * cols + col]);
}

} // namespace kestrova
