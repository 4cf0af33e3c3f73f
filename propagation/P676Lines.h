// The spectroscopic line tables of ITU-R P.676 Annex 1 (Tables 1 and 2):
// 44 oxygen lines and 35 water-vapour lines, each with its frequency f0 in
// GHz and six coefficients. Fixed-size constant arrays: nothing is
// allocated when the lines are summed.
#pragma once

#include <array>
#include <cstddef>

namespace kestrova::P676 {

// Oxygen line: a1 strength, a2 its temperature exponent, a3 width, a4 width
// temperature exponent, a5 and a6 interference (line mixing) coefficients.
struct OxygenLine {
    double f0;
    double a1, a2, a3, a4, a5, a6;
};

// Water-vapour line: b1 strength, b2 its temperature exponent, b3 width,
// b4 and b6 width temperature exponents, b5 self-broadening factor.
struct WaterVapourLine {
    double f0;
    double b1, b2, b3, b4, b5, b6;
};

inline constexpr std::size_t oxygenLineCount = 44;
inline constexpr std::size_t waterVapourLineCount = 35;

// Rows 0..36 are the 60 GHz complex, row 37 the 118.750343 GHz line and
// rows 38..43 the sub-millimetre lines.
extern const std::array<OxygenLine, oxygenLineCount> oxygenLines;
inline constexpr std::size_t firstOxygenLineAbove60GHzComplex = 37;

// The last row is the 1780 GHz pseudo-line standing for the far wings of
// the lines above 1 THz.
extern const std::array<WaterVapourLine, waterVapourLineCount> waterVapourLines;

} // namespace kestrova::P676
