// WalkGreatCircle: the points at equal steps along a CPath, close to what
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
// than its bound from every cell edge (CSRTM::HeightsAlong).
//
// The walk gives no points where it could not keep its bounds: within 1.15
// degrees of a pole (cos φ below 0.02), for steps beyond 0.0029 rad
// (18 km) in latitude or in longitude, or beyond 3 rad east or west of the
// start; the caller then uses PointAtRange.
#pragma once

#include "geo/Path.h"

namespace kestrova {

struct WalkPoint {
    double lat = 0.0;    // degrees
    double lon = 0.0;    // degrees, not wrapped (as PointAt gives it)
    double latErr = 0.0; // degrees: |lat - PointAt's latitude| is less
    double lonErr = 0.0; // degrees: |lon - PointAt's longitude| is less
};

// The points of a walk as four arrays of one entry a point (so that loops
// over them can run on several points at once); the arrays are the
// caller's.
struct WalkPoints {
    double* lat;
    double* lon;
    double* latErr;
    double* lonErr;
    WalkPoint operator[](int i) const { return {lat[i], lon[i], latErr[i], lonErr[i]}; }
};

// Fills points[i] for i = 0 .. count - 1 with the point at range
// i * stepKm along path (set by SetPath) and returns count, or returns 0
// (and fills nothing) where the walk cannot keep its bounds.
int WalkGreatCircle(const CPath& path, double stepKm, int count, const WalkPoints& points);

// Rounding of one step of the walk, radians (with its safety factor).
inline constexpr double kWalkStepError = 4e-15;

} // namespace kestrova
