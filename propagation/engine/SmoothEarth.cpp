// The smooth-Earth surface of ITU-R P.452-14 (10/2009), Appendix 2 to
// Annex 1, section 5.1.6 (SmoothEarth.h), and the terrain roughness hm.
#include "propagation/engine/SmoothEarth.h"
#include "propagation/engine/Terrain.h"

#include <algorithm>

namespace kestrova {

std::optional<SmoothEarthResult> SmoothEarthSurface(const SmoothEarthInputs& in) {
    const double L = in.L;
    const int n = in.n;
    if (L < 0.0001 || n < 3) return std::nullopt;
    const double* h = in.h;
    const double* d = in.d;

    // Ground heights: the end samples carry the antennas. The sums run in
    // order from the transmitter, the ends taken out of the loops.
    const double g0 = h[0] - in.htg;
    const double gn = h[n - 1] - in.hrg;
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
    SmoothEarthResult r;
    r.slope = sxy / sxx;
    r.hst = gMean - r.slope * L / 2.0; // eq. (153)
    r.hsr = r.hst + r.slope * L;       // eq. (154)
    r.hst = std::min(r.hst, g0);       // eq. (155a)
    r.hsr = std::min(r.hsr, gn);       // eq. (155b)
    r.slope = (r.hsr - r.hst) / L;     // eq. (156)
    r.hte = h[0] - r.hst;
    r.hre = h[n - 1] - r.hsr;
    return r;
}

bool CTerrain::FitSmoothEarth() {
    const std::optional<SmoothEarthResult> r = SmoothEarthSurface(
        {profile.distance.data(), profile.height.data(), profile.count, pathLength, htg, hrg});
    if (!r) return false;
    hst = r->hst;
    hsr = r->hsr;
    slope = r->slope;
    hte = r->hte;
    hre = r->hre;
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
