#include "coverage/Coverage.h"

#include "geo/Path.h"
#include "propagation/FieldStrength.h"
#include "terrain/SRTM.h"
#include "terrain/TileLibrary.h"
#include "terrain/Zones.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace kestrova {

std::optional<CoverageArea> CoverageAreaAround(const CLocator& tx, double rangeKm,
                                               int resolutionArcsec) {
    if (resolutionArcsec <= 0 || !(rangeKm > 0.0)) return std::nullopt;
    double north = 0, south = 0, east = 0, west = 0, unused = 0;
    tx.DestinationPoint(north, unused, rangeKm, 0.0);
    tx.DestinationPoint(south, unused, rangeKm, 180.0);
    tx.DestinationPoint(unused, east, rangeKm, 90.0);
    tx.DestinationPoint(unused, west, rangeKm, 270.0);
    CoverageArea area;
    area.extent = std::max(north - south, east - west); // a tie takes N - S: the same value
    area.resolution = resolutionArcsec;
    area.step = resolutionArcsec / 3600.0;
    const double cells = area.extent / area.step + 0.5;
    if (!(cells >= 5.0) || cells >= maxCoverageCells + 1.0) return std::nullopt;
    area.n = static_cast<int>(cells);
    area.north = tx.GetLatitude() + area.extent / 2.0;
    area.west = tx.GetLongitude() - area.extent / 2.0;
    area.east = area.west + area.extent;
    area.south = area.north - area.extent;
    if (!(area.north <= 90.0 && area.south >= -90.0)) return std::nullopt; // beyond a pole
    return area;
}

double FieldStrength(double frequencyGHz, double totalLossDb) {
    return FieldStrengthDbuVm(FieldStrengthConstant(coverageEirpDbw, frequencyGHz), totalLossDb);
}

int CoreCount() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

int CoverageWorkerCount(int threads, int n) {
    const int cores = CoreCount();
    const int most = std::max(1, std::min(4 * cores, n));
    return std::clamp(threads > 0 ? threads : cores, 1, most);
}

std::int16_t GridValue(double fieldStrength) {
    const double hundredths = std::floor(100.0 * fieldStrength + 0.5);
    if (std::isnan(hundredths)) return noGridValue;
    return static_cast<std::int16_t>(std::clamp(hundredths, -32767.0, 32767.0));
}

CoverageJob::CoverageJob(const CoverageArea& coverageArea, CoverageInputs coverageInputs)
    : area(coverageArea), inputs(std::move(coverageInputs)),
      firstRow(inputs.rowCount > 0 ? std::clamp(inputs.firstRow, 0, area.n - 1) : 0),
      rows(inputs.rowCount > 0 ? std::clamp(inputs.rowCount, 1, area.n - firstRow) : area.n),
      grid(static_cast<size_t>(area.n) * static_cast<size_t>(rows), 0),
      columnBytes((static_cast<size_t>(rows) + 7) / 8),
      noTerrain(static_cast<size_t>(area.n) * columnBytes, 0),
      columnDone(std::make_unique<std::atomic<bool>[]>(static_cast<size_t>(area.n))),
      library(std::make_shared<CTileLibrary>()),
      zones(std::make_unique<CZONES>(inputs.zoneDirectory, inputs.zoneFileName)) {
    threadCount = CoverageWorkerCount(inputs.threads, area.n);
    cellsDone = std::make_unique<Count[]>(static_cast<size_t>(threadCount));
}

int CoverageJob::CellsDone() const {
    int done = 0;
    for (int t = 0; t < threadCount; ++t)
        done += cellsDone[t].cells.load(std::memory_order_relaxed);
    return done;
}

CoverageJob::~CoverageJob() {
    RequestAbort();
    Wait();
}

void CoverageJob::Start() {
    {
        const std::lock_guard lock(endMutex);
        workersRunning += threadCount;
    }
    for (int t = 0; t < threadCount; ++t)
        workers.emplace_back([this, t] {
            Work(t);
            WorkerEnded();
        });
}

void CoverageJob::WorkerEnded() {
    const std::lock_guard lock(endMutex);
    if (--workersRunning == 0) ended.notify_all();
}

bool CoverageJob::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(endMutex);
    return ended.wait_for(lock, timeout, [this] { return workersRunning == 0; });
}

bool CoverageJob::Wait() {
    for (std::thread& worker : workers)
        if (worker.joinable()) worker.join();
    workers.clear();
    return !Aborted() && CellsDone() == CellCount();
}

// Each worker takes whole columns, west to east, with its own engine and
// terrain store; the stores share the tiles read through one library.
void CoverageJob::Work(int worker) {
    std::atomic<int>& done = cellsDone[worker].cells;
    auto engine = std::make_unique<CTerrain>();
    CSRTM store(CSRTM::kTilesPerStore, inputs.tileDirectory, library);
    for (int j = nextColumn.fetch_add(1); j < area.n; j = nextColumn.fetch_add(1)) {
        std::uint8_t* marks = noTerrain.data() + static_cast<size_t>(j) * columnBytes;
        for (int i = firstRow; i < firstRow + rows; ++i) {
            if (Aborted()) return;
            grid[Index(i, j)] = GridValue(ComputeCell(*engine, store, i, j));
            if (WithoutTerrain(store, i, j)) {
                const auto k = static_cast<size_t>(i - firstRow);
                marks[k / 8] = static_cast<std::uint8_t>(marks[k / 8] | 1u << (k % 8));
            }
            // This worker is the count's only writer: no locked add.
            done.store(done.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
        }
        columnDone[j].store(true, std::memory_order_release);
    }
}

long long CoverageJob::CellsWithoutTerrain() const {
    long long count = 0;
    for (const std::uint8_t byte : noTerrain)
        count += std::popcount(byte);
    return count;
}

// The cell's own grid point, as the engine's last look-ups see the
// position: folded onto the globe, then the sample at or south-west of it.
bool CoverageJob::WithoutTerrain(CSRTM& store, int i, int j) const {
    double lat = area.north - i * area.step;
    double lon = area.west + j * area.step;
    CSRTM::NormalisePosition(lat, lon);
    return store.GetNearest(lat, lon) == store.GetVoidValue();
}

std::vector<std::string> CoverageJob::TileProblems() const {
    return library->Problems();
}

double CoverageJob::ComputeCell(CTerrain& engine, CSRTM& store, int i, int j) const {
    CLocator rx;
    rx.SetLatLon(area.north - i * area.step, area.west + j * area.step);
    if (!engine.CalculateCoarse(store, *zones, inputs.tx, rx, inputs.link)) {
        // Closer than the engine's shortest path: take the point 0.101 km
        // out towards the cell (north from the transmitter's own spot).
        CPath path;
        path.SetPath(inputs.tx, rx);
        double range = 0.0;
        double bearing = 0.0;
        path.GetRangeBearing(range, bearing);
        double lat = 0.0;
        double lon = 0.0;
        path.PointAt(bearing, 0.101, lat, lon);
        CLocator near;
        near.SetLatLon(lat, lon);
        // Not even there: no value, rather than the last cell's figures
        // that the engine still holds.
        if (!engine.CalculateCoarse(store, *zones, inputs.tx, near, inputs.link))
            return std::numeric_limits<double>::quiet_NaN();
    }
    const double totalLoss =
        TotalLossDb(engine.loss.lb, GaseousLossDb(inputs.gamma, engine.pathLength));
    return FieldStrength(inputs.link.frequency, totalLoss);
}

} // namespace kestrova
