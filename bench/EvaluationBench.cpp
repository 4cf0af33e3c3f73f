// The site evaluation of one radial (the link entry for the profile chart
// and the radial entry for the field strength) from SU374616 over real
// SRTM3 terrain, at the page's shortest useful, default-like and longest
// ranges: what one edit of the page costs.
#include "evaluation/Radial.h"
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

void BM_EvaluateRadial(benchmark::State& state) {
    kestrova::CSRTM store(kestrova::CSRTM::kTilesPerStore, TileDirectory());
    kestrova::CZONES zones("/nonexistent-kestrova/");
    auto engine = std::make_unique<kestrova::CTerrain>();
    kestrova::RadialRequest request;
    request.tx = kestrova::CLocator("SU374616", kestrova::FormatNGR);
    request.rangeKm = static_cast<double>(state.range(0));
    request.bearingDeg = 45.0;
    request.settings.frequency = 0.145;
    if (store.GetHeight(request.tx.GetLatitude(), request.tx.GetLongitude(), false) ==
        store.GetVoidValue()) {
        state.SkipWithError("tile n51w002.hgt not found: set KESTROVA_DATA");
        return;
    }
    for (auto _ : state) {
        const kestrova::RadialEvaluation result =
            kestrova::EvaluateRadial(request, store, zones, *engine);
        benchmark::DoNotOptimize(result.field);
    }
    state.counters["samples"] = engine->profile.count;
}
BENCHMARK(BM_EvaluateRadial)->Arg(10)->Arg(100)->Arg(3000)->Unit(benchmark::kMillisecond);

} // namespace
