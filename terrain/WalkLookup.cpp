#include "terrain/WalkLookup.h"

#include "geo/PathWalk.h"
#include "geo/VectorClones.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include <cmath>
#include <cstdint>

namespace kestrova {
namespace {

// Asks for the cache line of a sample ahead of its read.
void Prefetch(const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// The tile of the last answer, as the sample grid the run loop reads.
struct TileFrame {
    double latMin = 0.0;
    double latMax = 0.0;
    double lonMin = 0.0;
    double lonMax = 0.0;
    int K = 0; // samples a degree
    int rows = 0;
    int cols = 0;
    const std::int16_t* heights = nullptr;
    // Zone cells: row zoneRow0 - r / q and column zoneCol0 + c / q for
    // sample (r, c) from the south-west corner; q is 20 (3" tiles) or 60
    // (1" tiles), or 0 when zones are looked up on their own.
    int q = 0;
    int zoneRow0 = 0;
    int zoneCol0 = 0;
    int zoneBytesPerRow = 0;
};

// The zone cells of the arc-minute lattice that hold a 1-degree cell's
// sample cells, q of them to a zone cell (q = K / 60), when the whole cell
// lies in the zone grid: zoneRow0, zoneCol0 (see WalkLookup.h).
void PlaceZones(TileFrame& f, const ZoneCells& zones, int latCell, int lonCell) {
    if (!zones.bytes || zones.arcMinuteRow0 < 0 || f.K % 60 != 0) return;
    const int row0 = 5399 - 60 * latCell - zones.arcMinuteRow0;
    const int col0 = 10800 + 60 * lonCell - zones.arcMinuteCol0;
    if (row0 - 59 < 0 || row0 >= zones.rows || col0 < 0 || col0 + 59 >= zones.cols) return;
    f.q = f.K / 60;
    f.zoneRow0 = row0;
    f.zoneCol0 = col0;
    f.zoneBytesPerRow = zones.bytesPerRow;
}

// The tile of the last answer.
TileFrame Frame(const TileSampleGrid& tile, const ZoneCells& zones) {
    TileFrame f;
    f.latMin = tile.latMin;
    f.latMax = tile.latMax;
    f.lonMin = tile.lonMin;
    f.lonMax = tile.lonMax;
    f.K = tile.rows - 1;
    f.rows = tile.rows;
    f.cols = tile.cols;
    f.heights = tile.heights;
    if ((f.K == 1200 || f.K == 3600) && tile.latMin >= -90 && tile.latMin < 90 &&
        tile.lonMin >= -180 && tile.lonMin < 180)
        PlaceZones(f, zones, static_cast<int>(tile.latMin), static_cast<int>(tile.lonMin));
    return f;
}

// A 1-degree cell without a tile, as a grid of 1200 samples a degree (3"
// cells) for the zone cells, no heights.
TileFrame VoidFrame(double latCell, double lonCell, const ZoneCells& zones) {
    TileFrame f;
    f.latMin = latCell;
    f.latMax = latCell + 1.0;
    f.lonMin = lonCell;
    f.lonMax = lonCell + 1.0;
    f.K = kTileSize3 - 1;
    f.rows = f.cols = kTileSize3;
    // Longitudes beyond 180 are folded by whole turns, as GetZone folds
    // them (by at most 1e-13 degree of rounding, within the cushion).
    const double lonFolded =
        std::remainder(f.lonMin, 360.0) == 180.0 ? -180.0 : std::remainder(f.lonMin, 360.0);
    if (f.latMin >= -90 && f.latMin < 90 && lonFolded >= -180 && lonFolded < 180)
        PlaceZones(f, zones, static_cast<int>(f.latMin), static_cast<int>(lonFolded));
    return f;
}

} // namespace

CSRTM::WalkPlace CSRTM::PlaceOf(const WalkPoint& p) {
    // Its 1-degree cell: sure only away from the edges (and from the
    // globe's, where GetNearest answers voidValue).
    const bool inVoidCell = p.lat >= voidCellLat && p.lat < voidCellLat + 1.0 &&
                            p.lon >= voidCellLon && p.lon < voidCellLon + 1.0;
    const double latCell = inVoidCell ? voidCellLat : std::floor(p.lat);
    const double lonCell = inVoidCell ? voidCellLon : std::floor(p.lon);
    if (!(p.lat - p.latErr > latCell && p.lat + p.latErr < latCell + 1.0 &&
          p.lon - p.lonErr > lonCell && p.lon + p.lonErr < lonCell + 1.0))
        return WalkPlace::Unsure;
    if (inVoidCell) return WalkPlace::Void;
    const int index = IsAvailable(latCell, lonCell) ? TileFor(p.lat, p.lon) : -1;
    if (index < 0) {
        voidCellLat = latCell;
        voidCellLon = lonCell;
        return WalkPlace::Void;
    }
    lastTile = index;
    return WalkPlace::Tile;
}

int CZONES::ZoneAt(const WalkPoint& p) const {
    constexpr double kTurnRounding = 1e-13; // degrees: adding or taking 360
    const double lat = p.lat;
    double lon = p.lon;
    double lonErr = p.lonErr;
    // Away from the poles no latitude is folded, and a longitude at
    // most by one whole turn, alike for the point and the position.
    if (!(std::fabs(lat) + p.latErr < 89.0 && std::fabs(lon) < 500.0)) return -1;
    if (!(lon + lonErr < 180.0 && lon - lonErr > -180.0)) {
        if (lon - lonErr > 180.0)
            lon -= 360.0;
        else if (lon + lonErr < -180.0)
            lon += 360.0;
        else
            return -1;
        lonErr += kTurnRounding;
    }
    const ZoneCells z = Cells();
    if (!z.bytes) return 0;
    // Inside the grid t and u are positive, so truncation is the floor;
    // outside it (only for a map made in memory) the position is left to
    // the caller.
    const double t = (z.northCentre - lat) * z.rowsPerDegree + 0.5;
    const double u = (lon - z.westCentre) * z.colsPerDegree + 0.5;
    if (!(t >= 0.0 && u >= 0.0)) return -1;
    const auto row = static_cast<int>(t);
    const auto col = static_cast<int>(u);
    const double tFraction = t - row;
    const double uFraction = u - col;
    const double mLat = p.latErr * z.rowsPerDegree + kWalkEdgeCushion;
    const double mLon = lonErr * z.colsPerDegree + kWalkEdgeCushion;
    if (!(tFraction > mLat && tFraction < 1.0 - mLat && uFraction > mLon &&
          uFraction < 1.0 - mLon && row < z.rows && col < z.cols))
        return -1;
    return z.Code(row, col);
}

namespace {

// Where each of points first..first+m-1 lies in the tile of frame f
// (latMin..latMax, lonMin..lonMax, the bounds of CSRTMTILE::Covers):
// inside[k] whether it is in the tile, sure[k] whether it also clears the
// edges of its sample cell, then its sample's offset from the tile's
// north-west corner and its zone cell's byte and bit shift, Q sample cells
// to a zone cell. A loop without branches or dependences between points,
// run on several at once.
template <int Q>
[[gnu::always_inline]] inline void
PlaceIn(const TileFrame f, const double* __restrict lat, const double* __restrict lon,
        const double* __restrict latErr, const double* __restrict lonErr, int m,
        int* __restrict inside, int* __restrict sure, int* __restrict offset,
        int* __restrict zoneByte, int* __restrict zoneShift) {
    const double K = f.K;
    const double latMin = f.latMin;
    const double latMax = f.latMax;
    const double lonMin = f.lonMin;
    const double lonMax = f.lonMax;
    const int lastRow = f.rows - 1;
    const int cols = f.cols;
    const int zoneRow0 = f.zoneRow0;
    const int zoneCol0 = f.zoneCol0;
    const int zoneBytesPerRow = f.zoneBytesPerRow;
    for (int k = 0; k < m; ++k) {
        const int in =
            (lat[k] >= latMin) & (lat[k] < latMax) & (lon[k] >= lonMin) & (lon[k] < lonMax);
        // Inside the tile t and u lie in 0..K (K itself only by rounding at
        // the north or east edge, where a point is never sure), so
        // truncation is the floor; a point outside is placed at the corner.
        const double tIn = (lat[k] - latMin) * K;
        const double uIn = (lon[k] - lonMin) * K;
        const double t = in ? tIn : 0.0;
        const double u = in ? uIn : 0.0;
        const int r = static_cast<int>(t);
        const int c = static_cast<int>(u);
        const double tFraction = t - r;
        const double uFraction = u - c;
        const double mLat = latErr[k] * K + kWalkEdgeCushion;
        const double mLon = lonErr[k] * K + kWalkEdgeCushion;
        const int clear = in & (tFraction > mLat) & (tFraction < 1.0 - mLat) & (uFraction > mLon) &
                          (uFraction < 1.0 - mLon);
        inside[k] = in;
        sure[k] = clear;
        // Away from the edges r and c are below K: the tile's own samples.
        offset[k] = clear ? (lastRow - r) * cols + c : 0;
        // r, c >= 0: division by a constant, no division instruction.
        const int zoneCol = zoneCol0 + c / Q;
        zoneByte[k] = (zoneRow0 - r / Q) * zoneBytesPerRow + zoneCol / 4;
        zoneShift[k] = 6 - 2 * (zoneCol % 4);
    }
}

KESTROVA_VECTOR_CLONES void PlaceRun(const TileFrame& f, const WalkPoints& points, int first, int m,
                                     int* inside, int* sure, int* offset, int* zoneByte,
                                     int* zoneShift) {
    const double* lat = points.lat + first;
    const double* lon = points.lon + first;
    const double* latErr = points.latErr + first;
    const double* lonErr = points.lonErr + first;
    if (f.q == 60)
        PlaceIn<60>(f, lat, lon, latErr, lonErr, m, inside, sure, offset, zoneByte, zoneShift);
    else // 20, or zones looked up on their own
        PlaceIn<20>(f, lat, lon, latErr, lonErr, m, inside, sure, offset, zoneByte, zoneShift);
}

} // namespace

// Runs of points inside the tile of the last answer go in passes: first
// where every point lies, then the reads, so that the reads need not wait
// for one another. A point elsewhere is looked up on its own, which may
// load its tile (only ever between runs).
void CSRTM::HeightsAlong(const WalkPoints& points, int count, const CZONES& zones, short* heights,
                         int* zoneCodes) {
    constexpr int kRun = 64;
    int inside[kRun];
    int sure[kRun];
    int offset[kRun];
    int zoneByte[kRun];
    int zoneShift[kRun];
    const ZoneCells zoneCells = zones.Cells();
    const std::uint8_t* zoneBytes = zoneCells.bytes;
    const auto voidHeight = static_cast<short>(voidValue);
    auto hotTile = [this]() -> CSRTMTILE* {
        return lastTile >= 0 ? &tiles[static_cast<std::size_t>(lastTile)] : nullptr;
    };
    int i = 0;
    while (i < count) {
        CSRTMTILE* tile = hotTile();
        if (!tile || !tile->Covers(points.lat[i], points.lon[i])) {
            const WalkPlace place = PlaceOf(points[i]);
            if (place == WalkPlace::Unsure) {
                heights[i] = kWalkUnsure;
                zoneCodes[i] = -1;
                ++i;
                continue;
            }
            tile = place == WalkPlace::Tile ? hotTile() : nullptr;
        }
        // A run in the tile, or in the cell without a tile: void heights
        // there, sure where the point clears its 3" cell (and with it its
        // 1-degree cell).
        const TileFrame f = tile ? Frame(tile->SampleGrid(), zoneCells)
                                 : VoidFrame(voidCellLat, voidCellLon, zoneCells);
        const int m = count - i < kRun ? count - i : kRun;
        PlaceRun(f, points, i, m, inside, sure, offset, zoneByte, zoneShift);
        int run = 1; // point i is in the tile or the cell
        while (run < m && inside[run])
            ++run;
        int uses = 0;
        if (tile)
            for (int k = 0; k < run; ++k) {
                uses += sure[k];
                if (sure[k]) Prefetch(f.heights + offset[k]);
            }
        for (int k = 0; k < run; ++k) {
            if (!sure[k]) { // the caller looks the exact position up
                heights[i + k] = kWalkUnsure;
                zoneCodes[i + k] = -1;
                continue;
            }
            heights[i + k] = tile ? tile->Classify(f.heights[offset[k]]) : voidHeight;
            zoneCodes[i + k] = !zoneBytes ? 0
                               : f.q > 0  ? (zoneBytes[zoneByte[k]] >> zoneShift[k]) & 3
                                          : zones.ZoneAt(points[i + k]);
        }
        if (tile) tile->AddUses(uses);
        i += run;
    }
}

} // namespace kestrova
