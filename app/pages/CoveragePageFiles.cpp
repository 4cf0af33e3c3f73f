// The files of the "Area Coverage" page: the coverage file, the KMZ
// overlay and the GeoTIFF (see CoveragePage.h).
#include "app/pages/CoveragePage.h"

#include "app/pages/ImageTools.h"
#include "app/pages/PageHost.h"
#include "controls/UserDialogs.h"
#include "coverage/CoverageRaster.h"
#include "coverage/KmzExport.h"

#include <QByteArray>
#include <QFileInfo>

namespace kestrova {
namespace {

// The name chosen in a save dialog, with the extension added when the
// user typed none.
QString WithSuffix(const QString& chosen, const char* suffix) {
    if (chosen.isEmpty() || !QFileInfo(chosen).suffix().isEmpty()) return chosen;
    return chosen + QLatin1Char('.') + QLatin1String(suffix);
}

} // namespace

// SaveDialog2, then the whole file written beside the target and renamed
// over it: a failure says "Could not save file!" and leaves any earlier
// file whole. The map on screen is not affected either way.
void TCoveragePage::SaveCoverageFile() {
    if (!job) return;
    const QString chosen =
        ChooseSaveFile(host, this, QStringLiteral("Save coverage data"), coverageFileName,
                       QStringLiteral("Coverage data (*.csv);;All files (*)"));
    if (chosen.isEmpty()) return; // cancelled: nothing is written
    coverageFileName = chosen;
    const std::string text = CoverageFileText(JobField(*job), run.header, run.withHeader);
    host.WriteFileSafely(coverageFileName,
                         QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

// The image on the map and the box of the last computed area, with the
// placemark at that map's transmitter (before any map: the current one).
void TCoveragePage::ExportKMZClick() {
    if (running) return;
    if (haveResult && !resultComplete) {
        host.Notify(QStringLiteral("The map is incomplete (aborted): plot it again to export it as "
                                   "KMZ."),
                    true);
        return;
    }
    const QString chosen =
        WithSuffix(ChooseSaveFile(host, this, QStringLiteral("Export as KMZ"), kmzFileName,
                                  QStringLiteral("KMZ files (*.kmz);;All files (*)")),
                   "kmz");
    if (chosen.isEmpty()) return;
    kmzFileName = chosen;
    const CLocator tx = haveResult ? run.tx : host.State().txLocation;
    const double txHeight = haveResult ? run.header.txHeight : host.Link().Setup().txHeight;
    KmlOverlay overlay{coverageNorth,    coverageSouth,     coverageEast, coverageWest,
                       tx.GetLatitude(), tx.GetLongitude(), txHeight};
    if (haveResult && job)
        overlay = CoverageOverlay(job->Area(), tx.GetLatitude(), tx.GetLongitude(), txHeight);
    const QImage image = coverageImage.isNull() ? BlankCoverageImage() : coverageImage;
    const std::string error = kestrova::ExportKMZ(kmzFileName.toStdString(), image, overlay);
    if (!error.empty())
        host.Notify(QStringLiteral("Could not save file!\n") + QString::fromStdString(error), true);
    else
        host.Status(SavedText(kmzFileName));
}

// The grid of the last map in dB(µV/m), one pixel a cell; the cells an
// abort left uncomputed are nodata.
void TCoveragePage::ExportGeoTiffClick() {
    if (running) return;
    if (!job) {
        host.Notify(QStringLiteral("No coverage to export: plot a coverage map first."), true);
        return;
    }
    const QString chosen =
        WithSuffix(ChooseSaveFile(host, this, QStringLiteral("Export as GeoTIFF"), geoTiffFileName,
                                  QStringLiteral("GeoTIFF files (*.tif *.tiff);;All files (*)")),
                   "tif");
    if (chosen.isEmpty()) return;
    geoTiffFileName = chosen;
    GeoTiffLink link;
    link.frequency = run.header.frequency;
    link.txHeight = run.header.txHeight;
    link.rxHeight = run.header.rxHeight;
    link.percent = run.header.percent;
    link.txLatitude = run.tx.GetLatitude();
    link.txLongitude = run.tx.GetLongitude();
    const std::string error =
        WriteCoverageGeoTiff(geoTiffFileName.toStdString(), JobField(*job), link);
    if (!error.empty())
        host.Notify(QStringLiteral("Could not save file!\n") + QString::fromStdString(error), true);
    else
        host.Status(SavedText(geoTiffFileName));
}

} // namespace kestrova
