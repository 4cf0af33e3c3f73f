#include "geo/PathWalk.h"
#include "geo/LastValue.h"
#include "geo/VectorClones.h"

#include <algorithm>
#include <cmath>

namespace kestrova {
namespace {

constexpr double kMinCos = 0.02;      // cos φ: no walk within 1.15 degrees of a pole
constexpr double kStepLimit = 0.0029; // rad a step, in latitude and in longitude
constexpr double kMaxLambda = 3.0;    // rad east or west of the start

// asin u for |u| <= 0.003; the next term, 5 u^7 / 112, is below 1e-19.
double AsinSmall(double u) {
    const double u2 = u * u;
    return u + u * u2 * (1.0 / 6.0 + u2 * (3.0 / 40.0));
}

// atan v for |v| <= 0.003; the next term, v^7 / 7, is below 4e-19.
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

// The bounds of points first..last, whose longitudes east of the start
// rise from lambdaFirst to lambdaLast (each step adds atan of a positive
// number): PointAt's acos is steepest where Δλ is nearest 0 or π, so one
// bound serves the whole block.
void Bounds(const Allowances& a, int first, int last, double lambdaFirst, double lambdaLast,
            const WalkPoints& points) {
    const double walk = (last + 1) * kWalkStepError;
    const double lonWalk = walk * a.invCosPhi;
    // sin Δλ >= (2 / π) min(Δλ, π - Δλ) on 0..π.
    const double sinLow = 0.63 * std::min(lambdaFirst, CPath::pi - lambdaLast) - lonWalk;
    const double acosError =
        sinLow * sinLow > 4.0 * a.epsX ? 2.0 * a.epsX / sinLow : 2.0 * a.sqrtEpsX;
    const double latErr = (walk + a.latPointAt) * CPath::radToDeg + 1e-13;
    const double lonErr = (lonWalk + acosError + 1e-15) * CPath::radToDeg + 1e-13;
    for (int i = first; i <= last; ++i) {
        points.latErr[i] = latErr;
        points.lonErr[i] = lonErr;
    }
}

// The walk itself, from the path's cached start values.
KESTROVA_VECTOR_CLONES int Walk(const PathStart& path, double stepKm, int count,
                                const WalkPoints& points) {
    // The bearing as PointAtRange passes it to PointAt.
    const double bearingDeg = path.bearing * CPath::radToDeg;
    const bool east = bearingDeg >= 0.0 && bearingDeg < 180.0;
    const double cosTheta = std::cos(bearingDeg * CPath::degToRad);
    const double sinTheta = std::sqrt(std::max(0.0, 1.0 - cosTheta * cosTheta));
    const double lon1 = path.lon;
    const double cosLat1 = path.cosLat;
    const double sinLat1 = path.sinLat;
    const double step = stepKm / CPath::earthRadiusKm;

    // The latitude changes by no more than the distance walked, the
    // longitude by no more than that over cos φ: with these below their
    // limits at every step and in all, the series below hold (sin and tan
    // of a step are at most a little over the step itself) and the
    // dot product of consecutive points is positive.
    const double phiMax = std::min(std::fabs(path.lat) + count * std::fabs(step), CPath::pi / 2);
    const double cosPhiMin = std::cos(phiMax);
    if (!(std::isfinite(lon1) && cosLat1 >= kMinCos && cosPhiMin >= kMinCos)) return 0;
    Allowances a;
    a.invCosPhi = 1.0 / cosPhiMin;
    const double lambdaStep = std::fabs(step) * a.invCosPhi;
    if (!(lambdaStep <= kStepLimit && count * lambdaStep <= kMaxLambda)) return 0;
    a.latPointAt = 4e-15 * a.invCosPhi + 1e-15;
    a.epsX = 2e-14 * a.invCosPhi / cosLat1 * (1.0 + std::sin(phiMax) * a.invCosPhi);
    a.sqrtEpsX = std::sqrt(a.epsX);

    // The start A = (cos φ1, 0, sin φ1) in a frame whose y = 0 plane is the
    // start's meridian, and B, the unit vector of the bearing there.
    const double bx = -sinLat1 * cosTheta;
    const double by = sinTheta;
    const double bz = cosLat1 * cosTheta;
    // Neighbouring cells of a map mostly share their step.
    static thread_local LastValue stepCosine;
    static thread_local LastValue stepSine;
    const double cosStep = stepCosine(step, [](double x) { return std::cos(x); });
    const double sinStep = stepSine(step, [](double x) { return std::sin(x); });
    // x yn - y xn, the polar component of P x Pn, is the same for every
    // step along a great circle (Clairaut): by cos φ1 sin(step).
    const double cross = by * cosLat1 * sinStep;
    double phi = path.lat;
    double dLambda = 0.0; // east of the start (0..π), rising
    points.lat[0] = phi * CPath::radToDeg;
    points.lon[0] = lon1 * CPath::radToDeg;
    // The start (Δλ = 0, where PointAt is least sure of the longitude) has
    // a bound of its own; the other points share one by block.
    Bounds(a, 0, 0, 0.0, 0.0, points);

    // In chunks: the points (a rotation each), the latitude and longitude
    // steps between them (loops without dependences between points, which
    // the compiler runs on two at a time), then their running sums. Index
    // 0 of X, Y, Z and H holds the point before the chunk.
    constexpr int kBlock = 8;
    constexpr int kChunk = 4 * kBlock;
    // cos δ and sin δ of each point: four interleaved rotations by four
    // steps, so that no point waits for the one before it. Indices 0..3
    // hold the four points before the chunk (at first the start and three
    // points behind it).
    double Cd[kChunk + 4], Sd[kChunk + 4];
    Cd[3] = 1.0;
    Sd[3] = 0.0;
    for (int j = 2; j >= 0; --j) {
        Cd[j] = Cd[j + 1] * cosStep + Sd[j + 1] * sinStep;
        Sd[j] = Sd[j + 1] * cosStep - Cd[j + 1] * sinStep;
    }
    const double cos2 = cosStep * cosStep - sinStep * sinStep;
    const double sin2 = 2.0 * sinStep * cosStep;
    const double cos4 = cos2 * cos2 - sin2 * sin2;
    const double sin4 = 2.0 * sin2 * cos2;
    double X[kChunk + 1], Y[kChunk + 1], Z[kChunk + 1], H[kChunk + 1];
    double dPhi[kChunk], dLam[kChunk];
    X[kChunk] = cosLat1; // the start, moved to index 0 below
    Y[kChunk] = 0.0;
    Z[kChunk] = sinLat1;
    H[kChunk] = cosLat1;
    int i = 1;
    while (i < count) {
        const int m = std::min(kChunk, count - i);
        X[0] = X[kChunk];
        Y[0] = Y[kChunk];
        Z[0] = Z[kChunk];
        H[0] = H[kChunk];
        for (int j = 0; j < m; ++j) {
            Cd[j + 4] = Cd[j] * cos4 - Sd[j] * sin4;
            Sd[j + 4] = Sd[j] * cos4 + Cd[j] * sin4;
        }
        for (int j = 1; j <= m; ++j) {
            X[j] = cosLat1 * Cd[j + 3] + bx * Sd[j + 3];
            Y[j] = by * Sd[j + 3];
            Z[j] = sinLat1 * Cd[j + 3] + bz * Sd[j + 3];
        }
        for (int j = 0; j < 4; ++j) {
            Cd[j] = Cd[m + j];
            Sd[j] = Sd[m + j];
        }
        for (int j = 1; j <= m; ++j)
            H[j] = std::sqrt(X[j] * X[j] + Y[j] * Y[j]);
        for (int j = 1; j <= m; ++j) {
            // sin of the latitude step and tan of the longitude step.
            const double u = Z[j] * H[j - 1] - Z[j - 1] * H[j];
            const double v = cross / (X[j - 1] * X[j] + Y[j - 1] * Y[j]);
            dPhi[j - 1] = AsinSmall(u);
            dLam[j - 1] = AtanSmall(v);
        }
        // Near the start, where Δλ grows fastest relative to itself, each
        // point has a bound of its own.
        for (int first = 0, end = 0; first < m; first = end) {
            end = std::min(i + first < kBlock ? first + 1 : first + kBlock, m);
            const double lambdaFirst = dLambda + dLam[first];
            for (int j = first; j < end; ++j) {
                phi += dPhi[j];
                dLambda += dLam[j];
                points.lat[i + j] = phi * CPath::radToDeg;
                points.lon[i + j] = (east ? lon1 + dLambda : lon1 - dLambda) * CPath::radToDeg;
            }
            Bounds(a, i + first, i + end - 1, lambdaFirst, dLambda, points);
        }
        X[kChunk] = X[m]; // the last point, for the next chunk
        Y[kChunk] = Y[m];
        Z[kChunk] = Z[m];
        H[kChunk] = H[m];
        i += m;
    }
    return count;
}

} // namespace

int WalkGreatCircle(const CPath& path, double stepKm, int count, const WalkPoints& points) {
    if (count <= 0 || !path.IsValid()) return 0;
    return Walk(path.Start(), stepKm, count, points);
}

} // namespace kestrova
