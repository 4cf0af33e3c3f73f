// The smooth-Earth surface of ITU-R P.452-14 (10/2009), Appendix 2 to
// Annex 1, section 5.1.6, as a step of its own: what it reads of the
// profile and what it gives. CTerrain::FitSmoothEarth runs it for every
// calculation; a test may run it on any profile.
#pragma once

#include <optional>

namespace kestrova {

struct SmoothEarthInputs {
    const double* d = nullptr; // km from the transmitter, n samples, d[0] = 0
    const double* h = nullptr; // m a.s.l.; h[0] and h[n - 1] include the antennas
    int n = 0;
    double L = 0.0;   // path length, km
    double htg = 0.0; // antenna heights above ground, m
    double hrg = 0.0;
};

struct SmoothEarthResult {
    double hst = 0.0;   // m a.s.l., the surface at the transmitter, eq. (155a)
    double hsr = 0.0;   // at the receiver, eq. (155b)
    double slope = 0.0; // m/km, eq. (156)
    double hte = 0.0;   // m, the antennas above the surface
    double hre = 0.0;
};

// A least-squares straight line over the ground heights (in place of the
// integral form of eqs. (151) and (152)), its heights at the ends (eqs.
// (153), (154)) brought down to the ground there (eqs. (155a), (155b)).
// Empty for a path under 0.0001 km or of fewer than 3 samples.
std::optional<SmoothEarthResult> SmoothEarthSurface(const SmoothEarthInputs& in);

} // namespace kestrova
