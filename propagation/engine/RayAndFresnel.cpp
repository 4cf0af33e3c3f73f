// Display data of the profile chart: the taut line over the obstacles from
// the transmitter to the receiver and the first Fresnel zone along it (not
// part of ITU-R P.452; the Earth's curvature on the effective radius of
// P.452-14, 10/2009, eq. (6a)).
#include "propagation/engine/EarthGeometry.h"
#include "propagation/engine/Terrain.h"

#include <cmath>

namespace kestrova {

int CTerrain::ComputeRayAndFresnel() {
    const int n = profile.count;
    const auto& h = profile.height;
    const auto& d = profile.distance;
    if (n < 2) return 0;

    // Taut line: from each base, the sample seen at the highest angle (the
    // earlier sample wins a tie) becomes the next base.
    int hulls = 0;
    int a = 0;
    while (a < n - 1) {
        double best = -9999.0;
        int chosen = n - 1;
        for (int j = a + 1; j < n; ++j) {
            const double x = (d[j] - d[a]) * 1000.0;
            const double angle =
                std::atan2(h[j] - h[a], x) - x / (2.0 * kEarthRadiusKm * 1000.0 * kMedian);
            if (angle > best) {
                best = angle;
                chosen = j;
            }
        }
        profile.hullIndex[hulls++] = chosen;
        a = chosen;
    }

    const double lambda = 0.2998 / frequency;
    int start = 0;
    for (int k = 0; k < hulls; ++k) {
        const int end = profile.hullIndex[k];
        const double D = (d[end] - d[start]) * 1000.0;
        const double dh = h[end] - h[start];
        for (int j = start; j < end; ++j) {
            const double x = (d[j] - d[start]) * 1000.0;
            profile.fresnelRadius[j] =
                (x > 0.0 && x < D) ? std::sqrt(lambda * x * (D - x) / D) : 0.0;
            profile.rayHeight[j] = x * dh / D + h[start] -
                                   0.001 * x * (D - x) / (2.0 * EffectiveRadiusKm(kMedian)) + 0.5;
        }
        start = end;
    }
    profile.rayHeight[n - 1] = h[n - 1];
    profile.fresnelRadius[n - 1] = 0.0;
    return hulls;
}

} // namespace kestrova
