// kestrova-cli link --batch LINKS.csv: many links in one process, on every
// core, each computed exactly as one `link` call with the same options.
#include "cli/LinkBatch.h"

#include "cli/Commands.h"
#include "cli/LandCoverOptions.h"
#include "cli/LinkJson.h"
#include "files/InputFile.h"
#include "geo/NumberFormat.h"
#include "geo/Path.h"
#include "propagation/FieldStrength.h"
#include "propagation/Refractivity.h"
#include "propagation/engine/MissingTerrain.h"
#include "terrain/SRTM.h"
#include "terrain/TileLibrary.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <ostream>
#include <thread>

namespace kestrova::cli {
namespace {

constexpr std::size_t kMostBatchBytes = 256u << 20;

// One row of the file: its number among the links (1 the first after the
// header), its line in the file, and its cells by column name.
struct BatchRow {
    int number = 0;
    int line = 0;
    std::map<std::string, std::string> cells;
    std::size_t cellCount = 0;
};

// What became of one row: a line of output, or why the row was skipped.
struct RowOutcome {
    int status = 0; // 0 computed, 2 bad row (skipped), 3 calculation failed
    std::string output;
    std::string problem;
    std::string note;            // on the radio-climate maps, when they could not serve
    double terrainMissing = 0.0; // share of the path without terrain data
};

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    std::string cell = text.substr(first, last - first + 1);
    if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"')
        cell = cell.substr(1, cell.size() - 2);
    return cell;
}

std::vector<std::string> SplitCells(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        cells.push_back(Trim(line.substr(start, comma - start)));
        if (comma == std::string::npos) return cells;
        start = comma + 1;
    }
}

// The options a column may name: the link's ends and its radio and weather
// value options, not the data locations (which serve every row and are
// given once on the command line).
const std::set<std::string>& ColumnOptions() {
    static const std::set<std::string> names = [] {
        OptionList options;
        DeclareEnds(options);
        DeclareLinkSettings(options);
        const std::vector<std::string> values = options.ValueNames();
        return std::set<std::string>(values.begin(), values.end());
    }();
    return names;
}

struct Batch {
    std::vector<std::string> header;
    std::vector<BatchRow> rows;
};

Batch ReadBatch(const std::string& path) {
    std::string text;
    std::string problem;
    if (!ReadWholeFile(path, kMostBatchBytes, text, problem))
        throw InputError("link file \"" + path + "\" " + problem);
    std::vector<std::string> header;
    std::vector<BatchRow> rows;
    const std::set<std::string>& allowed = ColumnOptions();
    int line = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string content = text.substr(start, end - start);
        start = end + 1;
        ++line;
        if (Trim(content).empty()) continue;
        const std::vector<std::string> cells = SplitCells(content);
        if (header.empty()) {
            for (const std::string& name : cells) {
                if (!allowed.count(name))
                    throw UsageError("link file \"" + path + "\": column \"" + name +
                                     "\" is not an option of link (columns are named after the "
                                     "long options without dashes: tx, rx, format, freq, "
                                     "percent, tx-height, ...)");
                if (std::count(header.begin(), header.end(), name))
                    throw UsageError("link file \"" + path + "\": column \"" + name +
                                     "\" appears twice");
                header.push_back(name);
            }
            continue;
        }
        BatchRow row;
        row.number = static_cast<int>(rows.size()) + 1;
        row.line = line;
        for (std::size_t c = 0; c < cells.size() && c < header.size(); ++c)
            if (!cells[c].empty()) row.cells[header[c]] = cells[c];
        row.cellCount = cells.size();
        rows.push_back(std::move(row));
    }
    if (header.empty()) throw InputError("link file \"" + path + "\" holds no header row");
    return {header, rows};
}

// The shared data of a batch: opened once, read by every worker.
struct BatchData {
    BatchData(const Args& commandLine, std::size_t columnCount)
        : args(commandLine), options(ReadLinkOptions(commandLine, true)),
          zones(OpenZoneMap(options)), json(commandLine.Flag("json")), columns(columnCount) {
        maps.KeepFailures();
    }

    const Args& args;
    LinkOptions options; // of the command line: data locations, flags
    std::unique_ptr<CZONES> zones;
    CRefractivity maps;
    std::shared_ptr<CTileLibrary> library = std::make_shared<CTileLibrary>();
    bool json = false;
    std::size_t columns = 0;
};

std::size_t ColumnCount(const BatchData& data) {
    return data.columns;
}

// The row's own options over the command line's: a column's cell wins, an
// empty cell leaves the command line's value.
Args RowArgs(const BatchData& data, const BatchRow& row) {
    std::map<std::string, std::string> values;
    for (const std::string& name : ColumnOptions())
        if (const auto value = data.args.Value(name)) values[name] = *value;
    for (const auto& [name, value] : row.cells)
        values[name] = value;
    return Args(std::move(values), {}, {});
}

std::string CsvLine(int number, const CTerrain& e, double gasLoss) {
    const auto loss = [&](double value) {
        return "," + FormatFixed(TotalLossDb(value, gasLoss), 3, 0);
    };
    return std::to_string(number) + "," + FormatFixed(e.pathLength, 4, 1) + loss(e.loss.lb0p) +
           loss(e.loss.lbd) + loss(e.loss.lbs) + loss(e.loss.lba) + loss(e.loss.lb) + "\n";
}

RowOutcome Failure(const BatchData& data, int number, const std::string& message) {
    RowOutcome outcome{3, "", message, ""};
    if (data.json)
        outcome.output =
            nlohmann::ordered_json{{"row", number}, {"valid", false}, {"message", message}}.dump() +
            "\n";
    return outcome;
}

RowOutcome ComputeRow(const BatchData& data, const BatchRow& row, CTerrain& engine, CSRTM& store) {
    if (row.cellCount > ColumnCount(data))
        return {2, "",
                "has " + std::to_string(row.cellCount) + " cells, more than the " +
                    std::to_string(ColumnCount(data)) + " columns of the header",
                ""};
    try {
        const Args args = RowArgs(data, row);
        LinkOptions options = data.options;
        options.settings = ReadLinkSettings(args);
        options.settings.gas = data.options.settings.gas;
        options.settings.landCover = data.options.settings.landCover;
        const int format = ParseLocatorFormat(args.Value("format").value_or("ngr"));
        const CLocator tx = ReadEnd(args, "tx", format, "TX");
        const CLocator rx = ReadEnd(args, "rx", format, "RX");
        const CalculationInputs inputs =
            InputsFrom(data.maps, options, &tx, &rx, RefractivitySource::PathCentreBlended);
        engine.CalculateLink(store, *data.zones, tx, rx, options.interpolate, inputs.link);
        CPath path;
        path.SetPath(tx, rx);
        double range = 0.0;
        double bearing = 0.0;
        path.GetRangeBearing(range, bearing);
        const double gasLoss = GaseousLossDb(inputs.gamma, range);
        if (!engine.valid)
            return Failure(data, row.number,
                           engine.problem18.empty() ? "Path too short" : engine.problem18);
        if (const std::string problem = LossProblem(engine.loss, gasLoss); !problem.empty())
            return Failure(data, row.number, problem);
        nlohmann::ordered_json result = ResultJson(engine, inputs, gasLoss, data.zones->IsUsable());
        if (const std::string problem = NonFiniteMember(result); !problem.empty())
            return Failure(data, row.number, problem);
        const std::string note = UnusableMapsNote(inputs);
        const double missing = engine.profile.MissingFraction();
        if (!data.json) return {0, CsvLine(row.number, engine, gasLoss), "", note, missing};
        nlohmann::ordered_json line{{"row", row.number}};
        line.update(result);
        return {0, line.dump() + "\n", "", note, missing};
    } catch (const std::exception& e) { // UsageError, InputError: the row's own mistake
        return {2, "", e.what(), ""};
    }
}

int WorkerCount(const Args& args, std::size_t rows) {
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int wanted = args.Integer("threads").value_or(cores);
    if (wanted < 1 || wanted > 1024) throw UsageError("option --threads must be 1 to 1024");
    return static_cast<int>(std::clamp<std::size_t>(rows, 1, static_cast<std::size_t>(wanted)));
}

} // namespace

int RunLinkBatch(const Args& args, std::ostream& out) {
    for (const char* single : {"profile", "latitude", "profile-out"})
        if (args.Value(single))
            throw UsageError(std::string("option --") + single + " does not go with --batch");
    const std::string path = args.Required("batch");
    const Batch batch = ReadBatch(path);
    const std::vector<BatchRow>& rows = batch.rows;
    const BatchData data(args, batch.header.size());
    const int workers = WorkerCount(args, rows.size());

    std::vector<RowOutcome> outcomes(rows.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        auto engine = std::make_unique<CTerrain>();
        CSRTM store(CSRTM::kTilesPerStore, data.options.tiles, data.library);
        for (std::size_t i = next.fetch_add(1); i < rows.size(); i = next.fetch_add(1))
            outcomes[i] = ComputeRow(data, rows[i], *engine, store);
    };
    std::vector<std::jthread> threads;
    for (int t = 1; t < workers; ++t)
        threads.emplace_back(work);
    work();
    threads.clear(); // joins

    if (!data.json) out << "row,path_km,lb0p_db,lbd_db,lbs_db,lba_db,lb_db\n";
    bool skipped = false;
    bool failed = false;
    std::string note;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RowOutcome& outcome = outcomes[i];
        out << outcome.output;
        if (note.empty()) note = outcome.note;
        if (const std::string text = MissingTerrainText(outcome.terrainMissing, "the path");
            !text.empty())
            Warnings() << "warning: row " << rows[i].number << " (line " << rows[i].line << " of "
                       << path << "): " << text << "\n";
        if (outcome.status == 0) continue;
        Warnings() << "kestrova-cli link: row " << rows[i].number << " (line " << rows[i].line
                   << " of " << path << ")" << (outcome.status == 2 ? " skipped: " : ": ")
                   << outcome.problem << "\n";
        (outcome.status == 2 ? skipped : failed) = true;
    }
    if (!note.empty()) Warnings() << note;
    WarnAboutTiles(data.library->Problems());
    WarnAboutLandCover(data.options.settings.landCover);
    return skipped ? 2 : failed ? 3 : 0;
}

} // namespace kestrova::cli
