// The coverage walk's AVX2 clones against their baseline versions: the
// great-circle walk and the terrain and zone look-ups along it give
// bit-identical results either way (geo/VectorClones.h: the same IEEE
// operations in the same order). The library's functions run the AVX2
// clone where the processor has AVX2; on a processor without it they run
// the baseline clone, and the test then checks that clone against the
// baseline build alone (it still runs, and still passes or fails).
#include "BaselineWalk.h"
#include "RealData.h"
#include "geo/FileLocations.h"
#include "geo/Path.h"
#include "geo/PathWalk.h"
#include "terrain/SRTM.h"
#include "terrain/WalkLookup.h"
#include "terrain/Zones.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace kestrova {
namespace {

struct Track {
    explicit Track(int n) : lat(n), lon(n), latErr(n), lonErr(n) {}
    WalkPoints Points() { return {lat.data(), lon.data(), latErr.data(), lonErr.data()}; }
    std::vector<double> lat, lon, latErr, lonErr;
};

// Bit for bit, so that -0.0 and 0.0 or two NaNs of other payloads differ too.
template <typename T> bool SameBits(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0;
}

struct WalkCase {
    const char* what;
    double lat1, lon1, lat2, lon2;
    double stepKm;
    int count; // odd counts and counts off the walk's chunks of 32 reach its tails
};

const WalkCase kWalks[] = {
    {"on the demo tile, north-east", 51.352, -1.465, 51.9, -1.05, 0.025, 250},
    {"on the demo tile, south-west", 51.6, -1.3, 51.05, -1.95, 0.05, 251},
    {"along a meridian", 51.2, -1.5, 51.95, -1.5, 0.025, 33},
    {"along a parallel", 51.5, -1.99, 51.5, -1.01, 0.075, 97},
    {"one point", 51.5, -1.5, 51.6, -1.4, 0.025, 1},
    {"a short chunk", 51.5, -1.5, 51.4, -1.6, 0.025, 7},
    {"across the date line", 10.0, 179.5, 10.5, -179.0, 1.0, 200},
    {"across the prime meridian", -33.0, -0.7, -33.2, 0.9, 0.5, 320},
    {"high latitude", 87.9, 20.0, 88.5, 140.0, 0.3, 255},
    {"long steps", 20.0, 40.0, 25.0, 60.0, 15.0, 64},
};

TEST(VectorClones, TheWalkAndItsLookUpsAreBitIdenticalToTheBaselineBuild) {
    const std::string tiles = test::RealTileDirectory();
    ASSERT_FALSE(tiles.empty()) << "the demo tile n51w002.hgt is missing from the build";
    const CZONES zones(ExecutableDirectory());
    ASSERT_TRUE(zones.IsUsable()) << "zones01.dem is missing beside the test";
    CSRTM store(9, tiles);
    CSRTM baselineStore(9, tiles);
    RecordProperty("avx2", __builtin_cpu_supports("avx2") ? "library runs the AVX2 clone"
                                                          : "no AVX2: baseline clone only");
    int sureHeights = 0;
    for (const WalkCase& c : kWalks) {
        SCOPED_TRACE(c.what);
        CPath path;
        path.SetPath(c.lat1, c.lon1, c.lat2, c.lon2);
        Track walk(c.count);
        Track baseline(c.count);
        const int walked = WalkGreatCircle(path, c.stepKm, c.count, walk.Points());
        ASSERT_EQ(walked, c.count) << "the walk declined the path";
        ASSERT_EQ(BaselineWalk(path, c.stepKm, c.count, baseline.Points()), walked);
        EXPECT_TRUE(SameBits(walk.lat, baseline.lat));
        EXPECT_TRUE(SameBits(walk.lon, baseline.lon));
        EXPECT_TRUE(SameBits(walk.latErr, baseline.latErr));
        EXPECT_TRUE(SameBits(walk.lonErr, baseline.lonErr));

        std::vector<short> heights(c.count), baselineHeights(c.count);
        std::vector<int> codes(c.count), baselineCodes(c.count);
        store.HeightsAlong(walk.Points(), walked, zones, heights.data(), codes.data());
        BaselineLookUp(baselineStore, zones, walk.Points(), walked, baselineHeights.data(),
                       baselineCodes.data());
        EXPECT_TRUE(SameBits(heights, baselineHeights));
        EXPECT_TRUE(SameBits(codes, baselineCodes));
        for (short h : heights)
            sureHeights += h != kWalkUnsure && h != -32767;
    }
    // The look-ups compared real heights, not only points left to the caller.
    EXPECT_GT(sureHeights, 500);
}

} // namespace
} // namespace kestrova
