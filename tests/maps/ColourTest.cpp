#include "maps/Colour.h"

#include "ColourPrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace kestrova {
namespace {

constexpr double tolerance = 1e-12; // for exact fractions computed in doubles

TEST(Colour, PacksAsRgbAndArgb) {
    constexpr Colour c{0x12, 0x34, 0x56};
    EXPECT_EQ(c.ToRgb(), 0x123456u);
    EXPECT_EQ(c.ToArgb(), 0xFF123456u);
    EXPECT_EQ(Colour::FromRgb(0x80123456u), c); // alpha ignored
}

TEST(RoundToByte, RoundsHalfUpAndStaysInRange) {
    EXPECT_EQ(RoundToByte(127.5), 128);
    EXPECT_EQ(RoundToByte(127.49), 127);
    EXPECT_EQ(RoundToByte(254.5), 255);
    EXPECT_EQ(RoundToByte(-3.0), 0);
    EXPECT_EQ(RoundToByte(300.0), 255);
    EXPECT_EQ(RoundToByte(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(ColourFromRgb({0.5, 1.0, 0.0}), (Colour{128, 255, 0}));
}

struct HslCase {
    Colour colour;
    double h, s, l;
};

// Hue, saturation and lightness worked out by hand from the definitions.
TEST(RgbToHsl, PrimariesSecondariesAndGreys) {
    const HslCase cases[] = {
        {{255, 0, 0}, 0, 1, 0.5},
        {{255, 255, 0}, 60, 1, 0.5},
        {{0, 255, 0}, 120, 1, 0.5},
        {{0, 255, 255}, 180, 1, 0.5},
        {{0, 0, 255}, 240, 1, 0.5},
        {{255, 0, 255}, -60, 1, 0.5}, // magentas negative
        {{255, 255, 255}, 0, 0, 1},
        {{0, 0, 0}, 0, 0, 0},
        {{0, 0, 128}, 240, 1, 64.0 / 255.0}, // navy: dark, still fully saturated
        {{255, 128, 128}, 0, 1, 191.5 / 255.0},
    };
    for (const HslCase& c : cases) {
        const Rgb rgb = RgbFromColour(c.colour);
        const Hsl hsl = RgbToHsl(rgb.r, rgb.g, rgb.b);
        SCOPED_TRACE(::testing::PrintToString(c.colour));
        EXPECT_NEAR(hsl.h, c.h, tolerance);
        EXPECT_NEAR(hsl.s, c.s, tolerance);
        EXPECT_NEAR(hsl.l, c.l, tolerance);
        EXPECT_NEAR(Lightness(c.colour), c.l, tolerance);
    }
}

TEST(HslToRgb, RoundTripsEveryColourOfAGrid) {
    for (int r = 0; r <= 255; r += 15)
        for (int g = 0; g <= 255; g += 15)
            for (int b = 0; b <= 255; b += 15) {
                const Colour c{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                               static_cast<std::uint8_t>(b)};
                const Rgb rgb = RgbFromColour(c);
                const Hsl hsl = RgbToHsl(rgb.r, rgb.g, rgb.b);
                ASSERT_EQ(ColourFromRgb(HslToRgb(hsl.h, hsl.s, hsl.l)), c);
            }
}

TEST(HslToRgb, AnyHueIsTakenModulo360) {
    const Rgb red = HslToRgb(0, 1, 0.5);
    for (double h : {360.0, -360.0, 720.0, 1e6 * 360.0}) {
        const Rgb rgb = HslToRgb(h, 1, 0.5);
        EXPECT_NEAR(rgb.r, red.r, tolerance) << h;
        EXPECT_NEAR(rgb.g, red.g, tolerance) << h;
        EXPECT_NEAR(rgb.b, red.b, tolerance) << h;
    }
    EXPECT_EQ(ColourFromRgb(HslToRgb(-60, 1, 0.5)), (Colour{255, 0, 255}));
    // A hue that steps of 360 cannot bring back (a loop of them would hang)
    // still gives a fully saturated colour.
    const Rgb far = HslToRgb(-1e300, 1, 0.5);
    EXPECT_NEAR(std::max({far.r, far.g, far.b}), 1.0, tolerance);
    EXPECT_NEAR(std::min({far.r, far.g, far.b}), 0.0, tolerance);
    const Rgb inf = HslToRgb(std::numeric_limits<double>::infinity(), 1, 0.5);
    EXPECT_EQ(ColourFromRgb(inf), black); // NaN components come out as 0
}

struct HsvCase {
    double h;
    Colour expected;
};

TEST(HsvToRgb, OneCaseInEachSextant) {
    // S = 0.5, V = 1: P = 0.5; f = 0.5 gives Q = T = 0.75.
    const HsvCase cases[] = {
        {30, {255, 191, 128}},  {90, {191, 255, 128}},  {150, {128, 255, 191}},
        {210, {128, 191, 255}}, {270, {191, 128, 255}}, {330, {255, 128, 191}},
        {360, {255, 128, 128}}, // red again, as at 0
        {-30, {255, 128, 191}},
    };
    for (const HsvCase& c : cases)
        EXPECT_EQ(ColourFromRgb(HsvToRgb(c.h, 0.5, 1.0)), c.expected) << "H = " << c.h;
    EXPECT_EQ(ColourFromRgb(HsvToRgb(123, 0, 0.4)), (Colour{102, 102, 102}));
    EXPECT_EQ(ColourFromRgb(HsvToRgb(std::numeric_limits<double>::quiet_NaN(), 0.5, 0.4)),
              (Colour{102, 102, 102}));
}

TEST(ShadeColour, WhiteGivesTheGreyOfThePosition) {
    // Limits in either order; v limited to them.
    for (int i = -2; i <= 12; ++i) {
        const double v = -20.0 + 12.0 * i; // -44 .. 124 dB(µV/m)
        const double t = std::clamp((v + 20.0) / 120.0, 0.0, 1.0);
        const auto grey = static_cast<std::uint8_t>(255.0 * t + 0.5);
        EXPECT_EQ(ShadeColour(white, v, 100, -20), (Colour{grey, grey, grey})) << v;
        EXPECT_EQ(ShadeColour(white, v, -20, 100), (Colour{grey, grey, grey})) << v;
    }
}

TEST(ShadeColour, ScalesLightnessKeepingHue) {
    const Colour red{255, 0, 0};
    EXPECT_EQ(ShadeColour(red, 100, 0, 100), red);
    EXPECT_EQ(ShadeColour(red, 50, 0, 100), (Colour{128, 0, 0}));
    EXPECT_EQ(ShadeColour(red, -5, 0, 100), black);
    EXPECT_EQ(ShadeColour(red, 42, 7, 7), red); // equal limits: unchanged
}

TEST(HighlightColour, DarkensByTheLightnessOfTheGrey) {
    const Colour terrain{192, 229, 136};
    EXPECT_EQ(HighlightColour(terrain, white), terrain);
    EXPECT_EQ(HighlightColour(terrain, black), black);
    // Lightness of (0, 0, 255) is 0.5: a pure colour goes to half its level.
    EXPECT_EQ(HighlightColour({0, 255, 0}, {0, 0, 255}), (Colour{0, 128, 0}));
    // A grey of level 51 scales L by 0.2: L of (255, 128, 128) is 191.5 / 255.
    const Colour pink{255, 128, 128};
    const Rgb rgb = HslToRgb(0, 1, 0.2 * 191.5 / 255.0);
    EXPECT_EQ(HighlightColour(pink, {51, 51, 51}), ColourFromRgb(rgb));
    EXPECT_EQ(ColourFromRgb(rgb), (Colour{77, 0, 0})); // 2 L = 0.3004 of full red
}

} // namespace
} // namespace kestrova
