#include "coverage/CoveragePlan.h"

#include "geo/Locator.h"
#include "geo/NumberFormat.h"
#include "propagation/engine/Terrain.h"
#include "terrain/SRTM.h"
#include "terrain/TileFile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <numbers>
#include <optional>
#include <sys/resource.h>

namespace kestrova {
namespace {

// The radius DestinationPoint walks on (the WGS84 semi-major axis), km.
constexpr double destinationRadiusKm = CLocator::wgsA / 1000.0;
static_assert(destinationRadiusKm == 6378.137);
// Grid cells: the 16-bit grid; a colour image: its RGB pixels, their PNG
// rows and the compressed output, at most.
constexpr std::uint64_t gridBytesPerCell = 2;
constexpr std::uint64_t imageBytesPerCell = 9;
// Each worker: its engine and its store's bookkeeping; each tile held.
constexpr std::uint64_t bytesPerWorker = sizeof(CTerrain) + 64 * 1024;
// One coarse path (at most 250 samples) on one core, seconds, on the slow
// side: bench/coverage_map_bench's us_per_cell_core for the default map
// (50 km at 30", 1.3 GHz, one thread) is about 5.4 µs on an idle core of
// the development machine and 6-7 µs while other builds run; the 3" map
// costs about the same per cell.
constexpr double secondsPerCell = 8e-6;

std::string Megabytes(std::uint64_t bytes) {
    return FormatGeneral(std::ceil(static_cast<double>(bytes) / 1e6), 12) + " MB";
}

} // namespace

CoverageAreaRefusal CoverageAreaRefusalOf(const CLocator& tx, double rangeKm,
                                          int resolutionArcsec) {
    if (!(rangeKm > 0.0) || resolutionArcsec <= 0) return CoverageAreaRefusal::BadInput;
    if (CoverageAreaAround(tx, rangeKm, resolutionArcsec)) return CoverageAreaRefusal::None;
    // The same geometry as CoverageAreaAround, to say which limit failed.
    // The square's half-width is half the larger extent; the range itself
    // reaches as far along a meridian, which DestinationPoint folds back
    // over a pole.
    double north = 0, south = 0, east = 0, west = 0, unused = 0;
    tx.DestinationPoint(north, unused, rangeKm, 0.0);
    tx.DestinationPoint(south, unused, rangeKm, 180.0);
    tx.DestinationPoint(unused, east, rangeKm, 90.0);
    tx.DestinationPoint(unused, west, rangeKm, 270.0);
    const double extent = std::max(north - south, east - west);
    const double reach =
        std::max(rangeKm / destinationRadiusKm * 180.0 / std::numbers::pi, extent / 2.0);
    const double lat = tx.GetLatitude();
    if (!(lat + reach <= 90.0 && lat - reach >= -90.0)) return CoverageAreaRefusal::BeyondPole;
    const double cells = extent / (resolutionArcsec / 3600.0) + 0.5;
    if (!(cells >= 5.0)) return CoverageAreaRefusal::TooFewCells;
    return CoverageAreaRefusal::TooManyCells;
}

std::string CoverageAreaProblem(const CLocator& tx, double rangeKm, int resolutionArcsec) {
    const double lat = tx.GetLatitude();
    const double reach = rangeKm / destinationRadiusKm * 180.0 / std::numbers::pi;
    switch (CoverageAreaRefusalOf(tx, rangeKm, resolutionArcsec)) {
    case CoverageAreaRefusal::None:
        return {};
    case CoverageAreaRefusal::BadInput:
        return "the range and resolution must be positive";
    case CoverageAreaRefusal::BeyondPole:
        return "the area of " + FormatGeneral(rangeKm, 6) + " km around the transmitter at " +
               FormatGeneral(lat, 8) + " degrees reaches beyond the " +
               (lat + reach > 90.0 || lat >= 0.0 ? "North" : "South") + " Pole";
    case CoverageAreaRefusal::TooFewCells:
        return "the area holds fewer than 5 x 5 cells at this resolution";
    case CoverageAreaRefusal::TooManyCells:
        break;
    }
    return "the area holds more than " + std::to_string(maxCoverageCells) +
           " cells a side at this resolution";
}

CoverageEstimate EstimateCoverage(const CoverageArea& area, int threads, bool withImage, int rows) {
    CoverageEstimate estimate;
    estimate.cells = static_cast<long long>(area.n) * (rows >= 1 && rows < area.n ? rows : area.n);
    estimate.threads = CoverageWorkerCount(threads, area.n);
    const auto cells = static_cast<std::uint64_t>(estimate.cells);
    // The tiles the area touches, but no more than the workers' stores hold.
    const double tilesSide = std::ceil(area.extent) + 1.0;
    const auto tiles = static_cast<std::uint64_t>(std::min(
        tilesSide * tilesSide, static_cast<double>(estimate.threads * CSRTM::kTilesPerStore)));
    estimate.bytes = cells * (gridBytesPerCell + (withImage ? imageBytesPerCell : 0)) +
                     tiles * TileBytesFor(kTileSize3) +
                     static_cast<std::uint64_t>(estimate.threads) * bytesPerWorker;
    const int cores = CoreCount();
    estimate.seconds =
        static_cast<double>(estimate.cells) * secondsPerCell / std::min(estimate.threads, cores);
    return estimate;
}

std::string DescribeEstimate(const CoverageEstimate& e, int n) {
    return std::to_string(n) + " x " + std::to_string(n) + " = " + std::to_string(e.cells) +
           " cells, about " + Megabytes(e.bytes) + " and " +
           FormatGeneral(std::max(1.0, std::round(e.seconds)), 12) + " s on " +
           std::to_string(e.threads) + (e.threads == 1 ? " thread" : " threads");
}

long long CountCellsWithoutFigure(const CoverageJob& job) {
    long long count = 0;
    const int n = job.Area().n;
    for (int i = job.FirstRow(); i < job.FirstRow() + job.RowCount(); ++i)
        for (int j = 0; j < n; ++j)
            count += job.GridAt(i, j) == noGridValue;
    return count;
}

namespace {

// The number of kB after label in a /proc file ("MemAvailable:  123456 kB"),
// or nullopt.
std::optional<std::uint64_t> ProcKilobytes(const char* file, const char* label) {
    std::ifstream info(file);
    std::string line;
    const std::size_t length = std::strlen(label);
    while (std::getline(info, line))
        if (line.compare(0, length, label) == 0)
            return std::strtoull(line.c_str() + length, nullptr, 10) * 1024;
    return std::nullopt;
}

} // namespace

std::uint64_t AvailableMemoryBytes() {
    std::uint64_t available = ProcKilobytes("/proc/meminfo", "MemAvailable:").value_or(0);
    // An address-space limit (ulimit -v) leaves only what the process has
    // not yet mapped below it, however much memory the machine has free.
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        const std::uint64_t used = ProcKilobytes("/proc/self/status", "VmSize:").value_or(0);
        const std::uint64_t room = limit.rlim_cur > used ? limit.rlim_cur - used : 1;
        available = available == 0 ? room : std::min(available, room);
    }
    return available;
}

} // namespace kestrova
