// The ITU-R P.452 engine over given profiles: helper functions, path
// parameters, and physical properties of the losses.
#include "propagation/engine/Terrain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace kestrova {
namespace {

constexpr double kDbTol = 1e-9;

std::vector<ProfilePoint> Flat(double lengthKm, double height, int zone, double step = 0.025) {
    std::vector<ProfilePoint> points;
    const int n = static_cast<int>(std::floor(lengthKm / step + 1e-9)) + 1;
    for (int i = 0; i < n; ++i)
        points.push_back({i * step, height, zone});
    return points;
}

LinkInputs Inputs(double f, double p, double htg, double hrg) {
    LinkInputs inputs;
    inputs.frequency = f;
    inputs.timePercent = p;
    inputs.htg = htg;
    inputs.hrg = hrg;
    return inputs;
}

TEST(EngineHelpers, KnifeEdgeAndInverseNormal) {
    EXPECT_NEAR(CTerrain::KnifeEdgeLoss(0.0), 6.9 + 20 * std::log10(std::sqrt(1.01) - 0.1), kDbTol);
    EXPECT_NEAR(CTerrain::KnifeEdgeLoss(0.0), 6.03, 0.005);
    EXPECT_EQ(CTerrain::KnifeEdgeLoss(-0.78), 0.0);
    EXPECT_GT(CTerrain::KnifeEdgeLoss(-0.7799), 0.0);
    EXPECT_NEAR(CTerrain::KnifeEdgeLoss(1.0), 13.9, 0.05);

    EXPECT_NEAR(CTerrain::InverseCumulativeNormal(0.5), 0.0, 1e-8);
    EXPECT_NEAR(CTerrain::InverseCumulativeNormal(0.1), 1.2817, 5e-4);  // normal quantile 1.28155
    EXPECT_NEAR(CTerrain::InverseCumulativeNormal(0.01), 2.3268, 5e-4); // 2.32635
    for (double x : {0.001, 0.2, 0.37})
        EXPECT_NEAR(CTerrain::InverseCumulativeNormal(x), -CTerrain::InverseCumulativeNormal(1 - x),
                    1e-12);

    EXPECT_EQ(CTerrain::InterpolationFactor(50.1, 1.0), 0.0);
    EXPECT_EQ(CTerrain::InterpolationFactor(1.0, 1.0), 1.0);
    EXPECT_EQ(CTerrain::InterpolationFactor(0.5, 1.0), 1.0);
    EXPECT_NEAR(CTerrain::InterpolationFactor(50.0, 1.0), 0.0, 1e-8);
}

TEST(EnginePathParameters, SeaLandAndCoast) {
    auto engine = std::make_unique<CTerrain>();
    // All inland, 10 km at 25 m: the land runs cover (n-1) spacings.
    ASSERT_TRUE(engine->CalculateProfile(Flat(10.0, 100.0, 3), 51.5, Inputs(1.0, 50, 10, 10)));
    EXPECT_EQ(engine->omega, 0.0);
    EXPECT_NEAR(engine->dtm, 10.0, 1e-9);
    EXPECT_NEAR(engine->dlm, 10.0, 1e-9);
    EXPECT_EQ(engine->dct, -1.0);
    EXPECT_EQ(engine->dcr, -1.0);

    // All sea.
    ASSERT_TRUE(engine->CalculateProfile(Flat(10.0, 0.0, 1), 51.5, Inputs(1.0, 50, 10, 10)));
    EXPECT_NEAR(engine->omega, 1.0, 1e-12);
    EXPECT_EQ(engine->dtm, 0.0);
    EXPECT_EQ(engine->dlm, 0.0);
    EXPECT_EQ(engine->dct, 0.0);
    EXPECT_EQ(engine->dcr, 0.0);

    // Land (coastal, then inland) for 4 km, then sea.
    auto points = Flat(10.0, 0.0, 1);
    for (auto& point : points)
        if (point.distance < 4.0) point.zone = point.distance < 2.0 ? 3 : 2;
    ASSERT_TRUE(engine->CalculateProfile(points, 51.5, Inputs(1.0, 50, 10, 10)));
    EXPECT_NEAR(engine->dct, 3.9875, 1e-9); // midway between the last land and first sea sample
    EXPECT_EQ(engine->dcr, 0.0);
    EXPECT_NEAR(engine->dtm, 3.9875, 1e-9);
    EXPECT_NEAR(engine->dlm, 1.9875, 1e-9);
    EXPECT_NEAR(engine->omega, 6.0125 / 10.0, 1e-9);
}

TEST(EnginePathParameters, Beta0FollowsLatitude) {
    auto engine = std::make_unique<CTerrain>();
    // A sea path (dtm = dlm = 0): mu1 = (1 + 10^-2.48)^0.2 limited to 1.
    ASSERT_TRUE(engine->CalculateProfile(Flat(10.0, 0.0, 1), 30.0, Inputs(1.0, 50, 10, 10)));
    EXPECT_NEAR(engine->beta0, std::pow(10.0, 1.67 - 0.015 * 30.0), 1e-9);
    ASSERT_TRUE(engine->CalculateProfile(Flat(10.0, 0.0, 1), -75.0, Inputs(1.0, 50, 10, 10)));
    EXPECT_NEAR(engine->beta0, 4.17, 1e-9);
    // Long land sections lower beta0.
    ASSERT_TRUE(engine->CalculateProfile(Flat(100.0, 0.0, 3, 0.25), 30.0, Inputs(1.0, 50, 10, 10)));
    EXPECT_LT(engine->beta0, std::pow(10.0, 1.67 - 0.015 * 30.0) / 2);
}

TEST(EngineLineOfSight, HighAntennasOverFlatGround) {
    auto engine = std::make_unique<CTerrain>();
    const double f = 2.0;
    const double L = 10.0;
    for (double p : {50.0, 10.0, 0.01}) {
        SCOPED_TRACE(p);
        ASSERT_TRUE(engine->CalculateProfile(Flat(L, 0.0, 1), 51.5, Inputs(f, p, 200, 200)));
        const double lbfsg = 92.44 + 20 * std::log10(f) + 20 * std::log10(L);
        EXPECT_NEAR(engine->loss.lbfsg, lbfsg, kDbTol);
        EXPECT_TRUE(engine->lineOfSight);
        EXPECT_EQ(engine->loss.ldp, 0.0);
        EXPECT_NEAR(engine->loss.lbd50, lbfsg, kDbTol);
        const double esp = engine->MultipathFocusing(p);
        EXPECT_NEAR(engine->loss.lb0p, lbfsg + esp, kDbTol);
        EXPECT_NEAR(engine->loss.lbd, engine->loss.lb0p, kDbTol);
        if (p < 50) {
            EXPECT_LT(esp, 0.0); // enhancement
        }
        // Horizons of a line-of-sight path are the direct angles.
        const double direct = -1000.0 * L / (2 * 6371.0 * engine->kMedian);
        EXPECT_NEAR(engine->thetaT, direct, 1e-9);
        EXPECT_NEAR(engine->thetaR, direct, 1e-9);
        EXPECT_LE(engine->loss.lb, engine->loss.lb0p + 1e-9);
    }
}

TEST(EngineLineOfSight, FreeSpaceRisesSixDbPerDoubling) {
    auto engine = std::make_unique<CTerrain>();
    ASSERT_TRUE(engine->CalculateProfile(Flat(5.0, 0.0, 3), 51.5, Inputs(10.0, 50, 300, 300)));
    const double near = engine->loss.lbd50;
    ASSERT_TRUE(engine->CalculateProfile(Flat(10.0, 0.0, 3), 51.5, Inputs(10.0, 50, 300, 300)));
    EXPECT_NEAR(engine->loss.lbd50 - near, 20 * std::log10(2.0), 1e-9);
}

// A ridge in the middle of a flat path: diffraction, and the same loss in
// both directions.
TEST(EngineDiffraction, RidgeIsReciprocalAndFindsItsEdge) {
    auto points = Flat(20.0, 50.0, 3);
    const int ridge = 320;
    points[ridge].height = 400.0;
    auto reversed = points;
    for (size_t i = 0; i < points.size(); ++i) {
        reversed[i] = points[points.size() - 1 - i];
        reversed[i].distance = points[i].distance;
    }
    auto engine = std::make_unique<CTerrain>();
    for (double p : {50.0, 1.0}) {
        SCOPED_TRACE(p);
        ASSERT_TRUE(engine->CalculateProfile(points, 51.5, Inputs(1.0, p, 10, 10)));
        EXPECT_FALSE(engine->lineOfSight);
        EXPECT_EQ(engine->edgeMain, ridge);
        EXPECT_EQ(engine->ilt, ridge);
        EXPECT_EQ(engine->ilr, ridge);
        EXPECT_GT(engine->loss.ldp, 10.0);
        const PathLossResult forward = engine->loss;
        ASSERT_TRUE(engine->CalculateProfile(reversed, 51.5, Inputs(1.0, p, 10, 10)));
        EXPECT_NEAR(engine->loss.lbd50, forward.lbd50, 1e-9);
        EXPECT_NEAR(engine->loss.lbd, forward.lbd, 1e-9);
        EXPECT_NEAR(engine->loss.lbs, forward.lbs, 1e-9);
        EXPECT_NEAR(engine->loss.lb, forward.lb, 1e-9);
    }
    // At p = 50 the diffraction figures are the median ones.
    ASSERT_TRUE(engine->CalculateProfile(points, 51.5, Inputs(1.0, 50, 10, 10)));
    EXPECT_EQ(engine->loss.lbd, engine->loss.lbd50);
    // Taut line: over the ridge to the receiver.
    EXPECT_EQ(engine->profile.hullCount, 2);
    EXPECT_EQ(engine->profile.hullIndex[0], ridge);
    EXPECT_EQ(engine->profile.rayHeight[ridge], 400.0 + 0.5);
}

TEST(EngineTroposcatter, TimeFrequencyAndRefractivityTerms) {
    auto engine = std::make_unique<CTerrain>();
    auto points = Flat(100.0, 0.0, 3, 0.125);
    LinkInputs inputs = Inputs(2.0, 50, 10, 10);
    inputs.n0 = 0.0;
    ASSERT_TRUE(engine->CalculateProfile(points, 45.0, inputs));
    const double theta = engine->loss.theta;
    // f = 2 GHz: Lf = 25 log10 2, and no time term at 50 %.
    EXPECT_NEAR(engine->loss.lbs,
                190.1 + 25 * std::log10(2.0) + 20 * std::log10(100.0) + 0.573 * theta, 1e-9);
    const double lbs0 = engine->loss.lbs;
    inputs.n0 = 320.0;
    ASSERT_TRUE(engine->CalculateProfile(points, 45.0, inputs));
    EXPECT_NEAR(lbs0 - engine->loss.lbs, 48.0, 1e-9);
    inputs.timePercent = 0.001;
    const double lbs50 = engine->loss.lbs;
    ASSERT_TRUE(engine->CalculateProfile(points, 45.0, inputs));
    EXPECT_NEAR(lbs50 - engine->loss.lbs, 10.125 * std::pow(std::log10(50 / 0.001), 0.7), 1e-9);
    EXPECT_NEAR(lbs50 - engine->loss.lbs, 29.9, 0.05);
}

TEST(EngineCombination, OverallLossBlendsTheMechanisms) {
    CTerrain engine;
    engine.pathLength = 100.0;
    engine.timePercent = 50.0;
    engine.beta0 = 1.0;
    engine.omega = 0.0;
    engine.loss.theta = 30.0; // far beyond 0.3 mrad: Fj = 0
    engine.loss.lba = 1000.0; // 500 dB or more: the plain maximum
    engine.loss.lb0p = 100.0;
    engine.loss.lbd = 90.0;
    engine.loss.lbs = 1000.0;
    ASSERT_TRUE(engine.CombineLosses());
    EXPECT_NEAR(engine.loss.lb, 90.0, 1e-9); // troposcatter far weaker
    engine.loss.lbs = 90.0;
    ASSERT_TRUE(engine.CombineLosses());
    EXPECT_NEAR(engine.loss.lb, 90.0 - 5 * std::log10(2.0), 1e-9);
}

TEST(EngineProfileEntry, RejectsProfilesItCannotUse) {
    auto engine = std::make_unique<CTerrain>();
    const LinkInputs inputs = Inputs(1.0, 50, 10, 10);
    EXPECT_FALSE(engine->CalculateProfile({{0, 0, 3}, {1, 0, 3}}, 50, inputs));
    EXPECT_FALSE(engine->CalculateProfile({{0.5, 0, 3}, {1, 0, 3}, {2, 0, 3}}, 50, inputs));
    EXPECT_FALSE(engine->CalculateProfile({{0, 0, 3}, {1, 0, 3}, {1, 0, 3}}, 50, inputs));
    EXPECT_FALSE(engine->CalculateProfile({{0, 0, 3}, {0.02, 0, 3}, {0.05, 0, 3}}, 50, inputs));
    EXPECT_FALSE(engine->valid);
    EXPECT_TRUE(engine->CalculateProfile({{0, 0, 3}, {1, 0, 3}, {2, 0, 3}}, 50, inputs));
    EXPECT_TRUE(engine->valid);
}

} // namespace
} // namespace kestrova
