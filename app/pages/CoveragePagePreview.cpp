// The coverage preview and its progress texts (see CoveragePagePreview.h).
#include "app/pages/CoveragePagePreview.h"

#include "coverage/CoverageRaster.h"

#include <algorithm>
#include <cmath>

namespace kestrova {

CoveragePreview::CoveragePreview(double upper, double lower)
    : raster(BlankCoverageImage()), maxFs(upper), minFs(lower) {}

bool CoveragePreview::Update(const CoverageJob& job) {
    if (raster.isNull()) raster = BlankCoverageImage();
    const int from = next;
    next = PaintFinishedColumns(raster, job, next, maxFs, minFs);
    return next != from;
}

QString DurationText(double seconds) {
    if (!(seconds >= 0.0)) seconds = 0.0;
    if (seconds < 10.0) return QStringLiteral("%1 s").arg(seconds, 0, 'f', 1);
    const auto whole = static_cast<long long>(seconds + 0.5);
    if (whole < 60) return QStringLiteral("%1 s").arg(whole);
    if (whole < 3600) return QStringLiteral("%1 min %2 s").arg(whole / 60).arg(whole % 60);
    return QStringLiteral("%1 h %2 min").arg(whole / 3600).arg(whole / 60 % 60);
}

namespace {

double Rate(long long cells, double seconds) {
    return seconds > 0.0 ? cells / seconds : 0.0;
}

} // namespace

QString CoverageProgressText(long long done, long long total, double seconds) {
    const double rate = Rate(done, seconds);
    const QString left = rate > 0.0 ? DurationText((total - done) / rate) : QStringLiteral("?");
    return QStringLiteral("%1 of %2 cells, %3 cells/s, %4 left")
        .arg(done)
        .arg(total)
        .arg(std::llround(rate))
        .arg(left);
}

QString CoverageDoneText(long long cells, double seconds) {
    return QStringLiteral("%1 cells in %2, %3 cells/s")
        .arg(cells)
        .arg(DurationText(seconds))
        .arg(std::llround(Rate(cells, seconds)));
}

} // namespace kestrova
