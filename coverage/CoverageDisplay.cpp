#include "coverage/CoverageDisplay.h"

#include "geo/NumberFormat.h"
#include "maps/Palette.h"

#include <algorithm>
#include <cmath>

namespace kestrova {

Colour CoverageGrey(double fieldStrength, double maxFs, double minFs) {
    return ShadeColour(white, fieldStrength, maxFs, minFs);
}

Colour GreyToColourMap(Colour grey) {
    return RampColour(1.0 - Lightness(grey), 0.8, 0.2);
}

Colour CoverageColour(double fieldStrength, double maxFs, double minFs) {
    return GreyToColourMap(CoverageGrey(fieldStrength, maxFs, minFs));
}

// scale = n / m cells a pixel; a block of ceil(1 / scale) pixels whose
// corner is at j / scale and i / scale, rounded half up.
CellBlock CoverageCellBlock(int i, int j, int n, int m) {
    const double scale = static_cast<double>(n) / m;
    CellBlock block;
    block.x = static_cast<int>(j / scale + 0.5);
    block.y = static_cast<int>(i / scale + 0.5);
    block.size = std::max(1, static_cast<int>(std::ceil(1.0 / scale)));
    return block;
}

double CoveragePixelsPerCell(int n, int m) {
    return static_cast<double>(m) / n;
}

std::vector<int> ContourLevels(double maxFs, double minFs) {
    if (std::isnan(maxFs) || std::isnan(minFs)) return {};
    // Beyond the 16-bit grid's +-327.67 dB no contour can be traced.
    constexpr double gridLimit = 340.0;
    const double lo = std::clamp(std::min(maxFs, minFs), -gridLimit, gridLimit);
    const double hi = std::clamp(std::max(maxFs, minFs), -gridLimit, gridLimit);
    const int lo20 = 20 * static_cast<int>(std::floor(lo / 20.0));
    const int hi20 = 20 * static_cast<int>(std::ceil(hi / 20.0));
    const int count = (hi20 - lo20) / 20 + 1;
    std::vector<int> levels;
    levels.reserve(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k)
        levels.push_back((lo20 + 20 * k) * 100);
    return levels;
}

// Fixed notation, at most four significant digits: one decimal for field
// strengths; whole metres for heights, where a five-digit height (the
// 10000 m limit) keeps its digits rather than turning scientific.
std::string FieldStrengthLabel(double fieldStrength) {
    return FormatFixed(fieldStrength, 4, 1) + " dBuV/m";
}

std::string HeightLabel(double height) {
    return FormatFixed(height, std::fabs(height) >= 9999.5 ? 5 : 4, 0) + " m";
}

} // namespace kestrova
