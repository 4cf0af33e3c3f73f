#include "geo/PathWalk.h"

#include <algorithm>
#include <cmath>

namespace kestrova {
namespace {

constexpr double kMinCos = 0.02;   // cos φ: no walk within 1.15 degrees of a pole
constexpr double kMaxStep = 0.003; // rad a step
constexpr double kMaxLambda = 3.0; // rad east or west of the start

// asin u for |u| <= kMaxStep; the next term, 5 u^7 / 112, is below 1e-19.
double AsinSmall(double u) {
    const double u2 = u * u;
    return u + u * u2 * (1.0 / 6.0 + u2 * (3.0 / 40.0));
}

// atan v for |v| <= kMaxStep; the next term, v^7 / 7, is below 4e-19.
double AtanSmall(double v) {
    const double v2 = v * v;
    return v + v * v2 * (-1.0 / 3.0 + v2 * (1.0 / 5.0));
}

// The allowances of one walk: for its own rounding and for PointAt's.
struct Allowances {
    double invCosPhi;  // 1 / cos of the largest latitude the walk can reach
    double latPointAt; // rad
    double epsX;       // of PointAt's cos Δλ
    double sqrtEpsX;   // its square root
};

void Bounds(const Allowances& a, int index, double dLambda, WalkPoint& point) {
    const double walk = (index + 1) * kWalkStepError;
    const double lonWalk = walk * a.invCosPhi;
    // sin Δλ >= (2 / π) min(Δλ, π - Δλ) on 0..π.
    const double sinLow = 0.63 * std::min(dLambda, CPath::pi - dLambda) - lonWalk;
    const double acosError =
        sinLow * sinLow > 4.0 * a.epsX ? 2.0 * a.epsX / sinLow : 2.0 * a.sqrtEpsX;
    point.latErr = (walk + a.latPointAt) * CPath::radToDeg + 1e-13;
    point.lonErr = (lonWalk + acosError + 1e-15) * CPath::radToDeg + 1e-13;
}

} // namespace

int WalkGreatCircle(const CPath& path, double stepKm, int count, WalkPoint* points) {
    if (count <= 0 || !path.IsValid()) return 0;
    // The bearing as PointAtRange passes it to PointAt.
    const double bearingDeg = path.bearing * CPath::radToDeg;
    const bool east = bearingDeg >= 0.0 && bearingDeg < 180.0;
    const double cosTheta = std::cos(bearingDeg * CPath::degToRad);
    const double sinTheta = std::sqrt(std::max(0.0, 1.0 - cosTheta * cosTheta));
    const double lon1 = path.lon1;
    const double cosLat1 = path.cosLat1;
    const double sinLat1 = path.sinLat1;
    const double step = stepKm / CPath::earthRadiusKm;

    // The latitude changes by no more than the distance walked.
    const double phiMax = std::min(std::fabs(path.lat1) + count * std::fabs(step), CPath::pi / 2);
    const double cosPhiMin = std::cos(phiMax);
    if (!(std::isfinite(lon1) && std::fabs(step) <= kMaxStep && cosLat1 >= kMinCos &&
          cosPhiMin >= kMinCos))
        return 0;
    Allowances a;
    a.invCosPhi = 1.0 / cosPhiMin;
    a.latPointAt = 4e-15 * a.invCosPhi + 1e-15;
    a.epsX = 2e-14 * a.invCosPhi / cosLat1 * (1.0 + std::sin(phiMax) * a.invCosPhi);
    a.sqrtEpsX = std::sqrt(a.epsX);

    // The start A = (cos φ1, 0, sin φ1) in a frame whose y = 0 plane is the
    // start's meridian, and B, the unit vector of the bearing there.
    const double bx = -sinLat1 * cosTheta;
    const double by = sinTheta;
    const double bz = cosLat1 * cosTheta;
    const double cosStep = std::cos(step);
    const double sinStep = std::sin(step);
    double c = 1.0; // cos δ and sin δ of the current point
    double s = 0.0;
    double x = cosLat1; // the current point A cos δ + B sin δ, and cos φ there
    double y = 0.0;
    double z = sinLat1;
    double h = cosLat1;
    double phi = path.lat1;
    double dLambda = 0.0; // east of the start (0..π)
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            const double cNext = c * cosStep - s * sinStep;
            s = s * cosStep + c * sinStep;
            c = cNext;
            const double xn = cosLat1 * c + bx * s;
            const double yn = by * s;
            const double zn = sinLat1 * c + bz * s;
            const double hn = std::sqrt(xn * xn + yn * yn);
            // sin of the latitude step and tan of the longitude step.
            const double u = zn * h - z * hn;
            const double dot = x * xn + y * yn;
            const double v = (x * yn - y * xn) / dot;
            if (!(std::fabs(u) <= kMaxStep && std::fabs(v) <= kMaxStep && dot > 0.0)) return i;
            phi += AsinSmall(u);
            dLambda += AtanSmall(v);
            if (!(dLambda <= kMaxLambda)) return i;
            x = xn;
            y = yn;
            z = zn;
            h = hn;
        }
        WalkPoint& point = points[i];
        point.lat = phi * CPath::radToDeg;
        point.lon = (east ? lon1 + dLambda : lon1 - dLambda) * CPath::radToDeg;
        Bounds(a, i, dLambda, point);
    }
    return count;
}

} // namespace kestrova
