#include "coverage/CoverageImage.h"

#include "coverage/CoverageRaster.h"
#include "maps/Colour.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cstdint>

namespace kestrova {
namespace {

// The colour-map colour of every grey level: a grey's lightness is its
// level / 255, so 256 entries serve every grey pixel.
const std::array<QRgb, 256>& ColourMapOfGreys() {
    static const std::array<QRgb, 256> table = [] {
        std::array<QRgb, 256> colours{};
        for (int level = 0; level < 256; ++level) {
            const auto v = static_cast<std::uint8_t>(level);
            colours[static_cast<size_t>(level)] = GreyToColourMap({v, v, v}).ToArgb();
        }
        return colours;
    }();
    return table;
}

QRgb ColourMapPixel(QRgb pixel) {
    const int r = qRed(pixel);
    if (r == qGreen(pixel) && r == qBlue(pixel)) return ColourMapOfGreys()[static_cast<size_t>(r)];
    return GreyToColourMap(Colour::FromRgb(pixel)).ToArgb();
}

QRgb HighlightPixel(QRgb terrain, QRgb cell) {
    return HighlightColour(Colour::FromRgb(terrain), Colour::FromRgb(cell)).ToArgb();
}

QImage TerrainFor(const QImage& terrain, QSize size) {
    if (terrain.isNull()) {
        QImage white(size, QImage::Format_RGB32);
        white.fill(Qt::white);
        return white;
    }
    const QImage sized = terrain.size() == size ? terrain : terrain.scaled(size);
    return sized.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage ComposeCoverageImage(const QImage& raster, const QImage& terrain, CoverageMode mode) {
    QImage image = raster.convertToFormat(QImage::Format_RGB32);
    if (mode == CoverageMode::Mono || image.isNull()) return image;
    const QImage ground =
        mode == CoverageMode::Terrain ? TerrainFor(terrain, image.size()) : QImage();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const auto* under =
            ground.isNull() ? nullptr : reinterpret_cast<const QRgb*>(ground.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] =
                under != nullptr ? HighlightPixel(under[x], line[x]) : ColourMapPixel(line[x]);
    }
    return image;
}

void DrawTransmitterMarker(QImage& image) {
    if (image.isNull()) return;
    const int cx = image.width() / 2;
    const int cy = image.height() / 2;
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(QColor(255, 0, 0));
    // The pixels cx - 2 .. cx + 1 (the right and bottom edges outside): a
    // one-pixel pen centred on the outline of a 3 x 3 square through the
    // pixel centres, which leaves the four corner pixels free.
    painter.drawRoundedRect(QRectF(cx - 1.5, cy - 1.5, 3.0, 3.0), 2.0, 2.0);
}

CoverageFinish FinishCoverage(const QImage& raster, const QImage& terrain,
                              const CoverageDisplay& display, const CPalette& palette,
                              bool aborted) {
    CoverageFinish finish;
    finish.scale = CoverageScaleFor(display, palette, aborted);
    const int m = std::max(raster.width(), raster.height());
    finish.image = aborted ? BlankCoverageImage(m > 0 ? m : coverageMapSize)
                           : ComposeCoverageImage(raster, terrain, display.mode);
    // The 20 dB contours (ContourLevels, CoveragePixelsPerCell) go here,
    // between the composition and the marker, once the contour tracer of
    // the terrain maps draws them.
    DrawTransmitterMarker(finish.image);
    return finish;
}

} // namespace kestrova
