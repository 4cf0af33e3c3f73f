// The zone map generator's rule (tools/zones/ZoneRule.h) on a coarse world
// grid of 0.1-degree cells: sea, coastal land within 50 km, inland, lakes.
#include "ZoneRule.h"

#include <gtest/gtest.h>

namespace kestrova::zones {
namespace {

constexpr int kRows = 1800;
constexpr int kCols = 3600;

// Land everywhere, ocean in columns 0-99 (180 W to 170 W), a large lake and
// a small lake near the equator, and an island in the large lake.
class Rule : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::vector<std::uint8_t> level(kRows * kCols, 1);
        std::vector<std::uint8_t> large(kRows * kCols, 0);
        auto fill = [&](int row0, int row1, int col0, int col1, std::uint8_t value, bool big) {
            for (int r = row0; r <= row1; ++r)
                for (int c = col0; c <= col1; ++c) {
                    level[r * kCols + c] = value;
                    large[r * kCols + c] = big;
                }
        };
        fill(0, kRows - 1, 0, 99, 0, false);  // ocean
        fill(880, 920, 2000, 2040, 2, true);  // large lake
        fill(898, 902, 2018, 2022, 3, false); // island in it
        fill(880, 920, 3000, 3040, 2, false); // small lake
        codes = ClassifyZones({kRows, kCols, level.data(), large.data()});
    }
    static int At(int row, int col) { return codes[row * kCols + col]; }
    static std::vector<std::uint8_t> codes;
};
std::vector<std::uint8_t> Rule::codes;

TEST_F(Rule, LandWithin50KmOfTheSeaIsCoastal) {
    // Row 900 is at 0.05 S: 0.1 degree of longitude is 11.1 km.
    EXPECT_EQ(At(900, 99), kSea);
    EXPECT_EQ(At(900, 100), kCoastal);  // 11 km
    EXPECT_EQ(At(900, 103), kCoastal);  // 44 km
    EXPECT_EQ(At(900, 104), kInland);   // 56 km
    EXPECT_EQ(At(900, 3599), kCoastal); // across 180 degrees: 11 km
    EXPECT_EQ(At(900, 3595), kInland);  // 56 km
    // Row 299 is at 60.05 N: 0.1 degree of longitude is 5.55 km.
    EXPECT_EQ(At(299, 108), kCoastal); // 0.9 degree: 49.96 km
    EXPECT_EQ(At(299, 109), kInland);  // 55.5 km
}

TEST_F(Rule, LargeLakesAreSeaAndSmallLakesLand) {
    EXPECT_EQ(At(900, 2010), kSea);
    EXPECT_EQ(At(900, 2020), kCoastal); // the island
    EXPECT_EQ(At(900, 2044), kCoastal); // the lake's shore
    EXPECT_EQ(At(900, 2050), kInland);
    EXPECT_EQ(At(900, 3020), kInland); // in the small lake
    EXPECT_EQ(At(900, 3042), kInland); // beside it
}

TEST(RulePacking, FourCellsAByteFirstColumnHighest) {
    const std::vector<std::uint8_t> codes = {1, 2, 3, 0, 3, 3, 1, 1};
    const auto packed = PackZones(codes, 1, 8);
    ASSERT_EQ(packed.size(), 2u);
    EXPECT_EQ(packed[0], 0b01'10'11'00);
    EXPECT_EQ(packed[1], 0b11'11'01'01);
}

} // namespace
} // namespace kestrova::zones
