#include "maps/Palette.h"

#include "ColourPrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace kestrova {
namespace {

constexpr Colour darkRed{128, 0, 0};

Colour Height(const CPalette& palette, int value, int c, int d) {
    return palette.HeightColour(static_cast<std::int16_t>(value), 0, static_cast<std::int16_t>(c),
                                static_cast<std::int16_t>(d));
}

TEST(CPalette, TypesAndLevels) {
    struct TypeCase {
        int type;
        bool continuous;
    };
    const TypeCase cases[] = {{PaletteHSV, true},   {PaletteDEM, true},
                              {PaletteJET, true},   {PaletteDEM15, false},
                              {PaletteNCAR, false}, {PaletteSchwarzwald, false},
                              {7, false},           {-1, false}};
    for (const TypeCase& c : cases) {
        const CPalette palette(c.type);
        EXPECT_TRUE(palette.IsReady()) << c.type;
        EXPECT_EQ(palette.GetType(), c.type);
        EXPECT_EQ(palette.IsContinuous(), c.continuous) << c.type;
        EXPECT_EQ(palette.LevelCount(), c.continuous ? 0 : 16) << c.type;
    }
}

// Limits 0 and 16 put height i on level i, so every colour of each table
// shows. The expected colours are the published tables, level 0 first.
TEST(CPalette, DiscreteTablesLevelByLevel) {
    struct TableCase {
        int type;
        std::vector<Colour> colours;
    };
    const std::vector<Colour> dem = {
        {0, 105, 148},  {153, 219, 184}, {192, 229, 136}, {204, 230, 75},
        {243, 240, 29}, {254, 222, 39},  {252, 199, 7},   {248, 157, 14},
        {245, 114, 21}, {241, 71, 28},   {219, 30, 38},   {164, 38, 44},
        {125, 74, 43},  {156, 129, 112}, {181, 181, 181}, {218, 216, 218}};
    const TableCase cases[] = {
        {PaletteNCAR,
         {{40, 54, 154},
          {0, 201, 50},
          {30, 211, 104},
          {94, 224, 116},
          {162, 235, 130},
          {223, 248, 146},
          {246, 229, 149},
          {200, 178, 118},
          {162, 126, 94},
          {143, 97, 84},
          {162, 125, 116},
          {178, 150, 139},
          {199, 176, 170},
          {219, 205, 202},
          {236, 228, 226},
          {255, 255, 255}}},
        {PaletteSchwarzwald,
         {{0, 105, 148},
          {176, 243, 190},
          {224, 251, 178},
          {184, 222, 118},
          {39, 165, 42},
          {52, 136, 60},
          {156, 164, 41},
          {248, 176, 4},
          {192, 74, 2},
          {135, 8, 0},
          {116, 24, 5},
          {108, 42, 10},
          {125, 74, 43},
          {156, 129, 112},
          {181, 181, 181},
          {218, 216, 218}}},
        {PaletteDEM15, dem},
        {7, dem}, // an unknown type read from the settings file
    };
    for (const TableCase& c : cases) {
        const CPalette palette(c.type);
        for (int level = 0; level < 16; ++level)
            EXPECT_EQ(Height(palette, level, 0, 16), c.colours[static_cast<std::size_t>(level)])
                << "type " << c.type << " level " << level;
    }
}

TEST(CPalette, NcarLevelsOverZeroTo500) {
    const CPalette ncar(PaletteNCAR);
    struct LevelCase {
        int height;
        Colour expected;
    };
    const LevelCase cases[] = {
        {-20, {40, 54, 154}},   {0, {40, 54, 154}},     // at or below sea level: level 0
        {1, {0, 201, 50}},      {31, {0, 201, 50}},     // raised to level 1
        {63, {30, 211, 104}},   {250, {162, 126, 94}},  // 16 × v / 500
        {499, {255, 255, 255}}, {500, {255, 255, 255}}, // level 16 held at 15
        {600, {255, 255, 255}}, {32767, {255, 255, 255}},
    };
    for (const LevelCase& c : cases) {
        EXPECT_EQ(Height(ncar, c.height, 0, 500), c.expected) << c.height;
        EXPECT_EQ(Height(ncar, c.height, 500, 0), c.expected) << c.height << " (limits swapped)";
    }
}

// Heights above 2047 m: 16 × v no longer fits 16 bits, and must not wrap.
TEST(CPalette, HighMountainsReachTheTopLevel) {
    const CPalette ncar(PaletteNCAR);
    EXPECT_EQ(Height(ncar, 4000, 0, 4000), (Colour{255, 255, 255}));
    EXPECT_EQ(Height(ncar, 2250, -100, 4500), (Colour{162, 126, 94})); // level 8
    EXPECT_EQ(Height(ncar, 32767, -32768, 32767), (Colour{255, 255, 255}));
    EXPECT_EQ(Height(ncar, -32768, -32768, 32767), (Colour{40, 54, 154}));
}

TEST(CPalette, ContinuousPalettesOverMinus50To500) {
    struct ContinuousCase {
        int height;
        Colour hsv, dem, jet;
    };
    const ContinuousCase cases[] = {
        {250, {230, 216, 69}, {255, 191, 0}, {128, 255, 128}},
        {0, {69, 230, 230}, {0, 191, 191}, navy},
        {-10, {69, 230, 213}, navy, navy},
        {-50, {69, 230, 149}, navy, navy}, // hue 150 at the lowest limit
        {-400, {69, 230, 149}, navy, navy},
        {500, {230, 69, 230}, {128, 128, 128}, darkRed},
        {1000, {230, 69, 230}, {128, 128, 128}, darkRed},
    };
    const CPalette hsv(PaletteHSV), dem(PaletteDEM), jet(PaletteJET);
    for (const ContinuousCase& c : cases) {
        EXPECT_EQ(Height(hsv, c.height, 500, -50), c.hsv) << c.height;
        EXPECT_EQ(Height(dem, c.height, 500, -50), c.dem) << c.height;
        EXPECT_EQ(Height(jet, c.height, 500, -50), c.jet) << c.height;
    }
}

// The percentage is whole: 100 × 7 / 500 = 1.4 counts as 1 %.
TEST(CPalette, ContinuousPercentageIsWhole) {
    const CPalette dem(PaletteDEM);
    EXPECT_EQ(Height(dem, 7, 0, 500), DemColour(1));
    EXPECT_NE(DemColour(1), DemColour(1.4));
}

TEST(CPalette, EqualLimitsGiveTheTopColour) {
    EXPECT_EQ(Height(CPalette(PaletteNCAR), 5, 0, 0), (Colour{255, 255, 255}));
    EXPECT_EQ(Height(CPalette(PaletteDEM), 5, 0, 0), DemColour(100));
    EXPECT_EQ(Height(CPalette(PaletteJET), 5, 0, 0), darkRed);
    EXPECT_EQ(Height(CPalette(PaletteNCAR), 0, 0, 0), (Colour{40, 54, 154}));
    EXPECT_EQ(Height(CPalette(PaletteHSV), 0, 0, 0), HsvColour(0)); // no division by 0
    EXPECT_EQ(Height(CPalette(PaletteHSV), -5, 0, 0), HsvColour(-100));
}

// A reference that is not sea level: heights are measured from it, and only
// those at or below it take level 0.
TEST(CPalette, HeightsAreMeasuredFromTheReference) {
    const CPalette ncar(PaletteNCAR);
    const auto at = [&](int value, int base, int c, int d) {
        return ncar.HeightColour(static_cast<std::int16_t>(value), static_cast<std::int16_t>(base),
                                 static_cast<std::int16_t>(c), static_cast<std::int16_t>(d));
    };
    EXPECT_EQ(at(100, 100, 0, 500), (Colour{40, 54, 154}));
    EXPECT_EQ(at(101, 100, 0, 500), (Colour{0, 201, 50}));
    EXPECT_EQ(at(300, 100, 0, 500), (Colour{162, 126, 94})); // half-way from 100 to 500
    EXPECT_EQ(at(500, 100, 0, 500), (Colour{255, 255, 255}));
    // A span wholly above sea level: the reference is limited to its bottom,
    // and the span's heights fill all the levels.
    EXPECT_EQ(at(100, 0, 100, 500), (Colour{40, 54, 154}));
    EXPECT_EQ(at(110, 0, 100, 500), (Colour{0, 201, 50}));
    EXPECT_EQ(at(300, 0, 100, 500), (Colour{162, 126, 94}));
    EXPECT_EQ(at(500, 0, 100, 500), (Colour{255, 255, 255}));
    // A reference far from the height: the 16-bit difference must not wrap.
    EXPECT_EQ(at(30000, -5000, -5000, 30000), (Colour{255, 255, 255}));
}

TEST(CPalette, InitOfAContinuousPaletteChangesItsKind) {
    CPalette palette(PaletteHSV);
    palette.Init(PaletteJET);
    EXPECT_EQ(Height(palette, 250, 500, -50), (Colour{128, 255, 128}));
    EXPECT_EQ(palette.GetType(), PaletteHSV);
    palette.Init(PaletteNCAR); // no continuous kind: HSV
    EXPECT_EQ(Height(palette, 250, 500, -50), (Colour{230, 216, 69}));
}

struct RampCase {
    double e;
    Colour expected;
};

TEST(RampAt, NamedColoursAndHalfSteps) {
    const RampCase cases[] = {
        {0, navy},          {1, {0, 0, 255}},   {3, {0, 255, 255}}, {4, {128, 255, 128}},
        {5, {255, 255, 0}}, {7, {255, 0, 0}},   {8, darkRed},       {0.5, {0, 0, 191}},
        {2, {0, 128, 255}}, {6, {255, 128, 0}}, {7.5, {191, 0, 0}}, {4.5, {191, 255, 64}},
    };
    for (const RampCase& c : cases)
        EXPECT_EQ(RampAt(c.e), c.expected) << "e = " << c.e;
}

TEST(RampColour, UpperLimitNavyLowerLimitDarkRedInEitherOrder) {
    for (double v = -30.0; v <= 110.0; v += 2.5) {
        const Colour colour = RampColour(v, 100, -20);
        EXPECT_EQ(colour, RampColour(v, -20, 100)) << v;
        EXPECT_EQ(colour, RampAt(std::clamp(8.0 * (100.0 - v) / 120.0, 0.0, 8.0))) << v;
    }
    EXPECT_EQ(RampColour(100, 100, -20), navy);
    EXPECT_EQ(RampColour(500, 100, -20), navy);
    EXPECT_EQ(RampColour(-20, 100, -20), darkRed);
    EXPECT_EQ(RampColour(40, 100, -20), (Colour{128, 255, 128}));
}

// Equal limits leave no position for v: the colour is the one the colour
// image gives a cell of full lightness, dark red, whatever v is.
TEST(RampColour, EqualLimitsGiveDarkRed) {
    for (double v : {-100.0, 10.0, 100.0})
        EXPECT_EQ(RampColour(v, 10, 10), darkRed) << v;
}

TEST(JetColour, RunsTheRampOver0To100) {
    const RampCase cases[] = {
        {-5, navy},
        {0, navy},
        {12.5, {0, 0, 255}},
        {37.5, {0, 255, 255}},
        {50, {128, 255, 128}},
        {87.5, {255, 0, 0}},
        {100, darkRed},
        {250, darkRed},
    };
    for (const RampCase& c : cases)
        EXPECT_EQ(JetColour(c.e), c.expected) << "p = " << c.e;
    EXPECT_EQ(JetColour(0.001), (Colour{0, 0, 128})); // just above 0 continues from navy
}

TEST(DemColour, NamedColoursAndContinuityAtBandEdges) {
    const RampCase cases[] = {
        {-0.01, navy},          {0, {0, 191, 191}},     {19.99, {0, 255, 0}},
        {20, {0, 255, 0}},      {39.99, {255, 255, 0}}, {40, {255, 255, 0}},
        {59.99, {255, 127, 0}}, {60, {255, 127, 0}},    {79.99, {191, 127, 64}},
        {80, {191, 127, 63}},   {100, {128, 128, 128}}, {150, {128, 128, 128}},
        {50, {255, 191, 0}},    {90, {160, 128, 96}},
    };
    for (const RampCase& c : cases)
        EXPECT_EQ(DemColour(c.e), c.expected) << "p = " << c.e;
}

// Each channel moves by at most a few levels per 0.1 %: no band edge jumps.
TEST(DemColour, NoStepAnywhere) {
    Colour previous = DemColour(0);
    for (int i = 1; i <= 1000; ++i) {
        const Colour c = DemColour(i / 10.0);
        EXPECT_LE(std::abs(c.r - previous.r), 2) << i / 10.0;
        EXPECT_LE(std::abs(c.g - previous.g), 2) << i / 10.0;
        EXPECT_LE(std::abs(c.b - previous.b), 2) << i / 10.0;
        previous = c;
    }
}

TEST(HsvColour, HuesAlongTheScale) {
    const RampCase cases[] = {
        {0, {69, 230, 230}},     // 180, below-reference formula at 0
        {0.001, {69, 230, 203}}, // 170: sea green just above
        {50, {230, 216, 69}},    // 55
        {100, {230, 69, 230}},   // 300
        {101, {230, 69, 230}},   // held at 300
        {-100, {69, 230, 149}},  // 150
    };
    for (const RampCase& c : cases)
        EXPECT_EQ(HsvColour(c.e), c.expected) << "p = " << c.e;
    // Yellow near 47.8 % and red near 73.9 %.
    EXPECT_EQ(HsvColour(110.0 / 2.3), (Colour{230, 230, 69}));
    EXPECT_EQ(HsvColour(170.0 / 2.3), (Colour{230, 69, 69}));
}

} // namespace
} // namespace kestrova
