// The effective Earth-radius factor of ITU-R P.452 (eq. (5) of the 2009 and
// the 2023 edition) from the average radio-refractivity lapse rate ΔN
// through the lowest 1 km of the atmosphere, in N-units/km, and the lapse
// rate that gives a factor. Constant expressions, so that tables of input
// limits can use them.
#pragma once

namespace kestrova::p452 {

// k50 = 157 / (157 - ΔN), eq. (5).
constexpr double KFactor(double deltaN) {
    return 157.0 / (157.0 - deltaN);
}

// ΔN = 157 (1 - 1/k), eq. (5) solved for ΔN.
constexpr double DeltaNOfKFactor(double k) {
    return 157.0 * (1.0 - 1.0 / k);
}

} // namespace kestrova::p452
