// GreatCircleWalk: the points at equal steps along a CPath, close to what
// CPath::PointAtRange gives for ranges 0, s, 2s, ..., each with a bound on
// how far it may lie from that result, at a few arithmetic operations and
// one square root a point instead of PointAt's six calls into libm.
//
// How it works: the walk turns the start vector A towards the unit vector B
// of the initial bearing (P = A cos δ + B sin δ, with cos δ and sin δ of the
// next step from those of the last by one rotation), and adds up the
// latitude and longitude differences between consecutive points, each
// from the sine (latitude) or tangent (longitude) of that difference by a
// short series. Only cos θ of the bearing enters, as in PointAt, and the
// side (east or west of the start) is PointAt's.
//
// What the bound covers, in radians before the conversion to degrees:
//  - the walk's own rounding, which grows by less than kStepError a step
//    (the rotation and the summed differences);
//  - the rounding inside PointAt: its asin argument is good to a few units
//    in the last place, so its latitude to a few 1e-16 / cos φ; its acos
//    argument x = cos Δλ to εx, a few 1e-15 / (cos φ cos φ1) (1 + tan φ),
//    which puts its longitude within εx / sin Δλ, or within √(2 εx) where
//    Δλ is nearly 0 (a path along a meridian: acos is steepest at 1);
//  - the final conversions to degrees (1e-13 degree).
// Every allowance carries a safety factor of about ten; a test compares
// the walk with PointAt at the hard places.
//
// A look-up that depends only on which grid cell a position falls in gives
// PointAt's answer from a walk position whenever the position lies farther
// than its bound from every cell edge (CSRTM::TryNearest, CZONES::TryZone).
//
// The walk gives no points (Next returns false) near the poles (cos φ below
// 0.02), for steps beyond 0.003 rad (19 km), or past half the globe; the
// caller then uses PointAtRange.
#pragma once

#include "geo/Path.h"

#include <algorithm>
#include <cmath>

namespace kestrova {

struct WalkPoint {
    double lat = 0.0;    // degrees
    double lon = 0.0;    // degrees, not wrapped (as PointAt gives it)
    double latErr = 0.0; // degrees: |lat - PointAt's latitude| is less
    double lonErr = 0.0; // degrees: |lon - PointAt's longitude| is less
};

class GreatCircleWalk {
public:
    // Starts a walk of count points along path (set by SetPath) in steps
    // of stepKm.
    void Start(const CPath& path, double stepKm, int count);
    // The next point (range 0 first); false when the walk cannot give it
    // within its bounds, and for every later point.
    bool Next(WalkPoint& point);

    // Rounding of one step of the walk, radians (with its safety factor).
    static constexpr double kStepError = 4e-15;
    // Largest step, rad: the series for asin and atan below stay exact to
    // 1e-19 (their next terms, 5 u^7 / 112 and v^7 / 7).
    static constexpr double kMaxStep = 0.003;
    // Farthest east or west of the start, rad.
    static constexpr double kMaxLambda = 3.0;

private:
    static double AsinSmall(double u) {
        const double u2 = u * u;
        return u + u * u2 * (1.0 / 6.0 + u2 * (3.0 / 40.0));
    }
    static double AtanSmall(double v) {
        const double v2 = v * v;
        return v + v * v2 * (-1.0 / 3.0 + v2 * (1.0 / 5.0));
    }
    void Bounds(WalkPoint& point) const;

    bool usable = false;
    int index = -1;
    bool east = true;
    // Per walk: 1 / cos of the largest latitude it can reach, and the
    // allowances for PointAt's rounding that follow from it.
    double invCosPhi = 1.0;
    double latAllowance = 0.0; // radians
    double epsX = 0.0;         // of PointAt's cos Δλ
    double lon1 = 0.0;         // radians
    double cosLat1 = 0.0;
    double sinLat1 = 0.0;
    double bx = 0.0, by = 0.0, bz = 0.0; // unit vector of the bearing at the start
    double cosStep = 1.0, sinStep = 0.0; // of the angle of one step
    double c = 1.0, s = 0.0;             // cos δ and sin δ of the current point
    double x = 0.0, y = 0.0, z = 0.0;    // the current point, start meridian at y = 0
    double h = 0.0;                      // cos φ of the current point: √(x² + y²)
    double phi = 0.0;                    // latitude, radians
    double dLambda = 0.0;                // longitude east of the start (0..π), radians
};

inline bool GreatCircleWalk::Next(WalkPoint& point) {
    if (!usable) return false;
    if (++index > 0) {
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
        if (!(std::fabs(u) <= kMaxStep && std::fabs(v) <= kMaxStep && dot > 0.0)) {
            usable = false;
            return false;
        }
        phi += AsinSmall(u);
        dLambda += AtanSmall(v);
        x = xn;
        y = yn;
        z = zn;
        h = hn;
        if (!(dLambda <= kMaxLambda)) {
            usable = false;
            return false;
        }
    }
    point.lat = phi * CPath::radToDeg;
    point.lon = (east ? lon1 + dLambda : lon1 - dLambda) * CPath::radToDeg;
    Bounds(point);
    return true;
}

inline void GreatCircleWalk::Bounds(WalkPoint& point) const {
    const double walk = (index + 1) * kStepError;
    const double lonWalk = walk * invCosPhi;
    // sin Δλ >= (2 / π) min(Δλ, π - Δλ) on 0..π.
    const double sinLow = 0.63 * std::min(dLambda, CPath::pi - dLambda) - lonWalk;
    const double acosError =
        sinLow * sinLow > 4.0 * epsX ? 2.0 * epsX / sinLow : 2.0 * std::sqrt(epsX);
    point.latErr = (walk + latAllowance) * CPath::radToDeg + 1e-13;
    point.lonErr = (lonWalk + acosError + 1e-15) * CPath::radToDeg + 1e-13;
}

} // namespace kestrova
