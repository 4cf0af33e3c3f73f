// The one builder of a calculation's inputs: where N0 and ΔN come from, the
// fixed k-factor rule, the weather check, and what the next calculation
// falls back on.
#include "propagation/engine/EngineInputs.h"

#include "TempDir.h"
#include "propagation/Refractivity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kestrova {
namespace {

using test::TempDir;

// A 0.5° map of one value.
std::string ConstantMap(double value) {
    std::string row;
    for (int col = 0; col < 720; ++col)
        row += std::to_string(value) + (col + 1 < 720 ? " " : "\n");
    std::string text;
    for (int r = 0; r < 347; ++r)
        text += row;
    return text;
}

const CLocator tx(51.3, -1.5);
const CLocator rx(51.6, -1.2);

CalculationInputs Build(const CalculationSettings& settings, const CRefractivity* maps,
                        RefractivitySource source = RefractivitySource::PathCentreBlended,
                        RefractivityFallback fallback = {}) {
    return BuildCalculationInputs(settings, maps, &tx, &rx, source, fallback);
}

TEST(CalculationInputs, WhereTheRefractivityComesFrom) {
    TempDir dir;
    dir.Write("n0.txt", ConstantMap(330));
    dir.Write("dn.txt", ConstantMap(50));
    const CRefractivity maps({dir.String()});
    const RefractivityFallback last{310, 40};
    struct Case {
        const char* name;
        const CRefractivity* maps;
        RefractivitySource source;
        CalculationSettings settings;
        double n0, deltaN, k;
        bool fromMaps;
    } cases[] = {
        {"maps, blended",
         &maps,
         RefractivitySource::PathCentreBlended,
         {},
         330,
         50,
         157.0 / 107,
         true},
        {"maps, nearest",
         &maps,
         RefractivitySource::PathCentreNearest,
         {},
         330,
         50,
         157.0 / 107,
         true},
        {"no maps: the fallback",
         nullptr,
         RefractivitySource::PathCentreBlended,
         {},
         310,
         40,
         157.0 / 117,
         false},
        {"a coverage cell never looks",
         &maps,
         RefractivitySource::Fallback,
         {},
         310,
         40,
         157.0 / 117,
         false},
        {"given outright", &maps, RefractivitySource::PathCentreBlended,
         [] {
             CalculationSettings s;
             s.n0 = 300;
             s.deltaN = 60;
             return s;
         }(),
         300, 60, 157.0 / 97, false},
        {"a fixed k sets delta N", &maps, RefractivitySource::PathCentreBlended,
         [] {
             CalculationSettings s;
             s.forcedK = 4.0 / 3.0;
             return s;
         }(),
         330, 39.25, 4.0 / 3.0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CalculationInputs inputs = Build(c.settings, c.maps, c.source, last);
        ASSERT_TRUE(inputs.Usable()) << inputs.problem;
        EXPECT_NEAR(inputs.link.n0, c.n0, 1e-9);
        EXPECT_NEAR(inputs.link.deltaN, c.deltaN, 1e-9);
        EXPECT_NEAR(inputs.kFactor, c.k, 1e-12);
        EXPECT_EQ(inputs.fromMaps, c.fromMaps);
    }
}

// A fixed k-factor's ΔN (-157 for k = 0.5) lives for its own calculation
// only: once "Fixed" is unticked the k-factor comes from the maps or the
// defaults again, even while the maps are missing.
TEST(CalculationInputs, AFixedKFactorDoesNotLinger) {
    RefractivityFallback fallback;
    CalculationSettings fixed;
    fixed.forcedK = 0.5;
    const CalculationInputs forced =
        Build(fixed, nullptr, RefractivitySource::PathCentreBlended, fallback);
    EXPECT_NEAR(forced.link.deltaN, -157.0, 1e-9);
    RememberRefractivity(fallback, forced);
    EXPECT_EQ(fallback.deltaN, 45.0);

    const CalculationInputs unticked =
        Build({}, nullptr, RefractivitySource::PathCentreBlended, fallback);
    EXPECT_EQ(unticked.link.deltaN, 45.0);
    EXPECT_NEAR(unticked.kFactor, 157.0 / 112.0, 1e-12);

    // With maps, the fallback takes the map values, not the fixed k's ΔN.
    TempDir dir;
    dir.Write("n0.txt", ConstantMap(330));
    dir.Write("dn.txt", ConstantMap(50));
    const CRefractivity maps({dir.String()});
    RememberRefractivity(fallback, Build(fixed, &maps));
    EXPECT_NEAR(fallback.n0, 330, 1e-9);
    EXPECT_NEAR(fallback.deltaN, 50, 1e-9);
}

TEST(CalculationInputs, UnusableInputsSayWhy) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        CalculationSettings settings;
        const char* problem;
    } cases[] = {
        {"vapour above the pressure",
         [] {
             CalculationSettings s;
             s.pressure = 0.0001;
             s.frequency = 118.75;
             return s;
         }(),
         "the water-vapour pressure 11.6926 hPa of 50 % humidity at 20 C exceeds the total "
         "pressure 0.0001 hPa"},
        {"hot and humid at low pressure",
         [] {
             CalculationSettings s;
             s.temperature = 60;
             s.humidity = 100;
             s.pressure = 150;
             return s;
         }(),
         "exceeds the total pressure 150 hPa"},
        {"frequency not a number",
         [&] {
             CalculationSettings s;
             s.frequency = nan;
             return s;
         }(),
         "frequency is not a finite number"},
        {"N0 off its limits",
         [] {
             CalculationSettings s;
             s.n0 = 1e308;
             return s;
         }(),
         "N0 1e+308 must lie between 200 and 450 N-units"},
        {"k of 0",
         [] {
             CalculationSettings s;
             s.forcedK = 0.0;
             return s;
         }(),
         "k-factor 0 must lie between 0.01 and 100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CalculationInputs inputs = Build(c.settings, nullptr);
        EXPECT_FALSE(inputs.Usable());
        EXPECT_NE(inputs.problem.find(c.problem), std::string::npos) << inputs.problem;
    }
    // Dry air near vacuum is fine: no vapour to exceed it.
    CalculationSettings dry;
    dry.humidity = 0;
    dry.pressure = 0.0001;
    EXPECT_TRUE(Build(dry, nullptr).Usable());
}

TEST(CalculationInputs, LossesMustBeFinite) {
    PathLossResult loss;
    loss.lb0p = loss.lbd = loss.lbs = loss.lba = loss.lb = 150.0;
    EXPECT_EQ(LossProblem(loss, 0.5), "");
    loss.lb = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(LossProblem(loss, 0.5),
              "Calculation failed: the overall loss lb is not a finite number");
    loss.lb = 150;
    loss.lbs = std::numeric_limits<double>::infinity();
    EXPECT_EQ(LossProblem(loss, 0.5),
              "Calculation failed: the troposcatter loss lbs is not a finite number");
    EXPECT_EQ(LossProblem(RadialRecord{1, 2, 3, 4, 5}, -std::numeric_limits<double>::infinity()),
              "Calculation failed: the gaseous loss is not a finite number");
}

} // namespace
} // namespace kestrova
