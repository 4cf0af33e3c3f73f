#include "coverage/CoverageRaster.h"

#include "coverage/CoverageDisplay.h"

#include <algorithm>

namespace kestrova {
namespace {

void FillBlock(QImage& image, const CellBlock& block, QRgb colour) {
    const int x0 = std::max(block.x, 0);
    const int x1 = std::min(block.x + block.size, image.width());
    const int y1 = std::min(block.y + block.size, image.height());
    for (int y = std::max(block.y, 0); y < y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + x0, line + std::max(x0, x1), colour);
    }
}

} // namespace

QImage BlankCoverageImage(int m) {
    QImage image(m, m, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

void PaintCoverageColumn(QImage& raster, const CoverageField& field, int j, double maxFs,
                         double minFs) {
    const int n = field.Area().n;
    if (j < 0 || j >= n) return;
    const int m = std::max(raster.width(), raster.height());
    if (raster.format() != QImage::Format_RGB32 && raster.format() != QImage::Format_ARGB32)
        raster = raster.convertToFormat(QImage::Format_RGB32);
    for (int i = 0; i < n; ++i) {
        const Colour grey = CoverageGrey(field.Value(i, j), maxFs, minFs);
        FillBlock(raster, CoverageCellBlock(i, j, n, m), grey.ToArgb());
    }
}

int PaintFinishedColumns(QImage& raster, const CoverageJob& job, int next, double maxFs,
                         double minFs) {
    const JobField field(job);
    for (; next < field.Area().n && job.ColumnDone(next); ++next)
        PaintCoverageColumn(raster, field, next, maxFs, minFs);
    return next;
}

QImage CoverageRaster(const CoverageField& field, double maxFs, double minFs, int m) {
    QImage raster = BlankCoverageImage(m);
    for (int j = 0; j < field.Area().n; ++j)
        PaintCoverageColumn(raster, field, j, maxFs, minFs);
    return raster;
}

} // namespace kestrova
