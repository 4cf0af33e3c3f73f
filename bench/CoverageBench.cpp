// The coverage walk on real terrain (KESTROVA_DATA/srtm3/n51w002.hgt, and
// zones01.dem beside this executable): the default map (transmitter
// SU374616, 50 km at 30", 1.3 GHz, 10 m antennas, 50 %) and the same map at
// 3", each on one thread and on every core; and one coarse engine call on a
// fixed path from the transmitter, which is what each cell costs.
//
// Counters: cells, cells_per_s (wall), us_per_cell_core (processor time
// of all threads / cells: the cost of a cell on one core, unaffected by
// other programs taking turns on the cores), speedup (wall time on one
// thread / wall time here, once the one-thread run of the same map has run
// in this process). Speed-ups mean something only on otherwise idle cores.
//
//   build/bin/coverage_map_bench --benchmark_filter=Default
#include "coverage/Coverage.h"
#include "geo/FileLocations.h"
#include "propagation/P676.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <utility>

namespace kestrova {
namespace {

std::string TileDirectory() {
    const char* data = std::getenv("KESTROVA_DATA");
    return std::string(data ? data : KESTROVA_DEFAULT_DATA) + "/srtm3/";
}

bool HaveData(benchmark::State& state) {
    if (!std::filesystem::exists(TileDirectory() + "n51w002.hgt")) {
        state.SkipWithError("tile n51w002.hgt not found: set KESTROVA_DATA");
        return false;
    }
    if (!CZONES(ExecutableDirectory()).IsUsable()) {
        state.SkipWithError("zones01.dem not found beside the benchmark: build zones_data");
        return false;
    }
    return true;
}

const CLocator& Transmitter() {
    static const CLocator tx("SU374616", FormatNGR);
    return tx;
}

CoverageInputs Inputs(int threads, Edition edition = Edition::P452_14) {
    CoverageInputs inputs;
    inputs.tx = Transmitter();
    inputs.link.frequency = 1.3;
    inputs.link.timePercent = 50.0;
    inputs.link.htg = 10.0;
    inputs.link.hrg = 10.0;
    const double rho = P676::WaterVapourDensity(50.0, 20.0, true);
    inputs.gamma = P676::GaseousAttenuation(1.3, 1000.0, 20.0, rho);
    if (edition == Edition::P452_18) {
        // Its gaseous absorption lies inside its losses.
        inputs.link.edition = edition;
        inputs.link.pressure = 1000.0;
        inputs.link.temperature = 20.0;
        inputs.gamma = 0.0;
    }
    inputs.tileDirectory = TileDirectory();
    inputs.zoneDirectory = ExecutableDirectory();
    inputs.threads = threads;
    return inputs;
}

int AllCores() {
    return CoreCount();
}

// Wall seconds per map on one thread, by resolution and edition, for the
// speed-up.
std::map<std::pair<int, int>, double>& OneThreadSeconds() {
    static std::map<std::pair<int, int>, double> seconds;
    return seconds;
}

// state.range(0): resolution in arc-seconds; state.range(1): threads, 0 for
// every core; state.range(2): the edition of ITU-R P.452, 14 or 18.
void BM_CoverageMap(benchmark::State& state) {
    if (!HaveData(state)) return;
    const int resolution = static_cast<int>(state.range(0));
    const int editionNumber = static_cast<int>(state.range(2));
    const Edition edition = editionNumber == 18 ? Edition::P452_18 : Edition::P452_14;
    const int threads = state.range(1) > 0 ? static_cast<int>(state.range(1)) : AllCores();
    const auto area = CoverageAreaAround(Transmitter(), 50.0, resolution);
    if (!area) {
        state.SkipWithError("no area");
        return;
    }
    const double cells = static_cast<double>(area->n) * area->n;
    double total = 0.0;
    double processor = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t clockStart = std::clock();
        CoverageJob job(*area, Inputs(threads, edition));
        job.Start();
        const bool done = job.Wait();
        processor += static_cast<double>(std::clock() - clockStart) / CLOCKS_PER_SEC;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!done) state.SkipWithError("the walk stopped early");
        state.SetIterationTime(seconds);
        total += seconds;
    }
    const double runs = static_cast<double>(state.iterations());
    const double perMap = total / runs;
    const std::pair<int, int> key{resolution, editionNumber};
    if (threads == 1) OneThreadSeconds()[key] = perMap;
    state.counters["threads"] = threads;
    state.counters["cells"] = cells;
    state.counters["cells_per_s"] = cells / perMap;
    state.counters["us_per_cell_core"] = processor / runs / cells * 1e6;
    const auto one = OneThreadSeconds().find(key);
    if (one != OneThreadSeconds().end()) state.counters["speedup"] = one->second / perMap;
}
BENCHMARK(BM_CoverageMap)
    ->Name("BM_CoverageMap/Default30s")
    ->ArgNames({"res", "threads", "edition"})
    ->Args({30, 1, 14})
    ->Args({30, 0, 14})
    ->Args({30, 1, 18})
    ->Args({30, 0, 18})
    ->UseManualTime()
    ->MinTime(2.0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoverageMap)
    ->Name("BM_CoverageMap/Fine3s")
    ->ArgNames({"res", "threads", "edition"})
    ->Args({3, 1, 14})
    ->Args({3, 0, 14})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The terrain of the map's area as the tile itself (0), a GeoTIFF copy made
// with gdal_translate (1) and a copy on the British National Grid at 100 m
// made with gdalwarp (2): the folders, made once a run; "" when GDAL's tools
// fail.
std::string SourceDirectory(int source) {
    static const std::string made = [] {
        std::string dir = (std::filesystem::temp_directory_path() / "kestrova-bench-XXXXXX");
        if (mkdtemp(dir.data()) == nullptr) return std::string();
        const std::string tile = "'" + TileDirectory() + "n51w002.hgt'";
        const std::string commands =
            "mkdir -p '" + dir + "/tif' '" + dir + "/bng' && gdal_translate -q " + tile + " '" +
            dir + "/tif/n51w002.tif' && gdalwarp -q -t_srs EPSG:27700 -tr 100 100 -r near " + tile +
            " '" + dir + "/bng/n51w002-bng.tif'";
        return std::system(commands.c_str()) == 0 ? dir : std::string();
    }();
    if (source == 0) return TileDirectory();
    if (made.empty()) return made;
    return made + (source == 1 ? "/tif/" : "/bng/");
}

// Wall seconds per warm map over the tile, by map, for the ratios.
std::map<int, double>& TileSeconds() {
    static std::map<int, double> seconds;
    return seconds;
}

// state.range(0): the terrain source (see SourceDirectory); state.range(1):
// 0 the default map, which reaches past the tile's cell (where a raster's
// footprint, wider than the cell, holds slivers of terrain that the tile's
// neighbours lack), 1 a map of 25 km around the cell's centre, inside the
// data of every source, which shows what reading a raster costs. One
// thread. first_map_ms: the first map of the run, which reads the terrain (a
// raster onto the store's lattice); the iterations after it find the cell
// read; ratio: warm map time / the tile's.
void BM_CoverageSource(benchmark::State& state) {
    if (!HaveData(state)) return;
    const int source = static_cast<int>(state.range(0));
    const int map = static_cast<int>(state.range(1));
    CoverageInputs inputs = Inputs(1);
    inputs.tileDirectory = SourceDirectory(source);
    if (inputs.tileDirectory.empty()) {
        state.SkipWithError("gdal_translate or gdalwarp failed");
        return;
    }
    if (map == 1) inputs.tx = CLocator(51.5, -1.5);
    const auto area = CoverageAreaAround(inputs.tx, map == 1 ? 25.0 : 50.0, 30);
    const double cells = static_cast<double>(area->n) * area->n;
    double total = 0.0, processor = 0.0, first = -1.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t clockStart = std::clock();
        CoverageJob job(*area, inputs);
        job.Start();
        if (!job.Wait()) state.SkipWithError("the walk stopped early");
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        if (first < 0) {
            first = seconds; // reads the terrain: kept apart from the warm figures
            continue;
        }
        processor += static_cast<double>(std::clock() - clockStart) / CLOCKS_PER_SEC;
        total += seconds;
    }
    const double warm = static_cast<double>(state.iterations()) - 1;
    if (warm < 1) return;
    if (source == 0) TileSeconds()[map] = total / warm;
    state.counters["first_map_ms"] = first * 1e3;
    state.counters["us_per_cell_core"] = processor / warm / cells * 1e6;
    if (TileSeconds()[map] > 0) state.counters["ratio"] = total / warm / TileSeconds()[map];
}
BENCHMARK(BM_CoverageSource)
    ->Name("BM_CoverageMap/Source")
    ->ArgNames({"source", "map"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({2, 1})
    ->UseManualTime()
    ->MinTime(3.0)
    ->Unit(benchmark::kMillisecond);

// One coarse call from the transmitter to the map's far north-east corner
// (about 70 km, 234 samples), with the zone map, on a warm store.
void BM_CoarseFixedPath(benchmark::State& state) {
    if (!HaveData(state)) return;
    CSRTM store(CSRTM::kTilesPerStore, TileDirectory());
    const CZONES zones(ExecutableDirectory());
    const CLocator rx(51.80, -0.74);
    auto engine = std::make_unique<CTerrain>();
    const LinkInputs link =
        Inputs(1, state.range(0) == 18 ? Edition::P452_18 : Edition::P452_14).link;
    for (auto _ : state) {
        const bool ok = engine->CalculateCoarse(store, zones, Transmitter(), rx, link);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(engine->loss.lb);
    }
    state.counters["samples"] = engine->profile.count;
}
BENCHMARK(BM_CoarseFixedPath)->ArgName("edition")->Arg(14)->Arg(18)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kestrova
