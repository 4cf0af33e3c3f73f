#include "terrain/WalkLookup.h"

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
    double lonMin = 0.0;
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
        f.lonMin = tile.lonMin;
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

// The run of points that starts with points[0] (inside the tile of f, as
// the caller has checked) and stays inside it, at most m points: for each,
// where its sample is and whether it clears the edges of its sample cell,
// and the byte and bit shift of its zone cell, Q sample cells to a zone
// cell. Returns the length of the run.
template <int Q>
int PlaceRun(const TileFrame& f, const WalkPoint* points, int m, const std::int16_t** where,
             bool* sure, int* zoneByte, int* zoneShift) {
    const double K = f.K;
    const double latMin = f.latMin;
    const double lonMin = f.lonMin;
    const int lastRow = f.rows - 1;
    const int cols = f.cols;
    const std::int16_t* heights = f.heights;
    int k = 0;
    for (; k < m; ++k) {
        const WalkPoint& p = points[k];
        const double t = (p.lat - latMin) * K;
        const double u = (p.lon - lonMin) * K;
        // Inside the tile t and u lie in 0..K (K itself only by rounding
        // at the north or east edge, where a point is never sure), so
        // truncation is the floor. A point outside ends the run.
        if (k > 0 && !((t >= 0.0) & (t < K) & (u >= 0.0) & (u < K))) break;
        const auto r = static_cast<unsigned>(t);
        const auto c = static_cast<unsigned>(u);
        const double tFraction = t - r;
        const double uFraction = u - c;
        const double mLat = p.latErr * K + CWalkLookup::kEdgeCushion;
        const double mLon = p.lonErr * K + CWalkLookup::kEdgeCushion;
        const bool clear = tFraction > mLat && tFraction < 1.0 - mLat && uFraction > mLon &&
                           uFraction < 1.0 - mLon;
        sure[k] = clear;
        // Away from the edges r and c are below K: the tile's own samples.
        where[k] =
            heights + (clear ? (lastRow - static_cast<int>(r)) * cols + static_cast<int>(c) : 0);
        if (clear) Prefetch(where[k]);
        // Division by a constant, no division instruction.
        const int zoneCol = f.zoneCol0 + static_cast<int>(c / Q);
        zoneByte[k] =
            (f.zoneRow0 - static_cast<int>(r / Q)) * CZONES::kBytesPerRow + (zoneCol >> 2);
        zoneShift[k] = 6 - 2 * (zoneCol & 3);
    }
    return k;
}

} // namespace

// Runs of points inside the tile of the last answer go in two passes: first
// where every point lies, then the reads, so that the reads need not wait
// for one another. A point elsewhere is looked up on its own, which may
// load its tile (only ever between runs).
void CWalkLookup::LookUp(CSRTM& store, const CZONES& zones, const WalkPoint* points, int count,
                         short* heights, int* zoneCodes) {
    using Access = CWalkLookupAccess;
    constexpr int kRun = 64;
    const std::int16_t* where[kRun];
    bool sure[kRun];
    int zoneByte[kRun];
    int zoneShift[kRun];
    const std::uint8_t* zoneCells = Access::ZoneCells(zones);
    int i = 0;
    while (i < count) {
        CSRTMTILE* tile = Access::HotTile(store);
        if (!tile || !tile->Covers(points[i].lat, points[i].lon)) {
            const Place place = Access::FindTile(store, points[i]);
            if (place != Place::Tile) {
                const bool known = place == Place::Void;
                heights[i] = known ? Access::VoidValue(store) : kUnsure;
                zoneCodes[i] = known ? ZoneAt(zones, points[i]) : -1;
                ++i;
                continue;
            }
            tile = Access::HotTile(store);
        }
        const TileFrame f = Access::Frame(*tile, zoneCells);
        const int m = count - i < kRun ? count - i : kRun;
        const int run = f.q == 60
                            ? PlaceRun<60>(f, points + i, m, where, sure, zoneByte, zoneShift)
                            : PlaceRun<20>(f, points + i, m, where, sure, zoneByte, zoneShift);
        int uses = 0;
        for (int k = 0; k < run; ++k) {
            if (!sure[k]) { // the caller looks the exact position up
                heights[i + k] = kUnsure;
                zoneCodes[i + k] = -1;
                continue;
            }
            ++uses;
            heights[i + k] = tile->Classify(*where[k]);
            zoneCodes[i + k] = !zoneCells ? 0
                               : f.q > 0  ? (zoneCells[zoneByte[k]] >> zoneShift[k]) & 3
                                          : ZoneAt(zones, points[i + k]);
        }
        tile->AddUses(uses);
        i += run;
    }
}

} // namespace kestrova
