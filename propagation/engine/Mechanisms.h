// The mechanisms chart of one link: the diffraction, ducting and layer
// reflection, troposcatter and overall basic losses of ITU-R P.452 against
// the percentage of time, each with the path's gaseous loss added, from one
// link calculation per time percentage.
#pragma once

#include "propagation/engine/Terrain.h"

#include <array>
#include <vector>

namespace kestrova {

// The time percentages charted, in the chart's order.
inline constexpr std::array<double, 10> mechanismPercentages = {0.001, 0.01, 0.05, 0.1,  0.5,
                                                                1.0,   5.0,  10.0, 20.0, 50.0};

// One time percentage; losses in dB, each including the gaseous loss.
struct MechanismPoint {
    double percent = 0.0;
    double diffraction = 0.0;  // lbd
    double ducting = 0.0;      // lba
    double troposcatter = 0.0; // lbs
    double overall = 0.0;      // lb
};

// Runs the engine's link entry for each percentage of mechanismPercentages
// with the inputs (their timePercent replaced), in that order. A
// calculation that fails (a path shorter than 0.1 km) adds no point. The
// engine is left holding the 50 % calculation: give the chart an engine of
// its own so that the link's figures stay as they were.
std::vector<MechanismPoint> MechanismCurves(CTerrain& engine, CSRTM& store, const CZONES& zones,
                                            const CLocator& tx, const CLocator& rx,
                                            bool interpolate, LinkInputs inputs, double gasLoss);

} // namespace kestrova
