// The radio-meteorological path parameters of
// ITU-R P.452: sea fraction, longest land and inland sections, coastal
// distances and beta0.
#include "propagation/engine/Terrain.h"

#include <algorithm>
#include <cmath>

namespace kestrova {
namespace {

constexpr std::int8_t kSea = 1;
constexpr std::int8_t kInland = 3;

// Twice the share of the path that sample i stands for: the distance
// between its neighbours (one whole interval at the ends).
double TwiceShare(const TerrainProfile& p, int i) {
    const int n = p.count;
    if (i == 0) return p.distance[1] - p.distance[0];
    if (i == n - 1) return p.distance[n - 1] - p.distance[n - 2];
    return p.distance[i + 1] - p.distance[i - 1];
}

// Longest run of consecutive samples for which inRun holds, in km.
template <typename Predicate> double LongestRun(const TerrainProfile& p, Predicate inRun) {
    double run = 0.0;
    double longest = 0.0;
    for (int i = 0; i < p.count; ++i) {
        if (!inRun(p.zone[i])) {
            run = 0.0;
            continue;
        }
        run += TwiceShare(p, i) / 2.0;
        longest = std::max(longest, run);
    }
    return longest;
}

// beta0, the time percentage of lapse rates beyond 100 N-units/km in the
// first 100 m, from the path-centre latitude (ITU-R P.452 section 3.2.1).
double Beta0(double dtm, double dlm, double latitudeDeg) {
    const double tau = 1.0 - std::exp(-0.000412 * std::pow(dlm, 2.41));
    const double mu1 = std::min(1.0, std::pow(std::pow(10.0, -dtm / (16.0 - 6.6 * tau)) +
                                                  std::pow(10.0, -5.0 * (0.496 + 0.354 * tau)),
                                              0.2));
    const double phi = std::fabs(latitudeDeg);
    if (phi > 70.0) return 4.17 * mu1 * std::pow(mu1, 0.3);
    const double mu4 = std::pow(mu1, 0.0176 * phi - 0.935);
    return std::pow(10.0, 1.67 - 0.015 * phi) * mu1 * mu4;
}

} // namespace

bool CTerrain::ComputePathParameters() {
    const double L = pathLength;
    const int n = profile.count;
    if (!ready || !(L >= 0.001) || n < 2) return false;

    double seaShare = 0.0;
    for (int i = 0; i < n; ++i)
        if (profile.zone[i] == kSea) seaShare += TwiceShare(profile, i);
    omega = seaShare / (2.0 * L);

    dtm = LongestRun(profile, [](std::int8_t z) { return z != kSea; });
    dlm = LongestRun(profile, [](std::int8_t z) { return z == kInland; });

    if (omega == 0.0) {
        dct = -1.0;
        dcr = -1.0;
    } else {
        const auto& zone = profile.zone;
        const auto& d = profile.distance;
        const int first =
            static_cast<int>(std::find(zone.begin(), zone.begin() + n, kSea) - zone.begin());
        int last = n - 1;
        while (zone[last] != kSea)
            --last;
        dct = first == 0 ? 0.0 : (d[first - 1] + d[first]) / 2.0 - d[0];
        if (last == n - 1)
            dcr = 0.0;
        else if (last == 0)
            dcr = L;
        else
            dcr = L - (d[last] + d[last + 1]) / 2.0;
    }
    beta0 = Beta0(dtm, dlm, midLatitude);
    return true;
}

} // namespace kestrova
