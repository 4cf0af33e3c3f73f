// Drawing the "Terrain Map" page (the 480 x 480 link map and the two
// 240 x 240 local maps, with contours) and the "Zone Map" page (400 x 400)
// for the default link over real SRTM3 terrain (KESTROVA_DATA/srtm3/
// n51w002.hgt), the tiles already in the store's cache, as the window draws
// them each time a page is shown.
#include "geo/FileLocations.h"
#include "geo/Locator.h"
#include "maps/Palette.h"
#include "maps/image/TerrainMapImage.h"
#include "maps/image/ZoneMapImage.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

using namespace kestrova;

std::string TileDirectory() {
    const char* data = std::getenv("KESTROVA_DATA");
    return std::string(data ? data : "../shared/data") + "/srtm3/";
}

const CLocator tx("SU374616", FormatNGR);
const CLocator rx("IO91IO44", FormatMaidenhead);

// linkSpacing: contours on the link map too (the page's default draws them
// on the local maps only).
void TerrainPage(benchmark::State& state, int linkSpacing, int palette) {
    CSRTM store(CSRTM::kTilesPerStore, TileDirectory());
    if (store.GetHeight(tx.GetLatitude(), tx.GetLongitude(), false) == store.GetVoidValue()) {
        state.SkipWithError("tile n51w002.hgt not found: set KESTROVA_DATA");
        return;
    }
    const CPalette colours(palette);
    const TerrainSource source{store, colours, false};
    int segments = 0;
    for (auto _ : state) {
        const LinkMapImage link =
            DrawLinkMap(source, tx.GetLatitude(), tx.GetLongitude(), rx.GetLatitude(),
                        rx.GetLongitude(), 480, 480, linkSpacing);
        const LocalMapImage txMap =
            DrawLocalMap(source, "TX", tx.GetLatitude(), tx.GetLongitude(), link.map.maxHeight,
                         link.map.minHeight, 240, 240, 100, QColor(255, 0, 0));
        const LocalMapImage rxMap =
            DrawLocalMap(source, "RX", rx.GetLatitude(), rx.GetLongitude(), link.map.maxHeight,
                         link.map.minHeight, 240, 240, 100, QColor(0, 0, 255));
        segments = link.map.contourSegments + txMap.map.contourSegments + rxMap.map.contourSegments;
        benchmark::DoNotOptimize(rxMap.map.bitmap.constBits());
    }
    state.counters["segments"] = segments;
}

void BM_TerrainPage(benchmark::State& state) {
    TerrainPage(state, 0, PaletteHSV);
}
void BM_TerrainPageAllContours(benchmark::State& state) {
    TerrainPage(state, 100, PaletteHSV);
}
void BM_TerrainPageNcarFineContours(benchmark::State& state) {
    TerrainPage(state, 10, PaletteNCAR);
}

void BM_ZonePage(benchmark::State& state) {
    CZONES zones(ExecutableDirectory());
    if (!zones.IsUsable()) {
        state.SkipWithError("zones01.dem not beside the benchmark");
        return;
    }
    for (auto _ : state) {
        const ZoneMapImage map = DrawZoneMap(zones, tx.GetLatitude(), tx.GetLongitude(),
                                             rx.GetLatitude(), rx.GetLongitude(), 400, 400);
        benchmark::DoNotOptimize(map.map.bitmap.constBits());
    }
}

BENCHMARK(BM_TerrainPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TerrainPageAllContours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TerrainPageNcarFineContours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZonePage)->Unit(benchmark::kMillisecond);

} // namespace
