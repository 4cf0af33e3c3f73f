// Terrain and zone look-ups: the profile sampler asks for one height and
// one zone at every sample, for every cell of a coverage map.
#include "geo/FileLocations.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A made-up 3 arc-second tile n51w002 in a directory of its own, removed at
// exit.
class TileDirectory {
public:
    TileDirectory() {
        path_ = fs::temp_directory_path() /
                ("kestrova-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(path_);
        std::vector<char> bytes(1201 * 1201 * 2);
        for (std::size_t i = 0; i < bytes.size(); i += 2) {
            const int height = static_cast<int>((i / 2) % 977);
            bytes[i] = static_cast<char>(height >> 8);
            bytes[i + 1] = static_cast<char>(height & 0xff);
        }
        std::ofstream(path_ / "n51w002.hgt", std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~TileDirectory() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    std::string Dir() const { return path_.string() + "/"; }

private:
    fs::path path_;
};

const TileDirectory& Tiles() {
    static const TileDirectory tiles;
    return tiles;
}

// Positions along a 60 km path across the tile, as a profile visits them.
template <typename Lookup> void WalkPath(benchmark::State& state, Lookup lookup) {
    int i = 0;
    for (auto _ : state) {
        const double t = (i++ % 1000) / 1000.0;
        benchmark::DoNotOptimize(lookup(51.1 + 0.5 * t, -1.9 + 0.7 * t));
    }
}

void BM_HeightNearest(benchmark::State& state) {
    kestrova::CSRTM store(kestrova::CSRTM::kTilesPerStore, Tiles().Dir());
    WalkPath(state, [&](double lat, double lon) { return store.GetHeight(lat, lon, false); });
}
BENCHMARK(BM_HeightNearest);

void BM_HeightInterpolated(benchmark::State& state) {
    kestrova::CSRTM store(kestrova::CSRTM::kTilesPerStore, Tiles().Dir());
    WalkPath(state, [&](double lat, double lon) { return store.GetHeight(lat, lon, true); });
}
BENCHMARK(BM_HeightInterpolated);

void BM_Zone(benchmark::State& state) {
    const kestrova::CZONES zones(kestrova::ExecutableDirectory());
    if (!zones.IsUsable()) {
        state.SkipWithError("zones01.dem not beside the executable");
        return;
    }
    WalkPath(state, [&](double lat, double lon) { return zones.GetZone(lat, lon); });
}
BENCHMARK(BM_Zone);

// For comparison: one positioned one-byte read per look-up, as a zone file
// that is not held in memory costs.
void BM_ZoneByReadingTheFile(benchmark::State& state) {
    const std::string path = kestrova::ExecutableDirectory() + "zones01.dem";
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        state.SkipWithError("zones01.dem not beside the executable");
        return;
    }
    WalkPath(state, [&](double lat, double lon) {
        const auto row = static_cast<long>((90.0 - 1.0 / 120 - lat) * 60 + 0.5);
        const auto col = static_cast<long>((lon + 180.0 - 1.0 / 120) * 60 + 0.5);
        unsigned char byte = 0;
        if (::pread(fd, &byte, 1, row * 5400 + col / 4) != 1) return -1;
        return (byte >> (6 - 2 * (col % 4))) & 3;
    });
    ::close(fd);
}
BENCHMARK(BM_ZoneByReadingTheFile);

} // namespace
