// The grey-level raster of a coverage grid: each cell a block of pixels in
// the grey of its field strength between the two limits, painted column
// by column from west to east and, in a column, from north to south, so
// that where blocks overlap the later cell shows. The preview paints the
// columns as the walk finishes them; the final image starts from the
// whole raster.
#pragma once

#include "coverage/CoverageDisplay.h"
#include "coverage/CoverageField.h"

#include <QImage>

namespace kestrova {

// A black map of m x m pixels, 32-bit RGB: the blank coverage image.
QImage BlankCoverageImage(int m = coverageMapSize);

// Paints every cell of column j into raster (a square image).
void PaintCoverageColumn(QImage& raster, const CoverageField& field, int j, double maxFs,
                         double minFs);

// Paints the finished columns from column next on, in order, stopping at
// the first one that the job has not finished; returns the column to go on
// from. Called repeatedly while the job runs, it paints the raster
// CoverageRaster gives.
int PaintFinishedColumns(QImage& raster, const CoverageJob& job, int next, double maxFs,
                         double minFs);

// The whole raster of a grid on a map of m x m pixels.
QImage CoverageRaster(const CoverageField& field, double maxFs, double minFs,
                      int m = coverageMapSize);

} // namespace kestrova
