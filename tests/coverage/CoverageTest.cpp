// The coverage grid: its area, its values, and a walk that gives the same
// grid on any number of threads and stops promptly when asked.
#include "coverage/Coverage.h"
#include "geo/FileLocations.h"
#include "geo/Path.h"
#include "propagation/FieldStrength.h"
#include "propagation/P676.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include "RealData.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace kestrova {
namespace {

TEST(CoverageArea, SpansTheLongitudeExtentAnywhere) {
    for (double lon : {-1.46, 0.0, 0.2, 120.0}) {
        const CLocator tx(52.0, lon);
        const auto area = CoverageAreaAround(tx, 50.0, 30);
        ASSERT_TRUE(area) << lon;
        double n = 0, s = 0, e = 0, w = 0, unused = 0;
        tx.DestinationPoint(n, unused, 50.0, 0.0);
        tx.DestinationPoint(s, unused, 50.0, 180.0);
        tx.DestinationPoint(unused, e, 50.0, 90.0);
        tx.DestinationPoint(unused, w, 50.0, 270.0);
        EXPECT_GT(e - w, n - s);
        EXPECT_DOUBLE_EQ(area->extent, e - w);
        EXPECT_EQ(area->n, static_cast<int>((e - w) / (30.0 / 3600.0) + 0.5));
        EXPECT_EQ(area->n, 175);
        EXPECT_DOUBLE_EQ(area->north, 52.0 + area->extent / 2);
        EXPECT_DOUBLE_EQ(area->west, lon - area->extent / 2);
        EXPECT_DOUBLE_EQ(area->south, area->north - area->extent);
    }
    EXPECT_FALSE(CoverageAreaAround(CLocator(52.0, 0.0), 1.0, 3600)); // fewer than 5 x 5 cells
    EXPECT_FALSE(CoverageAreaAround(CLocator(52.0, 0.0), 3000.0, 1)); // more than memory holds
}

TEST(CoverageValues, HundredthsRoundHalfUpAndSaturate) {
    EXPECT_EQ(GridValue(12.125), 1213);
    EXPECT_EQ(GridValue(-12.125), -1212);
    EXPECT_EQ(GridValue(0.004), 0);
    EXPECT_EQ(GridValue(400.0), 32767);
    EXPECT_EQ(GridValue(-400.0), -32767);
    // -32768 is kept for a cell without a figure.
    EXPECT_EQ(GridValue(std::nan("")), noGridValue);
    EXPECT_EQ(noGridValue, -32768);
    EXPECT_NEAR(FieldStrength(1.0, 197.2), 0.0, 1e-12);
    EXPECT_NEAR(FieldStrength(10.0, 100.0), 117.2, 1e-12);
}

class CoverageWalk : public ::testing::Test {
protected:
    void SetUp() override {
        tiles = test::RealTileDirectory();
        if (tiles.empty())
            GTEST_SKIP() << "SRTM3 tile n51w002.hgt not found (set KESTROVA_DATA to the shared "
                            "data folder)";
    }
    CoverageInputs Inputs(int threads) const {
        CoverageInputs inputs;
        inputs.tx = CLocator("SU374616", FormatNGR);
        inputs.link.frequency = 0.145;
        inputs.gamma = 0.01;
        inputs.tileDirectory = tiles;
        inputs.zoneDirectory = "/nonexistent-kestrova/";
        inputs.threads = threads;
        return inputs;
    }
    std::string tiles;
};

// A 5 x 5 grid whose centre node is the transmitter itself.
CoverageArea AroundTheTransmitter(const CLocator& tx, double step) {
    CoverageArea area;
    area.n = 5;
    area.step = step;
    area.resolution = static_cast<int>(step * 3600);
    area.extent = 4 * step;
    area.north = tx.GetLatitude() + 2 * step;
    area.west = tx.GetLongitude() - 2 * step;
    area.south = area.north - area.extent;
    area.east = area.west + area.extent;
    return area;
}

TEST_F(CoverageWalk, SameGridOnAnyNumberOfThreads) {
    const CLocator tx("SU374616", FormatNGR);
    const auto area = CoverageAreaAround(tx, 8.0, 30);
    ASSERT_TRUE(area);
    CoverageJob one(*area, Inputs(1));
    one.Start();
    ASSERT_TRUE(one.Wait());
    for (int threads : {2, 3}) {
        CoverageJob many(*area, Inputs(threads));
        many.Start();
        ASSERT_TRUE(many.Wait());
        EXPECT_EQ(many.ThreadCount(), threads);
        for (int i = 0; i < area->n; ++i)
            for (int j = 0; j < area->n; ++j)
                ASSERT_EQ(many.Value(i, j), one.Value(i, j)) << i << ", " << j << " on " << threads;
    }
    // Field strength falls with distance: the edge is weaker than the centre.
    EXPECT_GT(one.Value(area->n / 2, area->n / 2), one.Value(0, 0));
}

// P.452-18 maps too give one grid whatever the thread count, its own: the
// delta-Bullington diffraction loses less than P.452-14's over the hills.
TEST_F(CoverageWalk, Edition18GivesItsOwnGridOnAnyNumberOfThreads) {
    const CLocator tx("SU374616", FormatNGR);
    const auto area = CoverageAreaAround(tx, 8.0, 30);
    ASSERT_TRUE(area);
    CoverageInputs inputs = Inputs(1);
    inputs.link.edition = Edition::P452_18;
    inputs.gamma = 0.0;
    CoverageJob one(*area, inputs);
    one.Start();
    ASSERT_TRUE(one.Wait());
    inputs.threads = 2;
    CoverageJob two(*area, inputs);
    two.Start();
    ASSERT_TRUE(two.Wait());
    CoverageJob old(*area, Inputs(1));
    old.Start();
    ASSERT_TRUE(old.Wait());
    int differing = 0;
    for (int i = 0; i < area->n; ++i)
        for (int j = 0; j < area->n; ++j) {
            ASSERT_EQ(two.Value(i, j), one.Value(i, j)) << i << ", " << j;
            ASSERT_NE(one.Value(i, j), noGridValue) << i << ", " << j;
            differing += one.Value(i, j) != old.Value(i, j);
        }
    EXPECT_GT(differing, area->n * area->n / 2);
}

TEST_F(CoverageWalk, TransmitterCellTakesTheFieldJustNorthOfIt) {
    const CLocator tx("SU374616", FormatNGR);
    const CoverageArea area = AroundTheTransmitter(tx, 0.01);
    // The reference: one cell 0.101 km due north of the transmitter.
    CPath path;
    path.SetPath(tx, tx);
    double lat = 0;
    double lon = 0;
    path.PointAt(0.0, 0.101, lat, lon);
    CSRTM store(CSRTM::kTilesPerStore, tiles);
    CZONES zones("/nonexistent-kestrova/");
    auto engine = std::make_unique<CTerrain>();
    const CoverageInputs inputs = Inputs(1);
    ASSERT_TRUE(engine->CalculateCoarse(store, zones, tx, CLocator(lat, lon), inputs.link));
    const double expected = FieldStrength(
        0.145, TotalLossDb(engine->loss.lb, GaseousLossDb(inputs.gamma, engine->pathLength)));

    for (int threads : {1, 2, 4}) {
        CoverageJob job(area, Inputs(threads));
        job.Start();
        ASSERT_TRUE(job.Wait());
        // The grid holds hundredths of a dB.
        EXPECT_NEAR(job.Value(2, 2), expected, 0.005 + 1e-9) << threads;
    }
}

// The default map (SU374616, 50 km at 30", 1.3 GHz, 10 m antennas, 50 %,
// the weather of the command-line defaults) with the zone map beside the
// test: its grid on one and on two threads is the one the engine gave
// before the profile sampling stepped along the great circle, as the grid
// keeps hundredths of dB (FNV-1a of the 16-bit grid values, row by row,
// low byte first).
TEST_F(CoverageWalk, DefaultMapGivesTheSameGridAsEver) {
    if (!CZONES(ExecutableDirectory()).IsUsable())
        GTEST_SKIP() << "zones01.dem not beside the test";
    CoverageInputs inputs = Inputs(1);
    inputs.link.frequency = 1.3;
    inputs.gamma =
        P676::GaseousAttenuation(1.3, 1000.0, 20.0, P676::WaterVapourDensity(50.0, 20.0, true));
    inputs.zoneDirectory = ExecutableDirectory();
    const auto area = CoverageAreaAround(inputs.tx, 50.0, 30);
    ASSERT_TRUE(area);
    ASSERT_EQ(area->n, 173);
    for (int threads : {1, 2}) {
        inputs.threads = threads;
        CoverageJob job(*area, inputs);
        job.Start();
        ASSERT_TRUE(job.Wait());
        std::uint64_t hash = 1469598103934665603ull;
        for (int i = 0; i < area->n; ++i)
            for (int j = 0; j < area->n; ++j) {
                const auto v = static_cast<std::uint16_t>(job.GridAt(i, j));
                hash = (hash ^ (v & 0xff)) * 1099511628211ull;
                hash = (hash ^ (v >> 8)) * 1099511628211ull;
            }
        EXPECT_EQ(hash, 0x580fb8b6303b3cffull) << threads << " threads";
        EXPECT_EQ(job.GridAt(0, 0), 1055);
        EXPECT_EQ(job.GridAt(86, 86), 11444);
    }
}

// A transmitter the engine cannot place (not a number) gives cells with
// no value, never figures left over from another cell.
TEST_F(CoverageWalk, CellsTheEngineCannotEvaluateHoldNoValue) {
    const CLocator tx("SU374616", FormatNGR);
    const CoverageArea area = AroundTheTransmitter(tx, 0.01);
    CoverageInputs inputs = Inputs(2);
    inputs.tx.SetLatLon(std::nan(""), std::nan(""));
    CoverageJob job(area, inputs);
    job.Start();
    ASSERT_TRUE(job.Wait());
    for (int i = 0; i < area.n; ++i)
        for (int j = 0; j < area.n; ++j) {
            EXPECT_TRUE(std::isnan(job.Value(i, j))) << i << ", " << j;
            EXPECT_EQ(job.GridAt(i, j), noGridValue);
        }
}

// WaitFor() returns the moment the last worker ends: the wait's limit is
// far beyond the walk, and every cell is there (and the same grid as the
// joined job's) before the workers are joined.
TEST_F(CoverageWalk, WaitForWakesWithEveryCellDone) {
    const CLocator tx("SU374616", FormatNGR);
    const auto area = CoverageAreaAround(tx, 5.0, 30);
    ASSERT_TRUE(area);
    CoverageJob reference(*area, Inputs(1));
    reference.Start();
    ASSERT_TRUE(reference.Wait());
    for (int threads : {1, 2}) {
        SCOPED_TRACE(threads);
        CoverageJob job(*area, Inputs(threads));
        EXPECT_TRUE(job.WaitFor(std::chrono::milliseconds(0))); // not started: nothing to wait for
        job.Start();
        ASSERT_TRUE(job.WaitFor(std::chrono::hours(1)));
        ASSERT_EQ(job.CellsDone(), job.CellCount());
        for (int j = 0; j < area->n; ++j) {
            ASSERT_TRUE(job.ColumnDone(j)) << j;
            for (int i = 0; i < area->n; ++i)
                ASSERT_EQ(job.GridAt(i, j), reference.GridAt(i, j)) << i << "," << j;
        }
        EXPECT_TRUE(job.Wait());
    }
}

TEST_F(CoverageWalk, WaitForWakesWhenAnAbortedWalkEnds) {
    const CLocator tx("SU374616", FormatNGR);
    const auto area = CoverageAreaAround(tx, 50.0, 10); // about 270 000 cells
    ASSERT_TRUE(area);
    CoverageJob job(*area, Inputs(2));
    job.Start();
    while (job.CellsDone() < 50)
        std::this_thread::yield();
    job.RequestAbort();
    ASSERT_TRUE(job.WaitFor(std::chrono::hours(1)));
    EXPECT_LT(job.CellsDone(), job.CellCount());
    EXPECT_FALSE(job.Wait());
}

TEST_F(CoverageWalk, AbortStopsAfterTheCellsInHand) {
    const CLocator tx("SU374616", FormatNGR);
    const auto area = CoverageAreaAround(tx, 50.0, 10); // about 270 000 cells
    ASSERT_TRUE(area);
    CoverageJob job(*area, Inputs(2));
    job.Start();
    while (job.CellsDone() < 200)
        std::this_thread::yield();
    job.RequestAbort();
    const int atAbort = job.CellsDone();
    EXPECT_FALSE(job.Wait());
    EXPECT_TRUE(job.Aborted());
    EXPECT_LE(job.CellsDone(), atAbort + job.ThreadCount());
    EXPECT_LT(job.CellsDone(), job.CellCount());
}

} // namespace
} // namespace kestrova
