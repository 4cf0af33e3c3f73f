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

// N0 and ΔN come from the maps at the path centre (blended for the profile,
// the nearest node for the field strength), else from the fallback; given
// values (the command line's --n0 and --delta-n) take the maps' place and a
// fixed k-factor sets ΔN, as in every calculation (BuildCalculationInputs).
struct RadialRequest {
    CLocator tx;
    double rangeKm = 10.0;
    double bearingDeg = 0.0;
    double powerW = 100.0;
    double gainDbi = 10.0;
    CalculationSettings settings; // frequency, time %, antenna heights, weather, k, N0, ΔN
    const CRefractivity* maps = nullptr;
    RefractivityFallback fallback; // the last successful link calculation's map values
    bool interpolate = false;      // terrain heights of the profile (the link's setting)
    bool flatEarth = false;        // draw the profile without the Earth bulge
};

// The field-strength chart. The gaseous loss of its last point is the path
// gaseous loss the window keeps after an evaluation.
struct FieldCurve {
    std::vector<FieldPoint> points; // records 2 .. N-2
    int recordCount = 0;            // N, the radial's samples
    double rho = 0.0;               // water-vapour density, g/m³
    double gamma = 0.0;             // gaseous attenuation, dB/km
    double K = 0.0;                 // E = K - Lt
    CalculationInputs inputs;       // of the radial entry (nearest map node)
};

// Both charts of one radial. A chart that is missing keeps what it showed
// before. The k-factor the window shows afterwards (unless fixed) is the
// field curve's, or the profile's when the radial entry failed.
struct RadialEvaluation {
    CLocator rx;         // the radial's end; invalid: nothing was computed
    std::string problem; // inputs that cannot be used (the weather): nothing was computed
    std::optional<ProfileChart> profile;
    CalculationInputs profileInputs; // of the profile's link calculation (blended)
    std::optional<FieldCurve> field; // nullopt: the engine rejected the radial
    // The share of the radial's samples without terrain data: the
    // profile's, or the field curve's when there is no profile.
    double terrainMissing = 0.0;
};

RadialEvaluation EvaluateRadial(const RadialRequest& request, CSRTM& store, CZONES& zones,
                                CTerrain& engine);

} // namespace kestrova
