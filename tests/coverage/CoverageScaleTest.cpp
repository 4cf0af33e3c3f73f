// The three scale bars (33 x 224 pixels) and their labels.
#include "coverage/CoverageScale.h"
#include "maps/Palette.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

Colour At(const QImage& image, int x, int y) {
    return Colour::FromRgb(image.pixel(x, y));
}

// Every pixel of rows top .. bottom has the colour.
void ExpectBand(const QImage& bar, int top, int bottom, Colour colour, const char* what) {
    for (int y = top; y <= bottom; ++y)
        for (int x = 0; x < bar.width(); ++x)
            ASSERT_EQ(At(bar, x, y), colour) << what << " at " << x << ", " << y;
}

TEST(CoverageScale, ColourBarRunsFromDarkRedAtTheTopToBlue) {
    // Ten bands of 22 rows starting at i x 22.4 rounded: 0, 22, 45, ... 202.
    for (const auto& [hi, lo] :
         {std::pair{100.0, -20.0}, {50.0, 0.0}, {200.0, -200.0}, {-10.0, -30.0}}) {
        const CoverageScale scale = DrawColourScale(hi, lo, 10);
        ASSERT_EQ(scale.bitmap.size(), QSize(33, 224));
        ExpectBand(scale.bitmap, 0, 21, {128, 0, 0}, "band 0");
        ExpectBand(scale.bitmap, 112, 133, {128, 255, 128}, "band 5");
        // Band 9 sits at ramp position 0.8: blue 127.5 x 1.8 = 229.5, which
        // rounds to 230 or, a hair below, to 229.
        const Colour bottom = At(scale.bitmap, 0, 223);
        EXPECT_EQ(bottom.r, 0);
        EXPECT_EQ(bottom.g, 0);
        EXPECT_TRUE(bottom.b == 229 || bottom.b == 230) << int(bottom.b);
        ExpectBand(scale.bitmap, 202, 223, bottom, "band 9");
    }
    const CoverageScale scale = DrawColourScale(100.0, -20.0, 10);
    EXPECT_EQ(scale.maxText, "100.0 dBuV/m");
    EXPECT_EQ(scale.minText, "-20.0 dBuV/m");
    // A band of 22 rows at 67 ends before the next one starts at 90.
    EXPECT_EQ(At(scale.bitmap, 5, 89), white);
}

TEST(CoverageScale, GreyBarRunsFromWhiteTo26) {
    const CoverageScale scale = DrawGreyScale(100.0, -20.0, 10);
    ExpectBand(scale.bitmap, 0, 21, white, "band 0");
    ExpectBand(scale.bitmap, 112, 133, {128, 128, 128}, "band 5");
    ExpectBand(scale.bitmap, 202, 223, {26, 26, 26}, "band 9");
    EXPECT_EQ(scale.maxText, "100.0 dBuV/m");
    EXPECT_EQ(scale.minText, "-20.0 dBuV/m");
    // Equal limits: every band white.
    ExpectBand(DrawGreyScale(10.0, 10.0, 10).bitmap, 202, 223, white, "equal limits");
}

TEST(CoverageScale, HeightBarInThePaletteFromTheBottomUp) {
    // NCAR, 500 m to 0 m, 16 bands of 14 rows: band 0 (0 m, the sea
    // colour) at the bottom, band 8 (250 m, index 8) rows 98..111, band 15
    // (468 m, index 14) at the top.
    const CoverageScale scale = DrawHeightScale(500.0, 0.0, 16, CPalette(PaletteNCAR));
    ExpectBand(scale.bitmap, 210, 223, {40, 54, 154}, "band 0");
    ExpectBand(scale.bitmap, 98, 111, {162, 126, 94}, "band 8");
    ExpectBand(scale.bitmap, 0, 13, {236, 228, 226}, "band 15");
    EXPECT_EQ(scale.maxText, "500 m");
    EXPECT_EQ(scale.minText, "0 m");
    // A continuous palette: JET's dark red at the top, navy at sea level.
    const CoverageScale jet = DrawHeightScale(500.0, 0.0, 16, CPalette(PaletteJET));
    EXPECT_EQ(At(jet.bitmap, 0, 223), navy);
    EXPECT_EQ(At(jet.bitmap, 0, 0), JetColour(93.0)); // 100 x 468 / 500 in integers
}

TEST(CoverageScale, TheBarOfEachMode) {
    const CPalette palette(PaletteNCAR);
    CoverageDisplay display;
    display.mode = CoverageMode::Terrain;
    EXPECT_EQ(CoverageScaleFor(display, palette, false).maxText, "500 m");
    EXPECT_EQ(CoverageScaleFor(display, palette, true).maxText, "100.0 dBuV/m");
    display.mode = CoverageMode::Colour;
    EXPECT_EQ(At(CoverageScaleFor(display, palette, false).bitmap, 0, 0), (Colour{128, 0, 0}));
    display.mode = CoverageMode::Mono;
    EXPECT_EQ(At(CoverageScaleFor(display, palette, false).bitmap, 0, 223), (Colour{26, 26, 26}));
}

} // namespace
} // namespace kestrova
