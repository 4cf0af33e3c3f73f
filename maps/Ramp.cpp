// The colour scales of the maps: the eight-segment ramp shared by the JET
// palette and the coverage image, and the DEM and HSV percentage palettes.
#include "maps/Palette.h"

#include <algorithm>

namespace kestrova {
namespace {

constexpr double rampStep = 127.5; // half of 255: one ramp unit of e

// DemColour's bands, p limited to 0..100.
Colour DemBand(double p) {
    if (p < 20.0) return {0, RoundToByte(191.0 + 3.2 * p), RoundToByte(191.0 - 9.55 * p)};
    if (p < 40.0) return {RoundToByte(12.75 * (p - 20.0)), 255, 0};
    if (p < 60.0) return {255, RoundToByte(255.0 - 6.4 * (p - 40.0)), 0};
    if (p < 80.0)
        return {RoundToByte(255.0 - 3.2 * (p - 60.0)), 127, RoundToByte(3.2 * (p - 60.0))};
    return {RoundToByte(191.0 - 3.15 * (p - 80.0)), RoundToByte(127.0 + 0.05 * (p - 80.0)),
            RoundToByte(63.0 + 3.25 * (p - 80.0))};
}

// HsvColour's hue in degrees.
double HsvHue(double p) {
    if (p > 100.0) return 300.0;
    if (p <= 0.0) return std::min(180.0 + 0.3 * p, 240.0);
    const double h = 170.0 - 2.3 * p;
    return h < 0.0 ? h + 360.0 : h;
}

} // namespace

Colour RampAt(double e) {
    if (e <= 1.0) return {0, 0, RoundToByte(rampStep * (e + 1.0))};
    if (e <= 3.0) return {0, RoundToByte(rampStep * (e - 1.0)), 255};
    if (e <= 5.0)
        return {RoundToByte(rampStep * (e - 3.0)), 255, RoundToByte(rampStep * (5.0 - e))};
    if (e <= 7.0) return {255, RoundToByte(rampStep * (7.0 - e)), 0};
    return {RoundToByte(rampStep * (9.0 - e)), 0, 0};
}

Colour RampColour(double v, double a, double b) {
    const double hi = std::max(a, b);
    const double lo = std::min(a, b);
    if (!(hi > lo)) return RampAt(8.0); // equal limits: no position to place v at
    v = std::clamp(v, lo, hi);
    return RampAt(std::clamp(8.0 * (hi - v) / (hi - lo), 0.0, 8.0));
}

Colour JetColour(double p) {
    if (p <= 0.0) return navy;
    return RampAt(p > 100.0 ? 8.0 : p / 12.5);
}

Colour DemColour(double p) {
    if (p < 0.0) return navy;
    return DemBand(std::min(p, 100.0));
}

Colour HsvColour(double p) {
    return ColourFromRgb(HsvToRgb(HsvHue(p), 0.7, 0.9));
}

} // namespace kestrova
