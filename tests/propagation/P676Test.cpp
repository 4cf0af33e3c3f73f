#include "propagation/P676.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kestrova::P676 {
namespace {

// Relative tolerance against the 40-digit reference: the C++ sums in
// doubles, so a few units in the last place per line.
constexpr double kRelTol = 1e-12;

struct Gamma {
    double total, oxygen, water, dry;
};

Gamma Compute(double f, double p, double t, double rho) {
    Gamma g{};
    g.total = SpecificAttenuation(f, p, t, rho, g.oxygen, g.water, g.dry);
    return g;
}

void ExpectRelNear(double actual, double expected, const char* what) {
    EXPECT_NEAR(actual, expected, kRelTol * std::fabs(expected) + 1e-300) << what;
}

// Expected values from tests/propagation/p676_reference.py (ITU-R P.676-11
// Annex 1 evaluated with mpmath at 40 digits). ρ = 12.824856956036733 is
// 15 °C and 100 % relative humidity.
TEST(P676, SpecificAttenuationAtLandmarkFrequencies) {
    struct Case {
        const char* name;
        double f, p, t, rho;
        Gamma expected;
    } cases[] = {
        {"lowest frequency, humid",
         0.025,
         1013.25,
         15,
         12.824856956036733,
         {1.292132210733776e-5, 5.8217865716744199e-9, 6.9149111855973677e-8,
          1.2846351208910112e-5}},
        {"10 GHz, humid",
         10,
         1013.25,
         15,
         12.824856956036733,
         {0.020811287871069785, 0.00097730348643115109, 0.012757825191249424,
          0.0070761591933892095}},
        {"10 GHz, dry air",
         10,
         1000,
         20,
         0,
         {0.0076017602776640581, 0.00091981651122474651, 0, 0.0066819437664393116}},
        {"22 GHz water line",
         22.23508,
         1013.25,
         15,
         12.824856956036733,
         {0.32243436997478546, 0.0059412143086274374, 0.30928313551465848, 0.007210020151499542}},
        {"22 GHz, dry air",
         22.23508,
         1000,
         20,
         0,
         {0.012396266047115513, 0.0055883603573779077, 0, 0.0068079056897376049}},
        {"60 GHz complex",
         60,
         1013.25,
         15,
         12.824856956036733,
         {15.081992033893008, 14.729706180347893, 0.34417622630061074, 0.0081096272445046761}},
        {"60 GHz, dry air",
         60,
         1000,
         20,
         0,
         {14.225516981217724, 14.217855785396454, 0, 0.0076611958212693139}},
        {"just below 118.750343 GHz",
         118.75,
         1013.25,
         15,
         12.824856956036733,
         {2.7162494706665839, 1.33956140179547, 1.3656095402584218, 0.011078528612692194}},
        {"118.750343 GHz, complex left out",
         118.750343,
         1013.25,
         15,
         12.824856956036733,
         {2.7202174469600275, 1.3435203244364293, 1.3656185711761795, 0.011078551347418622}},
        {"183 GHz water line",
         183.310091,
         1013.25,
         15,
         12.824856956036733,
         {48.537039808595045, 0.00055178353357659381, 48.520073323677905, 0.01641470138356381}},
        {"183 GHz, dry air",
         183.310091,
         1000,
         20,
         0,
         {0.016039102934710313, 0.00049834310228850986, 0, 0.015540759832421804}},
        {"300 GHz",
         300,
         1013.25,
         15,
         12.824856956036733,
         {11.137574951887715, 0.00020605046591739325, 11.10644695082488, 0.030921950596917135}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Gamma g = Compute(c.f, c.p, c.t, c.rho);
        ExpectRelNear(g.total, c.expected.total, "gamma");
        ExpectRelNear(g.oxygen, c.expected.oxygen, "gammaOxygen");
        ExpectRelNear(g.water, c.expected.water, "gammaWater");
        ExpectRelNear(g.dry, c.expected.dry, "gammaDry");
        EXPECT_EQ(GaseousAttenuation(c.f, c.p, c.t, c.rho), g.total);
    }
}

// The whole band 0.025-300 GHz (every 0.5 GHz, the line centres, the
// summation change) in five kinds of weather, from the reference script.
// Deviations are taken relative to γ: a part can be a near-cancelling sum
// (the oxygen lines' interference terms between the lines) whose own
// relative error means nothing.
TEST(P676, MatchesTheReferenceOverTheWholeBand) {
    std::ifstream in(P676_REFERENCE_CSV);
    ASSERT_TRUE(in.is_open()) << P676_REFERENCE_CSV;
    std::string line;
    std::getline(in, line); // header
    int rows = 0;
    double worst = 0.0;
    std::string worstRow;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::vector<double> v;
        for (std::string field; std::getline(fields, field, ',');)
            v.push_back(std::stod(field));
        ASSERT_EQ(v.size(), 8u) << "row " << rows + 2 << ": " << line;
        const Gamma g = Compute(v[0], v[1], v[2], v[3]);
        const double actual[] = {g.total, g.oxygen, g.water, g.dry};
        for (int i = 0; i < 4; ++i) {
            const double deviation = std::fabs(actual[i] - v[4 + i]) / v[4];
            if (deviation > worst) {
                worst = deviation;
                worstRow = line;
            }
        }
        if (v[3] == 0.0) {
            EXPECT_EQ(g.water, 0.0) << "row " << rows + 2 << ": " << line;
        }
        ++rows;
    }
    EXPECT_GT(rows, 3000);
    EXPECT_LT(worst, kRelTol) << "worst row: " << worstRow;
    std::printf("%d rows, largest deviation relative to gamma %.3g\n", rows, worst);
}

// From 118.750343 GHz on, the 60 GHz complex drops out of the oxygen sum;
// its far wing there is negative (line mixing), so γ rises by its size.
TEST(P676, OxygenSumChangesAt118750343GHz) {
    const double cutoff = oxygenComplexCutoffGHz;
    const double below = std::nextafter(cutoff, 0.0);
    struct Case {
        double p, t, rho, complexWing; // wing: reference script, 60 GHz lines alone
    } cases[] = {
        {1013.25, 15, 12.824856956036733, -0.003958692204272606},
        {1000, 20, 0, -0.0040398284844897124},
    };
    for (const Case& c : cases) {
        const Gamma at = Compute(cutoff, c.p, c.t, c.rho);
        const Gamma under = Compute(below, c.p, c.t, c.rho);
        EXPECT_NEAR(under.oxygen - at.oxygen, c.complexWing, 1e-9);
        EXPECT_NEAR(at.water, under.water, 1e-9);
        EXPECT_NEAR(at.dry, under.dry, 1e-12);
    }
}

TEST(P676, PeaksAtTheStrongLines) {
    struct Peak {
        double f0, below, above;
    } peaks[] = {{22.23508, 20, 25}, {60, 50, 70}, {118.750343, 110, 125}, {183.310091, 175, 190}};
    for (const Peak& peak : peaks) {
        const double at = GaseousAttenuation(peak.f0, 1013.25, 15, 7.5);
        EXPECT_GT(at, GaseousAttenuation(peak.below, 1013.25, 15, 7.5)) << peak.f0;
        EXPECT_GT(at, GaseousAttenuation(peak.above, 1013.25, 15, 7.5)) << peak.f0;
    }
    EXPECT_GT(GaseousAttenuation(300, 1013.25, 15, 7.5), GaseousAttenuation(250, 1013.25, 15, 7.5));
}

TEST(P676, DryAirHasNoWaterVapourPart) {
    for (double f : {0.1, 5.0, 22.23508, 57.0, 183.310091, 299.0}) {
        const Gamma g = Compute(f, 1013.25, 15, 0.0);
        EXPECT_EQ(g.water, 0.0) << f;
        EXPECT_GT(g.oxygen, 0.0) << f;
        EXPECT_NEAR(g.total, g.oxygen + g.dry, 1e-15 * g.total) << f;
    }
}

// Reference script's dry(): Equations (8) and (9).
TEST(P676, DryContinuum) {
    struct Case {
        double f, pDry, e, t, expected;
    } cases[] = {
        {10, 1013.25, 10, 15, 0.0039934328654490079},
        {0.1, 1000, 0, 20, 0.010936509843490252},
        {300, 800, 5, -10, 0.00049357104856909196},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(DryContinuum(c.f, c.pDry, c.e, c.t), c.expected, kRelTol * c.expected) << c.f;
}

// Saturation vapour pressure of ITU-R P.453; at 15 °C es = 17.0505 hPa.
TEST(P676, WaterVapourDensity) {
    struct Case {
        const char* name;
        double rh, t;
        bool overWater;
        double expected;
    } cases[] = {
        {"15 C saturated", 100, 15, true, 12.824856956036732},
        {"20 C half saturated", 50, 20, true, 8.6433199790897665},
        {"30 C 60 %", 60, 30, true, 18.212385666738786},
        {"humidity above 100 % is 100 %", 150, 15, true, 12.824856956036732},
        {"dry", 0, 15, true, 0},
        {"negative humidity", -5, 15, true, 0},
        {"-20 C over water", 100, -20, true, 0},
        {"just above -20 C over water", 100, -19.9, true, 1.0818068857899776},
        {"-10 C over ice", 100, -10, false, 2.1404167712616222},
        {"-50 C over ice", 100, -50, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(WaterVapourDensity(c.rh, c.t, c.overWater), c.expected, kRelTol * c.expected)
            << c.name;
}

} // namespace
} // namespace kestrova::P676
