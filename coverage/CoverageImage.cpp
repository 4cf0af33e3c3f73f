#include "coverage/CoverageImage.h"

#include "maps/Palette.h"

namespace kestrova {

Colour CoverageGrey(double fieldStrength, double maxFs, double minFs) {
    return ShadeColour(white, fieldStrength, maxFs, minFs);
}

Colour CoverageColour(double fieldStrength, double maxFs, double minFs) {
    const double L = Lightness(CoverageGrey(fieldStrength, maxFs, minFs));
    return RampColour(1.0 - L, 0.8, 0.2);
}

std::vector<std::uint8_t> CoverageColourPixels(const CoverageJob& job, double maxFs, double minFs) {
    const int n = job.Area().n;
    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(n) * static_cast<size_t>(n) * 3);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const Colour c = CoverageColour(job.Value(i, j), maxFs, minFs);
            rgb.insert(rgb.end(), {c.r, c.g, c.b});
        }
    return rgb;
}

} // namespace kestrova
