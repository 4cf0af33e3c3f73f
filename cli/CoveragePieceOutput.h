// kestrova-cli coverage --block I/N --piece FILE: one band of the map's
// rows, written as a piece (coverage/CoveragePiece.h) for `merge`.
#pragma once

#include "cli/Args.h"
#include "cli/LinkOptions.h"
#include "coverage/Coverage.h"

#include <optional>
#include <ostream>
#include <string>

namespace kestrova::cli {

struct BlockOption {
    int index = 1; // 1..count
    int count = 1;
    std::string piece;
};

// --block I/N with --piece FILE (the target checked), or nullopt when
// neither is given; UsageError for one without the other, a block that is
// not I/N with 1 <= I <= N, or a map file asked for as well (merge writes
// those).
std::optional<BlockOption> ReadBlockOption(const Args& args);

// The band of the block in inputs (firstRow, rowCount); InputError when the
// map has fewer rows than blocks.
void SetBlockRows(const BlockOption& block, const CoverageArea& area, CoverageInputs& inputs);

// The finished job's band as the piece file.
void WriteCoveragePiece(const BlockOption& block, const CoverageJob& job, double rangeKm,
                        const CoverageInputs& inputs, const LinkOptions& options);

} // namespace kestrova::cli
