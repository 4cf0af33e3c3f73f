// Troposcatter basic loss not exceeded for p % after ITU-R P.452-14
// (10/2009), section 4.3, with the constants 190.1 and 10.125 of the later
// editions (P.452-16), without the aperture-to-medium coupling loss and
// without gaseous absorption, which the callers add.
#include "propagation/engine/EarthGeometry.h"
#include "propagation/engine/Terrain.h"

#include "geo/LastValue.h"

#include <cmath>

namespace kestrova {

bool CTerrain::ComputeTroposcatter() {
    const double L = pathLength;
    const double f = frequency;
    loss.theta = 1000.0 * L / EffectiveRadiusKm(kMedian) + thetaT + thetaR; // eq. (149)
    // The terms of the frequency and of the time percentage alone, kept
    // from cell to cell of a map.
    static thread_local LastValue frequencyTerm;
    static thread_local LastValue percentTerm;
    const double Lf = frequencyTerm(f, [](double fGHz) {
        const double logF2 = std::log10(fGHz / 2.0);
        return 25.0 * std::log10(fGHz) - 2.5 * logF2 * logF2; // eq. (35a)
    });
    const double Lp = percentTerm(timePercent, [](double p) {
        return 10.125 * std::pow(std::log10(50.0 / p), 0.7); // eq. (35)
    });
    // eq. (35)
    loss.lbs = L > 0.0
                   ? 190.1 + Lf + 20.0 * std::log10(L) + 0.573 * loss.theta - 0.15 * surfaceN0 - Lp
                   : 0.0;
    return true;
}

} // namespace kestrova
