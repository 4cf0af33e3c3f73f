// Colours of a coverage grid, Qt-free: the grey level of a cell between the
// upper and lower field-strength limits, and the colour-map colour made
// from it.
#pragma once

#include "coverage/Coverage.h"
#include "maps/Colour.h"

#include <cstdint>
#include <vector>

namespace kestrova {

// White shaded by the cell's place between the limits (white at or above
// the upper one, black at or below the lower one; white when they are
// equal).
Colour CoverageGrey(double fieldStrength, double maxFs, double minFs);
// The eight-segment ramp of the grey's lightness: dark red for the
// strongest fields, dark blue for the weakest.
Colour CoverageColour(double fieldStrength, double maxFs, double minFs);

// The grid as an n x n colour-map image, north up, three bytes a pixel.
std::vector<std::uint8_t> CoverageColourPixels(const CoverageJob& job, double maxFs, double minFs);

} // namespace kestrova
