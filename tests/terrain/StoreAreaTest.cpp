// CSRTM::GetArea: the grid's positions, its height range and its failures.
#include "TileWriter.h"
#include "terrain/SRTM.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace kestrova {
namespace {

using test::TempDir;
using test::WriteTile;

class Area : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<TempDir>();
        WriteTile(dir->Path("n51w001.hgt"), 1201, test::Pattern);
        // n50w001: 40 m, with a void, a deep (no-data) and a -20 m sample
        // near the north-west corner (its row 0 is read from n51w001).
        WriteTile(dir->Path("n50w001.hgt"), 1201, [](int row, int col) {
            if (row == 1 && col == 0) return -32768;
            if (row == 1 && col == 1) return -400;
            if (row == 2 && col == 0) return -20;
            return 40;
        });
        WriteTile(dir->Path("n49w001.hgt"), 1201, [](int, int) { return 0; });
    }
    static void TearDownTestSuite() { dir.reset(); }
    static std::unique_ptr<TempDir> dir;
    CSRTM store{CSRTM::kTilesPerStore, dir->Dir()};
};
std::unique_ptr<TempDir> Area::dir;

TEST_F(Area, RowsRunSouthFromOneStepAboveTheTopRow) {
    const CHeightGrid* grid = store.GetArea(-1.0, 51.0, 3, 2, 0.1, false);
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->Rows(), 2);
    ASSERT_EQ(grid->Cols(), 3);
    EXPECT_EQ(store.GetAreaGrid(), grid);
    CSRTM reference(CSRTM::kTilesPerStore, dir->Dir());
    const double lats[] = {51.2, 51.1};
    const double lons[] = {-1.0, -0.9, -0.8};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ((*grid)[i][j], reference.GetHeight(lats[i], lons[j], false)) << i << j;
    store.FreeArea();
    EXPECT_EQ(store.GetAreaGrid(), nullptr);
}

TEST_F(Area, HeightRangeIgnoresSeaAndVoid) {
    // 3 x 3 samples from row 1, column 0 of n50w001, one step apart.
    const double s = 1.0 / 1200;
    const CHeightGrid* grid = store.GetArea(-1.0 + 0.25 * s, 51.0 - 3.75 * s, 3, 3, s, false);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ((*grid)[0][0], -32767);
    EXPECT_EQ((*grid)[0][1], 0);
    EXPECT_EQ((*grid)[1][0], -20);
    EXPECT_EQ(store.GetMaxHeight(), 40);
    EXPECT_EQ(store.GetMinHeight(), -20);

    ASSERT_NE(store.GetArea(-0.9, 49.1, 4, 4, 0.1, true), nullptr); // all sea
    EXPECT_EQ(store.GetMaxHeight(), 0);
    EXPECT_EQ(store.GetMinHeight(), 0);
}

TEST_F(Area, CellsWithoutTilesAreVoid) {
    const CHeightGrid* grid = store.GetArea(-1.5, 51.0, 2, 1, 0.6, false); // w002 is missing
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ((*grid)[0][0], -32767);
    EXPECT_NE((*grid)[0][1], -32767);
}

TEST_F(Area, BadStepsAndSizesGiveNoGrid) {
    EXPECT_EQ(store.GetArea(-1.0, 51.0, 3, 2, 0.0, false), nullptr);
    EXPECT_EQ(store.GetArea(-1.0, 51.0, 3, 2, -0.1, false), nullptr);
    EXPECT_EQ(store.GetArea(-1.0, 51.0, 3, 2, std::nan(""), false), nullptr);
    EXPECT_EQ(store.GetArea(-1.0, 51.0, -3, 2, 0.1, false), nullptr);
    EXPECT_EQ(store.GetArea(-1.0, 51.0, INT_MAX, INT_MAX, 0.1, false), nullptr);
    EXPECT_EQ(store.GetAreaRows(), INT_MAX);
    const CHeightGrid* empty = store.GetArea(-1.0, 51.0, 0, 0, 0.1, false);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->Rows(), 0);
}

} // namespace
} // namespace kestrova
