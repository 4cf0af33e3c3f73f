// The site evaluation's formulas and chart data: the coverage map's field
// strength against the evaluation's, the bearing arrows, the range taken over from the link, and
// the two charts' points built from engine results.
#include "coverage/Coverage.h"
#include "evaluation/Radial.h"
#include "evaluation/RadialCharts.h"
#include "evaluation/RadialControls.h"
#include "propagation/FieldStrength.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace kestrova {
namespace {

constexpr double ABSTOL__DB = 1e-9;

TEST(FieldStrength, HundredWattsIntoTenDbiIsTheCoverageMapsKilowatt) {
    EXPECT_NEAR(EirpDbw(100.0, 10.0), coverageEirpDbw, ABSTOL__DB);
    EXPECT_NEAR(EirpDbw(1e-6, -20.0), -80.0, ABSTOL__DB);
    for (double f : {0.025, 0.145, 10.368, 300.0})
        for (double loss : {60.0, 143.5})
            EXPECT_NEAR(FieldStrengthDbuVm(FieldStrengthConstant(EirpDbw(100.0, 10.0), f), loss),
                        FieldStrength(f, loss), ABSTOL__DB);
}

TEST(EvaluationControls, BearingArrowsWrap) {
    struct Case {
        double bearing;
        double up;
        double down;
    } cases[] = {
        {359.0, 0.0, 358.0}, {360.0, 1.0, 359.0},   {0.5, 1.5, 359.5}, {1.0, 2.0, 360.0},
        {0.0, 1.0, 359.0},   {358.5, 359.5, 357.5}, {1.5, 2.5, 0.5},   {359.5, 0.5, 358.5},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(BearingUp(c.bearing), c.up) << c.bearing;
        EXPECT_DOUBLE_EQ(BearingDown(c.bearing), c.down) << c.bearing;
    }
}

TEST(EvaluationControls, RangeFromTheLinkInKilometres) {
    EXPECT_DOUBLE_EQ(EvalRangeKm(10.0, true), 10.0);
    EXPECT_DOUBLE_EQ(EvalRangeKm(10.0, false), 16.09344); // the international mile
    EXPECT_DOUBLE_EQ(EvalRangeKm(3000.0, false), 3000.0); // 4828 km is beyond the field
    EXPECT_DOUBLE_EQ(EvalRangeKm(0.05, true), 0.1);
}

TEST(EvaluationControls, Texts) {
    EXPECT_EQ(EvalLocationText("SU37406160"), "TX from SU37406160");
    EXPECT_EQ(ProfileRangeTitle("45.0", "SU37406160"),
              "Range (km) on bearing 45.0 from SU37406160");
    EXPECT_EQ(FieldRangeTitle("45.0", "SU37406160"), "Range (km), on bearing 45.0 from SU37406160");
}

// Four samples of a link profile whose ends carry 10.5 m and 2.25 m antennas.
std::unique_ptr<TerrainProfile> FourSamples(double txEnd, double maxHeight) {
    auto profile = std::make_unique<TerrainProfile>();
    profile->count = 4;
    const double distance[] = {0.0, 1.0, 2.0, 3.0};
    const double height[] = {txEnd, 80.9, 120.2, 52.6};
    const double bulge[] = {0.0, 3.5, 3.5, 0.0};
    for (size_t i = 0; i < 4; ++i) {
        profile->distance[i] = distance[i];
        profile->height[i] = height[i];
        profile->earthBulge[i] = bulge[i];
    }
    profile->maxHeight = maxHeight;
    profile->midPathBulge = 4.0;
    return profile;
}

void ExpectPoints(const std::vector<ChartPoint>& points, const std::vector<double>& y) {
    ASSERT_EQ(points.size(), y.size());
    for (size_t i = 0; i < y.size(); ++i) {
        EXPECT_DOUBLE_EQ(points[i].x, static_cast<double>(i)) << i;
        EXPECT_DOUBLE_EQ(points[i].y, y[i]) << i;
    }
}

TEST(ProfileChartData, GroundAtTheEndsOverTheBulge) {
    const auto profile = FourSamples(110.9, 120.2);
    // Ends: 110 - 10.5 and 52 - 2.25, truncated to whole metres.
    const ProfileChart curved = MakeProfileChart(*profile, 10.5, 2.25, false);
    ExpectPoints(curved.terrain, {99.0, 83.5, 123.5, 49.0});
    ExpectPoints(curved.bulge, {0.0, 3.5, 3.5, 0.0});
    EXPECT_DOUBLE_EQ(curved.heightAxisMaximum, 1.5 * (120.2 + 4.0));

    const ProfileChart flat = MakeProfileChart(*profile, 10.5, 2.25, true);
    ExpectPoints(flat.terrain, {99.0, 80.0, 120.0, 49.0});
    ExpectPoints(flat.bulge, {0.0, 0.0, 0.0, 0.0});
    EXPECT_DOUBLE_EQ(flat.heightAxisMaximum, 1.5 * 120.2);

    // An end above the profile's maximum sets the axis (antenna included).
    EXPECT_DOUBLE_EQ(
        MakeProfileChart(*FourSamples(500.0, 120.2), 10.5, 2.25, true).heightAxisMaximum, 750.0);
}

TEST(FieldChartData, RecordsTwoToTheOneBeforeTheEnd) {
    std::array<RadialRecord, TerrainProfile::capacity> records{};
    for (int j = 0; j < 10; ++j)
        records[static_cast<size_t>(j)] = {0, 0, 0, 100.0 + j, 0.5 * (j + 1)};
    for (int N : {3, 4, 7, 10}) {
        const std::vector<FieldPoint> points = MakeFieldPoints(records, N, 150.0, 0.2);
        ASSERT_EQ(static_cast<int>(points.size()), N - 3) << N;
        for (size_t i = 0; i < points.size(); ++i) {
            const int j = static_cast<int>(i) + 2;
            const double d = 0.5 * (j + 1);
            EXPECT_DOUBLE_EQ(points[i].distance, d);
            EXPECT_DOUBLE_EQ(points[i].gasLoss, 0.2 * d);
            EXPECT_DOUBLE_EQ(points[i].fieldStrength, 150.0 - (100.0 + j) - 0.2 * d);
            EXPECT_DOUBLE_EQ(points[i].record.lb, 100.0 + j);
        }
    }
}

} // namespace
} // namespace kestrova
