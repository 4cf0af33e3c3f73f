#include "maps/Palette.h"

#include <algorithm>
#include <cstddef>

namespace kestrova {
namespace {

constexpr CPalette::ColourTable ncarTable{{
    {40, 54, 154},
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
    {255, 255, 255},
}};

constexpr CPalette::ColourTable schwarzwaldTable{{
    {0, 105, 148},
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
    {218, 216, 218},
}};

constexpr CPalette::ColourTable demTable{{
    {0, 105, 148},
    {153, 219, 184},
    {192, 229, 136},
    {204, 230, 75},
    {243, 240, 29},
    {254, 222, 39},
    {252, 199, 7},
    {248, 157, 14},
    {245, 114, 21},
    {241, 71, 28},
    {219, 30, 38},
    {164, 38, 44},
    {125, 74, 43},
    {156, 129, 112},
    {181, 181, 181},
    {218, 216, 218},
}};

bool IsContinuousType(int paletteType) {
    return paletteType >= PaletteHSV && paletteType <= PaletteJET;
}

} // namespace

CPalette::CPalette(int paletteType)
    : levels(IsContinuousType(paletteType) ? 0 : discreteLevels), ready(false),
      continuous(IsContinuousType(paletteType)), type(paletteType) {
    Init(paletteType);
}

void CPalette::Init(int paletteType) {
    if (continuous) {
        kind = paletteType;
    } else {
        levels = discreteLevels;
        colours = DiscreteTable(paletteType);
    }
    ready = true;
}

const CPalette::ColourTable& CPalette::DiscreteTable(int paletteType) {
    switch (paletteType) {
    case PaletteNCAR:
        return ncarTable;
    case PaletteSchwarzwald:
        return schwarzwaldTable;
    default:
        return demTable;
    }
}

// The height is taken relative to the reference throughout: top and bottom
// are the span's limits above and below it, each at least 1 m away so that
// neither can be a divisor of 0. The arithmetic is in int, so no 16-bit
// difference can wrap.
Colour CPalette::HeightColour(std::int16_t value, std::int16_t base, std::int16_t c,
                              std::int16_t d) const {
    const int hi = std::max(c, d);
    const int lo = std::min(c, d);
    const int reference = std::clamp<int>(base, lo, hi);
    int top = hi - reference;
    int bottom = lo - reference;
    if (top == 0) top = 1;
    if (bottom == 0) bottom = -1;
    const int v = std::clamp(value - reference, bottom, top);
    return continuous ? ContinuousColour(v, top, bottom) : DiscreteColour(v, top);
}

// Index 0 is kept for heights at or below the reference; the heights above
// it share the other levels evenly up to top.
Colour CPalette::DiscreteColour(int v, int top) const {
    if (v <= 0) return colours[0];
    const int index = std::clamp(levels * v / top, 1, levels - 1);
    return colours[static_cast<std::size_t>(index)];
}

// p is a whole percentage: of top above the reference, of the depth of
// bottom (as a negative number) at or below it.
Colour CPalette::ContinuousColour(int v, int top, int bottom) const {
    const int p = v > 0 ? std::min(100 * v / top, 100) : -100 * v / bottom;
    switch (kind) {
    case PaletteDEM:
        return p < 0 ? navy : DemColour(p);
    case PaletteJET:
        return p < 0 ? navy : JetColour(p);
    default:
        return HsvColour(p);
    }
}

} // namespace kestrova
