// How a coverage grid is shown, without any drawing: the display settings
// of the "Area Coverage" page, the grey level of a cell and the colour-map
// colour made from it, where each cell's block lies on the map, the 20 dB
// contour levels and the texts of the scale labels.
#pragma once

#include "maps/Colour.h"

#include <string>
#include <vector>

namespace kestrova {

// CoverageMap and ColourScale, in pixels.
inline constexpr int coverageMapSize = 500;
inline constexpr int colourScaleWidth = 33;
inline constexpr int colourScaleHeight = 224;

enum class CoverageMode {
    Terrain, // terrain colours darkened where the field is weak
    Colour,  // the eight-segment ramp of the field strength
    Mono     // the grey cells themselves
};

struct CoverageDisplay {
    CoverageMode mode = CoverageMode::Terrain;
    bool contours = false;    // 20 dB field-strength contours
    double maxFs = 100.0;     // dB(µV/m), top of the grey and colour scales
    double minFs = -20.0;     // dB(µV/m), bottom of them
    double maxHeight = 500.0; // m, height range of the terrain colours
    double minHeight = 0.0;   // m
};

// White shaded by the cell's place between the limits (white at or above
// the upper one, black at or below the lower one; white when they are
// equal): the cell's colour in the grey preview.
Colour CoverageGrey(double fieldStrength, double maxFs, double minFs);
// The colour-map colour of a grey cell: RampColour(1 - L, 0.8, 0.2) of its
// lightness L, dark red for the strongest fields, dark blue for the
// weakest.
Colour GreyToColourMap(Colour grey);
// The colour-map colour of a field strength.
Colour CoverageColour(double fieldStrength, double maxFs, double minFs);

// The block of pixels that shows cell (i, j) of an n x n grid on a map of
// m x m pixels: top-left corner (x, y) and side size, which may reach
// beyond the map's edge (the painter clips it). Neighbouring blocks may
// overlap by a pixel; cells painted later cover earlier ones.
struct CellBlock {
    int x = 0;
    int y = 0;
    int size = 1;
};
CellBlock CoverageCellBlock(int i, int j, int n, int m = coverageMapSize);
// Pixels a cell on the map (m / n): the scale of the contours.
double CoveragePixelsPerCell(int n, int m = coverageMapSize);

// The 20 dB contour levels in hundredths of dB(µV/m), the unit of the 16-bit
// grid: every multiple of 20 dB from the one at or below the lower limit to
// the one at or above the upper limit (-2000 ... 10000 for -15 and 95). The
// limits may come in either order.
std::vector<int> ContourLevels(double maxFs, double minFs);

// The scale labels: "100.0 dBuV/m", "-20.0 dBuV/m"; "500 m".
std::string FieldStrengthLabel(double fieldStrength);
std::string HeightLabel(double height);

} // namespace kestrova
