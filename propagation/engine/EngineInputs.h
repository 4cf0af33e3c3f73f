// The inputs of one calculation, built in one place for every caller (the
// link calculation, the mechanisms chart, the radial evaluation, the
// coverage walk and kestrova-cli alike):
//
// - N0 and ΔN: given outright, or looked up at the path centre (blended
//   from the map nodes for the link, the nearest node for the radial
//   evaluation), or, when a map gives nothing there and always for a
//   coverage cell, the fallback: the map values of the last successful
//   calculation, 320 N-units and 45 N-units/km until there is one;
// - the effective Earth-radius factor: the user's fixed k, which sets
//   ΔN = (1 - 1/k) 157, or the median k = 157 / (157 - ΔN);
// - the gaseous attenuation of ITU-R P.676 for the weather, which every
//   caller multiplies by its path length and adds to the engine's figures.
//
// The fallback only ever holds values read from a map (or the defaults): a
// fixed k-factor changes the ΔN of its own calculation, never the ΔN of
// later ones.
#pragma once

#include "geo/Locator.h"
#include "propagation/common/KFactor.h"
#include "propagation/engine/Terrain.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestrova {

class CRefractivity;

struct RefractivityChoice {
    double n0 = 320.0;
    double deltaN = 45.0;
    double kFactor = p452::KFactor(45.0);
    bool fromMaps = false; // both values came from the maps
};

// The path centre: the mean latitude and the mean longitude taken along the
// shorter way round, so a path across the date line is centred near it.
CLocator PathCentre(const CLocator& tx, const CLocator& rx);

// coverage: a coverage cell, which never looks the maps up. interpolate:
// blend the map nodes around the centre (the link) or take the nearest (the
// radial evaluation). forcedK: the user's fixed k-factor, which sets
// ΔN = (1 - 1/k) 157.
RefractivityChoice ChooseRefractivity(const CRefractivity* maps, const CLocator& tx,
                                      const CLocator& rx, bool coverage, bool interpolate,
                                      double lastN0, double lastDeltaN,
                                      std::optional<double> forcedK);

// The user's inputs of one calculation, as the window's fields or the
// command line give them.
struct CalculationSettings {
    double frequency = 10.368;     // GHz
    double timePercent = 50.0;     // %
    double htg = 10.0;             // m above ground
    double hrg = 10.0;             // m above ground
    double temperature = 20.0;     // °C
    double pressure = 1000.0;      // hPa, total
    double humidity = 50.0;        // %
    std::optional<double> forcedK; // "Fixed" ticked: the user's k-factor
    std::optional<double> n0;      // given outright: no map look-up for it
    std::optional<double> deltaN;
    // The edition and what only P.452-18 reads (see LinkInputs): relative
    // humidity plays no part in P.452-18, the pressure is its dry-air
    // pressure.
    Edition edition = Edition::P452_14;
    p452v18::Polarisation polarisation = p452v18::Polarisation::Vertical;
    double txGain = 0.0;       // dBi
    double rxGain = 0.0;       // dBi
    std::optional<double> dct; // km
    std::optional<double> dcr; // km
    bool gas = true;
    // The land cover giving P.452-18 its clutter heights (null: none).
    std::shared_ptr<const CLandCover> landCover;
};

// Where N0 and ΔN come from.
enum class RefractivitySource {
    PathCentreBlended, // the link calculation and the mechanisms chart
    PathCentreNearest, // the radial evaluation
    Fallback,          // a coverage cell: the fallback without looking
};

// The map values of the last successful calculation, or the defaults.
struct RefractivityFallback {
    double n0 = 320.0;
    double deltaN = 45.0;
    bool remembered = false; // the values are those of an earlier calculation's maps
};

// Where a calculation's N0 and ΔN came from: the maps at the path centre,
// the defaults (no usable map), the user, or the maps of the last successful
// calculation.
enum class N0Source { Maps, Default, Given, Last };
// "maps", "default", "given" or "last".
const char* N0SourceName(N0Source source);

// A map file the N0 and ΔN look-ups could not use, and why ("missing",
// "28,000 of 29,161 numbers").
struct UnusableMap {
    std::string file;
    std::string problem;
};

// P.452-18 (08/2023) looks N0 and ΔN up at the great-circle point half-way
// between the ends, P.452-14 at PathCentre.
CLocator PathCentre18(const CLocator& tx, const CLocator& rx);

// The limits of the edition: "" within them, else why not.
std::string EditionProblem(Edition edition, double frequency, double timePercent);

struct CalculationInputs {
    LinkInputs link;       // what the engine's entry points take
    double kFactor = 0.0;  // effective Earth-radius factor of the calculation
    bool fromMaps = false; // N0 and ΔN were read from the maps
    double mapN0 = 0.0;    // those map values (ΔN before a fixed k), when fromMaps
    double mapDeltaN = 0.0;
    N0Source n0Source = N0Source::Default;
    std::vector<UnusableMap> unusableMaps; // when the maps were looked up and gave nothing
    double rho = 0.0;                      // water-vapour density, g/m³
    // Gaseous attenuation, dB/km, that the callers add times the path length;
    // 0 for P.452-18, whose figures hold their gaseous absorption.
    double gamma = 0.0;
    std::string problem; // why the inputs cannot be used; "" when they can

    bool Usable() const { return problem.empty(); }
};

// tx and rx may be null (a surveyed profile, a coverage cell): the maps are
// then not looked up.
CalculationInputs BuildCalculationInputs(const CalculationSettings& settings,
                                         const CRefractivity* maps, const CLocator* tx,
                                         const CLocator* rx, RefractivitySource source,
                                         const RefractivityFallback& fallback);

// After a successful calculation: the fallback takes the values the maps
// gave, and keeps what it held when they gave none.
void RememberRefractivity(RefractivityFallback& fallback, const CalculationInputs& inputs);

// Why the weather cannot be used ("" when it can): the water-vapour pressure
// of the humidity at the temperature must stay below the total pressure.
std::string WeatherProblem(double temperature, double pressure, double humidity);

// The final guard of every entry point: "" when each loss figure (plus the
// gaseous loss) is a finite number, else "Calculation failed: ..." naming
// the first figure that is not.
std::string LossProblem(const PathLossResult& loss, double gasLoss);
std::string LossProblem(const RadialRecord& record, double gasLoss);

} // namespace kestrova
