// The engine's entry points over terrain tiles: profile sampling, the coarse
// and radial entries, and a link on real SRTM3 terrain.
#include "geo/FileLocations.h"
#include "geo/Path.h"
#include "propagation/common/KFactor.h"
#include "propagation/engine/EngineInputs.h"
#include "propagation/engine/Terrain.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include "RealData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace kestrova {
namespace {

constexpr double kKmPerDegree = 6371.0 * 3.141592653589793 / 180.0;

// A store and zone map over an empty directory: every height is void (0 m
// to the engine) and every zone 0 (land).
struct NoData {
    CSRTM store{CSRTM::kTilesPerStore, "/nonexistent-kestrova/"};
    CZONES zones{"/nonexistent-kestrova/"};
};

LinkInputs Inputs(double f, double p) {
    LinkInputs inputs;
    inputs.frequency = f;
    inputs.timePercent = p;
    return inputs;
}

// An east-going path along the equator of the given length.
CLocator EastOf(double km) {
    return CLocator(0.0, km / kKmPerDegree);
}

TEST(EngineSampling, SpacingAndSampleCount) {
    struct Case {
        double lengthKm;
        bool coverage;
        int count;
        double lastKm;
    } cases[] = {
        {10.001, false, 400, 9.975}, // 25 m spacing; the receiver sample falls short
        {1.0, false, 20, 0.95},      // L / 20
        {30.001, false, 600, 29.95}, // 1200 > 999 samples: 50 m
        {30.001, true, 240, 29.875}, // at most 250 in coverage: 125 m
        {100.0, false, 800, 99.875}, // 125 m
    };
    NoData data;
    auto engine = std::make_unique<CTerrain>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lengthKm);
        const bool ok = c.coverage
                            ? engine->CalculateCoarse(data.store, data.zones, CLocator(0, 0),
                                                      EastOf(c.lengthKm), Inputs(1, 50))
                            : engine->CalculateLink(data.store, data.zones, CLocator(0, 0),
                                                    EastOf(c.lengthKm), false, Inputs(1, 50));
        ASSERT_TRUE(ok);
        EXPECT_EQ(engine->profile.count, c.count);
        EXPECT_NEAR(engine->profile.distance[c.count - 1], c.lastKm, 1e-6);
        EXPECT_NEAR(engine->pathLength, c.lengthKm, 1e-6);
    }
    EXPECT_FALSE(engine->CalculateLink(data.store, data.zones, CLocator(0, 0), EastOf(0.09), false,
                                       Inputs(1, 50)));
    EXPECT_FALSE(engine->valid);
}

TEST(EngineSampling, KFactorFromDeltaN) {
    NoData data;
    auto engine = std::make_unique<CTerrain>();
    LinkInputs inputs = Inputs(1, 50);
    inputs.deltaN = 40.0;
    ASSERT_TRUE(
        engine->CalculateLink(data.store, data.zones, CLocator(0, 0), EastOf(10), false, inputs));
    EXPECT_NEAR(engine->kMedian, 157.0 / 117.0, 1e-12);
    const auto choice =
        ChooseRefractivity(nullptr, CLocator(0, 0), EastOf(10), false, true, 320, 45, 4.0 / 3.0);
    EXPECT_NEAR(choice.deltaN, 39.25, 1e-12);
    EXPECT_NEAR(p452::KFactor(choice.deltaN), 4.0 / 3.0, 1e-12);
}

TEST(EngineRefractivity, PathCentreAcrossTheDateLine) {
    const CLocator centre = PathCentre(CLocator(10, 179), CLocator(20, -179));
    EXPECT_NEAR(centre.GetLatitude(), 15.0, 1e-12);
    EXPECT_NEAR(std::fabs(centre.GetLongitude()), 180.0, 1e-9);
    const CLocator plain = PathCentre(CLocator(51, -1.5), CLocator(52, -0.5));
    EXPECT_NEAR(plain.GetLongitude(), -1.0, 1e-12);
    // No maps: the last values stand.
    const auto choice = ChooseRefractivity(nullptr, CLocator(51, -1), CLocator(52, -1), false, true,
                                           310, 40, std::nullopt);
    EXPECT_EQ(choice.n0, 310);
    EXPECT_EQ(choice.deltaN, 40);
    EXPECT_FALSE(choice.fromMaps);
}

TEST(EngineRadial, OneRecordPerReceiverPosition) {
    NoData data;
    auto engine = std::make_unique<CTerrain>();
    std::array<RadialRecord, TerrainProfile::capacity> records{};
    int count = 0;
    ASSERT_TRUE(engine->CalculateRadial(data.store, data.zones, CLocator(0, 0), EastOf(10.001),
                                        false, Inputs(1, 50), count, records));
    ASSERT_EQ(count, 400);
    EXPECT_EQ(engine->profile.count, 400);
    for (int j : {2, 100, 399})
        EXPECT_NEAR(records[static_cast<size_t>(j)].distance, (j + 1.0) / 400 * 10.001, 1e-9) << j;
    EXPECT_EQ(records[1].distance, 0.0); // records 0 and 1 are not written
    // Nearer receivers lose less.
    EXPECT_LT(records[50].lb, records[399].lb);
}

class RealTerrain : public ::testing::Test {
protected:
    void SetUp() override {
        tiles = test::RealTileDirectory();
        if (tiles.empty())
            GTEST_SKIP() << "SRTM3 tile n51w002.hgt not found (set KESTROVA_DATA to the shared "
                            "data folder)";
    }
    std::string tiles;
};

// The default link: SU374616 (Walbury Hill area) to IO91IO44 near Oxford.
TEST_F(RealTerrain, DefaultLinkOverTheBerkshireDowns) {
    CSRTM store(CSRTM::kTilesPerStore, tiles);
    CZONES zones("/nonexistent-kestrova/");
    const CLocator tx("SU374616", FormatNGR);
    const CLocator rx("IO91IO44", FormatMaidenhead);
    auto engine = std::make_unique<CTerrain>();
    ASSERT_TRUE(engine->CalculateLink(store, zones, tx, rx, false, Inputs(10.368, 50)));
    CPath path;
    path.SetPath(tx, rx);
    double range = 0;
    double bearing = 0;
    path.GetRangeBearing(range, bearing);
    EXPECT_NEAR(engine->pathLength, range, 1e-12);
    const int n = engine->profile.count;
    EXPECT_EQ(n, static_cast<int>(std::floor(range / 0.05 + 1e-9))); // 50 m spacing
    EXPECT_EQ(engine->profile.height[0],
              store.GetHeight(tx.GetLatitude(), tx.GetLongitude(), false) + 10);
    EXPECT_GT(engine->profile.maxHeight, 150.0);
    // The overall loss never exceeds any single mechanism's bound.
    EXPECT_LE(engine->loss.lb, engine->loss.lbs);
    EXPECT_GE(engine->loss.lb, engine->loss.lbfsg - 10.0);
    EXPECT_GE(engine->profile.hullCount, 1);
    // The coarse entry sees the same path with fewer samples.
    auto coarse = std::make_unique<CTerrain>();
    ASSERT_TRUE(coarse->CalculateCoarse(store, zones, tx, rx, Inputs(10.368, 50)));
    EXPECT_LE(coarse->profile.count, 250);
    EXPECT_NEAR(coarse->loss.lbfsg, engine->loss.lbfsg, 1e-9);
    EXPECT_NEAR(coarse->loss.lb, engine->loss.lb, 10.0);
}

// The sampled profile, looked up from positions stepped along the great
// circle, is the one read at PointAtRange's positions: for coverage cells
// all round the transmitter and into the cells without a tile (every edge
// of n51w002 is crossed), with the zone map beside the test, and for the
// link entry without interpolation, which samples the same way.
TEST_F(RealTerrain, ProfilesAreThoseReadAtTheExactPositions) {
    CSRTM store(CSRTM::kTilesPerStore, tiles);
    CSRTM exact(CSRTM::kTilesPerStore, tiles);
    const CZONES zones(ExecutableDirectory());
    if (!zones.IsUsable()) GTEST_SKIP() << "zones01.dem not beside the test";
    const CLocator tx("SU374616", FormatNGR);
    auto engine = std::make_unique<CTerrain>();
    int profiles = 0;
    for (int i = 0; i <= 30; ++i)
        for (int j = 0; j <= 30; ++j) {
            const CLocator rx(tx.GetLatitude() - 0.75 + i * 0.05,
                              tx.GetLongitude() - 1.2 + j * 0.08);
            const bool link = (i + j) % 7 == 0;
            const bool ok =
                link ? engine->CalculateLink(store, zones, tx, rx, false, Inputs(1.3, 10))
                     : engine->CalculateCoarse(store, zones, tx, rx, Inputs(1.3, 50));
            if (!ok) continue;
            ++profiles;
            const TerrainProfile& p = engine->profile;
            for (int k = 0; k < p.count; ++k) {
                double lat = 0;
                double lon = 0;
                engine->path.PointAtRange(p.distance[k], lat, lon);
                int h = exact.GetHeight(lat, lon, false);
                if (h == exact.GetNoDataValue() || h == exact.GetVoidValue()) h = 0;
                const double antenna = k == 0 ? 10.0 : k == p.count - 1 ? 10.0 : 0.0;
                ASSERT_EQ(p.height[k], h + antenna) << i << ", " << j << ", sample " << k;
                ASSERT_EQ(p.zone[k], zones.GetZone(lat, lon)) << i << ", " << j << ", sample " << k;
            }
        }
    EXPECT_GT(profiles, 950);
}

} // namespace
} // namespace kestrova
