// CPalette: the colour of a terrain height on the terrain maps and the
// height scale, in one of six palettes — three continuous (HSV, DEM, JET)
// and three with 16 discrete levels (DEM, NCAR, Schwarzwald) — and the
// colour scales behind them: the eight-segment ramp and the three
// percentage palettes.
//
// A palette is fixed at construction; HeightColour depends only on its
// arguments and the type, so one palette may serve any number of threads.
#pragma once

#include "maps/Colour.h"

#include <array>
#include <cstdint>

namespace kestrova {

// The palette type, as stored under PaletteFormat in the settings file. Any
// other value is the discrete DEM palette.
enum PaletteType : int {
    PaletteHSV = 0,        // continuous
    PaletteDEM = 1,        // continuous
    PaletteJET = 2,        // continuous
    PaletteDEM15 = 3,      // discrete
    PaletteNCAR = 4,       // discrete
    PaletteSchwarzwald = 5 // discrete
};

class CPalette {
public:
    static constexpr int discreteLevels = 16;
    using ColourTable = std::array<Colour, discreteLevels>;

    explicit CPalette(int paletteType);
    virtual ~CPalette() = default;

    virtual bool IsReady() const { return ready; }
    // 0 for a continuous palette, else the number of discrete colours (16).
    virtual int LevelCount() const { return continuous ? 0 : levels; }
    virtual bool IsContinuous() const { return continuous; }
    // A continuous palette takes the type as its kind; a discrete one loads
    // the colour table of the type.
    virtual void Init(int paletteType);

    int GetType() const { return type; }

    // The colour of a terrain height value (m) on a map whose heights span c
    // to d (either order), relative to the reference height base (sea level,
    // 0, for every map). The reference is first limited to the span. Heights
    // at or below it take index 0 of a discrete table, or navy or an HSV hue
    // of 150..180 on a continuous palette; heights above it share the
    // remaining levels, or 0..100 % of the continuous scale, up to the upper
    // limit.
    Colour HeightColour(std::int16_t value, std::int16_t base, std::int16_t c,
                        std::int16_t d) const;

    // The 16 colours of a discrete palette type (any type outside 3..5 gives
    // the DEM table), index 0 for heights at or below the reference.
    static const ColourTable& DiscreteTable(int paletteType);

private:
    Colour DiscreteColour(int v, int top) const;
    Colour ContinuousColour(int v, int top, int bottom) const;

    int levels = 0;
    bool ready = false;
    bool continuous = false;
    int kind = 0;
    int type = 0;
    ColourTable colours{};
};

// The eight-segment ramp R(e), 0 ≤ e ≤ 8: navy (0, 0, 128) at 0, blue at 1,
// cyan at 3, (128, 255, 128) at 4, yellow at 5, red at 7, dark red
// (128, 0, 0) at 8.
Colour RampAt(double e);

// The ramp position of v between the limits a and b (either order): the
// upper limit and above give navy, the lower limit and below dark red.
// Equal limits give dark red for every v, the colour the coverage image's
// colour mode gives a cell at full lightness, which is where ShadeColour
// puts every cell when its limits are equal.
Colour RampColour(double v, double a, double b);

// Percentage palettes of the continuous terrain maps. p is 0..100 for
// heights above the reference and -100..0 for depths below it.
Colour JetColour(double p); // navy at or below 0, then the ramp, 12.5 % a segment
Colour DemColour(double p); // navy below 0; teal, green, yellow, orange, brown, grey
Colour HsvColour(double p); // hue 170 falling to 300 (-60) at 100 %; 180 to 150 below 0

} // namespace kestrova
