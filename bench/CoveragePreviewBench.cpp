// What the window's live preview costs a coverage map. The default map
// (50 km at 30 arc-seconds around SU374616) is computed on every core over
// real SRTM3 terrain (KESTROVA_DATA/srtm3/n51w002.hgt) while this thread,
// standing for the window's, either only waits for the end (interval 0, as
// kestrova-cli does) or, every interval ms, does what the page's timer
// does: paints the newly finished columns into the grey raster, draws it
// into the 500 x 500 map control and sets the progress bar's text.
// Budget: at the page's interval the preview costs the walk under 5 % of its
// cells a second. "preview_cpu" is the share of the walk's time this
// thread spent painting.
#include "app/pages/CoveragePage.h"
#include "app/pages/CoveragePagePreview.h"
#include "app/pages/MapView.h"
#include "propagation/P676.h"
#include "terrain/SRTM.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressBar>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

using namespace kestrova;

std::string TileDirectory() {
    const char* data = std::getenv("KESTROVA_DATA");
    return std::string(data ? data : "../shared/data") + "/srtm3/";
}

CoverageInputs DefaultInputs() {
    CoverageInputs inputs;
    inputs.tx = CLocator("SU374616", FormatNGR);
    const double rho = P676::WaterVapourDensity(50.0, 20.0, true);
    inputs.gamma = P676::GaseousAttenuation(inputs.link.frequency, 1013.0, 20.0, rho);
    inputs.tileDirectory = TileDirectory();
    inputs.zoneDirectory = QCoreApplication::applicationDirPath().toStdString() + "/";
    return inputs;
}

void BM_CoverageWithPreview(benchmark::State& state) {
    const auto interval = std::chrono::milliseconds(state.range(0));
    const CoverageInputs inputs = DefaultInputs();
    CSRTM probe(CSRTM::kTilesPerStore, inputs.tileDirectory);
    if (probe.GetHeight(inputs.tx.GetLatitude(), inputs.tx.GetLongitude(), false) ==
        probe.GetVoidValue()) {
        state.SkipWithError("tile n51w002.hgt not found: set KESTROVA_DATA");
        return;
    }
    const auto area = CoverageAreaAround(inputs.tx, 50.0, 30);
    TMapView map("CoverageMap", coverageMapSize, coverageMapSize, nullptr);
    QProgressBar progress;
    double walkSeconds = 0.0;
    double previewSeconds = 0.0;
    long long cells = 0;
    for (auto _ : state) {
        CoverageJob job(*area, inputs);
        CoveragePreview preview(100.0, -20.0);
        QElapsedTimer clock;
        clock.start();
        job.Start();
        auto nextTick = std::chrono::steady_clock::now() + interval;
        while (job.CellsDone() < job.CellCount()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            if (interval.count() == 0 || std::chrono::steady_clock::now() < nextTick) continue;
            nextTick += interval;
            QElapsedTimer paint;
            paint.start();
            if (preview.Update(job)) map.Draw(preview.Raster());
            progress.setValue(job.CellsDone());
            progress.setFormat(
                CoverageProgressText(job.CellsDone(), job.CellCount(), clock.nsecsElapsed() / 1e9));
            previewSeconds += paint.nsecsElapsed() / 1e9;
        }
        job.Wait();
        walkSeconds += clock.nsecsElapsed() / 1e9;
        cells += job.CellCount();
    }
    state.counters["cells_per_s"] = cells / walkSeconds;
    state.counters["preview_cpu"] = previewSeconds / walkSeconds;
}
BENCHMARK(BM_CoverageWithPreview)
    ->ArgName("interval_ms")
    ->Arg(0)
    ->Arg(TCoveragePage::previewInterval)
    ->Arg(20)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
