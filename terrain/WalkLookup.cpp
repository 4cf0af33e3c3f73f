#include "terrain/WalkLookup.h"

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

// What the store has for a point outside the tile of its last answer.
enum class Place { Tile, Void, Unsure };

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
};

} // namespace

// Friend access to the store, its tiles and the zone map.
struct CWalkLookupAccess {
    static Place FindTile(CSRTM& store, const WalkPoint& p) {
        // Its 1-degree cell: sure only away from the edges (and from the
        // globe's, where GetNearest answers voidValue).
        const bool inVoidCell = p.lat >= store.voidCellLat && p.lat < store.voidCellLat + 1.0 &&
                                p.lon >= store.voidCellLon && p.lon < store.voidCellLon + 1.0;
        const double latCell = inVoidCell ? store.voidCellLat : std::floor(p.lat);
        const double lonCell = inVoidCell ? store.voidCellLon : std::floor(p.lon);
        if (!(p.lat - p.latErr > latCell && p.lat + p.latErr < latCell + 1.0 &&
              p.lon - p.lonErr > lonCell && p.lon + p.lonErr < lonCell + 1.0))
            return Place::Unsure;
        if (inVoidCell) return Place::Void;
        const int index = store.IsAvailable(latCell, lonCell) ? store.TileFor(p.lat, p.lon) : -1;
        if (index < 0) {
            store.voidCellLat = latCell;
            store.voidCellLon = lonCell;
            return Place::Void;
        }
        store.lastTile = index;
        return Place::Tile;
    }

    static CSRTMTILE* HotTile(CSRTM& store) {
        return store.lastTile >= 0 ? &store.tiles[static_cast<std::size_t>(store.lastTile)]
                                   : nullptr;
    }

    static short VoidValue(const CSRTM& store) { return static_cast<short>(store.voidValue); }

    static TileFrame Frame(const CSRTMTILE& tile, const std::uint8_t* zoneCells) {
        TileFrame f;
        f.latMin = tile.latMin;
        f.latMax = tile.latMax;
        f.lonMin = tile.lonMin;
        f.lonMax = tile.lonMax;
        f.K = tile.rows - 1;
        f.rows = tile.rows;
        f.cols = tile.cols;
        f.heights = tile.samples->heights.data();
        if (zoneCells && (f.K == 1200 || f.K == 3600) && tile.latMin >= -90 && tile.latMin < 90 &&
            tile.lonMin >= -180 && tile.lonMin < 180) {
            f.q = f.K / 60;
            f.zoneRow0 = 5399 - 60 * static_cast<int>(tile.latMin);
            f.zoneCol0 = 10800 + 60 * static_cast<int>(tile.lonMin);
        }
        return f;
    }

    // The 1-degree cell without a tile that FindTile last found, as a grid
    // of 1200 samples a degree (3" cells) for the zone cells, no heights.
    static TileFrame VoidFrame(const CSRTM& store, const std::uint8_t* zoneCells) {
        TileFrame f;
        f.latMin = store.voidCellLat;
        f.latMax = store.voidCellLat + 1.0;
        f.lonMin = store.voidCellLon;
        f.lonMax = store.voidCellLon + 1.0;
        f.K = kTileSize3 - 1;
        f.rows = f.cols = kTileSize3;
        // Longitudes beyond 180 are folded by whole turns, as GetZone folds
        // them (by at most 1e-13 degree of rounding, within the cushion).
        const double lonFolded =
            std::remainder(f.lonMin, 360.0) == 180.0 ? -180.0 : std::remainder(f.lonMin, 360.0);
        if (zoneCells && f.latMin >= -90 && f.latMin < 90 && lonFolded >= -180 && lonFolded < 180) {
            f.q = 20;
            f.zoneRow0 = 5399 - 60 * static_cast<int>(f.latMin);
            f.zoneCol0 = 10800 + 60 * static_cast<int>(lonFolded);
        }
        return f;
    }

    static const std::uint8_t* ZoneCells(const CZONES& zones) { return zones.Cells(); }

    static int ZoneAt(const CZONES& z, const WalkPoint& p) {
        constexpr double kTurnRounding = 1e-13; // degrees: adding or taking 360
        constexpr double kCellsPerDegree = 60.0;
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
        const std::uint8_t* cells = z.Cells();
        if (!cells) return 0;
        // With |lat| < 89 and -180 < lon < 180, t and u are positive and
        // inside the grid, so truncation is the floor.
        const double t = (z.northCentre - lat) * kCellsPerDegree + 0.5;
        const double u = (lon - z.westCentre) * kCellsPerDegree + 0.5;
        const auto row = static_cast<int>(t);
        const auto col = static_cast<int>(u);
        const double tFraction = t - row;
        const double uFraction = u - col;
        const double mLat = p.latErr * kCellsPerDegree + CWalkLookup::kEdgeCushion;
        const double mLon = lonErr * kCellsPerDegree + CWalkLookup::kEdgeCushion;
        if (!(tFraction > mLat && tFraction < 1.0 - mLat && uFraction > mLon &&
              uFraction < 1.0 - mLon && row < z.gridRows && col < z.gridCols))
            return -1;
        return ZoneCode(cells, row, col);
    }

    static int ZoneCode(const std::uint8_t* cells, int row, int col) {
        const auto c = static_cast<std::size_t>(col);
        return (cells[static_cast<std::size_t>(row) * CZONES::kBytesPerRow + c / 4] >>
                (6 - 2 * (c % 4))) &
               3;
    }
};

int CWalkLookup::ZoneAt(const CZONES& zones, const WalkPoint& point) {
    return CWalkLookupAccess::ZoneAt(zones, point);
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
        const double mLat = latErr[k] * K + CWalkLookup::kEdgeCushion;
        const double mLon = lonErr[k] * K + CWalkLookup::kEdgeCushion;
        const int clear = in & (tFraction > mLat) & (tFraction < 1.0 - mLat) & (uFraction > mLon) &
                          (uFraction < 1.0 - mLon);
        inside[k] = in;
        sure[k] = clear;
        // Away from the edges r and c are below K: the tile's own samples.
        offset[k] = clear ? (lastRow - r) * cols + c : 0;
        // r, c >= 0: division by a constant, no division instruction.
        const int zoneCol = zoneCol0 + c / Q;
        zoneByte[k] = (zoneRow0 - r / Q) * CZONES::kBytesPerRow + zoneCol / 4;
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
void CWalkLookup::LookUp(CSRTM& store, const CZONES& zones, const WalkPoints& points, int count,
                         short* heights, int* zoneCodes) {
    using Access = CWalkLookupAccess;
    constexpr int kRun = 64;
    int inside[kRun];
    int sure[kRun];
    int offset[kRun];
    int zoneByte[kRun];
    int zoneShift[kRun];
    const std::uint8_t* zoneCells = Access::ZoneCells(zones);
    const short voidValue = Access::VoidValue(store);
    int i = 0;
    while (i < count) {
        CSRTMTILE* tile = Access::HotTile(store);
        if (!tile || !tile->Covers(points.lat[i], points.lon[i])) {
            const Place place = Access::FindTile(store, points[i]);
            if (place == Place::Unsure) {
                heights[i] = kUnsure;
                zoneCodes[i] = -1;
                ++i;
                continue;
            }
            tile = place == Place::Tile ? Access::HotTile(store) : nullptr;
        }
        // A run in the tile, or in the cell without a tile: void heights
        // there, sure where the point clears its 3" cell (and with it its
        // 1-degree cell).
        const TileFrame f =
            tile ? Access::Frame(*tile, zoneCells) : Access::VoidFrame(store, zoneCells);
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
                heights[i + k] = kUnsure;
                zoneCodes[i + k] = -1;
                continue;
            }
            heights[i + k] = tile ? tile->Classify(f.heights[offset[k]]) : voidValue;
            zoneCodes[i + k] = !zoneCells ? 0
                               : f.q > 0  ? (zoneCells[zoneByte[k]] >> zoneShift[k]) & 3
                                          : ZoneAt(zones, points[i + k]);
        }
        if (tile) tile->AddUses(uses);
        i += run;
    }
}

} // namespace kestrova
