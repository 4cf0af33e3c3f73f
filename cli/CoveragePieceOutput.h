// kestrova-cli coverage --block I/N --piece FILE: one band of the map's
// rows, written as a piece (coverage/CoveragePiece.h) for `merge`.
#pragma once

#include "cli/Args.h"
#include "cli/LinkOptions.h"
#include "coverage/Coverage.h"
#include "coverage/CoveragePlan.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kestrova::cli {

struct BlockOption {
    int index = 1; // 1..count
    int count = 1;
    std::string piece;
};

// --block I/N with --piece FILE (the target checked), or nullopt when
// neither is given; UsageError for one without the other, a block that is
// not I/N with 1 <= I <= N, or a map file asked for as well (merge writes
// those). Without needPiece (a plan, which writes nothing) --piece may be
// left out.
std::optional<BlockOption> ReadBlockOption(const Args& args, bool needPiece = true);

// The band of the block in inputs (firstRow, rowCount); InputError when the
// map has fewer rows than blocks.
void SetBlockRows(const BlockOption& block, const CoverageArea& area, CoverageInputs& inputs);

// What a map or a block of it will take (coverage --plan): cells, memory
// and an estimated time, known before a run; JSON with json.
struct PlanEntry {
    std::string what; // "map", "block 2/4", "site 3 \"Hill\"", "composite"
    int n = 0;        // cells a side of the map
    int firstRow = 0; // the band of a block (0-based)
    int rows = 0;
    CoverageEstimate estimate;
};
PlanEntry PlanOf(const std::string& what, const CoverageArea& area, int threads, bool withImage,
                 const std::optional<BlockOption>& block);
void PrintPlan(std::ostream& out, const std::vector<PlanEntry>& entries, bool json);

// The finished job's band as the piece file.
void WriteCoveragePiece(const BlockOption& block, const CoverageJob& job, double rangeKm,
                        const CoverageInputs& inputs, const LinkOptions& options);

} // namespace kestrova::cli
