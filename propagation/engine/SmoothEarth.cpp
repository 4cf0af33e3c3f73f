// The smooth-Earth surface of ITU-R P.452-14 (10/2009), Appendix 2 to
// Annex 1, section 5.1.6 (here a least-squares straight line over the
// samples, in place of the integral form of eqs. (151) and (152)), the
// effective antenna heights and the terrain roughness hm.
#include "propagation/engine/Terrain.h"

#include <algorithm>

namespace kestrova {

bool CTerrain::FitSmoothEarth() {
    const double L = pathLength;
    const int n = profile.count;
    if (L < 0.0001 || n < 3) return false;
    const auto& h = profile.height;
    const auto& d = profile.distance;

    // Ground heights: the end samples carry the antennas.
    auto ground = [&](int i) {
        if (i == 0) return h[0] - htg;
        if (i == n - 1) return h[n - 1] - hrg;
        return h[i];
    };
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
        sum += ground(i);
    const double gMean = sum / n;
    double sxy = 0.0;
    double sxx = 0.0;
    for (int i = 0; i < n; ++i) {
        const double x = d[i] - L / 2.0;
        sxy += (ground(i) - gMean) * x;
        sxx += x * x;
    }
    slope = sxy / sxx;
    hst = gMean - slope * L / 2.0;      // eq. (153)
    hsr = hst + slope * L;              // eq. (154)
    hst = std::min(hst, ground(0));     // eq. (155a)
    hsr = std::min(hsr, ground(n - 1)); // eq. (155b)
    slope = (hsr - hst) / L;            // eq. (156)
    hte = h[0] - hst;
    hre = h[n - 1] - hsr;
    return true;
}

bool CTerrain::ComputeRoughness() {
    const int n = profile.count;
    if (pathLength < 0.0001 || n < 3) return false;
    // eq. (157)
    auto above = [&](int i) { return profile.height[i] - (slope * profile.distance[i] + hst); };
    if (lineOfSight) {
        hm = above(edgeMain);
        return true;
    }
    hm = -100000.0;
    for (int i = ilt; i <= ilr; ++i)
        hm = std::max(hm, above(i));
    return true;
}

} // namespace kestrova
