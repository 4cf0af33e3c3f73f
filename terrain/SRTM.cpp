#include "terrain/SRTM.h"

#include "terrain/Position.h"

#include <cmath>
#include <new>

namespace kestrova {

namespace {
constexpr int kCellRows = 180;
constexpr int kCellCols = 360;
} // namespace

CSRTM::CSRTM(int count, std::string tileDirectory)
    : CSRTM(count, std::move(tileDirectory), std::make_shared<CTileLibrary>()) {}

CSRTM::CSRTM(int count, std::string tileDirectory, std::shared_ptr<CTileLibrary> shared)
    : tileCount(count), directory(std::move(tileDirectory)), library(std::move(shared)) {
    Init();
}

void CSRTM::Init() {
    name = "SRTM";
    rows = cols = kTileSize3;
    latStep = lonStep = 1.0 / 1200.0;
    noDataValue = 0;
    voidValue = -32767;
    maxHeight = minHeight = 0;
    area.reset();
    lastTile = -1;
    voidCellLat = voidCellLon = std::numeric_limits<double>::quiet_NaN();
    tiles.clear();
    available.clear();
    // Without tiles or flags every look-up gives voidValue.
    try {
        tiles.resize(static_cast<std::size_t>(tileCount > 0 ? tileCount : 0));
        for (CSRTMTILE& tile : tiles)
            tile.SetLibrary(library);
        available.assign(kCellRows * kCellCols, 1);
    } catch (const std::bad_alloc&) {
        tiles.clear();
        available.clear();
    }
}

int CSRTM::CellIndex(double lat, double lon) {
    if (!(lat >= -90.0 && lat < 90.0 && lon >= -180.0 && lon < 180.0)) return -1;
    // floor(lat) + 90 rather than floor(lat + 90): the sum can round up to
    // the next whole degree, naming a cell other than the tile's.
    const int row = static_cast<int>(std::floor(lat)) + 90;
    const int col = static_cast<int>(std::floor(lon)) + 180;
    return row * kCellCols + col;
}

bool CSRTM::IsAvailable(double lat, double lon) const {
    const int cell = CellIndex(lat, lon);
    return cell >= 0 && !available.empty() && available[static_cast<std::size_t>(cell)] != 0;
}

int CSRTM::TileFor(double lat, double lon) {
    if (!IsAvailable(lat, lon)) return -1;
    const int index = FindTile(lat, lon);
    return index >= 0 ? index : LoadTile(lat, lon);
}

short CSRTM::GetNearest(double lat, double lon) {
    const int index = TileFor(lat, lon);
    if (index < 0) return static_cast<short>(voidValue);
    return tiles[static_cast<std::size_t>(index)].GetHeight(lat, lon);
}

short CSRTM::GetNode(double latIndex, double lonIndex, double stepLat, double stepLon) {
    const double lat = latIndex * stepLat;
    const double lon = lonIndex * stepLon;
    const int index = TileFor(lat, lon);
    if (index < 0) return static_cast<short>(voidValue);
    const CSRTMTILE& tile = tiles[static_cast<std::size_t>(index)];
    // A node of a tile of another spacing (across a cell edge) is looked up
    // by its position.
    if (tile.GetLatStep() != stepLat || tile.GetLonStep() != stepLon)
        return tile.GetHeight(lat, lon);
    return tile.GetNodeHeight(latIndex, lonIndex);
}

int CSRTM::FindTile(double lat, double lon) {
    // Every tile is asked, so the scores order the tiles by recent use.
    int found = -1;
    for (std::size_t i = 0; i < tiles.size(); ++i)
        if (tiles[i].Contains(lat, lon)) found = static_cast<int>(i);
    return found;
}

int CSRTM::LoadTile(double lat, double lon) {
    if (!IsAvailable(lat, lon) || tiles.empty()) return -1;
    // The lowest score; on a tie the lowest index.
    std::size_t chosen = 0;
    for (std::size_t i = 1; i < tiles.size(); ++i)
        if (tiles[i].GetScore() < tiles[chosen].GetScore()) chosen = i;
    tiles[chosen].SetDirectory(directory);
    if (tiles[chosen].Load(lat, lon)) return static_cast<int>(chosen);
    available[static_cast<std::size_t>(CellIndex(lat, lon))] = 0;
    return -1;
}

void CSRTM::StepAt(double lat, double lon, double& stepLat, double& stepLon) {
    stepLat = latStep;
    stepLon = lonStep;
    int index = -1;
    for (std::size_t i = 0; i < tiles.size() && index < 0; ++i)
        if (tiles[i].Covers(lat, lon)) index = static_cast<int>(i);
    if (index < 0) index = LoadTile(lat, lon);
    if (index < 0) return;
    stepLat = tiles[static_cast<std::size_t>(index)].GetLatStep();
    stepLon = tiles[static_cast<std::size_t>(index)].GetLonStep();
}

short CSRTM::GetAtNode(double& lat, double& lon) {
    double stepLat = 0;
    double stepLon = 0;
    StepAt(lat, lon, stepLat, stepLon);
    const double latIndex = std::floor(lat / stepLat + 0.5);
    const double lonIndex = std::floor(lon / stepLon + 0.5);
    lat = latIndex * stepLat;
    lon = lonIndex * stepLon;
    return GetNode(latIndex, lonIndex, stepLat, stepLon);
}

int CSRTM::GetHeight(double lat, double lon, bool interpolate) {
    return interpolate ? Interpolate(lat, lon) : GetNearest(lat, lon);
}

int CSRTM::Interpolate(double lat, double lon) {
    double stepLat = 0;
    double stepLon = 0;
    StepAt(lat, lon, stepLat, stepLon);
    // North-west, north-east, south-west, south-east: half a step away,
    // moved to their sample nodes, are the four samples around the position.
    static constexpr double kOffsets[4][2] = {{0.5, -0.5}, {0.5, 0.5}, {-0.5, -0.5}, {-0.5, 0.5}};
    double nodeLat[4];
    double nodeLon[4];
    int height[4];
    int sea = 0;
    int voids = 0;
    for (int k = 0; k < 4; ++k) {
        const double latIndex = std::floor((lat + kOffsets[k][0] * stepLat) / stepLat + 0.5);
        const double lonIndex = std::floor((lon + kOffsets[k][1] * stepLon) / stepLon + 0.5);
        nodeLat[k] = latIndex * stepLat;
        nodeLon[k] = lonIndex * stepLon;
        height[k] = GetNode(latIndex, lonIndex, stepLat, stepLon);
        sea += height[k] == noDataValue;
        voids += height[k] == voidValue;
    }
    if (sea == 4) return noDataValue;
    if (voids == 4) return voidValue;
    // Weights fall linearly with the distance in plain degrees, from 1 at
    // the node to 0 one cell diagonal away.
    const double diagonal = std::sqrt(stepLat * stepLat + stepLon * stepLon);
    double sum = 0;
    double weights = 0;
    for (int k = 0; k < 4; ++k) {
        const double dLat = lat - nodeLat[k];
        const double dLon = lon - nodeLon[k];
        const double w = diagonal - std::sqrt(dLat * dLat + dLon * dLon);
        if (w < 0 || w > diagonal || height[k] == noDataValue || height[k] == voidValue) continue;
        sum += w * height[k];
        weights += w;
    }
    // No usable corner, or only one with no weight (the far diagonal of a
    // position on a node): there is nothing to average.
    if (!(weights > 0)) return voidValue;
    return static_cast<int>(std::trunc(sum / weights + 0.5));
}

bool CSRTM::NormalisePosition(double& lat, double& lon) {
    return NormaliseLatLon(lat, lon);
}

} // namespace kestrova
