// The scale bar beside the coverage map (ColourScale, 33 x 224 pixels) and
// the texts of its two labels: field strength in ten bands of the colour
// map or of the grey raster, or terrain height in sixteen bands of the
// palette.
#pragma once

#include "coverage/CoverageDisplay.h"

#include <QImage>
#include <QSize>

#include <string>

namespace kestrova {

class CPalette;

struct CoverageScale {
    QImage bitmap;
    std::string maxText; // ScaleMax, at the top of the bar
    std::string minText; // ScaleMin, at the bottom
};

inline const QSize colourScaleSize{colourScaleWidth, colourScaleHeight};

// hi and lo are the upper and lower limits as the page holds them
// (MaxLoss and MinLoss, or MaxHeight and MinHeight); count bands of
// height h / count + 0.5 truncated. The colour and grey bars paint band 0
// (the upper limit's colour) at the top, the height bar band 0 (the lower
// limit) at the bottom.
CoverageScale DrawColourScale(double hi, double lo, int count, QSize size = colourScaleSize);
CoverageScale DrawGreyScale(double hi, double lo, int count, QSize size = colourScaleSize);
CoverageScale DrawHeightScale(double hi, double lo, int count, const CPalette& palette,
                              QSize size = colourScaleSize);

// The bar shown after a computation: heights in the highlighted-terrain
// mode, else (and after an abort, whatever the mode) the colour bar in the
// colour-map mode and the grey bar otherwise.
CoverageScale CoverageScaleFor(const CoverageDisplay& display, const CPalette& palette,
                               bool aborted);

} // namespace kestrova
