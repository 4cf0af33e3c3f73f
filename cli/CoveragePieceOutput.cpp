#include "cli/CoveragePieceOutput.h"

#include "cli/FileOutput.h"
#include "cli/LandCoverOptions.h"
#include "coverage/CoveragePiece.h"
#include "geo/NumberFormat.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ostream>

namespace kestrova::cli {
namespace {

// A whole number 1 or more, all digits.
std::optional<int> Count(const std::string& text) {
    if (text.empty() || text.size() > 6 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int value = std::atoi(text.c_str());
    return value >= 1 ? std::optional<int>(value) : std::nullopt;
}

} // namespace

std::optional<BlockOption> ReadBlockOption(const Args& args, bool needPiece) {
    const auto block = args.Value("block");
    const auto piece = args.Value("piece");
    if (!block && !piece) return std::nullopt;
    if (!block) throw UsageError("option --piece needs --block I/N");
    if (!piece && needPiece)
        throw UsageError("option --block needs --piece FILE, the band's file for merge");
    for (const char* option : {"csv", "png", "image", "scale", "kmz", "geotiff"})
        if (args.Value(option))
            throw UsageError(std::string("option --block writes a piece only: give --") + option +
                             " to merge, which writes the map's files from the pieces");
    const size_t slash = block->find('/');
    const auto index = slash == std::string::npos ? std::nullopt : Count(block->substr(0, slash));
    const auto count = slash == std::string::npos ? std::nullopt : Count(block->substr(slash + 1));
    if (!index || !count || *index > *count)
        throw UsageError("option --block must be I/N with 1 <= I <= N, not \"" + *block + "\"");
    if (!piece) return BlockOption{*index, *count, {}};
    CheckOutputTargets({{"piece", *piece}});
    return BlockOption{*index, *count, *piece};
}

void SetBlockRows(const BlockOption& block, const CoverageArea& area, CoverageInputs& inputs) {
    if (block.count > area.n)
        throw InputError("the map has " + std::to_string(area.n) +
                         " rows: it cannot be split into " + std::to_string(block.count) +
                         " blocks");
    const RowBand rows = BlockRows(area.n, block.index, block.count);
    inputs.firstRow = rows.first;
    inputs.rowCount = rows.count;
}

PlanEntry PlanOf(const std::string& what, const CoverageArea& area, int threads, bool withImage,
                 const std::optional<BlockOption>& block) {
    PlanEntry entry;
    entry.what = what;
    entry.n = area.n;
    entry.rows = area.n;
    if (block) {
        CoverageInputs band;
        SetBlockRows(*block, area, band);
        entry.firstRow = band.firstRow;
        entry.rows = band.rowCount;
    }
    entry.estimate = EstimateCoverage(area, threads, withImage, entry.rows);
    return entry;
}

void PrintPlan(std::ostream& out, const std::vector<PlanEntry>& entries, bool json) {
    if (json) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const PlanEntry& e : entries)
            list.push_back({{"what", e.what},
                            {"cells_a_side", e.n},
                            {"first_row", e.firstRow + 1},
                            {"rows", e.rows},
                            {"cells", e.estimate.cells},
                            {"bytes", e.estimate.bytes},
                            {"seconds", e.estimate.seconds},
                            {"threads", e.estimate.threads}});
        out << list.dump(2) << "\n";
        return;
    }
    for (const PlanEntry& e : entries) {
        out << e.what << ": ";
        if (e.rows != e.n)
            out << "rows " << e.firstRow + 1 << "-" << e.firstRow + e.rows << " of " << e.n << ", "
                << e.estimate.cells << " cells";
        else
            out << e.n << " x " << e.n << " = " << e.estimate.cells << " cells";
        out << ", about "
            << FormatGeneral(std::ceil(static_cast<double>(e.estimate.bytes) / 1e6), 12)
            << " MB and " << FormatGeneral(std::max(1.0, std::round(e.estimate.seconds)), 12)
            << " s on " << e.estimate.threads << (e.estimate.threads == 1 ? " thread" : " threads")
            << "\n";
    }
}

void WriteCoveragePiece(const BlockOption& block, const CoverageJob& job, double rangeKm,
                        const CoverageInputs& inputs, const LinkOptions& options) {
    CoverageMapInputs map;
    map.txLatitude = inputs.tx.GetLatitude();
    map.txLongitude = inputs.tx.GetLongitude();
    map.rangeKm = rangeKm;
    map.area = job.Area();
    map.link = inputs.link;
    map.gamma = inputs.gamma;
    map.temperature = options.settings.temperature;
    map.pressure = options.settings.pressure;
    map.humidity = options.settings.humidity;
    map.landCover = LandCoverText(inputs.link);
    WriteFileSafely(block.piece,
                    EncodeCoveragePiece(PieceOfJob(job, map, block.index, block.count)));
}

} // namespace kestrova::cli
