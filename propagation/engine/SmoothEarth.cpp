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

    // Ground heights: the end samples carry the antennas. The sums run in
    // order from the transmitter, the ends taken out of the loops.
    const double g0 = h[0] - htg;
    const double gn = h[n - 1] - hrg;
    double sum = g0;
    for (int i = 1; i < n - 1; ++i)
        sum += h[i];
    sum += gn;
    const double gMean = sum / n;
    const double x0 = d[0] - L / 2.0;
    double sxy = (g0 - gMean) * x0;
    double sxx = x0 * x0;
    for (int i = 1; i < n - 1; ++i) {
        const double x = d[i] - L / 2.0;
        sxy += (h[i] - gMean) * x;
        sxx += x * x;
    }
    const double xn = d[n - 1] - L / 2.0;
    sxy += (gn - gMean) * xn;
    sxx += xn * xn;
    slope = sxy / sxx;
    hst = gMean - slope * L / 2.0; // eq. (153)
    hsr = hst + slope * L;         // eq. (154)
    hst = std::min(hst, g0);       // eq. (155a)
    hsr = std::min(hsr, gn);       // eq. (155b)
    slope = (hsr - hst) / L;       // eq. (156)
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
