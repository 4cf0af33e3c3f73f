// The site evaluation end to end: the radial's end, both charts from the
// engine, the climate each part uses, failures, and agreement with the
// coverage map on real terrain.
#include "evaluation/Radial.h"
#include "coverage/Coverage.h"
#include "geo/Path.h"
#include "propagation/FieldStrength.h"
#include "propagation/P676.h"
#include "propagation/Refractivity.h"
#include "propagation/common/KFactor.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include "MapFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace kestrova {
namespace {

// A store and zone map over an empty directory: every height is void (0 m
// to the engine) and every zone 0.
struct NoData {
    CSRTM store{CSRTM::kTilesPerStore, "/nonexistent-kestrova/"};
    CZONES zones{"/nonexistent-kestrova/"};
    std::unique_ptr<CTerrain> engine = std::make_unique<CTerrain>();
};

RadialRequest Request(const CLocator& tx, double rangeKm, double bearingDeg) {
    RadialRequest request;
    request.tx = tx;
    request.rangeKm = rangeKm;
    request.bearingDeg = bearingDeg;
    request.settings.frequency = 0.145;
    request.settings.htg = 10.5;
    request.settings.hrg = 2.25;
    request.settings.temperature = 15.0;
    request.settings.pressure = 990.0;
    request.settings.humidity = 80.0;
    return request;
}

TEST(RadialEvaluation, BothChartsAlongTheRadial) {
    NoData data;
    const RadialRequest request = Request(CLocator(10.0, 20.0), 10.0, 90.0);
    const RadialEvaluation result = EvaluateRadial(request, data.store, data.zones, *data.engine);

    const CLocator end = EndPointFromRangeBearing(request.tx, 10.0, 90.0);
    ASSERT_TRUE(result.rx.IsValid());
    EXPECT_DOUBLE_EQ(result.rx.GetLatitude(), end.GetLatitude());
    EXPECT_DOUBLE_EQ(result.rx.GetLongitude(), end.GetLongitude());

    ASSERT_TRUE(result.field);
    const FieldCurve& field = *result.field;
    const int N = field.recordCount;
    ASSERT_GT(N, 100);
    ASSERT_EQ(static_cast<int>(field.points.size()), N - 3);
    CPath path;
    path.SetPath(request.tx, result.rx);
    double L = 0;
    double bearing = 0;
    path.GetRangeBearing(L, bearing);
    EXPECT_NEAR(field.points.front().distance, 3.0 / N * L, 1e-9);
    EXPECT_NEAR(field.points.back().distance, (N - 1.0) / N * L, 1e-9);
    // The weather reaches the gaseous attenuation in the right order.
    const double rho = P676::WaterVapourDensity(80.0, 15.0, true);
    EXPECT_DOUBLE_EQ(field.rho, rho);
    EXPECT_DOUBLE_EQ(field.gamma, P676::GaseousAttenuation(0.145, 990.0, 15.0, rho));
    EXPECT_DOUBLE_EQ(field.K, 30.0 + 167.2 + 20.0 * std::log10(0.145));
    // Nearer receivers see a stronger field.
    EXPECT_GT(field.points.front().fieldStrength, field.points.back().fieldStrength + 20.0);

    ASSERT_TRUE(result.profile);
    ASSERT_EQ(result.profile->terrain.size(), static_cast<size_t>(N));
    // Sea level everywhere: the ends show the ground without the antennas.
    EXPECT_EQ(result.profile->terrain.front().y, 0.0);
    EXPECT_EQ(result.profile->terrain.back().y, 0.0);
    EXPECT_GT(result.profile->bulge[static_cast<size_t>(N / 2)].y, 1.0);
}

TEST(RadialEvaluation, FlatEarthHasNoBulge) {
    NoData data;
    RadialRequest request = Request(CLocator(10.0, 20.0), 30.0, 200.0);
    request.flatEarth = true;
    const RadialEvaluation result = EvaluateRadial(request, data.store, data.zones, *data.engine);
    ASSERT_TRUE(result.profile);
    for (size_t i = 0; i < result.profile->bulge.size(); ++i) {
        EXPECT_EQ(result.profile->bulge[i].y, 0.0) << i;
        EXPECT_EQ(result.profile->terrain[i].y, 0.0) << i;
    }
    // Flat sea: the axis top is 1.5 x the higher end, its antenna included.
    EXPECT_DOUBLE_EQ(result.profile->heightAxisMaximum, 1.5 * 10.5);
}

TEST(RadialEvaluation, NothingWithoutARadial) {
    NoData data;
    struct Case {
        CLocator tx;
        double rangeKm;
        bool endValid;
    } cases[] = {
        {CLocator(), 10.0, false},         // no transmitter
        {CLocator(10.0, 20.0), 0.1, true}, // shorter than the engine's 0.1 km on its sphere
    };
    for (const Case& c : cases) {
        const RadialEvaluation result =
            EvaluateRadial(Request(c.tx, c.rangeKm, 90.0), data.store, data.zones, *data.engine);
        EXPECT_EQ(result.rx.IsValid(), c.endValid) << c.rangeKm;
        EXPECT_FALSE(result.profile);
        EXPECT_FALSE(result.field);
    }
}

// A radial eastwards across the date line ends in the west and is charted.
TEST(RadialEvaluation, AcrossTheDateLine) {
    NoData data;
    const RadialEvaluation result = EvaluateRadial(Request(CLocator(10.0, 179.99), 10.0, 90.0),
                                                   data.store, data.zones, *data.engine);
    ASSERT_TRUE(result.rx.IsValid());
    EXPECT_LT(result.rx.GetLongitude(), -179.0);
    EXPECT_TRUE(result.profile);
    ASSERT_TRUE(result.field);
    EXPECT_FALSE(result.field->points.empty());
}

// The profile looks N0 and ΔN up blended at the path centre, the field
// strength at the nearest map node; both fall back to the last values.
TEST(RadialEvaluation, ClimateOfEachChart) {
    testing::TempDir dir;
    dir.Write("N050.TXT", testing::Grid15([](int row, int) { return 300.0 + row; }));
    dir.Write("DN50.TXT", testing::Grid15([](int row, int) { return 30.0 + row / 2.0; }));
    const CRefractivity maps({dir.Dir()});
    NoData data;
    RadialRequest request = Request(CLocator(51.0, 10.0), 40.0, 0.0); // centre near 51.18 N
    request.maps = &maps;
    request.fallback.n0 = 333.0;

    const RadialEvaluation result = EvaluateRadial(request, data.store, data.zones, *data.engine);
    ASSERT_TRUE(result.profile && result.field);
    const CLocator& tx = request.tx;
    const RefractivityChoice blended =
        ChooseRefractivity(&maps, tx, result.rx, false, true, 333.0, 45.0, std::nullopt);
    const RefractivityChoice nearest =
        ChooseRefractivity(&maps, tx, result.rx, false, false, 333.0, 45.0, std::nullopt);
    ASSERT_TRUE(blended.fromMaps && nearest.fromMaps);
    ASSERT_NE(blended.n0, nearest.n0);
    EXPECT_DOUBLE_EQ(result.profileInputs.link.n0, blended.n0);
    EXPECT_DOUBLE_EQ(result.profileInputs.link.deltaN, blended.deltaN);
    EXPECT_DOUBLE_EQ(result.field->inputs.link.n0, nearest.n0);
    EXPECT_DOUBLE_EQ(result.field->inputs.kFactor, p452::KFactor(nearest.deltaN));
    EXPECT_DOUBLE_EQ(data.engine->surfaceN0, nearest.n0); // the radial ran with it

    // Off the maps (none found): the last calculation's values.
    const CRefractivity empty({"/nonexistent-kestrova/"});
    request.maps = &empty;
    const RadialEvaluation fallback = EvaluateRadial(request, data.store, data.zones, *data.engine);
    ASSERT_TRUE(fallback.field);
    EXPECT_EQ(fallback.field->inputs.link.n0, 333.0);
    EXPECT_EQ(fallback.profileInputs.link.n0, 333.0);
}

// A fixed k-factor sets ΔN for both charts; weather that cannot be (more
// water vapour than air) computes nothing and says why.
TEST(RadialEvaluation, FixedKFactorAndImpossibleWeather) {
    NoData data;
    RadialRequest request = Request(CLocator(51.0, 10.0), 20.0, 0.0);
    request.settings.forcedK = 4.0 / 3.0;
    const RadialEvaluation fixed = EvaluateRadial(request, data.store, data.zones, *data.engine);
    ASSERT_TRUE(fixed.profile && fixed.field);
    EXPECT_NEAR(fixed.field->inputs.kFactor, 4.0 / 3.0, 1e-12);
    EXPECT_NEAR(fixed.field->inputs.link.deltaN, 39.25, 1e-12);
    EXPECT_NEAR(fixed.profileInputs.link.deltaN, 39.25, 1e-12);

    request.settings.forcedK.reset();
    request.settings.pressure = 1.0;
    request.settings.temperature = 50.0;
    request.settings.humidity = 100.0;
    const RadialEvaluation refused = EvaluateRadial(request, data.store, data.zones, *data.engine);
    EXPECT_FALSE(refused.problem.empty());
    EXPECT_FALSE(refused.profile);
    EXPECT_FALSE(refused.field);
}

// With 100 W into 10 dBi the evaluation's field strength is the coverage
// map's (1 kW EIRP) at the same place: the coverage cells due north of the
// transmitter against the radial due north, over a smooth earth, where the
// two entries' sampling (the radial interpolates heights, the coverage
// takes at most 250 samples uninterpolated) makes no difference. Over real
// terrain the interpolation alone moves the loss by several dB.
TEST(RadialEvaluation, AgreesWithTheCoverageMap) {
    NoData data;
    const CLocator tx(51.0, -1.0);
    RadialRequest request = Request(tx, 60.0, 0.0);
    request.settings.hrg = 10.0;
    const RadialEvaluation radial = EvaluateRadial(request, data.store, data.zones, *data.engine);
    ASSERT_TRUE(radial.field);

    const double step = 0.1;
    CoverageArea area;
    area.n = 9;
    area.step = step;
    area.extent = 8 * step;
    area.north = tx.GetLatitude() + 4 * step;
    area.west = tx.GetLongitude() - 4 * step;
    area.south = area.north - area.extent;
    area.east = area.west + area.extent;
    CoverageInputs inputs;
    inputs.tx = tx;
    inputs.link = radial.field->inputs.link;
    inputs.gamma = radial.field->gamma;
    inputs.tileDirectory = "/nonexistent-kestrova/";
    inputs.zoneDirectory = "/nonexistent-kestrova/";
    inputs.threads = 1;
    CoverageJob job(area, inputs);
    job.Start();
    ASSERT_TRUE(job.Wait());

    for (int i = 0; i < 4; ++i) { // 44, 33, 22 and 11 km north
        CPath path;
        path.SetPath(tx, CLocator(area.north - i * step, tx.GetLongitude()));
        double d = 0;
        double bearing = 0;
        path.GetRangeBearing(d, bearing);
        const FieldPoint* nearest = &radial.field->points.front();
        for (const FieldPoint& point : radial.field->points)
            if (std::fabs(point.distance - d) < std::fabs(nearest->distance - d)) nearest = &point;
        ASSERT_LT(std::fabs(nearest->distance - d), 0.1);
        EXPECT_NEAR(nearest->fieldStrength, job.Value(i, 4), 0.2) << d << " km";
    }
}

} // namespace
} // namespace kestrova
