#include "propagation/engine/EngineInputs.h"
#include "propagation/Refractivity.h"

#include <cmath>

namespace kestrova {

CLocator PathCentre(const CLocator& tx, const CLocator& rx) {
    const double lat = (tx.GetLatitude() + rx.GetLatitude()) / 2.0;
    const double dLon = std::remainder(rx.GetLongitude() - tx.GetLongitude(), 360.0);
    const double lon = std::remainder(tx.GetLongitude() + dLon / 2.0, 360.0);
    return CLocator(lat, lon);
}

RefractivityChoice ChooseRefractivity(const CRefractivity* maps, const CLocator& tx,
                                      const CLocator& rx, bool coverage, bool interpolate,
                                      double lastN0, double lastDeltaN,
                                      std::optional<double> forcedK) {
    RefractivityChoice choice;
    choice.n0 = lastN0;
    choice.deltaN = lastDeltaN;
    if (!coverage && maps) {
        const CLocator centre = PathCentre(tx, rx);
        double n0 = 0.0;
        double deltaN = 0.0;
        if (maps->GetN0(centre.GetLatitude(), centre.GetLongitude(), interpolate, n0) &&
            maps->GetDeltaN(centre.GetLatitude(), centre.GetLongitude(), interpolate, deltaN)) {
            choice.n0 = n0;
            choice.deltaN = deltaN;
            choice.fromMaps = true;
        }
    }
    if (forcedK) {
        choice.kFactor = *forcedK;
        choice.deltaN = (1.0 - 1.0 / *forcedK) * 157.0;
    } else {
        choice.kFactor = 157.0 / (157.0 - choice.deltaN);
    }
    return choice;
}

} // namespace kestrova
