// The radio-meteorological path parameters of ITU-R P.452-14 (10/2009),
// sections 3.2 and 4.4: sea fraction, longest land and inland sections,
// coastal distances and beta0.
#include "propagation/common/SharedSteps.h"
#include "propagation/engine/Terrain.h"

#include <algorithm>
#include <cmath>

namespace kestrova {
namespace {

constexpr std::int8_t kSea = 1;
constexpr std::int8_t kInland = 3;

} // namespace

// One pass over the samples: the sea share by the trapezoid rule, the
// longest runs of land and of inland samples (each sample standing for
// half the distance between its neighbours, one whole interval at the
// ends), and the first and last sea samples.
bool CTerrain::ComputePathParameters() {
    const double L = pathLength;
    const int n = profile.count;
    if (!(L >= 0.001) || n < 2) return false;
    const auto& zone = profile.zone;
    const auto& d = profile.distance;

    // The runs and their largest lengths in locals: the largest written to
    // the engine's members at every sample would make each sample wait for
    // the store of the last.
    double seaShare = 0.0;
    double landRun = 0.0;
    double inlandRun = 0.0;
    double landMax = 0.0;
    double inlandMax = 0.0;
    int first = -1;
    int last = -1;
    for (int i = 0; i < n; ++i) {
        // Twice the share of the path that sample i stands for.
        const double share = i == 0       ? d[1] - d[0]
                             : i == n - 1 ? d[n - 1] - d[n - 2]
                                          : d[i + 1] - d[i - 1];
        if (zone[i] == kSea) {
            seaShare += share;
            landRun = 0.0;
            if (first < 0) first = i;
            last = i;
        } else {
            landRun += share / 2.0;
            landMax = std::max(landMax, landRun);
        }
        if (zone[i] == kInland) {
            inlandRun += share / 2.0;
            inlandMax = std::max(inlandMax, inlandRun);
        } else {
            inlandRun = 0.0;
        }
    }
    dtm = landMax;
    dlm = inlandMax;
    omega = seaShare / (2.0 * L);

    if (omega == 0.0) {
        dct = -1.0;
        dcr = -1.0;
    } else {
        dct = first == 0 ? 0.0 : (d[first - 1] + d[first]) / 2.0 - d[0];
        if (last == n - 1)
            dcr = 0.0;
        else if (last == 0)
            dcr = L;
        else
            dcr = L - (d[last] + d[last + 1]) / 2.0;
    }
    tau = p452::Tau(dlm);
    beta0 = p452::Beta0(dtm, tau, midLatitude);
    return true;
}

} // namespace kestrova
