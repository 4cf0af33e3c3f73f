// Gaseous attenuation and map look-ups: the coverage walk and the radial
// evaluation call them once per map and once per path respectively, the
// refractivity view a few times per showing.
#include "propagation/P676.h"
#include "propagation/Refractivity.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// One call of the line-by-line sum (79 lines) across the band.
void BM_GaseousAttenuation(benchmark::State& state) {
    double f = 0.025;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kestrova::P676::GaseousAttenuation(f, 1013.25, 15.0, 7.5));
        f = f > 300.0 ? 0.025 : f + 0.37;
    }
}
BENCHMARK(BM_GaseousAttenuation);

// A 1.5° map in memory, values varying across the globe.
kestrova::MapFile MemoryMap() {
    kestrova::MapFile map = kestrova::CRefractivity::Descriptor(kestrova::CRefractivity::DNDZ_50);
    map.data.resize(static_cast<size_t>(map.rows) * static_cast<size_t>(map.cols));
    for (size_t i = 0; i < map.data.size(); ++i)
        map.data[i] = -40.0 + static_cast<double>(i % 97);
    return map;
}

void LookupLoop(benchmark::State& state, bool interpolate) {
    const kestrova::MapFile map = MemoryMap();
    double lat = -89.0;
    double lon = -179.0;
    double value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            kestrova::CRefractivity::LookupMap(map, lat, lon, interpolate, value));
        benchmark::DoNotOptimize(value);
        lat = lat > 89.0 ? -89.0 : lat + 0.73;
        lon = lon > 179.0 ? -179.0 : lon + 1.19;
    }
}

void BM_LookupMapNearest(benchmark::State& state) {
    LookupLoop(state, false);
}
BENCHMARK(BM_LookupMapNearest);

void BM_LookupMapInterpolated(benchmark::State& state) {
    LookupLoop(state, true);
}
BENCHMARK(BM_LookupMapInterpolated);

// Through CRefractivity once its map is loaded: the look-up plus the check
// that the map is there.
void BM_GetDNDZ(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("kestrova-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    {
        std::ofstream out(dir / "DNDZ_50.TXT");
        for (int row = 0; row < 121; ++row) {
            for (int col = 0; col < 241; ++col)
                out << -40 + (row * 241 + col) % 97 << ' ';
            out << '\n';
        }
    }
    const kestrova::CRefractivity maps({dir.string()});
    double value = 0;
    if (!maps.GetDNDZ(50, 0, 0, value)) state.SkipWithError("map not loaded");
    double lat = -89.0;
    double lon = -179.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(maps.GetDNDZ(50, lat, lon, value));
        benchmark::DoNotOptimize(value);
        lat = lat > 89.0 ? -89.0 : lat + 0.73;
        lon = lon > 179.0 ? -179.0 : lon + 1.19;
    }
    std::error_code error;
    fs::remove_all(dir, error);
}
BENCHMARK(BM_GetDNDZ);

} // namespace
