#include "terrain/SRTMTile.h"

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
        samples = library ? library->Get(directory, name) : ReadTile(directory, name);
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

// GetHeight selects sample trunc(|latMin - lat| / latStep) from the south
// edge: inside the cell that is the whole part of t = (lat - latMin) K, K
// the samples per degree, except that rounding (of the difference, of the
// division, and of latStep = 1 / K itself) can move t by up to about
// 1e-12 sample. A position whose t lies farther than its error (latErr K)
// plus kEdgeCushion from the nearest whole number therefore reads the same
// sample by either formula, as does every position within its bounds; the
// same holds for the column. Near an edge the caller asks GetHeight with
// the exact position.
bool CSRTMTILE::TryHeight(double lat, double lon, double latErr, double lonErr,
                          short& height) const {
    constexpr double kEdgeCushion = 1e-9; // samples
    if (!Covers(lat, lon)) return false;
    // Inside the cell t and u lie in 0..K, so truncation is the floor.
    const double K = rows - 1;
    const double t = (lat - latMin) * K;
    const double u = (lon - lonMin) * K;
    const auto r = static_cast<int>(t);
    const auto c = static_cast<int>(u);
    const double tFraction = t - r;
    const double uFraction = u - c;
    const double mLat = latErr * K + kEdgeCushion;
    const double mLon = lonErr * K + kEdgeCushion;
    if (!(tFraction > mLat && tFraction < 1.0 - mLat && uFraction > mLon && uFraction < 1.0 - mLon))
        return false;
    // Away from the edges r and c are below K: the cell's own samples.
    const int row = rows - 1 - r;
    height = Classify(samples->heights[static_cast<std::size_t>(row) * cols + c]);
    return true;
}

short CSRTMTILE::Classify(int sample) const {
    if (sample <= -32767) return static_cast<short>(voidValue);
    if (sample < -150) return static_cast<short>(noDataValue);
    return static_cast<short>(sample);
}

} // namespace kestrova
