// Horizon elevation angles and distances at both ends (ITU-R P.452-14,
// 10/2009, Appendix 2 to Annex 1, section 5.1), in mrad: a height
// difference in m over a distance in km.
#include "geo/VectorClones.h"
#include "propagation/engine/EarthGeometry.h"
#include "propagation/engine/Largest.h"
#include "propagation/engine/Terrain.h"

#include <algorithm>

namespace kestrova {
namespace {

// Below every elevation angle: a horizon with no sample above it.
constexpr double kNoAngle = -3141.5;

// theta[i] = (h[i] - base) / di - curvature di for i = 1..n-2, di the
// distance from the end (d[i] - d[0] from the transmitter, L - d[i] from
// the receiver), 0.00001 where it is 0; a loop of its own, run on several
// samples at once. Returns the largest of them and -3141.5.
KESTROVA_VECTOR_CLONES double ElevationAngles(const double* __restrict h,
                                              const double* __restrict d, int n, bool fromReceiver,
                                              double L, double curvature,
                                              double* __restrict theta) {
    if (fromReceiver) {
        for (int i = 1; i <= n - 2; ++i) {
            double di = L - d[i];
            di = di == 0.0 ? 0.00001 : di;
            theta[i] = (h[i] - h[n - 1]) / di - curvature * di; // eq. (147)
        }
        return LargestOf(theta, 1, n - 2, kNoAngle);
    }
    for (int i = 1; i <= n - 2; ++i) {
        double di = d[i] - d[0];
        di = di == 0.0 ? 0.00001 : di;
        theta[i] = (h[i] - h[0]) / di - curvature * di; // eq. (142)
    }
    return LargestOf(theta, 1, n - 2, kNoAngle);
}

} // namespace

bool CTerrain::ComputeHorizons() {
    const double L = pathLength;
    const int n = profile.count;
    horizonsKnown = false;
    if (L < 0.001 || n < 3) {
        lineOfSight = true;
        thetaT = thetaR = 0.0;
        return false;
    }
    const auto& h = profile.height;
    const auto& d = profile.distance;
    const double curvature = 1000.0 / (2.0 * EffectiveRadiusKm(kMedian)); // mrad per km
    const double thetaTd = (h[n - 1] - h[0]) / L - curvature * L;         // eq. (143)
    const double thetaRd = (h[0] - h[n - 1]) / L - curvature * L;

    // Transmitter side: equal angles move the horizon to the later sample.
    // The angles first, in a loop of their own that the compiler can run
    // on several samples at once, with the largest; then its place.
    // The horizon is the last sample with the largest angle.
    auto& theta = scratch;
    double thetaMax = ElevationAngles(h.data(), d.data(), n, false, L, curvature, theta.data());
    int horizon = LastEqual(theta.data(), 1, n - 2, thetaMax);
    ilt = edgeMain;
    dlt = d[edgeMain] - d[0];
    if (horizon > 0) {
        thetaMax = theta[horizon];
        ilt = horizon;
        dlt = d[ilt] - d[0]; // eq. (145)
        if (dlt == 0.0) dlt = 0.00001;
    }
    lineOfSight = thetaMax <= thetaTd;    // eq. (140)
    thetaT = std::max(thetaMax, thetaTd); // eq. (144)
    horizonsKnown = true;
    horizonLineOfSight = lineOfSight;

    ilr = edgeMain;
    dlr = L - d[edgeMain];
    if (lineOfSight) {
        thetaR = thetaRd;
        ilt = ilr = edgeMain;
        dlt = d[edgeMain];
        dlr = L - d[edgeMain];
        return true;
    }
    thetaMax = ElevationAngles(h.data(), d.data(), n, true, L, curvature, theta.data());
    horizon = LastEqual(theta.data(), 1, n - 2, thetaMax);
    if (horizon > 0) {
        thetaMax = theta[horizon];
        ilr = horizon;
        dlr = L - d[ilr]; // eq. (148)
        if (dlr == 0.0) dlr = 0.00001;
    }
    thetaR = std::max(thetaMax, thetaRd); // eq. (146)
    return true;
}

} // namespace kestrova
