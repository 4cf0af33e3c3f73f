// The live preview of a coverage map while its job runs: the grey raster
// painted from the columns the workers have finished, in walk order, and
// the progress texts. Images only (QtGui), so a benchmark can price the
// preview without a window.
#pragma once

#include "coverage/Coverage.h"

#include <QImage>
#include <QString>

namespace kestrova {

class CoveragePreview {
public:
    CoveragePreview() = default;
    // A black map for a job whose cells are shaded between maxFs and minFs.
    CoveragePreview(double maxFs, double minFs);

    // Paints the columns finished since the last call; true when any was.
    bool Update(const CoverageJob& job);
    const QImage& Raster() const { return raster; }
    // The first column not yet painted: every column before it is.
    int NextColumn() const { return next; }

private:
    QImage raster;
    int next = 0;
    double maxFs = 100.0;
    double minFs = -20.0;
};

// "12000 of 30625 cells, 11200 cells/s, 1.6 s left" after seconds of work.
QString CoverageProgressText(long long done, long long total, double seconds);
// "30625 cells in 2.7 s, 11200 cells/s"
QString CoverageDoneText(long long cells, double seconds);
// A duration for people: "0.4 s", "12 s", "3 min 20 s", "2 h 5 min".
QString DurationText(double seconds);

} // namespace kestrova
