// The field-strength grid around a transmitter: one coarse ITU-R P.452
// evaluation per grid cell, for 1 kW EIRP, in dB(µV/m), computed by a pool
// of worker threads.
//
// The grid does not depend on the number of threads or the order of the
// walk: every cell is computed from the same inputs alone. The
// transmitter's own cell (closer than the engine's 0.1 km minimum path)
// takes the field strength 0.101 km from the transmitter towards the cell,
// due north for the cell that holds the transmitter itself. A cell the
// engine cannot evaluate there either (which a transmitter with valid
// coordinates never causes) holds no value: Value() is NaN, GridAt()
// noGridValue.
//
// A cell without terrain is one whose own grid point has no terrain data:
// the store answers voidValue there (no tile for its 1-degree cell, or a
// void sample). Its field strength is computed all the same (the engine
// takes missing ground as 0 m); the cell is only marked. The mark depends
// on the cell's position alone, not on the transmitter, so maps of
// several sites on one grid agree on it; it costs one look-up a cell,
// beside the few hundred of the cell's path.
#pragma once

#include "geo/Locator.h"
#include "propagation/engine/Terrain.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kestrova {

class CSRTM;
class CTileLibrary;
class CZONES;

// The square area of the walk: row 0 is the northern edge, column 0 the
// western edge, cell (i, j) at (north - i step, west + j step).
struct CoverageArea {
    double north = 0.0;
    double south = 0.0;
    double east = 0.0;
    double west = 0.0;
    double extent = 0.0; // D, degrees
    int resolution = 0;  // arc-seconds
    double step = 0.0;   // degrees
    int n = 0;           // cells a side
};

// The area of half-width rangeKm around the transmitter at the given
// resolution; nullopt when it holds fewer than 5 x 5 cells, more than
// maxCells a side (which no memory would hold), or reaches beyond 90°
// north or south (see CoverageAreaProblem for the reason).
inline constexpr int maxCoverageCells = 16384;
std::optional<CoverageArea> CoverageAreaAround(const CLocator& tx, double rangeKm,
                                               int resolutionArcsec);

// The coverage map's transmitter: 1 kW EIRP.
inline constexpr double coverageEirpDbw = 30.0;
// Field strength in dB(µV/m) from the frequency (GHz) and the total loss
// for 1 kW EIRP: E = 20 log10 f + 197.2 - Lt.
double FieldStrength(double frequencyGHz, double totalLossDb);
// Hundredths of dB, rounded half up and saturated to -32767..32767; a
// field strength that is not a number gives noGridValue.
std::int16_t GridValue(double fieldStrength);
inline constexpr std::int16_t noGridValue = -32768;

// The cores the machine reports, at least 1.
int CoreCount();
// The workers of a map of n columns: `threads` (every core for 0 or less),
// at least 1, at most four a core and one a column.
int CoverageWorkerCount(int threads, int n);

struct CoverageInputs {
    CLocator tx;
    LinkInputs link;    // N0 and ΔN as chosen for a coverage cell
    double gamma = 0.0; // gaseous attenuation, dB/km
    std::string tileDirectory;
    std::string zoneDirectory;
    std::string zoneFileName = "zones01.dem";
    int threads = 0; // 0: every core; at most four times the cores
    // The band of rows to compute (a block of the map): rows firstRow to
    // firstRow + rowCount - 1; rowCount 0 computes every row.
    int firstRow = 0;
    int rowCount = 0;
};

// One computation. Start() returns at once; the workers fill the grid
// while the caller polls CellsDone() and ColumnDone() (for a live
// preview), and may call RequestAbort(), which stops every worker after
// the cell in hand. WaitFor() wakes the moment the last worker ends (or
// when its time is up, to draw progress); Wait() joins the workers.
class CoverageJob {
public:
    CoverageJob(const CoverageArea& area, CoverageInputs inputs);
    ~CoverageJob();
    CoverageJob(const CoverageJob&) = delete;
    CoverageJob& operator=(const CoverageJob&) = delete;

    void Start();
    void RequestAbort() { abort.store(true, std::memory_order_relaxed); }
    // True when every cell was computed (no abort).
    bool Wait();
    // Blocks until every worker has ended (all cells done, or the walk
    // aborted) or the time is up; true when every worker has ended, and at
    // once true for a job never started.
    bool WaitFor(std::chrono::milliseconds timeout);
    bool Aborted() const { return abort.load(std::memory_order_relaxed); }

    // The cells of the band the job computes (every cell of the map
    // without a band); Value() and GridAt() read rows of the band only.
    int CellCount() const { return area.n * rows; }
    int FirstRow() const { return firstRow; }
    int RowCount() const { return rows; }
    int CellsDone() const;
    // A finished column's cells may be read while the job runs.
    bool ColumnDone(int j) const { return columnDone[j].load(std::memory_order_acquire); }
    int ThreadCount() const { return threadCount; }

    const CoverageArea& Area() const { return area; }
    // The tile files met by the workers that could not be used (see
    // CTileLibrary::Problems): their cells were walked as missing terrain.
    std::vector<std::string> TileProblems() const;
    // Field strength of cell (i, j), dB(µV/m) to the hundredth the grid
    // holds (NaN for a cell without a figure), and its 16-bit grid value.
    double Value(int i, int j) const {
        const std::int16_t value = grid[Index(i, j)];
        return value == noGridValue ? std::numeric_limits<double>::quiet_NaN() : value / 100.0;
    }
    std::int16_t GridAt(int i, int j) const { return grid[Index(i, j)]; }
    // Whether cell (i, j) of the band has no terrain (see above); a
    // finished column's cells may be read while the job runs.
    bool NoTerrainAt(int i, int j) const {
        const size_t k = static_cast<size_t>(i - firstRow);
        return (noTerrain[static_cast<size_t>(j) * columnBytes + k / 8] >> (k % 8) & 1u) != 0;
    }
    // The band's cells without terrain, once the job has ended.
    long long CellsWithoutTerrain() const;

private:
    // Column by column: each worker writes a column of its own, so workers
    // share at most the cache line at either end of a column.
    size_t Index(int i, int j) const {
        return static_cast<size_t>(j) * static_cast<size_t>(rows) +
               static_cast<size_t>(i - firstRow);
    }
    void Work(int worker);
    void WorkerEnded();
    double ComputeCell(CTerrain& engine, CSRTM& store, int i, int j) const;
    bool WithoutTerrain(CSRTM& store, int i, int j) const;

    CoverageArea area;
    CoverageInputs inputs;
    int firstRow = 0;
    int rows = 0;
    std::vector<std::int16_t> grid; // hundredths of dB(µV/m): two bytes a cell
    // The cells without terrain, a bit a cell, column by column; each
    // column starts a byte of its own, so that workers never share one.
    size_t columnBytes = 0;
    std::vector<std::uint8_t> noTerrain;
    std::unique_ptr<std::atomic<bool>[]> columnDone;
    std::atomic<int> nextColumn{0};
    // Cells done, a count for each worker on a cache line of its own.
    struct alignas(64) Count {
        std::atomic<int> cells{0};
    };
    std::unique_ptr<Count[]> cellsDone;
    std::atomic<bool> abort{false};
    std::shared_ptr<CTileLibrary> library;
    std::unique_ptr<CZONES> zones;
    std::vector<std::thread> workers;
    std::mutex endMutex;
    std::condition_variable ended;
    int workersRunning = 0; // guarded by endMutex
    int threadCount = 1;
};

} // namespace kestrova
