// P.452-18's steps at the thresholds where its formulas switch, and the
// gases of P.676-11 at ITU-R's spot values.
#include "propagation/p452v18/Steps.h"
#include "ItuValidation.h"
#include "propagation/p452v18/P676v11.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kestrova::p452v18 {
namespace {

// The reference implementation's own P.676 figures (dB/km) for dry-air
// pressure, temperature and water-vapour density.
TEST(P676v11, SpotValuesOfTheReference) {
    struct Row {
        double f, g0, gw, g0Scatter, gwScatter, g0Cold, gwCold;
    };
    const Row rows[] = {
        {0.1, 0.0002017326, 0.0000005084, 0.0002028517, 0.0000001842, 0.0002173413, 0.0000007924},
        {1, 0.0053886582, 0.0000509046, 0.0053733666, 0.0000184464, 0.0049186278, 0.0000793207},
        {2.4, 0.0069010646, 0.0002949635, 0.0068652388, 0.0001069342, 0.0060379404, 0.0004590597},
        {10, 0.0082244167, 0.0059741252, 0.0081761965, 0.0021895319, 0.0071237128, 0.0090322545},
        {22.235, 0.0132926782, 0.1789779924, 0.0132117093, 0.0725795353, 0.0115459165,
         0.2694268995},
        {40, 0.0521168389, 0.0789690298, 0.0517707659, 0.0285496349, 0.0455601347, 0.1239594892},
        {50, 0.2772686385, 0.1111585473, 0.2752758142, 0.0398452828, 0.2388833213, 0.1786466706},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.f);
        const auto a = P676v11::SpecificAttenuation(r.f, 1013.25, 15.0, 7.5);
        const auto b = P676v11::SpecificAttenuation(r.f, 1013.25, 15.0, 3.0);
        const auto c = P676v11::SpecificAttenuation(r.f, 850.0, -5.0, 10.0);
        EXPECT_NEAR(a.gamma0, r.g0, 6e-11);
        EXPECT_NEAR(a.gammaW, r.gw, 6e-11);
        EXPECT_NEAR(b.gamma0, r.g0Scatter, 6e-11);
        EXPECT_NEAR(b.gammaW, r.gwScatter, 6e-11);
        EXPECT_NEAR(c.gamma0, r.g0Cold, 6e-11);
        EXPECT_NEAR(c.gammaW, r.gwCold, 6e-11);
    }
}

TEST(KnifeEdge, ZeroUpToMinus078ThenTheFormula) {
    EXPECT_EQ(KnifeEdge(-5.0), 0.0);
    EXPECT_EQ(KnifeEdge(-0.78), 0.0);
    EXPECT_NEAR(KnifeEdge(std::nextafter(-0.78, 0.0)), 0.00404, 1e-5); // the jump at -0.78
    EXPECT_NEAR(KnifeEdge(0.0), 6.9 + 20.0 * std::log10(std::sqrt(1.01) - 0.1), 1e-12);
}

// A profile of equal steps.
struct Built {
    std::vector<double> d, h, clutter;
    std::vector<std::int8_t> zone;
    Profile View() const { return {d, h, zone, clutter}; }
};

Built Flat(int points, double km, double height, std::int8_t zone) {
    Built b;
    for (int i = 0; i < points; ++i) {
        b.d.push_back(km * i / (points - 1));
        b.h.push_back(height);
        b.zone.push_back(zone);
    }
    return b;
}

Inputs Link(double f, double p) {
    Inputs x;
    x.f = f;
    x.p = p;
    x.phi = 51.5;
    return x;
}

TEST(ZoneRuns, HalfIntervalsAndCoasts) {
    Built b;
    b.d = {0, 1, 2, 3, 4};
    b.h = {0, 0, 0, 0, 0};
    b.zone = {zoneInland, zoneInland, zoneSea, zoneSea, 2};
    const ZoneRuns runs = ComputeZoneRuns(b.View());
    EXPECT_DOUBLE_EQ(runs.dtm, 1.5); // 0..1 km and half the step to the sea
    EXPECT_DOUBLE_EQ(runs.dlm, 1.5);
    EXPECT_DOUBLE_EQ(runs.omega, 0.5);
    const Coasts coasts = ComputeCoasts(b.View());
    EXPECT_DOUBLE_EQ(coasts.dct, 1.5);
    EXPECT_DOUBLE_EQ(coasts.dcr, 0.5);
    EXPECT_EQ(ComputeCoasts(Flat(5, 4, 0, zoneInland).View()).dct, -1.0); // no sea, no coast
}

TEST(Prediction, AllSeaPath) {
    const Built sea = Flat(101, 50.0, 0.0, zoneSea);
    Result r;
    ASSERT_EQ(Calculate(sea.View(), Link(2.0, 10.0), r), "");
    EXPECT_EQ(r.dtm, 0.0);
    EXPECT_EQ(r.dlm, 0.0);
    EXPECT_DOUBLE_EQ(r.omega, 1.0);
    EXPECT_EQ(r.dct, 0.0);
    EXPECT_EQ(r.dcr, 0.0);
    EXPECT_NEAR(r.beta0, std::pow(10.0, 1.67 - 0.015 * 51.5), 1e-12); // μ1 = μ4 = 1
}

// High antennas over a short flat path: the first Fresnel zone is clear,
// so every diffraction term vanishes.
TEST(Prediction, ClearLineOfSightHasNoDiffraction) {
    const Built land = Flat(101, 5.0, 100.0, zoneInland);
    Inputs x = Link(10.0, 50.0);
    x.htg = x.hrg = 100.0;
    Result r;
    ASSERT_EQ(Calculate(land.View(), x, r), "");
    EXPECT_TRUE(r.lineOfSight);
    EXPECT_EQ(r.ld50, 0.0);
    EXPECT_EQ(r.lbd50, r.lbfsg);
    EXPECT_EQ(r.lbd, r.lb0p);
}

// The last figures of a calculation at p just below, at and just above β0
// agree: the blend of (41) and (60) is continuous there.
TEST(Prediction, ContinuousAtBeta0) {
    const test::ItuProfile land = test::ReadItuProfile("land_70km");
    Inputs x = Link(2.0, 1.0);
    Result r;
    ASSERT_EQ(Calculate(land.View(), x, r), "");
    const double beta0 = r.beta0;
    for (const double p : {beta0 * (1 - 1e-12), beta0, beta0 * (1 + 1e-12)}) {
        x.p = p;
        Result at;
        ASSERT_EQ(Calculate(land.View(), x, at), "");
        x.p = beta0;
        Result mid;
        ASSERT_EQ(Calculate(land.View(), x, mid), "");
        EXPECT_NEAR(at.lb, mid.lb, 1e-6) << p;
        EXPECT_NEAR(at.ldp, mid.ldp, 1e-6) << p;
    }
}

// Clutter within 50 m of either terminal is left out of gi (6c)–(6e);
// beyond it, it raises the diffraction loss.
TEST(Prediction, ClutterNearATerminalIsIgnored) {
    Built b = Flat(201, 10.0, 50.0, zoneInland);
    b.d[1] = 0.04; // 40 m from the transmitter
    b.clutter.assign(b.d.size(), 0.0);
    Result bare;
    ASSERT_EQ(Calculate(b.View(), Link(1.0, 50.0), bare), "");
    b.clutter[1] = 20.0;
    Result near;
    ASSERT_EQ(Calculate(b.View(), Link(1.0, 50.0), near), "");
    EXPECT_EQ(near.lb, bare.lb);
    b.clutter[1] = 0.0;
    b.clutter[100] = 20.0; // mid-path
    Result mid;
    ASSERT_EQ(Calculate(b.View(), Link(1.0, 50.0), mid), "");
    EXPECT_GT(mid.ld50, bare.ld50 + 1.0);
}

// A repeated sample is a zero-length step: nothing changes, at the ends
// (whose terms would be infinite) as in between.
TEST(Prediction, RepeatedDistancesChangeNothing) {
    const test::ItuProfile land = test::ReadItuProfile("flat_land_100km");
    Result plain;
    ASSERT_EQ(Calculate(land.View(), Link(2.0, 1.0), plain), "");
    for (const std::size_t at : {std::size_t{0}, std::size_t{50}, land.d.size() - 1}) {
        test::ItuProfile twice = land;
        twice.d.insert(twice.d.begin() + at, twice.d[at]);
        twice.h.insert(twice.h.begin() + at, twice.h[at]);
        twice.zone.insert(twice.zone.begin() + at, twice.zone[at]);
        twice.clutter.insert(twice.clutter.begin() + at, twice.clutter[at]);
        Result r;
        ASSERT_EQ(Calculate(twice.View(), Link(2.0, 1.0), r), "") << at;
        EXPECT_NEAR(r.lb, plain.lb, 1e-9) << at;
        EXPECT_NEAR(r.ld50, plain.ld50, 1e-9) << at;
    }
}

TEST(Prediction, RefusesWhatTheEditionDoesNotCover) {
    const Built land = Flat(11, 10.0, 0.0, zoneInland);
    Result r;
    EXPECT_EQ(Calculate(land.View(), Link(0.05, 50.0), r),
              "ITU-R P.452-18 holds for frequencies from 0.1 to 50 GHz");
    EXPECT_EQ(Calculate(land.View(), Link(60.0, 50.0), r),
              "ITU-R P.452-18 holds for frequencies from 0.1 to 50 GHz");
    EXPECT_EQ(Calculate(land.View(), Link(1.0, 0.0001), r),
              "ITU-R P.452-18 holds for time percentages from 0.001 to 50 %");
    Built backwards = land;
    backwards.d[5] = 3.0;
    EXPECT_EQ(Calculate(backwards.View(), Link(1.0, 50.0), r),
              "The profile's distances must not decrease");
}

TEST(PathCentre, HalfWayAlongTheGreatCircle) {
    // Along a meridian the centre is the mean latitude.
    EXPECT_NEAR(PathCentre(50.0, 1.0, 52.0, 1.0, 6371.0 * 2.0 * 3.14159265358979 / 180.0).lat, 51.0,
                1e-9);
    // Along the equator, half the distance east.
    const LatLon c = PathCentre(0.0, 10.0, 0.0, 20.0, 6371.0 * 10.0 * 3.14159265358979 / 180.0);
    EXPECT_NEAR(c.lat, 0.0, 1e-9);
    EXPECT_NEAR(c.lon, 15.0, 1e-9);
}

} // namespace
} // namespace kestrova::p452v18
