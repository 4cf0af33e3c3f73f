// The overall basic transmission loss of ITU-R P.452-14 (10/2009), section
// 4.6, without clutter losses and without gaseous absorption.
#include "propagation/engine/Terrain.h"

#include <algorithm>
#include <cmath>

namespace kestrova {

bool CTerrain::CombineLosses() {
    const double theta = loss.theta;
    const double d = pathLength;
    const double p = timePercent;
    const double Fj = 1.0 - 0.5 * (1.0 + std::tanh(3.0 * 0.8 * (theta - 0.3) / 0.3)); // eq. (48)
    const double Fk = 1.0 - 0.5 * (1.0 + std::tanh(1.5 * (d - 20.0) / 20.0));         // eq. (49)
    const double Fi = InterpolationFactor(p, beta0);

    const double Lminb0p = // eq. (50)
        p < beta0 ? loss.lb0p + (1.0 - omega) * loss.ldp
                  : loss.lbd50 + (loss.lb0b + (1.0 - omega) * loss.ldp - loss.lbd50) * Fi;
    const double Lminbap = // eq. (51)
        (loss.lba < 500.0 && loss.lb0p < 500.0)
            ? 2.5 * std::log(std::exp(loss.lba / 2.5) + std::exp(loss.lb0p / 2.5))
            : std::max(loss.lba, loss.lb0p);
    const double Lbda = // eq. (52)
        Lminbap > loss.lbd ? loss.lbd : Lminbap + (loss.lbd - Lminbap) * Fk;
    const double Lbam = Lbda + (Lminb0p - Lbda) * Fj;             // eq. (53)
    loss.lb = -5.0 * std::log10(std::pow(10.0, -0.2 * loss.lbs) + // eq. (54)
                                std::pow(10.0, -0.2 * Lbam));
    return true;
}

} // namespace kestrova
