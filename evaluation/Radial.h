// The site evaluation: along one radial from the transmitter, the terrain
// profile (the engine's link entry on the path to the radial's end) and the
// field strength a receiver would see at every sample (the radial entry),
// for a transmitter power and antenna gain.
//
// Plain data in, plain data out: the window's page and kestrova-cli compute
// through EvaluateRadial alike, on whichever thread owns the engine, store
// and zone map passed in.
#pragma once

#include "evaluation/RadialCharts.h"
#include "propagation/engine/EngineInputs.h"
#include "propagation/engine/Terrain.h"

#include <optional>

namespace kestrova {

class CRefractivity;
class CSRTM;
class CZONES;

// Where N0 and ΔN come from: the maps at the path centre, else the last
// successful link calculation's values; given values take the maps' place
// (the command line's --n0 and --delta-n). A fixed k-factor sets ΔN.
struct ClimateInputs {
    const CRefractivity* maps = nullptr;
    double lastN0 = 320.0;
    double lastDeltaN = 45.0;
    std::optional<double> forcedK;
    std::optional<double> fixedN0;
    std::optional<double> fixedDeltaN;
};

// N0, ΔN and the k-factor of a calculation between tx and rx;
// interpolateMaps blends the map nodes (the profile) or takes the nearest
// (the field strength).
RefractivityChoice ChooseClimate(const ClimateInputs& climate, const CLocator& tx,
                                 const CLocator& rx, bool interpolateMaps);

struct Weather {
    double temperature = 20.0; // °C
    double pressure = 1000.0;  // hPa
    double humidity = 50.0;    // %
};

struct RadialRequest {
    CLocator tx;
    double rangeKm = 10.0;
    double bearingDeg = 0.0;
    double powerW = 100.0;
    double gainDbi = 10.0;
    LinkInputs link; // frequency, time %, antenna heights; N0 and ΔN are chosen here
    Weather weather;
    ClimateInputs climate;
    bool interpolate = false; // terrain heights of the profile (the link's setting)
    bool flatEarth = false;   // draw the profile without the Earth bulge
};

// The field-strength chart. The gaseous loss of its last point is the path
// gaseous loss the window keeps after an evaluation.
struct FieldCurve {
    std::vector<FieldPoint> points; // records 2 .. N-2
    int recordCount = 0;            // N, the radial's samples
    double rho = 0.0;               // water-vapour density, g/m³
    double gamma = 0.0;             // gaseous attenuation, dB/km
    double K = 0.0;                 // E = K - Lt
    RefractivityChoice climate;
};

// Both charts of one radial. A chart that is missing keeps what it showed
// before. The k-factor the window shows afterwards (unless fixed) is the
// field curve's, or the profile's when the radial entry failed.
struct RadialEvaluation {
    CLocator rx; // the radial's end; invalid: nothing was computed
    std::optional<ProfileChart> profile;
    RefractivityChoice profileClimate; // of the profile's link calculation
    std::optional<FieldCurve> field;   // nullopt: the engine rejected the radial
};

RadialEvaluation EvaluateRadial(const RadialRequest& request, CSRTM& store, CZONES& zones,
                                CTerrain& engine);

} // namespace kestrova
