// Location conversions and path sampling: the profile sampler calls
// PointAtRange for every sample of every coverage cell.
#include "geo/Locator.h"
#include "geo/Path.h"

#include <benchmark/benchmark.h>

namespace {

void BM_PointAtRange(benchmark::State& state) {
    kestrova::CPath path;
    path.SetPath(51.35, -1.46, 51.75, -1.25);
    double lat = 0;
    double lon = 0;
    double range = 0;
    for (auto _ : state) {
        path.PointAtRange(range, lat, lon);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
        range = range > 50.0 ? 0.0 : range + 0.05;
    }
}
BENCHMARK(BM_PointAtRange);

void BM_ParseAndFormatNGR(benchmark::State& state) {
    for (auto _ : state) {
        kestrova::CLocator location("SU3740061600", kestrova::FormatNGR);
        benchmark::DoNotOptimize(location.GetNGR(10));
    }
}
BENCHMARK(BM_ParseAndFormatNGR);

} // namespace
