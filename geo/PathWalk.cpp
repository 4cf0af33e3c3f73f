#include "geo/PathWalk.h"

#include <algorithm>
#include <cmath>

namespace kestrova {
namespace {

constexpr double kMinCos = 0.02; // cos φ: no walk within 1.15 degrees of a pole

} // namespace

void GreatCircleWalk::Start(const CPath& path, double stepKm, int count) {
    index = -1;
    // The bearing as PointAtRange passes it to PointAt.
    const double bearingDeg = path.bearing * CPath::radToDeg;
    east = bearingDeg >= 0.0 && bearingDeg < 180.0;
    const double cosTheta = std::cos(bearingDeg * CPath::degToRad);
    const double sinTheta = std::sqrt(std::max(0.0, 1.0 - cosTheta * cosTheta));
    lon1 = path.lon1;
    cosLat1 = path.cosLat1;
    sinLat1 = path.sinLat1;
    bx = -sinLat1 * cosTheta;
    by = sinTheta;
    bz = cosLat1 * cosTheta;
    const double step = stepKm / CPath::earthRadiusKm;
    cosStep = std::cos(step);
    sinStep = std::sin(step);
    c = 1.0;
    s = 0.0;
    x = cosLat1;
    y = 0.0;
    z = sinLat1;
    h = std::sqrt(x * x);
    phi = path.lat1;
    dLambda = 0.0;

    // The latitude changes by no more than the distance walked.
    const double phiMax = std::min(std::fabs(path.lat1) + std::max(count, 1) * step, CPath::pi / 2);
    const double cosPhiMin = std::cos(phiMax);
    usable = path.IsValid() && std::isfinite(lon1) && std::fabs(step) <= kMaxStep &&
             cosLat1 >= kMinCos && cosPhiMin >= kMinCos;
    if (!usable) return;
    invCosPhi = 1.0 / cosPhiMin;
    const double tanPhi = std::sin(phiMax) * invCosPhi;
    latAllowance = 4e-15 * invCosPhi + 1e-15;
    epsX = 2e-14 * invCosPhi / cosLat1 * (1.0 + tanPhi);
}

} // namespace kestrova
