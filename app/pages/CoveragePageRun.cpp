// The coverage computation of the "Area Coverage" page: the start, the
// live preview, the abort and the finish (see CoveragePage.h).
#include "app/pages/CoveragePage.h"

#include "app/pages/MapView.h"
#include "app/pages/PageHost.h"
#include "app/pages/PageTools.h"
#include "controls/UserDialogs.h"
#include "coverage/CoverageImage.h"
#include "coverage/CoveragePlan.h"
#include "coverage/CoverageRaster.h"
#include "coverage/CoverageScale.h"
#include "geo/Path.h"
#include "propagation/engine/MissingTerrain.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cmath>
#include <new>
#include <thread>

namespace kestrova {
namespace {

int Cores() {
    return CoreCount();
}

} // namespace

bool TCoveragePage::MapFieldsAcceptable() {
    return TNumEdit::AllAcceptable(
        {CoverageRange, CoverageResolution, MaxLoss, MinLoss, MaxHeight, MinHeight});
}

CoverageDisplay TCoveragePage::DisplaySettings() {
    CoverageDisplay display;
    display.mode = Colourfull->isChecked()   ? CoverageMode::Colour
                   : Monochrome->isChecked() ? CoverageMode::Mono
                                             : CoverageMode::Terrain;
    display.contours = LossContours->isChecked();
    display.maxFs = MaxLoss->GetValue();
    display.minFs = MinLoss->GetValue();
    display.maxHeight = MaxHeight->GetValue();
    display.minHeight = MinHeight->GetValue();
    return display;
}

bool TCoveragePage::ConfirmLargeMap(const CoverageArea& area) {
    CoverageEstimate estimate = EstimateCoverage(area, 0, false);
    if (estimate.cells <= coverageCellsToConfirm) return true;
    // The rate of the last map, once there is one, is the better guide.
    if (cellsPerSecond > 0.0) estimate.seconds = estimate.cells / cellsPerSecond;
    const QString text =
        QStringLiteral("This map has %1 x %1 = %2 cells. It needs about %3 MB of memory and may "
                       "take about %4 on %5 cores.\n\nCompute it?")
            .arg(area.n)
            .arg(estimate.cells)
            .arg(std::ceil(static_cast<double>(estimate.bytes) / 1e6), 0, 'f', 0)
            .arg(DurationText(estimate.seconds))
            .arg(Cores());
    return UserDialogs::Current().Question(this, text);
}

void TCoveragePage::PlotCoverageClick() {
    LinkState& state = host.State();
    if (running || !state.initialised) return; // never a second run inside the first
    state.abortRequested = false;
    if (!MapFieldsAcceptable()) return;
    const std::optional<CoverageLinkInputs> link = host.Link().CoverageLink();
    if (!link) return;
    if (!state.txLocation.IsValid()) {
        host.Notify(QStringLiteral("Invalid TX Locator"), true);
        return;
    }
    const double range = CoverageRange->GetValue();
    const int resolution = static_cast<int>(std::trunc(CoverageResolution->GetValue()));
    const std::optional<CoverageArea> area =
        CoverageAreaAround(state.txLocation, range, resolution);
    if (!area) {
        // Fewer than 5 x 5 cells: nothing happens and the last map stays.
        if (CoverageAreaRefusalOf(state.txLocation, range, resolution) !=
            CoverageAreaRefusal::TooFewCells) {
            host.Notify(QStringLiteral("No coverage map: ") +
                            QString::fromStdString(
                                CoverageAreaProblem(state.txLocation, range, resolution)) +
                            QStringLiteral("."),
                        true);
        }
        return;
    }
    if (!ConfirmLargeMap(*area)) return;

    Run next;
    next.display = DisplaySettings();
    next.tx = state.txLocation;
    next.save = SaveCoverage->isChecked();
    next.withHeader = IncHeader->isChecked();
    next.gamma = link->gamma;
    next.edition = link->link.edition;
    next.header = {next.tx.GetLatitude(), next.tx.GetLongitude(), link->link.frequency,
                   link->link.htg,        link->link.hrg,         link->link.timePercent,
                   link->temperature,     link->pressure,         link->humidity};

    CoverageInputs inputs;
    inputs.tx = next.tx;
    inputs.link = link->link;
    inputs.gamma = next.gamma;
    inputs.tileDirectory = state.mapDirectory;
    inputs.zoneDirectory = state.programDirectory;
    StartCoverage(*area, inputs, next);
}

// A grid that cannot be allocated says so and leaves the map on screen.
void TCoveragePage::StartCoverage(const CoverageArea& area, const CoverageInputs& inputs,
                                  const Run& next) {
    try {
        job.reset(); // the last grid's memory first
        job = std::make_unique<CoverageJob>(area, inputs);
    } catch (const std::bad_alloc&) {
        host.Notify(QStringLiteral("Memory allocation failure"), true);
        return;
    }
    run = next;
    coverageNorth = area.north;
    coverageWest = area.west;
    coverageEast = area.east;
    coverageSouth = area.south;
    const int m = std::max(CoverageMap->width(), CoverageMap->height());
    preview = CoveragePreview(run.display.maxFs, run.display.minFs);
    terrainBitmap = QImage();
    coverageRaster = BlankCoverageImage(m);
    coverageImage = BlankCoverageImage(m);
    CoverageMap->Draw(coverageRaster);
    // The preview's own legend: its greys between the limits.
    ShowScale(DrawGreyScale(run.display.maxFs, run.display.minFs, 10), false);
    CoverageProgress->setRange(0, job->CellCount());
    CoverageProgress->setValue(0);
    CoverageProgress->setFormat(CoverageProgressText(0, job->CellCount(), 0.0));
    ShowTerrainNote(0.0);
    SetRunning(true);
    clock.start();
    job->Start();
    previewTimer->start();
}

void TCoveragePage::SetRunning(bool on) {
    running = on;
    PlotCoverage->setEnabled(!on);
    Abort->setEnabled(on);
    ExportKMZ->setEnabled(!on);
    ExportGeoTiff->setEnabled(!on);
}

void TCoveragePage::PollCoverage() {
    if (!running) return;
    if (host.State().abortRequested) {
        StopCoverage();
        return;
    }
    if (preview.Update(*job)) CoverageMap->Draw(preview.Raster());
    const int done = job->CellsDone();
    CoverageProgress->setValue(done);
    CoverageProgress->setFormat(
        CoverageProgressText(done, job->CellCount(), clock.nsecsElapsed() / 1e9));
    if (done >= job->CellCount()) FinishRun(false);
}

void TCoveragePage::AbortClick() {
    host.State().abortRequested = true;
    StopCoverage();
}

void TCoveragePage::CoverageExit() {
    host.State().abortRequested = true;
    StopCoverage();
}

// The workers stop after the cell in hand, so the wait is short.
void TCoveragePage::StopCoverage() {
    if (!running) return;
    job->RequestAbort();
    FinishRun(true);
}

void TCoveragePage::FinishRun(bool aborted) {
    previewTimer->stop();
    const bool complete = job->Wait() && !aborted;
    const double seconds = clock.nsecsElapsed() / 1e9;
    preview.Update(*job);
    coverageRaster = preview.Raster();
    KeepLastCell(job->Area(), complete ? job->Area().n : preview.NextColumn());
    if (complete) {
        cellsPerSecond = seconds > 0.0 ? job->CellCount() / seconds : 0.0;
        CoverageProgress->setFormat(CoverageDoneText(job->CellCount(), seconds) +
                                    QStringLiteral(" (") + EditionTitle(run.edition) +
                                    QStringLiteral(")"));
    } else {
        CoverageProgress->setFormat(QStringLiteral("Aborted after %1 of %2 cells: the map is "
                                                   "incomplete")
                                        .arg(job->CellsDone())
                                        .arg(job->CellCount()));
    }
    CoverageProgress->setValue(job->CellsDone());
    ShowTerrainNote(complete ? JobField(*job).TerrainMissing() : 0.0);
    DrawResult(complete);
    haveResult = true;
    resultComplete = complete;
    SetRunning(false);
    if (complete && run.save) SaveCoverageFile();
}

void TCoveragePage::ShowTerrainNote(double missingFraction) {
    QString text = QString::fromStdString(MissingTerrainText(missingFraction, "the area"));
    if (!text.isEmpty()) {
        text[0] = text[0].toUpper();
        text += QStringLiteral(". Its cells are hatched on the map and in the KMZ, and have no "
                               "data in the GeoTIFF.");
    }
    CoverageTerrainNote->setText(text);
    CoverageTerrainNote->setVisible(!text.isEmpty());
}

// The map of the last computation in the run's display mode, from its grid,
// with its scale; an incomplete map keeps its partial preview on screen.
void TCoveragePage::DrawResult(bool complete) {
    LinkState& state = host.State();
    const CPalette fallback(PaletteHSV);
    const CPalette& palette = state.palette ? *state.palette : fallback;
    // The terrain under the map, drawn once a computation (kept for a
    // return to this mode).
    if (complete && run.display.mode == CoverageMode::Terrain && state.terrainStore &&
        terrainBitmap.isNull()) {
        const RenderedTerrain terrain = kestrova::CoverageTerrain(
            {*state.terrainStore, palette, host.Link().Setup().interpolate}, job->Area(), run.tx,
            run.display, std::max(CoverageMap->width(), CoverageMap->height()));
        if (terrain.imageFailed)
            host.Notify(QStringLiteral("Could not load or display bitmap"), true);
        terrainBitmap = terrain.bitmap;
    }
    const CoverageFinish finish =
        FinishCoverage(JobField(*job), terrainBitmap, run.display, palette, !complete,
                       std::max(CoverageMap->width(), CoverageMap->height()));
    coverageImage = finish.image;
    ShowScale(finish.scale, complete && run.display.mode == CoverageMode::Terrain);
    // An aborted map keeps its partial preview on screen.
    CoverageMap->Draw(complete ? coverageImage : coverageRaster);
}

// Another display mode, or the contours switched, after a whole map: the
// map is drawn again at once from the grid kept (the limits stay those of
// its computation).
void TCoveragePage::DisplayModeChanged() {
    if (running || !job || !haveResult || !resultComplete) return;
    const CoverageDisplay chosen = DisplaySettings();
    if (chosen.mode == run.display.mode && chosen.contours == run.display.contours) return;
    run.display.mode = chosen.mode;
    run.display.contours = chosen.contours;
    DrawResult(true);
}

// rxLocation holds the last grid point of the walk (the south-east corner
// after a whole map; after an abort the foot of the last column of the
// unbroken run of finished ones), and pathGasLoss its gaseous loss.
void TCoveragePage::KeepLastCell(const CoverageArea& area, int columnsDone) {
    if (columnsDone < 1) return;
    LinkState& state = host.State();
    state.rxLocation.SetLatLon(area.north - (area.n - 1) * area.step,
                               area.west + (columnsDone - 1) * area.step);
    CPath path;
    path.SetPath(run.tx, state.rxLocation);
    double range = 0.0;
    double bearing = 0.0;
    path.GetRangeBearing(range, bearing);
    state.pathGasLoss = range * run.gamma;
}

} // namespace kestrova
