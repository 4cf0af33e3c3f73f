// Heights and zones along a walk: wherever CSRTM::HeightsAlong answers, its
// answer is that of GetNearest and GetZone at PointAtRange's position;
// tested where it is hardest: along tile edges and through a tile corner,
// on 3" and 1" tiles and between them, into cells without a tile, along the
// zone grid's whole arc-minutes, out of the zone grid and across the date
// line.
#include "terrain/WalkLookup.h"
#include "geo/PathWalk.h"
#include "propagation/engine/Terrain.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include "TileWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace kestrova {
namespace {

using test::TempDir;

// Samples that differ from all their neighbours, with void (-32768) and
// below-sea (-200, read as no data) samples among them.
int Sample(int row, int col) {
    const int v = test::Pattern(row, col);
    if (v % 97 == 0) return -32768;
    if (v % 89 == 0) return -200;
    return v;
}

// Zone codes that differ between neighbouring arc-minute cells.
int ZoneCode(int row, int col) {
    return (row + 3 * col) % 4;
}

// A zone map in memory over box, cellsPerDegree cells a degree, with the
// codes of the world's arc-minute cells (ZoneCode) at their centres.
std::unique_ptr<CZONES> MakeZones(const ZoneBox& box, int cellsPerDegree) {
    const int rows = static_cast<int>((box.north - box.south) * cellsPerDegree);
    const int cols = static_cast<int>((box.east - box.west) * cellsPerDegree);
    std::vector<std::uint8_t> codes(static_cast<std::size_t>(rows) * cols);
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col) {
            const double lat = box.north - (row + 0.5) / cellsPerDegree;
            const double lon = box.west + (col + 0.5) / cellsPerDegree;
            codes[static_cast<std::size_t>(row) * cols + col] = static_cast<std::uint8_t>(ZoneCode(
                static_cast<int>((90.0 - lat) * 60), static_cast<int>((lon + 180.0) * 60)));
        }
    return std::make_unique<CZONES>(box, rows, cols, codes);
}

class WalkLookup : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<TempDir>();
        // 3" tiles around a corner at 52 N 1 W, a 1" tile north-west of it
        // (n52w002); n50w002 and n50w001 have none. 3" tiles on either side
        // of the date line, and on either side of the equator east of it.
        // n54w002 lies outside the zone map around the corner.
        for (const char* name :
             {"n51w002", "n51w001", "n52w001", "n54w002", "s01e179", "n00e179", "s01w180"})
            test::WriteTile(dir->Path(std::string(name) + ".hgt"), 1201, Sample);
        test::WriteTile(dir->Path("n52w002.hgt"), 3601, Sample);
        // Arc-minute zone cells around the corner and in a band along the
        // equator all round the globe.
        cornerZones = MakeZones({49.0, 54.0, -3.0, 1.0}, 60);
        equatorZones = MakeZones({-2.0, 1.0, -180.0, 180.0}, 60);
    }
    static void TearDownTestSuite() {
        dir.reset();
        cornerZones.reset();
        equatorZones.reset();
    }

    // Walks from (lat1, lon1) to (lat2, lon2) as the engine samples a
    // coverage cell and checks every sure answer; adds to the counts of
    // points and of sure answers.
    void CheckPath(double lat1, double lon1, double lat2, double lon2) {
        CPath path;
        path.SetPath(lat1, lon1, lat2, lon2);
        double range = 0;
        double bearing = 0;
        path.GetRangeBearing(range, bearing);
        if (range < 0.1) return;
        const auto [step, n] = ProfileSpacingFor(range, true);
        std::vector<double> lat(n), lon(n), latErr(n), lonErr(n);
        const WalkPoints points{lat.data(), lon.data(), latErr.data(), lonErr.data()};
        const int walked = WalkGreatCircle(path, step, n, points);
        ASSERT_EQ(walked, n);
        std::vector<short> heights(n);
        std::vector<int> codes(n);
        store.HeightsAlong(points, n, *zones, heights.data(), codes.data());
        for (int i = 0; i < n; ++i) {
            ++pointCount;
            double pLat = 0;
            double pLon = 0;
            path.PointAtRange(i * step, pLat, pLon);
            if (heights[i] != kWalkUnsure) {
                ++sureHeights;
                ASSERT_EQ(heights[i], exact.GetHeight(pLat, pLon, false))
                    << "point " << i << " at " << pLat << ", " << pLon;
            }
            if (codes[i] >= 0) {
                ++sureZones;
                ASSERT_EQ(codes[i], zones->GetZone(pLat, pLon))
                    << "point " << i << " at " << pLat << ", " << pLon;
            }
        }
    }

    static std::unique_ptr<TempDir> dir;
    static std::unique_ptr<CZONES> cornerZones;
    static std::unique_ptr<CZONES> equatorZones;
    CSRTM store{CSRTM::kTilesPerStore, dir->Dir()};
    CSRTM exact{CSRTM::kTilesPerStore, dir->Dir()};
    const CZONES* zones = cornerZones.get();
    long pointCount = 0;
    long sureHeights = 0;
    long sureZones = 0;
};
std::unique_ptr<TempDir> WalkLookup::dir;
std::unique_ptr<CZONES> WalkLookup::cornerZones;
std::unique_ptr<CZONES> WalkLookup::equatorZones;

TEST_F(WalkLookup, ThroughTheTileCornerAndAlongItsEdges) {
    ASSERT_TRUE(zones->IsUsable());
    struct Case {
        const char* name;
        double lat1, lon1, lat2, lon2;
    } cases[] = {
        {"through the corner", 51.7, -1.3, 52.3, -0.7},
        {"through the corner the other way", 52.3, -1.3, 51.7, -0.7},
        {"along the 52 N edge", 52.0, -1.6, 52.0, -0.4},
        {"along the 1 W edge", 51.5, -1.0, 52.5, -1.0},
        {"into the 1-second tile", 51.8, -1.2, 52.2, -1.6},
        {"along a whole minute", 51.5, -1.25, 51.9, -1.25},
        {"into cells without a tile", 51.2, -1.4, 50.7, -1.2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CheckPath(c.lat1, c.lon1, c.lat2, c.lon2);
        CheckPath(c.lat2, c.lon2, c.lat1, c.lon1);
    }
    EXPECT_GT(pointCount, 2500);
    // Points on the edges are left to the caller, the others answered.
    EXPECT_GT(sureHeights, pointCount * 2 / 3);
    EXPECT_GT(sureZones, pointCount * 2 / 3);
}

TEST_F(WalkLookup, AcrossTheDateLineAndAlongTheEquator) {
    zones = equatorZones.get();
    for (double lat : {-0.9, -0.5, -0.1}) {
        CheckPath(lat, 179.7, lat - 0.2, -179.6);
        CheckPath(lat, -179.7, lat + 0.1, 179.6);
    }
    // Along the edge between n00e179 and s01e179, where the walk's
    // latitude and PointAt's may fall on either side of 0.
    CheckPath(0.0, 179.1, 0.0, 179.7);
    CheckPath(0.0, 179.7, 0.0, 179.1);
    EXPECT_GT(pointCount, 1000);
    EXPECT_GT(sureHeights, pointCount * 2 / 3);
    EXPECT_GT(sureZones, pointCount * 2 / 3);
}

// Out of a zone map made in memory, points are left to the caller (who
// finds them outside the grid); the heights are answered as ever.
TEST_F(WalkLookup, OutOfTheZoneGrid) {
    CheckPath(53.8, -1.3, 54.3, -1.2); // into n54w002, north of the map
    CheckPath(54.3, -1.2, 53.8, -1.3);
    CheckPath(51.3, -2.8, 51.4, -3.3); // west of the map, without tiles
    EXPECT_GT(pointCount, 300);
    EXPECT_GT(sureHeights, pointCount * 2 / 3);
    EXPECT_GT(sureZones, pointCount / 5);
    EXPECT_LT(sureZones, pointCount * 4 / 5);
}

// Zone cells other than whole arc-minutes are looked up point by point,
// with the same answers.
TEST_F(WalkLookup, AZoneGridOfCoarserCells) {
    const std::unique_ptr<CZONES> coarse = MakeZones({49.0, 54.0, -3.0, 1.0}, 24);
    zones = coarse.get();
    CheckPath(51.7, -1.3, 52.3, -0.7);
    CheckPath(51.2, -1.4, 50.7, -1.2);
    CheckPath(52.2, -1.6, 51.8, -1.2);
    EXPECT_GT(pointCount, 500);
    EXPECT_GT(sureZones, pointCount * 2 / 3);
}

TEST_F(WalkLookup, CoverageMapsAroundTheCorner) {
    std::mt19937_64 random(13);
    std::uniform_real_distribution<double> offset(-0.6, 0.6);
    for (int k = 0; k < 300; ++k) {
        CheckPath(51.95, -1.05, 51.95 + offset(random), -1.05 + offset(random));
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(sureHeights, pointCount * 99 / 100);
    EXPECT_GT(sureZones, pointCount * 99 / 100);
}

// A point is answered only when it clears the edges of its cell by more
// than its bound: just beside an edge, with a bound reaching over it, it
// is left to the caller; with a bound short of it, answered. Without a
// tile, its 3" cell decides for the zone and the (void) height alike.
TEST_F(WalkLookup, PointsWithinTheirBoundOfAnEdgeAreLeftToTheCaller) {
    struct Case {
        const char* name;
        double lat, lon, latErr, lonErr;
        bool sureHeight, sureZone;
    } cases[] = {
        {"over a sample row edge", 51.5 + 1e-12, -1.2001, 1e-11, 1e-13, false, false},
        {"short of a sample row edge", 51.5 + 1e-11, -1.2001, 1e-13, 1e-13, true, true},
        {"over a sample column edge", 51.4001, -1.5 + 1e-12, 1e-13, 1e-11, false, false},
        {"short of a sample column edge", 51.4001, -1.5 + 1e-11, 1e-13, 1e-13, true, true},
        {"over a 1\" sample edge", 52.5 + 1e-12, -1.5001, 1e-11, 1e-13, false, false},
        {"over a zone edge without a tile", 50.5 + 1e-12, -1.5001, 1e-11, 1e-13, false, false},
        {"short of a zone edge without a tile", 50.5 + 1e-10, -1.5001, 1e-13, 1e-13, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double lat[] = {c.lat};
        double lon[] = {c.lon};
        double latErr[] = {c.latErr};
        double lonErr[] = {c.lonErr};
        short height = 0;
        int code = 0;
        store.HeightsAlong({lat, lon, latErr, lonErr}, 1, *zones, &height, &code);
        EXPECT_EQ(height != kWalkUnsure, c.sureHeight);
        EXPECT_EQ(code >= 0, c.sureZone);
        if (c.sureHeight) {
            EXPECT_EQ(height, exact.GetHeight(c.lat, c.lon, false));
        }
        if (c.sureZone) {
            EXPECT_EQ(code, zones->GetZone(c.lat, c.lon));
        }
    }
}

TEST(WalkLookupEdges, UnsurePointsAreLeftToTheCaller) {
    // A point on the edge of a 1-degree cell, known to within 1e-9 degree:
    // whether it has a tile is not sure, so neither look-up answers.
    CSRTM store(CSRTM::kTilesPerStore, "/nonexistent-kestrova/");
    CZONES zones("/nonexistent-kestrova/");
    double lat[] = {52.0, 51.2504};
    double lon[] = {-1.5, -0.0104};
    double latErr[] = {1e-9, 1e-12};
    double lonErr[] = {1e-12, 1e-12};
    const WalkPoints points{lat, lon, latErr, lonErr};
    short heights[2];
    int codes[2];
    store.HeightsAlong(points, 2, zones, heights, codes);
    EXPECT_EQ(heights[0], kWalkUnsure);
    EXPECT_EQ(codes[0], -1);
    // Without tiles and zone file: void, and zone 0, where sure.
    EXPECT_EQ(heights[1], store.GetVoidValue());
    EXPECT_EQ(codes[1], 0);
}

} // namespace
} // namespace kestrova
