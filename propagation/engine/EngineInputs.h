// The refractivity inputs of a calculation, chosen as the window does before
// every engine call: N0 and ΔN looked up (interpolated) at the path centre,
// or the values of the last successful link calculation when a map gives
// none (and always for a coverage cell), and the effective Earth-radius
// factor, fixed by the user or derived from ΔN.
#pragma once

#include "geo/Locator.h"

#include <optional>

namespace kestrova {

class CRefractivity;

struct RefractivityChoice {
    double n0 = 320.0;
    double deltaN = 45.0;
    double kFactor = 157.0 / 112.0; // 157 / (157 - ΔN)
    bool fromMaps = false;          // both values came from the maps
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

} // namespace kestrova
