// One link calculation (up to 999 samples) and one coarse calculation (the
// inner loop of the coverage map, up to 250 samples) on the default link
// over real SRTM3 terrain (KESTROVA_DATA/srtm3/n51w002.hgt).
#include "propagation/engine/Terrain.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::string TileDirectory() {
    const char* data = std::getenv("KESTROVA_DATA");
    return std::string(data ? data : "../shared/data") + "/srtm3/";
}

template <bool coarse> void BM_Engine(benchmark::State& state) {
    kestrova::CSRTM store(kestrova::CSRTM::kTilesPerStore, TileDirectory());
    kestrova::CZONES zones("/nonexistent-kestrova/");
    const kestrova::CLocator tx("SU374616", kestrova::FormatNGR);
    const kestrova::CLocator rx("IO91IO44", kestrova::FormatMaidenhead);
    auto engine = std::make_unique<kestrova::CTerrain>();
    const kestrova::LinkInputs inputs;
    if (store.GetHeight(tx.GetLatitude(), tx.GetLongitude(), false) == store.GetVoidValue()) {
        state.SkipWithError("tile n51w002.hgt not found: set KESTROVA_DATA");
        return;
    }
    for (auto _ : state) {
        const bool ok = coarse ? engine->CalculateCoarse(store, zones, tx, rx, inputs)
                               : engine->CalculateLink(store, zones, tx, rx, false, inputs);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(engine->loss.lb);
    }
    state.counters["samples"] = engine->profile.count;
}
BENCHMARK(BM_Engine<false>)->Name("BM_CalculateLink")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Engine<true>)->Name("BM_CalculateCoarse")->Unit(benchmark::kMicrosecond);

} // namespace
