// What the map costs after the walk of a default map (50 km at 30
// arc-seconds around SU374616, 51.35 N: 173 x 173 cells): the grey raster,
// the finish in each display mode with and without the 20 dB contours
// (scale bar, grey raster, composed 500 x 500 image, contours, marker),
// the terrain image under the highlighted-terrain mode from real SRTM3
// terrain (KESTROVA_DATA/srtm3/n51w002.hgt, the tile in the store's
// cache), and the window's whole finish in that mode: terrain, then the
// finish with contours.
// Budget: under 50 ms for the window's whole finish.
#include "coverage/CoverageImage.h"
#include "coverage/CoverageRaster.h"
#include "maps/Palette.h"
#include "terrain/SRTM.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

using namespace kestrova;

const CLocator tx("SU374616", FormatNGR);

std::string TileDirectory() {
    const char* data = std::getenv("KESTROVA_DATA");
    return std::string(data ? data : "../shared/data") + "/srtm3/";
}

// Field strength falling with distance from the centre, rippled as
// terrain makes it, over the default limits.
GridField DefaultMap() {
    const auto area = CoverageAreaAround(tx, 50.0, 30);
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
    display.contours = state.range(1) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(FinishCoverage(field, terrain, display, palette, false));
}
BENCHMARK(BM_FinishCoverage)
    ->ArgNames({"mode", "contours"})
    ->ArgsProduct({{static_cast<int>(CoverageMode::Terrain), static_cast<int>(CoverageMode::Colour),
                    static_cast<int>(CoverageMode::Mono)},
                   {0, 1}})
    ->Unit(benchmark::kMillisecond);

// The store as the window holds it: the tile read once, then in its cache.
bool WarmStore(CSRTM& store, benchmark::State& state) {
    if (store.GetHeight(tx.GetLatitude(), tx.GetLongitude(), false) == store.GetVoidValue()) {
        state.SkipWithError("tile n51w002.hgt not found: set KESTROVA_DATA");
        return false;
    }
    return true;
}

void BM_CoverageTerrain(benchmark::State& state) {
    CSRTM store(CSRTM::kTilesPerStore, TileDirectory());
    if (!WarmStore(store, state)) return;
    const CPalette palette(PaletteNCAR);
    const GridField field = DefaultMap();
    const CoverageDisplay display;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            CoverageTerrain({store, palette, false}, field.Area(), tx, display).bitmap);
}
BENCHMARK(BM_CoverageTerrain)->Unit(benchmark::kMillisecond);

void BM_WindowFinishWithTerrainAndContours(benchmark::State& state) {
    CSRTM store(CSRTM::kTilesPerStore, TileDirectory());
    if (!WarmStore(store, state)) return;
    const CPalette palette(PaletteNCAR);
    const GridField field = DefaultMap();
    CoverageDisplay display;
    display.contours = true;
    for (auto _ : state) {
        const QImage terrain =
            CoverageTerrain({store, palette, false}, field.Area(), tx, display).bitmap;
        benchmark::DoNotOptimize(FinishCoverage(field, terrain, display, palette, false));
    }
}
BENCHMARK(BM_WindowFinishWithTerrainAndContours)->Unit(benchmark::kMillisecond);

} // namespace
