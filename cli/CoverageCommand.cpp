// kestrova-cli coverage: the field-strength grid around a transmitter for
// 1 kW EIRP, written as the coverage file, the map image and its scale bar
// as the window draws them, a KMZ overlay and a GeoTIFF.
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/CoverageOutputs.h"
#include "cli/CoveragePieceOutput.h"
#include "cli/FileOutput.h"
#include "cli/ImageOutput.h"
#include "cli/LandCoverOptions.h"
#include "cli/LinkOptions.h"
#include "coverage/Coverage.h"
#include "coverage/CoverageFile.h"
#include "coverage/CoverageImage.h"
#include "coverage/CoveragePlan.h"
#include "coverage/GeoTiff.h"
#include "coverage/KmzExport.h"
#include "geo/NumberFormat.h"
#include "maps/Palette.h"
#include "propagation/engine/MissingTerrain.h"
#include "terrain/SRTM.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <ostream>
#include <unistd.h>

namespace kestrova::cli {
namespace {

using Outputs = CoverageOutputs;

CoverageMode ParseMode(const std::string& text) {
    if (text == "terrain") return CoverageMode::Terrain;
    if (text == "colour" || text == "color") return CoverageMode::Colour;
    if (text == "mono") return CoverageMode::Mono;
    throw UsageError("option --mode must be terrain, colour or mono, not \"" + text + "\"");
}

int ParsePalette(const std::string& text) {
    static const char* const names[] = {"hsv", "dem", "jet", "dem15", "ncar", "schwarzwald"};
    for (int type = 0; type < 6; ++type)
        if (text == names[type] || text == std::to_string(type)) return type;
    throw UsageError("option --palette must be hsv, dem, jet, dem15, ncar, schwarzwald or 0-5");
}

CoverageDisplay ReadDisplay(const Args& args) {
    CoverageDisplay display;
    display.mode = ParseMode(args.Value("mode").value_or("terrain")); // as the window
    display.contours = args.Flag("contours");
    display.maxFs = LimitedNumber(args, limits::maxFieldStrength);
    display.minFs = LimitedNumber(args, limits::minFieldStrength);
    display.maxHeight = LimitedNumber(args, limits::maxHeight);
    display.minHeight = LimitedNumber(args, limits::minHeight);
    return display;
}

} // namespace

Outputs ReadCoverageOutputs(const Args& args) {
    Outputs outputs{args.Value("csv"),   args.Value("png"), args.Value("image"),
                    args.Value("scale"), args.Value("kmz"), args.Value("geotiff")};
    if (!outputs.Any())
        throw UsageError("nothing to write: give --csv, --image, --scale, --kmz, --geotiff or "
                         "--png");
    std::vector<OutputTarget> targets;
    for (const char* option : {"csv", "png", "image", "scale", "kmz", "geotiff"})
        if (const auto path = args.Value(option)) targets.push_back({option, *path});
    CheckOutputTargets(targets); // before the map is computed
    return outputs;
}

namespace {

void ShowProgress(const CoverageJob& job) {
    const int done = job.CellsDone();
    const int all = job.CellCount();
    const int width = 40;
    const int filled =
        all > 0 ? static_cast<int>(static_cast<long long>(done) * width / all) : width;
    std::fprintf(stderr, "\r[%s%s] %d/%d cells",
                 std::string(static_cast<size_t>(filled), '#').c_str(),
                 std::string(static_cast<size_t>(width - filled), ' ').c_str(), done, all);
    std::fflush(stderr);
}

// Runs the job to its end, waking the moment its last worker ends (and
// every tenth of a second to draw the progress bar); the seconds it took.
double RunJob(CoverageJob& job) {
    const auto start = std::chrono::steady_clock::now();
    job.Start();
    const bool terminal = isatty(fileno(stderr)) != 0;
    while (!job.WaitFor(std::chrono::milliseconds(100)))
        if (terminal) ShowProgress(job);
    job.Wait();
    if (terminal) {
        ShowProgress(job);
        std::fputc('\n', stderr);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One pixel a cell, colour map.
QImage ColourGrid(const CoverageField& field, double maxFs, double minFs) {
    const int n = field.Area().n;
    QImage image(n, n, QImage::Format_RGB32);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            image.setPixel(j, i,
                           field.NoTerrain(i, j)
                               ? noTerrainRgb
                               : CoverageColour(field.Value(i, j), maxFs, minFs).ToArgb());
    return image;
}

void WriteCsv(const std::string& path, const CoverageField& field, const CoverageInputs& inputs,
              const LinkOptions& options, bool withHeader) {
    CoverageHeader header;
    header.txLatitude = inputs.tx.GetLatitude();
    header.txLongitude = inputs.tx.GetLongitude();
    header.frequency = inputs.link.frequency;
    header.txHeight = inputs.link.htg;
    header.rxHeight = inputs.link.hrg;
    header.percent = inputs.link.timePercent;
    header.temperature = options.settings.temperature;
    header.pressure = options.settings.pressure;
    header.humidity = options.settings.humidity;
    Check(WriteCoverageFile(path, field, header, withHeader));
}

void WriteGeoTiff(const std::string& path, const CoverageField& field,
                  const CoverageInputs& inputs) {
    GeoTiffLink link;
    link.frequency = inputs.link.frequency;
    link.txHeight = inputs.link.htg;
    link.rxHeight = inputs.link.hrg;
    link.percent = inputs.link.timePercent;
    link.txLatitude = inputs.tx.GetLatitude();
    link.txLongitude = inputs.tx.GetLongitude();
    const std::string error = WriteCoverageGeoTiff(path, field, link);
    if (!error.empty()) throw InputError(error);
}

// The map image, its scale bar and the KMZ made from the image, as the
// window makes them after a walk that ran to its end, over the terrain of
// the area in the highlighted-terrain mode.
void WriteImages(const Outputs& outputs, const CoverageField& field, const CoverageDisplay& display,
                 int paletteType, const CLocator& tx, const CLocator& centre, double txHeight,
                 const LinkOptions& options, std::ostream& out) {
    const CPalette palette(paletteType);
    QImage terrain;
    if (display.mode == CoverageMode::Terrain && outputs.NeedImage()) {
        CSRTM store(CSRTM::kTilesPerStore, options.tiles);
        const RenderedTerrain rendered =
            CoverageTerrain({store, palette, options.interpolate}, field.Area(), centre, display);
        if (rendered.imageFailed) throw InputError("could not make the terrain image");
        terrain = rendered.bitmap;
    }
    const CoverageFinish finish = FinishCoverage(field, terrain, display, palette, false);
    if (outputs.image) WriteImage(*outputs.image, finish.image);
    if (outputs.scale) {
        WriteImage(*outputs.scale, finish.scale.bitmap);
        out << "scale from " << finish.scale.maxText << " (top) to " << finish.scale.minText
            << " (bottom)\n";
    }
    if (outputs.kmz) {
        const KmlOverlay overlay =
            CoverageOverlay(field.Area(), tx.GetLatitude(), tx.GetLongitude(), txHeight);
        const std::string error = ExportKMZ(*outputs.kmz, finish.image, overlay);
        if (!error.empty()) throw InputError(error);
    }
}

} // namespace

void WarnAboutMissingArea(double fraction, const std::string& what) {
    if (const std::string text = MissingTerrainText(fraction, what); !text.empty())
        Warnings() << "warning: " << text
                   << "; those cells are hatched in the image and KMZ and have no data in the "
                      "GeoTIFF\n";
}

void CheckCoverageDisplay(const Args& args) {
    ReadDisplay(args);
    ParsePalette(args.Value("palette").value_or("ncar"));
}

void DeclareMapSize(OptionList& options) {
    options.Number(limits::coverageRange, true);
    options.Number(limits::coverageResolution);
    options.Value("threads", "INT", "Threads to compute on (default 0: every core)");
}

void DeclareCoverageDisplay(OptionList& options) {
    options.Value("mode", "terrain|colour|mono",
                  "Image's background: shaded terrain, colour or grey heights (default terrain)");
    options.Value("palette", "hsv|dem|jet|dem15|ncar|schwarzwald",
                  "Colour scale of the field strength (default ncar)");
    for (const InputLimit* limit : {&limits::maxFieldStrength, &limits::minFieldStrength,
                                    &limits::maxHeight, &limits::minHeight})
        options.Number(*limit);
    options.Flag("contours", "Draw the terrain's contour lines on the image");
    options.Flag("header", "Begin the coverage file with its header line (the default)");
    options.Flag("no-header", "Leave out the coverage file's header line");
}

void DeclareCoverageFiles(OptionList& options) {
    options.Value("csv", "FILE", "Coverage file: one line a cell");
    options.Value("png", "FILE", "Colour grid: one pixel a cell");
    options.Value("image", "FILE", "Image of the map over the terrain");
    options.Value("scale", "FILE", "Image of the colour scale");
    options.Value("kmz", "FILE", "KMZ of the image, for Google Earth");
    options.Value("geotiff", "FILE", "GeoTIFF of the field strength, one band");
}

MapSize ReadMapSize(const Args& args) {
    if (!args.Value(limits::coverageRange.option))
        throw UsageError(std::string("option --") + limits::coverageRange.option + " is required");
    const double rangeKm = LimitedNumber(args, limits::coverageRange);
    const double resolutionValue = LimitedNumber(args, limits::coverageResolution);
    if (resolutionValue != std::floor(resolutionValue))
        throw UsageError("option --resolution needs a whole number of arc-seconds");
    const int resolution = static_cast<int>(resolutionValue);
    const int threads = args.Integer("threads").value_or(0);
    if (threads < 0) throw UsageError("option --threads must not be negative");
    return {rangeKm, resolution, threads};
}

int WriteCoverageOutputs(const Outputs& outputs, const Args& args, const CoverageField& field,
                         const CoverageInputs& inputs, const LinkOptions& options,
                         std::ostream& out, const CLocator* areaCentre) {
    long long invalid = 0;
    const int n = field.Area().n;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            invalid += field.GridAt(i, j) == noGridValue;
    if (invalid > 0) {
        out << "Calculation failed: " << invalid << " of "
            << static_cast<long long>(n) * static_cast<long long>(n)
            << " cells have no finite field strength; nothing was written\n";
        return 3;
    }
    const CoverageDisplay display = ReadDisplay(args);
    const int paletteType = ParsePalette(args.Value("palette").value_or("ncar"));
    WriteBatch batch; // every output or none
    if (outputs.csv) WriteCsv(*outputs.csv, field, inputs, options, !args.Flag("no-header"));
    if (outputs.geotiff) WriteGeoTiff(*outputs.geotiff, field, inputs);
    if (outputs.png) WriteImage(*outputs.png, ColourGrid(field, display.maxFs, display.minFs));
    if (outputs.image || outputs.scale || outputs.kmz)
        WriteImages(outputs, field, display, paletteType, inputs.tx,
                    areaCentre ? *areaCentre : inputs.tx, inputs.link.htg, options, out);
    Check(batch.Commit());
    return 0;
}

void DeclareCoverage(OptionList& options) {
    options.Value("tx", "TEXT", "Transmitter's location, in the notation of --format");
    DeclareFormat(options);
    DeclareMapSize(options);
    DeclareLinkOptions(options);
    DeclareCoverageFiles(options);
    DeclareCoverageDisplay(options);
    options.Value("block", "I/N", "Compute band I of N of the map's rows only, as a piece");
    options.Value("piece", "FILE", "The piece file of --block, for merge");
    options.Flag("plan", "Print the map's size, cells and memory without computing it");
}

int RunCoverage(const Args& args, std::ostream& out) {
    const LinkOptions options = ReadLinkOptions(args);
    NoteLandCoverEdition(options.settings.landCover, options.settings.edition);
    const MapSize size = ReadMapSize(args);
    const double rangeKm = size.rangeKm;
    const int resolution = size.resolution;
    const int threads = size.threads;
    const bool plan = args.Flag("plan");
    const std::optional<BlockOption> block = ReadBlockOption(args, !plan);
    const Outputs outputs = block || plan ? Outputs{} : ReadCoverageOutputs(args);
    ReadDisplay(args); // its mistakes before the map is computed
    ParsePalette(args.Value("palette").value_or("ncar"));

    const int format = ParseLocatorFormat(args.Value("format").value_or("ngr"));
    const CLocator tx = ReadEnd(args, "tx", format, "TX");
    // A coverage cell never looks the maps up: the defaults, unless given.
    const CalculationInputs gas =
        InputsFor(options, nullptr, nullptr, RefractivitySource::Fallback);

    if (const std::string problem = CoverageAreaProblem(tx, rangeKm, resolution); !problem.empty())
        throw InputError(problem);
    const auto area = CoverageAreaAround(tx, rangeKm, resolution);
    // A block's own figures: its rows only.
    const PlanEntry planned =
        PlanOf(block ? "block " + std::to_string(block->index) + "/" + std::to_string(block->count)
                     : "map",
               *area, threads, args.Value("png").has_value(), block);
    const CoverageEstimate& estimate = planned.estimate;
    if (plan) {
        PrintPlan(out, {planned}, args.Flag("json"));
        return 0;
    }
    if (block)
        PrintPlan(Warnings(), {planned}, false);
    else
        Warnings() << DescribeEstimate(estimate, area->n) << "\n";
    if (const std::uint64_t available = AvailableMemoryBytes();
        available > 0 && estimate.bytes > available)
        throw InputError("the map needs about " + std::to_string(estimate.bytes / 1000000) +
                         " MB but only " + std::to_string(available / 1000000) +
                         " MB of memory are available: choose a smaller range or a coarser "
                         "resolution");
    const auto zones = OpenZoneMap(options); // warns when the zone map cannot be read
    CoverageInputs inputs;
    inputs.tx = tx;
    inputs.link = gas.link;
    inputs.gamma = gas.gamma;
    inputs.tileDirectory = options.tiles;
    const std::filesystem::path zoneFile(options.zoneFile);
    inputs.zoneDirectory = zoneFile.has_parent_path() ? zoneFile.parent_path().string() + "/" : "";
    inputs.zoneFileName = zoneFile.filename().string();
    inputs.threads = threads;
    if (block) SetBlockRows(*block, *area, inputs);

    CoverageJob job(*area, inputs);
    const double seconds = RunJob(job);
    WarnAboutTiles(job.TileProblems());
    WarnAboutLandCover(inputs.link.landCover);
    const JobField field(job);
    const bool json = args.Flag("json");
    // With --json the result is one JSON object: the notes go to stderr.
    std::ostream& notes = json ? Warnings() : out;

    if (const long long invalid = CountCellsWithoutFigure(job); invalid > 0) {
        if (block) notes << "block " << block->index << "/" << block->count << ": ";
        notes << "Calculation failed: " << invalid << " of " << job.CellCount()
              << " cells have no finite field strength; nothing was written\n";
        return 3;
    }
    const long long withoutTerrain = job.CellsWithoutTerrain();
    const double terrainMissing = static_cast<double>(withoutTerrain) / job.CellCount();
    if (block) // a piece: the marks travel in it to merge, which draws them
        WarnAboutMissingTerrain(terrainMissing, "the block");
    else
        WarnAboutMissingArea(terrainMissing, "the area");
    if (block)
        WriteCoveragePiece(*block, job, rangeKm, inputs, options);
    else if (const int status = WriteCoverageOutputs(outputs, args, field, inputs, options, notes))
        return status;
    if (json) {
        out << nlohmann::ordered_json{{"valid", true},
                                      {"cellsASide", area->n},
                                      {"firstRow", job.FirstRow() + 1},
                                      {"rows", job.RowCount()},
                                      {"cells", job.CellCount()},
                                      {"threads", job.ThreadCount()},
                                      {"seconds", seconds},
                                      {"edition", EditionName(inputs.link.edition)},
                                      {"cellsWithoutTerrain", withoutTerrain},
                                      {"terrainMissing", terrainMissing}}
                   .dump()
            << "\n";
        return 0;
    }
    if (block)
        out << "block " << block->index << "/" << block->count << ", rows " << job.FirstRow() + 1
            << "-" << job.FirstRow() + job.RowCount() << ": ";
    out << job.CellCount() << " cells (" << area->n << " x " << area->n << ") on "
        << job.ThreadCount() << " threads in " << FormatFixed(seconds, 6, 2) << " s, "
        << FormatFixed(job.CellCount() / std::max(seconds, 1e-9), 9, 0) << " cells/s"
        << (inputs.link.edition == Edition::P452_18 ? ", ITU-R P.452-18" : "") << "\n";
    return 0;
}

} // namespace kestrova::cli
