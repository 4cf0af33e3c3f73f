// How a grid is shown, before any drawing: cell colours, the block of
// pixels each cell takes on the 500 x 500 map, the 20 dB contour levels and
// the scale labels.
#include "coverage/CoverageDisplay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kestrova {
namespace {

// Expected colours worked from the ramp and HSL formulas; limits 100 and
// -20 dB(µV/m) unless the row says otherwise.
TEST(CoverageColours, GreyAndColourMapOfAFieldStrength) {
    struct Row {
        double fs, maxFs, minFs;
        Colour grey, colour;
    };
    const Row rows[] = {
        {200.0, 100.0, -20.0, white, {128, 0, 0}},              // above the upper limit
        {100.0, 100.0, -20.0, white, {128, 0, 0}},              // at it
        {40.0, 100.0, -20.0, {128, 128, 128}, {131, 255, 124}}, // grey 128
        {-20.0, 100.0, -20.0, black, navy},                     // at the lower limit
        {-50.0, 100.0, -20.0, black, navy},                     // below it
        {40.0, -20.0, 100.0, {128, 128, 128}, {131, 255, 124}}, // limits swapped
        {0.0, 10.0, 10.0, white, {128, 0, 0}},                  // equal limits: white cells
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CoverageGrey(row.fs, row.maxFs, row.minFs), row.grey) << row.fs;
        EXPECT_EQ(CoverageColour(row.fs, row.maxFs, row.minFs), row.colour) << row.fs;
    }
    // A cell that was never computed is black, whatever the limits.
    EXPECT_EQ(CoverageGrey(std::numeric_limits<double>::quiet_NaN(), 100.0, -20.0), black);
}

TEST(CoverageBlocks, CornerAndSizeOfACell) {
    struct Row {
        int n, size;
        int x[6]; // columns 0, 1, 2, 3, 4, n - 1
    };
    const Row rows[] = {
        {5, 100, {0, 100, 200, 300, 400, 400}}, {7, 72, {0, 71, 143, 214, 286, 429}},
        {173, 3, {0, 3, 6, 9, 12, 497}},        {175, 3, {0, 3, 6, 9, 11, 497}},
        {499, 2, {0, 1, 2, 3, 4, 499}},         {500, 1, {0, 1, 2, 3, 4, 499}},
        {501, 1, {0, 1, 2, 3, 4, 499}},         {1000, 1, {0, 1, 1, 2, 2, 500}},
    };
    for (const Row& row : rows) {
        const int columns[6] = {0, 1, 2, 3, 4, row.n - 1};
        for (int k = 0; k < 6; ++k) {
            const CellBlock block = CoverageCellBlock(columns[k], columns[k], row.n);
            EXPECT_EQ(block.x, row.x[k]) << "n " << row.n << ", column " << columns[k];
            EXPECT_EQ(block.y, row.x[k]) << "n " << row.n << ", row " << columns[k];
            EXPECT_EQ(block.size, row.size) << "n " << row.n;
        }
    }
    EXPECT_DOUBLE_EQ(CoveragePixelsPerCell(175), 500.0 / 175.0);
}

TEST(CoverageContours, TwentyDecibelLevelsInHundredths) {
    struct Row {
        double maxFs, minFs;
        std::vector<int> levels;
    };
    const Row rows[] = {
        {95.0, -15.0, {-2000, 0, 2000, 4000, 6000, 8000, 10000}},
        {-15.0, 95.0, {-2000, 0, 2000, 4000, 6000, 8000, 10000}},  // either order
        {100.0, -20.0, {-2000, 0, 2000, 4000, 6000, 8000, 10000}}, // limits on a level
        {10.0, 10.0, {0, 2000}},
        {0.0, 0.0, {0}},
        {-41.0, -59.0, {-6000, -4000}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ContourLevels(row.maxFs, row.minFs), row.levels) << row.maxFs << " " << row.minFs;

    const std::vector<int> widest = ContourLevels(200.0, -200.0);
    ASSERT_EQ(widest.size(), 21u);
    EXPECT_EQ(widest.front(), -20000);
    EXPECT_EQ(widest.back(), 20000);
    // No limit can make a level the 16-bit grid cannot hold, or overflow.
    for (int level : ContourLevels(1e300, -1e300))
        EXPECT_LE(std::abs(level), 34000);
    EXPECT_TRUE(ContourLevels(std::nan(""), 0.0).empty());
}

TEST(CoverageLabels, FixedWithUnit) {
    EXPECT_EQ(FieldStrengthLabel(100.0), "100.0 dBuV/m");
    EXPECT_EQ(FieldStrengthLabel(-20.0), "-20.0 dBuV/m");
    EXPECT_EQ(FieldStrengthLabel(-199.96), "-200.0 dBuV/m");
    EXPECT_EQ(FieldStrengthLabel(12.34), "12.3 dBuV/m");
    EXPECT_EQ(HeightLabel(500.0), "500 m");
    EXPECT_EQ(HeightLabel(0.0), "0 m");
    EXPECT_EQ(HeightLabel(-1000.0), "-1000 m");
    EXPECT_EQ(HeightLabel(10000.0), "10000 m"); // five digits stay readable
}

} // namespace
} // namespace kestrova
