#include "maps/Colour.h"

#include <algorithm>
#include <cmath>

namespace kestrova {
namespace {

// h brought into [0, 360): 360 is red again, as 0 is. A non-finite hue
// becomes NaN.
double WrapHue(double h) {
    double wrapped = std::fmod(h, 360.0);
    if (wrapped < 0.0) wrapped += 360.0;
    return wrapped >= 360.0 ? 0.0 : wrapped; // -1e-20 + 360 rounds to 360
}

// The hue of RGB (0..1) in sextants, before scaling to degrees. max is the
// largest component, spread the largest minus the smallest (> 0).
double HueSextant(double r, double g, double b, double max, double spread) {
    double h = 0.0;
    if (max == r && max != g) h = (g - b) / spread;
    if (max == g && max != b) h += 2.0 + (b - r) / spread;
    if (max == b && max != r) h += 4.0 + (r - g) / spread;
    return h;
}

// The weight of one channel in HslToRgb, limited to at most 1.
double ChannelWeight(double w) {
    return std::min(w, 1.0);
}

// One HSL channel from its weight sx: L × t below half lightness, else
// (1 − L) t + 2L − 1, written as L + (1 − L)(t − 1) so that a grey (t = 1)
// comes back as exactly L and its byte rounds as 255 L does.
double HslChannel(double sx, double s, double l) {
    const double t = 2.0 * s * sx + (1.0 - s);
    return l < 0.5 ? l * t : l + (1.0 - l) * (t - 1.0);
}

// c with the lightness of its HSL form multiplied by factor.
Colour ScaleLightness(Colour c, double factor) {
    const Rgb rgb = RgbFromColour(c);
    const Hsl hsl = RgbToHsl(rgb.r, rgb.g, rgb.b);
    return ColourFromRgb(HslToRgb(hsl.h, hsl.s, hsl.l * factor));
}

} // namespace

std::uint8_t RoundToByte(double x) {
    if (!(x > 0.0)) return 0; // also NaN
    if (x >= 255.0) return 255;
    return static_cast<std::uint8_t>(x + 0.5);
}

Colour ColourFromRgb(const Rgb& rgb) {
    return {RoundToByte(rgb.r * 255.0), RoundToByte(rgb.g * 255.0), RoundToByte(rgb.b * 255.0)};
}

Rgb RgbFromColour(Colour c) {
    return {c.r / 255.0, c.g / 255.0, c.b / 255.0};
}

Hsl RgbToHsl(double r, double g, double b) {
    const double max = std::max({r, g, b});
    const double min = std::min({r, g, b});
    Hsl hsl;
    hsl.l = (max + min) / 2.0;
    if (hsl.l > 0.0 && hsl.l < 1.0)
        hsl.s = (max - min) / (hsl.l < 0.5 ? 2.0 * hsl.l : 2.0 - 2.0 * hsl.l);
    if (max - min > 0.0) hsl.h = HueSextant(r, g, b, max, max - min) * 60.0;
    return hsl;
}

Rgb HslToRgb(double h, double s, double l) {
    h = WrapHue(h);
    double sr = 0.0, sg = 0.0, sb = 0.0;
    if (h < 120.0) {
        sr = (120.0 - h) / 60.0;
        sg = h / 60.0;
    } else if (h < 240.0) {
        sg = (240.0 - h) / 60.0;
        sb = (h - 120.0) / 60.0;
    } else {
        sr = (h - 240.0) / 60.0;
        sb = (360.0 - h) / 60.0;
    }
    return {HslChannel(ChannelWeight(sr), s, l), HslChannel(ChannelWeight(sg), s, l),
            HslChannel(ChannelWeight(sb), s, l)};
}

Rgb HsvToRgb(double h, double s, double v) {
    const double sextant = WrapHue(h) / 60.0;
    if (s == 0.0 || std::isnan(sextant)) return {v, v, v};
    const double i = std::floor(sextant);
    const double f = sextant - i;
    const double p = v * (1.0 - s);
    const double q = v * (1.0 - s * f);
    const double t = v * (1.0 - s * (1.0 - f));
    switch (static_cast<int>(i)) {
    case 0:
        return {v, t, p};
    case 1:
        return {q, v, p};
    case 2:
        return {p, v, t};
    case 3:
        return {p, q, v};
    case 4:
        return {t, p, v};
    default:
        return {v, p, q};
    }
}

double Lightness(Colour c) {
    const Rgb rgb = RgbFromColour(c);
    return RgbToHsl(rgb.r, rgb.g, rgb.b).l;
}

Colour ShadeColour(Colour base, double v, double a, double b) {
    if (a == b) return base;
    const double hi = std::max(a, b);
    const double lo = std::min(a, b);
    v = std::clamp(v, lo, hi);
    return ScaleLightness(base, (v - lo) / (hi - lo));
}

Colour HighlightColour(Colour a, Colour b) {
    return ScaleLightness(a, Lightness(b));
}

} // namespace kestrova
