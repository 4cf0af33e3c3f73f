#include "coverage/CoverageScale.h"

#include "maps/Palette.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

namespace kestrova {
namespace {

// A band's colour by its index.
using BandColour = std::function<Colour(int band)>;

// White where no band is painted: a band of h / count rows rounded can
// leave a row free before the next one.
QImage PaintBands(QSize size, int count, bool fromTop, const BandColour& colour) {
    QImage bitmap(size, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    const int h = size.height();
    const int b = std::max(1, static_cast<int>(static_cast<double>(h) / count + 0.5));
    for (int i = 0; i < count; ++i) {
        const int yi = static_cast<int>(static_cast<double>(i) * h / count + 0.5);
        const int top = fromTop ? yi : h - yi - b;
        const QRgb rgb = colour(i).ToArgb();
        for (int y = std::max(top, 0); y < std::min(top + b, h); ++y) {
            auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
            std::fill(line, line + size.width(), rgb);
        }
    }
    return bitmap;
}

int Bands(int count) {
    return std::max(count, 1);
}

std::int16_t WholeMetres(double height) {
    if (std::isnan(height)) return 0;
    return static_cast<std::int16_t>(std::clamp(height, -32768.0, 32767.0));
}

} // namespace

CoverageScale DrawColourScale(double hi, double lo, int count, QSize size) {
    count = Bands(count);
    const double step = (hi - lo) / count;
    return {PaintBands(size, count, true, [&](int i) { return RampColour(lo + i * step, hi, lo); }),
            FieldStrengthLabel(hi), FieldStrengthLabel(lo)};
}

CoverageScale DrawGreyScale(double hi, double lo, int count, QSize size) {
    count = Bands(count);
    const double step = (hi - lo) / count;
    return {PaintBands(size, count, true,
                       [&](int i) { return ShadeColour(white, hi - i * step, hi, lo); }),
            FieldStrengthLabel(hi), FieldStrengthLabel(lo)};
}

CoverageScale DrawHeightScale(double hi, double lo, int count, const CPalette& palette,
                              QSize size) {
    count = Bands(count);
    const double step = (hi - lo) / count;
    return {PaintBands(size, count, false,
                       [&](int i) {
                           return palette.HeightColour(WholeMetres(lo + i * step), 0,
                                                       WholeMetres(hi), WholeMetres(lo));
                       }),
            HeightLabel(hi), HeightLabel(lo)};
}

CoverageScale CoverageScaleFor(const CoverageDisplay& display, const CPalette& palette,
                               bool aborted) {
    if (display.mode == CoverageMode::Terrain && !aborted)
        return DrawHeightScale(display.maxHeight, display.minHeight, CPalette::discreteLevels,
                               palette);
    if (display.mode == CoverageMode::Colour)
        return DrawColourScale(display.maxFs, display.minFs, 10);
    return DrawGreyScale(display.maxFs, display.minFs, 10);
}

} // namespace kestrova
