// The branch-free largest-and-place helpers of the diffraction edge and
// horizon searches: they must agree with the plain loops they replace
// ("if (v[i] > best)" for the first of equal values, ">=" for the last)
// over runs of every length round the four-at-a-time loop, with NaN
// samples, signed zeros and a floor above every sample.
#include "propagation/engine/Largest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace kestrova {
namespace {

TEST(LargestOfSamples, AgreesWithPlainLoops) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::vector<double>> runs = {
        {},
        {3.0},
        {1.0, 5.0, 5.0, 2.0, 5.0},                      // ties: first 1, last 4
        {nan, 2.0, nan, 7.0, 7.0, nan, 1.0, 0.5, -9.0}, // NaN never the largest
        {nan, nan, nan},
        {-0.0, 0.0, -0.0, 0.0, -0.0},
        {-5000.0, -4000.0, -3141.5, -3500.0, -3141.5}, // the floor itself met
        {-8000.0, -7000.0, -6000.0, -9000.0, -8500.0, -7500.0},
        {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
        {13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 13},
    };
    for (const auto& run : runs) {
        const int n = static_cast<int>(run.size());
        for (int first = 0; first <= n; ++first)
            for (int last = first - 1; last < n; ++last)
                for (double floor : {-3141.5, -std::numeric_limits<double>::infinity()}) {
                    const double largest = LargestOf(run.data(), first, last, floor);
                    double plain = floor;
                    for (int i = first; i <= last; ++i)
                        if (run[i] > plain) plain = run[i];
                    ASSERT_TRUE(largest == plain) << first << ".." << last << " " << largest;
                    int firstPlace = -1;
                    int lastPlace = -1;
                    for (int i = first; i <= last; ++i) {
                        if (run[i] == plain && firstPlace < 0) firstPlace = i;
                        if (run[i] >= plain) lastPlace = i;
                    }
                    EXPECT_EQ(FirstEqual(run.data(), first, last, largest), firstPlace);
                    EXPECT_EQ(LastEqual(run.data(), first, last, largest), lastPlace);
                }
    }
}

} // namespace
} // namespace kestrova
