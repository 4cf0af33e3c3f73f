// Colours of the terrain and coverage maps: a 24-bit RGB value, the rounding
// of colour components to bytes, the conversions between RGB, HSL and HSV,
// and the lightness operations the coverage image is built from.
//
// Every rounding to a byte is x + 0.5 truncated (half up), as everywhere in
// the map and coverage code. Every function is pure and may be called from
// any number of threads at once.
#pragma once

#include <cstdint>

namespace kestrova {

// An RGB colour, 8 bits a channel.
struct Colour {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    friend constexpr bool operator==(const Colour&, const Colour&) = default;

    // 0xRRGGBB.
    constexpr std::uint32_t ToRgb() const {
        return (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | std::uint32_t{b};
    }
    // 0xFFRRGGBB: an opaque 32-bit ARGB pixel, the layout of Qt's QRgb.
    constexpr std::uint32_t ToArgb() const { return 0xFF000000u | ToRgb(); }
    // From 0xRRGGBB or 0xAARRGGBB (the alpha byte is ignored).
    static constexpr Colour FromRgb(std::uint32_t rgb) {
        return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                static_cast<std::uint8_t>(rgb)};
    }
};

inline constexpr Colour black{0, 0, 0};
inline constexpr Colour white{255, 255, 255};
inline constexpr Colour navy{0, 0, 128};

// Colour components as fractions 0..1.
struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

// Hue in degrees, saturation and lightness 0..1.
struct Hsl {
    double h = 0.0;
    double s = 0.0;
    double l = 0.0;
};

// x (nominally 0..255) rounded half up to a byte. Values outside 0..255 are
// limited to it and NaN gives 0, so no input can overflow the byte.
std::uint8_t RoundToByte(double x);

// Each component x of 0..1 becomes the byte x × 255 + 0.5 truncated.
Colour ColourFromRgb(const Rgb& rgb);
// Each byte divided by 255.
Rgb RgbFromColour(Colour c);

// RGB (0..1) to HSL. H lies in -60..300 degrees: magentas come out negative.
Hsl RgbToHsl(double r, double g, double b);
// HSL to RGB (0..1). Any hue is accepted and taken modulo 360.
Rgb HslToRgb(double h, double s, double l);
// HSV to RGB (0..1): grey (V, V, V) when S = 0. Any hue is taken modulo 360
// (360 is red, as 0 is); a hue that is not finite gives grey too.
Rgb HsvToRgb(double h, double s, double v);

// L of the colour's HSL form.
double Lightness(Colour c);

// base with its lightness scaled by the position of v between the limits a
// and b (either order): 0 at the lower limit, unchanged at the upper one and
// above. Equal limits return base unchanged. White gives the grey level
// rnd(255 × (v − lo) / (hi − lo)).
Colour ShadeColour(Colour base, double v, double a, double b);

// a with its lightness multiplied by the lightness of b: a terrain colour
// darkened by a grey coverage cell.
Colour HighlightColour(Colour a, Colour b);

} // namespace kestrova
