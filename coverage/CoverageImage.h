// The final coverage image (coverageImage) and the steps after the walk:
// the scale bar, the image composed from the grey raster in the chosen
// display mode, the 20 dB contours, and the red transmitter marker at the
// centre. The image is a function of the grid, the terrain image and the
// settings alone, so the window and the command-line tool draw the same
// pixels.
#pragma once

#include "coverage/CoverageDisplay.h"
#include "coverage/CoverageField.h"
#include "coverage/CoverageScale.h"
#include "maps/image/TerrainMapImage.h"

#include <QImage>

namespace kestrova {

class CPalette;

// The terrain under the highlighted-terrain image: RenderTerrainArea of
// the area's square (side D, centred on the transmitter) at one height a
// pixel on a map of m x m pixels, coloured between the display's height
// limits truncated to whole metres, without contours.
RenderedTerrain CoverageTerrain(const TerrainSource& source, const CoverageArea& area,
                                const CLocator& tx, const CoverageDisplay& display,
                                int m = coverageMapSize);

// The image of the display mode: a copy of the raster (monochrome); each
// terrain pixel with its lightness multiplied by the grey cell's
// (HighlightColour: the terrain keeps its colour where the field is at or
// above the upper limit and turns black at or below the lower one); or
// RampColour(1 - L, 0.8, 0.2) of the grey cell's lightness L (colour
// map). A terrain image of another size is scaled to the raster's; a null
// one counts as white terrain.
QImage ComposeCoverageImage(const QImage& raster, const QImage& terrain, CoverageMode mode);

// The grey of the hatching over cells without terrain, and of such a cell
// in the one-pixel-a-cell colour grid (the colour map has no greys).
inline constexpr unsigned int noTerrainRgb = 0xff808080u;

// Hatches the blocks of the cells without terrain (see Coverage.h) on an
// image of the grid, m x m pixels: diagonal lines of noTerrainRgb, two
// pixels wide every six, where (x + y) % 6 < 2, over the pixels each such
// cell shows (blocks painted in the raster's order, a later cell covering
// an earlier one). An image with terrain under every cell is left alone.
void HatchCellsWithoutTerrain(QImage& image, const CoverageField& field);

// A rounded rectangle with a red brush and a black pen from
// (w/2 - 2, h/2 - 2) to (w/2 + 2, h/2 + 2) (the right and bottom edges
// outside), corner ellipse 4 x 4.
void DrawTransmitterMarker(QImage& image);

struct CoverageFinish {
    QImage image; // composed, with the marker: what CoverageMap shows
    CoverageScale scale;
};

// Everything after the walk of field, on a map of m x m pixels: the
// scale bar, the image composed from the grid's grey raster, the 20 dB
// contours of the grid when display.contours is set (ContourLevels of the
// limits, black, m / n pixels a cell), the marker. After an abort the
// scale bar is still drawn (colour or grey, by the mode), the image is
// left blank (black) and gets only the marker, no contours. The cells
// without terrain of a whole map are hatched under the contours. terrain
// is RenderTerrainArea's image of the area, needed in the
// highlighted-terrain mode only.
CoverageFinish FinishCoverage(const CoverageField& field, const QImage& terrain,
                              const CoverageDisplay& display, const CPalette& palette, bool aborted,
                              int m = coverageMapSize);

} // namespace kestrova
