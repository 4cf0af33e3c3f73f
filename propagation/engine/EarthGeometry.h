// The Earth of the engine (ITU-R P.452-14, 10/2009, section 3.2.1): a
// sphere of radius a = 6371 km, seen by the radio path with the effective
// radius k a, and the bulge of its surface above the chord between the
// ends of a path.
#pragma once

#include <cmath>

namespace kestrova {

inline constexpr double kEarthRadiusKm = 6371.0; // a

// The effective Earth radius, km: ae = a k50 (eq. (6a)), aβ = a kβ (6b).
inline double EffectiveRadiusKm(double k) {
    return kEarthRadiusKm * k;
}

// The height of the Earth's surface above the chord between the ends of a
// path L km long, on the effective radius ae km, in metres: the circle's
// height above its centre at a distance d from the start, less that at the
// ends (truncated to whole metres).
class EarthBulge {
public:
    EarthBulge(double aeKm, double lengthKm)
        : ae(aeKm), L(lengthKm), base(std::trunc(std::sqrt(ae * ae - (L / 2) * (L / 2)) * 1000.0)) {
    }
    double At(double d) const {
        const double circle = std::sqrt(ae * ae - (d - L / 2) * (d - L / 2)) * 1000.0 - base;
        // A path longer than the effective Earth's diameter (a strongly
        // negative delta N) has no chord on that circle: the parabola
        // d (L - d) / (2 ae), which MidPath gives at mid-path, instead of NaN.
        return std::isfinite(circle) ? circle : d * (L - d) * 500.0 / ae;
    }
    // At mid-path, L^2 / (8 ae) in metres.
    double MidPath() const { return L * L * 125.0 / ae; }

private:
    double ae;
    double L;
    double base;
};

} // namespace kestrova
