// CSRTM::GetHeight with interpolation: the four samples around a position,
// weighted by their distance, with sea and void samples left out.
#include "TileWriter.h"
#include "terrain/SRTM.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

using test::TempDir;
using test::WriteTile;

constexpr double kStep = 1.0 / 1200;

// Tile n10e020: the samples around node (row 600, col 600) are
// SW 100 (row 600, col 600), SE 200, NW 300, NE 400; the same quadrants
// continue outwards.
int Quadrants(int row, int col) {
    return 100 + (row < 600 ? 200 : 0) + (col > 600 ? 100 : 0);
}

class Interpolation : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<TempDir>();
        WriteTile(dir->Path("n10e020.hgt"), 1201, Quadrants);
        // n11e020: sea west of column 600, 10 m east of it.
        WriteTile(dir->Path("n11e020.hgt"), 1201, [](int, int col) { return col <= 600 ? 0 : 10; });
        // n12e020: void everywhere except 100 m at row 600, col 601.
        WriteTile(dir->Path("n12e020.hgt"), 1201,
                  [](int row, int col) { return row == 600 && col == 601 ? 100 : -32768; });
        // n13e020: sea everywhere.
        WriteTile(dir->Path("n13e020.hgt"), 1201, [](int, int) { return 0; });
    }
    static void TearDownTestSuite() { dir.reset(); }
    // Latitude and longitude a fraction of a step north-east of node
    // (row 600, col 600) of the tile whose south-west corner is (lat0, lon0).
    static double Lat(double lat0, double north) { return lat0 + (600 + north) * kStep; }
    static double Lon(double lon0, double east) { return lon0 + (600 + east) * kStep; }
    static std::unique_ptr<TempDir> dir;
    CSRTM store{CSRTM::kTilesPerStore, dir->Dir()};
};
std::unique_ptr<TempDir> Interpolation::dir;

TEST_F(Interpolation, WeightsFallWithDistanceFromEachSample) {
    // 0.1 step north and 0.2 step east of the south-west sample: weights
    // sqrt(2) - distance, in steps, are SW 1.1906, SE 0.6080, NW 0.4922,
    // NE 0.2100, so (119.06 + 121.60 + 147.66 + 84.00) / 2.5008 = 188.87.
    EXPECT_EQ(store.GetHeight(Lat(10, 0.1), Lon(20, 0.2), true), 189);
    EXPECT_EQ(store.GetHeight(Lat(10, 0.1), Lon(20, 0.2), false), 100);
    // In the middle all four weigh the same: 250.
    EXPECT_EQ(store.GetHeight(Lat(10, 0.5), Lon(20, 0.5), true), 250);
}

TEST_F(Interpolation, OnANodeTheNodeDominates) {
    // Just north-east of a node, the south-west corner is the node (weight
    // about sqrt 2), the north-west and south-east corners its neighbours
    // (sqrt 2 - 1) and the north-east corner the diagonal (weight about 0):
    // (141.42 + 41.42 * 5) / 224.26 = 155.41.
    const double hair = 1e-6;
    EXPECT_EQ(store.GetHeight(Lat(10, hair), Lon(20, hair), true), 155);
    // Exactly on the node, the corners half a step away lie on the border
    // between two nodes, and the rounding of the position may put all of
    // them on the node itself: its own height.
    EXPECT_EQ(store.GetHeight(Lat(10, 0), Lon(20, 0), true), 100);
}

TEST_F(Interpolation, AFarSampleWeighsLittle) {
    // Just north-east of node (600, 600) of n12e020 the one sample with a
    // height is the south-east neighbour: 100, whatever its weight.
    EXPECT_EQ(store.GetHeight(Lat(12, 1e-6), Lon(20, 1e-6), true), 100);
    EXPECT_EQ(store.GetHeight(Lat(12, -0.9), Lon(20, 0.9), true), 100);
}

TEST_F(Interpolation, SeaAndVoidSamplesAreLeftOut) {
    EXPECT_EQ(store.GetHeight(Lat(11, 0.5), Lon(20, 0.5), true), 10); // two sea, two 10 m
    EXPECT_EQ(store.GetHeight(Lat(11, 0.5), Lon(20, -5.5), true), 0); // all sea
    EXPECT_EQ(store.GetHeight(Lat(13, 0.3), Lon(20, 0.3), true), 0);
    EXPECT_EQ(store.GetHeight(Lat(12, 0.5), Lon(20, 0.5), true), 100);    // three void
    EXPECT_EQ(store.GetHeight(Lat(12, 0.5), Lon(20, 5.5), true), -32767); // all void
}

TEST_F(Interpolation, MissingNeighbourTilesCountAsVoid) {
    // On the north edge of n13e020 (sea) the northern corners fall in the
    // missing n14e020: two void, two sea, nothing to average.
    EXPECT_EQ(store.GetHeight(14.0 - 0.1 * kStep, 20.5, true), -32767);
}

TEST(InterpolationResolution, UsesTheSpacingOfTheTile) {
    TempDir dir;
    WriteTile(dir.Path("n51w002.hgt"), 3601, test::Pattern);
    CSRTM store(CSRTM::kTilesPerStore, dir.Dir());
    // Half a 1-arc-second step from node (row 1800, col 1800) in both
    // directions: the mean of the four samples around it.
    const double s = 1.0 / 3600;
    const int mean = (test::Pattern(1800, 1800) + test::Pattern(1800, 1801) +
                      test::Pattern(1799, 1800) + test::Pattern(1799, 1801)) /
                     4;
    EXPECT_EQ(store.GetHeight(51.0 + 1800.5 * s, -2.0 + 1800.5 * s, true), mean);
}

TEST(InterpolationCorners, EachCornerReadsItsOwnSample) {
    // In the middle of each sample cell the four corners weigh the same, so
    // the result is the mean of the four samples around it: for the pattern
    // (37 a row, 11 a column) that is the south-west sample - 13. A corner
    // whose node position rounded into the sample south or west of it would
    // change the mean.
    for (int size : {1201, 3601}) {
        TempDir dir;
        WriteTile(dir.Path("n51w002.hgt"), size, test::Pattern);
        CSRTM store(CSRTM::kTilesPerStore, dir.Dir());
        const double s = 1.0 / (size - 1);
        for (int k = 1; k < size - 2; k += 7) {
            const int row = size - 1 - k;
            const int col = (k * 5) % (size - 2);
            const double lat = 51.0 + (k + 0.5) * s;
            const double lon = -2.0 + (col + 0.5) * s;
            const int raw = 37 * row + 11 * col;
            if ((raw - 37) / 30000 != (raw + 11) / 30000) continue; // the pattern wraps there
            ASSERT_EQ(store.GetHeight(lat, lon, true), test::Pattern(row, col) - 13)
                << size << " row " << row << " col " << col;
        }
    }
}

} // namespace
} // namespace kestrova
