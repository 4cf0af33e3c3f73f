#include "coverage/CoverageImage.h"

#include "coverage/CoverageRaster.h"
#include "maps/Colour.h"
#include "maps/image/MapImage.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

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

// HighlightColour of a terrain pixel and a grey cell. Neighbouring pixels
// mostly repeat the last pair (a cell's block, a palette's band), so the
// last result is kept.
class Highlighter {
public:
    QRgb operator()(QRgb terrain, QRgb cell) {
        if (terrain != lastTerrain || cell != lastCell) {
            lastTerrain = terrain;
            lastCell = cell;
            last = HighlightColour(Colour::FromRgb(terrain), Colour::FromRgb(cell)).ToArgb();
        }
        return last;
    }

private:
    QRgb lastTerrain = 0;
    QRgb lastCell = 0;
    QRgb last = HighlightColour(black, black).ToArgb();
};

// The 20 dB contours of the grid (hundredths of dB, as the 16-bit grid
// holds them) over the image at m / n pixels a cell: fractional, and at
// most 1 where the grid has at least as many cells a side as the map has
// pixels.
void DrawFieldContours(QImage& image, const CoverageField& field, const CoverageDisplay& display,
                       int m) {
    const std::vector<int> levels = ContourLevels(display.maxFs, display.minFs);
    const int n = field.Area().n;
    if (levels.empty() || n < 1) return;
    const std::vector<std::int16_t> grid = CoverageGrid16(field);
    DrawContours(image, ContourGrid{grid.data(), n, n}, CoveragePixelsPerCell(n, m),
                 static_cast<int>(levels.size()), levels.data());
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

RenderedTerrain CoverageTerrain(const TerrainSource& source, const CoverageArea& area,
                                const CLocator& tx, const CoverageDisplay& display, int m) {
    return RenderTerrainArea(source, tx.GetLatitude(), tx.GetLongitude(), area.extent,
                             static_cast<int>(display.maxHeight),
                             static_cast<int>(display.minHeight), m, m, 1, 0);
}

QImage ComposeCoverageImage(const QImage& raster, const QImage& terrain, CoverageMode mode) {
    QImage image = raster.convertToFormat(QImage::Format_RGB32);
    if (mode == CoverageMode::Mono || image.isNull()) return image;
    const QImage ground =
        mode == CoverageMode::Terrain ? TerrainFor(terrain, image.size()) : QImage();
    Highlighter highlight;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const auto* under =
            ground.isNull() ? nullptr : reinterpret_cast<const QRgb*>(ground.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = under != nullptr ? highlight(under[x], line[x]) : ColourMapPixel(line[x]);
    }
    return image;
}

void HatchCellsWithoutTerrain(QImage& image, const CoverageField& field) {
    const int n = field.Area().n;
    if (image.isNull() || n < 1 || field.CellsWithoutTerrain() == 0) return;
    const int m = std::max(image.width(), image.height());
    // Which cell shows at each pixel lacks terrain, in the raster's order.
    std::vector<std::uint8_t> marked(static_cast<size_t>(m) * static_cast<size_t>(m), 0);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const CellBlock block = CoverageCellBlock(i, j, n, m);
            const std::uint8_t mark = field.NoTerrain(i, j) ? 1 : 0;
            const int x1 = std::min(block.x + block.size, m);
            const int y1 = std::min(block.y + block.size, m);
            for (int y = std::max(block.y, 0); y < y1; ++y)
                for (int x = std::max(block.x, 0); x < x1; ++x)
                    marked[static_cast<size_t>(y) * static_cast<size_t>(m) +
                           static_cast<size_t>(x)] = mark;
        }
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((x + y) % 6 < 2 &&
                marked[static_cast<size_t>(y) * static_cast<size_t>(m) + static_cast<size_t>(x)])
                line[x] = noTerrainRgb;
    }
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

CoverageFinish FinishCoverage(const CoverageField& field, const QImage& terrain,
                              const CoverageDisplay& display, const CPalette& palette, bool aborted,
                              int m) {
    CoverageFinish finish;
    finish.scale = CoverageScaleFor(display, palette, aborted);
    finish.image =
        aborted ? BlankCoverageImage(m)
                : ComposeCoverageImage(CoverageRaster(field, display.maxFs, display.minFs, m),
                                       terrain, display.mode);
    if (!aborted) HatchCellsWithoutTerrain(finish.image, field);
    if (display.contours && !aborted) DrawFieldContours(finish.image, field, display, m);
    DrawTransmitterMarker(finish.image);
    return finish;
}

} // namespace kestrova
