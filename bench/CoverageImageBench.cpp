// What the map costs after the walk of a default map (50 km at 30
// arc-seconds at 52 N: 175 x 175 cells): the grey raster, and the finish
// in each display mode (scale bar, grey raster, composed 500 x 500 image,
// marker).
// Budget: under 50 ms for the finish.
#include "coverage/CoverageImage.h"
#include "coverage/CoverageRaster.h"
#include "maps/Palette.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using namespace kestrova;

// Field strength falling with distance from the centre, rippled as
// terrain makes it, over the default limits.
GridField DefaultMap() {
    const auto area = CoverageAreaAround(CLocator(52.0, -1.0), 50.0, 30);
    std::vector<float> values;
    const int n = area->n;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const double r = std::hypot(i - n / 2.0, j - n / 2.0) + 1.0;
            values.push_back(static_cast<float>(110.0 - 40.0 * std::log10(r) +
                                                15.0 * std::sin(i * 0.3) * std::cos(j * 0.2)));
        }
    return GridField(*area, values);
}

// A terrain map in the 16 colours of a discrete palette.
QImage Terrain(const CPalette& palette) {
    QImage image(coverageMapSize, coverageMapSize, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const auto height = static_cast<std::int16_t>((x * 7 + y * 3) % 600);
            image.setPixel(x, y, palette.HeightColour(height, 0, 500, 0).ToArgb());
        }
    return image;
}

void BM_CoverageRaster(benchmark::State& state) {
    const GridField field = DefaultMap();
    for (auto _ : state)
        benchmark::DoNotOptimize(CoverageRaster(field, 100.0, -20.0));
    state.counters["cells"] = field.Area().n * field.Area().n;
}
BENCHMARK(BM_CoverageRaster)->Unit(benchmark::kMillisecond);

void BM_FinishCoverage(benchmark::State& state) {
    const CPalette palette(PaletteNCAR);
    const GridField field = DefaultMap();
    const QImage terrain = Terrain(palette);
    CoverageDisplay display;
    display.mode = static_cast<CoverageMode>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(FinishCoverage(field, terrain, display, palette, false));
}
BENCHMARK(BM_FinishCoverage)
    ->ArgName("mode")
    ->Arg(static_cast<int>(CoverageMode::Terrain))
    ->Arg(static_cast<int>(CoverageMode::Colour))
    ->Arg(static_cast<int>(CoverageMode::Mono))
    ->Unit(benchmark::kMillisecond);

} // namespace
