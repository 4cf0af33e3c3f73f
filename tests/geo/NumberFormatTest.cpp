#include "geo/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kestrova {
namespace {

struct FixedCase {
    double value;
    int precision;
    int decimals;
    const char* expected;
};

// Significant digits and decimals: whichever is coarser wins; ties round away
// from zero; exactly `decimals` digits are printed.
TEST(FormatFixed, RoundsToTheCoarserLimitAndPads) {
    const FixedCase cases[] = {
        {51.5, 7, 7, "51.5000000"},    // 7 significant digits keep 5 decimals, padded to 7
        {0.1, 8, 7, "0.1000000"},      // leading zeros are not significant
        {51.52283022, 7, 3, "51.523"}, // decimals coarser
        {51.52283022, 3, 3, "51.500"}, // significant digits coarser
        {59.96, 3, 1, "60.0"},         // seconds that round up: no carry elsewhere
        {27.0, 3, 1, "27.0"},
        {9.96, 3, 1, "10.0"},
        {0.125, 4, 2, "0.13"}, // exact tie, away from zero
        {2.5, 2, 0, "3"},
        {0.5, 2, 0, "1"},
        {0.4, 2, 0, "0"},
        {-1.25, 4, 1, "-1.3"},
        {-0.04, 4, 1, "0.0"}, // rounds to zero: no minus sign
        {0.0, 4, 1, "0.0"},
        {-0.0, 2, 0, "0"},
        {1e-9, 4, 2, "0.00"},
        {123456.7, 6, 1, "123457.0"},
        {999.96, 4, 1, "1000.0"},
        {179.99999, 3, 0, "180"},
        {1234567.8, 6, 1, "1.23457E+06"}, // more integer digits than the precision
        {9999.96, 4, 1, "1.000E+04"},     // ...also after rounding up
    };
    for (const FixedCase& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.precision, c.decimals), c.expected)
            << c.value << " fixed(" << c.precision << ", " << c.decimals << ")";
}

TEST(FormatFixed, NonFiniteValuesHaveWords) {
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::quiet_NaN(), 4, 1), "NAN");
    EXPECT_EQ(FormatFixed(-std::numeric_limits<double>::infinity(), 4, 1), "-INF");
}

TEST(FormatGeneral, MatchesPrintfG) {
    EXPECT_EQ(FormatGeneral(51.452345, 6), "51.4523");
    EXPECT_EQ(FormatGeneral(-1.234567, 6), "-1.23457");
    EXPECT_EQ(FormatGeneral(10.0, 6), "10");
}

} // namespace
} // namespace kestrova
