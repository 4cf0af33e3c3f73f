// What a coverage map will take, known before it starts: whether its area
// can be mapped at all, how many cells it has, how much memory and about
// how much time it needs. The command line prints the estimate and refuses
// a grid that would not fit in the memory available; the window asks
// before a map of more than coverageCellsToConfirm cells.
#pragma once

#include "coverage/Coverage.h"

#include <cstdint>
#include <string>

namespace kestrova {

// Why no coverage area can be made around tx: the area would reach beyond
// 90° north or south, hold fewer than 5 x 5 cells, or more than
// maxCoverageCells a side.
enum class CoverageAreaRefusal { None, BadInput, BeyondPole, TooFewCells, TooManyCells };
CoverageAreaRefusal CoverageAreaRefusalOf(const CLocator& tx, double rangeKm, int resolutionArcsec);
// The same as a sentence ("" when an area can be made).
std::string CoverageAreaProblem(const CLocator& tx, double rangeKm, int resolutionArcsec);

struct CoverageEstimate {
    long long cells = 0;
    int threads = 1;
    std::uint64_t bytes = 0; // the grid, the image when one is made, tiles and engines
    double seconds = 0.0;    // a rough figure: paths to the far cells cost the most
};

// The estimate of a map of area on threads workers (as CoverageJob counts
// them: 0 every core), with or without a colour image of the grid; of a
// band of rows rows of it (a block) when rows is from 1 to area.n.
CoverageEstimate EstimateCoverage(const CoverageArea& area, int threads, bool withImage,
                                  int rows = 0);

// "175 x 175 = 30625 cells, about 12 MB and 3 s on 2 threads"
std::string DescribeEstimate(const CoverageEstimate& estimate, int n);

// The memory the process can still have, in bytes: what the system can
// give without swapping (MemAvailable), and no more than the room left
// under an address-space limit (RLIMIT_AS, ulimit -v); 0 when it cannot be
// told.
std::uint64_t AvailableMemoryBytes();

// The cells of a finished job that hold no finite field strength; a map
// with any is not a result.
long long CountCellsWithoutFigure(const CoverageJob& job);

inline constexpr long long coverageCellsToConfirm = 10'000'000;

} // namespace kestrova
