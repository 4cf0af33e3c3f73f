// kestrova-cli coverage-batch: the coverage map of every site of a site
// file, each on the one grid the sites share (coverage/CoverageSites.h),
// and their composite: the strongest field strength at each cell and the
// site that gives it, as a two-band GeoTIFF and a KMZ with a legend.
//
// In the output folder, for site K (its place among the file's sites, from
// 1): site-K.csv, site-K.png (the map image), site-K.kmz, site-K.tif and
// site-K.grid (its exact grid, which the composite is built from); and
// composite.tif and composite.kmz. --site K computes site K alone (one
// task of a cluster); --composite-only builds the composite from the
// site-K.grid files of every site. A site that fails is named with the
// --site K that runs it again, the other sites go on, and no composite is
// written; the exit status is 3 when only the engine failed, else 2.
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/CoverageOutputs.h"
#include "cli/CoveragePieceOutput.h"
#include "cli/FileOutput.h"
#include "cli/ImageOutput.h"
#include "cli/LandCoverOptions.h"
#include "cli/LinkOptions.h"
#include "coverage/Coverage.h"
#include "coverage/CoveragePlan.h"
#include "coverage/CoverageSites.h"
#include "coverage/GeoTiff.h"
#include "coverage/KmzExport.h"
#include "files/InputFile.h"
#include "geo/NumberFormat.h"
#include "propagation/Refractivity.h"
#include "propagation/engine/MissingTerrain.h"
#include "sites/Sites.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kestrova::cli {
namespace {

// A site's map with cells the engine gave no figure: exit status 3, as
// `coverage`'s.
struct CalculationFailed : InputError {
    using InputError::InputError;
};

struct BatchSite {
    int number = 1; // 1-based, the site's place among the file's sites
    std::string name;
    CLocator tx;
    LinkOptions options; // the site's own height and frequency where it has them
    CoverageArea own;    // its own square, centred on it
    SiteSquare square;   // that square on the shared grid
};

std::string Label(const BatchSite& site) {
    return "site " + std::to_string(site.number) + " \"" + site.name + "\"";
}

std::string SitePath(const std::string& dir, int number, const char* suffix) {
    return (std::filesystem::path(dir) / ("site-" + std::to_string(number) + suffix)).string();
}

// A whole number from 1 to count, all digits.
int SiteNumber(const std::string& text, int count, const std::string& file) {
    const bool digits = !text.empty() && text.size() <= 9 &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    const int value = digits ? std::stoi(text) : 0;
    if (value < 1 || value > count)
        throw UsageError("option --site must be a site's number from 1 to " +
                         std::to_string(count) + " (the sites of " + file + "), not \"" + text +
                         "\"");
    return value;
}

// The site's height and frequency in place of the options' where the file
// gives them within the inputs' limits.
LinkOptions OptionsFor(const CSite& site, const LinkOptions& base, const std::string& label) {
    LinkOptions options = base;
    if (site.HasMastHeight()) {
        if (limits::txHeight.Contains(site.GetMastHeight()))
            options.settings.htg = site.GetMastHeight();
        else
            Warnings() << "warning: " << label << ": its antenna height "
                       << FormatGeneral(site.GetMastHeight(), 8) << " m "
                       << limits::txHeight.RangeText() << "; the option's "
                       << FormatGeneral(base.settings.htg, 8) << " m is used\n";
    }
    if (site.HasFrequency()) {
        if (limits::frequency.Contains(site.GetFrequency()))
            options.settings.frequency = site.GetFrequency();
        else
            Warnings() << "warning: " << label << ": its frequency "
                       << FormatGeneral(site.GetFrequency(), 8) << " GHz "
                       << limits::frequency.RangeText() << "; the option's "
                       << FormatGeneral(base.settings.frequency, 8) << " GHz is used\n";
    }
    return options;
}

struct SiteInputs {
    CoverageInputs inputs;
    CoverageMapInputs map;
};

SiteInputs InputsOf(const BatchSite& site, double rangeKm, int threads) {
    const CRefractivity maps;
    // A coverage cell never looks the maps up: the defaults, unless given.
    const CalculationInputs gas =
        BuildCalculationInputs(site.options.settings, &maps, nullptr, nullptr,
                               RefractivitySource::Fallback, RefractivityFallback{});
    if (!gas.Usable()) throw InputError(gas.problem);
    SiteInputs result;
    CoverageInputs& inputs = result.inputs;
    inputs.tx = site.tx;
    inputs.link = gas.link;
    inputs.gamma = gas.gamma;
    inputs.tileDirectory = site.options.tiles;
    const std::filesystem::path zoneFile(site.options.zoneFile);
    inputs.zoneDirectory = zoneFile.has_parent_path() ? zoneFile.parent_path().string() + "/" : "";
    inputs.zoneFileName = zoneFile.filename().string();
    inputs.threads = threads;
    CoverageMapInputs& map = result.map;
    map.txLatitude = site.tx.GetLatitude();
    map.txLongitude = site.tx.GetLongitude();
    map.rangeKm = rangeKm;
    map.area = site.square.area;
    map.link = gas.link;
    map.gamma = gas.gamma;
    map.temperature = site.options.settings.temperature;
    map.pressure = site.options.settings.pressure;
    map.humidity = site.options.settings.humidity;
    map.landCover = LandCoverText(gas.link);
    return result;
}

CoverageOutputs SiteOutputs(const std::string& dir, int number) {
    CoverageOutputs outputs;
    outputs.csv = SitePath(dir, number, ".csv");
    outputs.image = SitePath(dir, number, ".png");
    outputs.kmz = SitePath(dir, number, ".kmz");
    outputs.geotiff = SitePath(dir, number, ".tif");
    return outputs;
}

// A site's grid, row by row, and its cells without terrain.
struct SiteCells {
    std::vector<std::int16_t> cells;
    CellMask noTerrain;
};

// Computes a site's map and writes its files; its grid, row by row.
// InputError when it cannot be computed or written; CalculationFailed
// when a cell has no figure.
SiteCells ComputeSite(const BatchSite& site, const SiteInputs& inputs, const Args& args,
                      const std::string& dir, int siteCount, std::ostream& out) {
    const auto start = std::chrono::steady_clock::now();
    CoverageJob job(site.square.area, inputs.inputs);
    job.Start();
    job.Wait();
    WarnAboutTiles(job.TileProblems());
    if (const long long invalid = CountCellsWithoutFigure(job); invalid > 0)
        throw CalculationFailed("Calculation failed: " + std::to_string(invalid) + " of " +
                                std::to_string(job.CellCount()) +
                                " cells have no finite field strength");
    const int n = site.square.area.n;
    std::vector<std::int16_t> cells(static_cast<size_t>(n) * static_cast<size_t>(n));
    CellMask noTerrain;
    if (job.CellsWithoutTerrain() > 0) noTerrain = CellMask(cells.size());
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const size_t k =
                static_cast<size_t>(i) * static_cast<size_t>(n) + static_cast<size_t>(j);
            cells[k] = job.GridAt(i, j);
            if (noTerrain.Size() > 0 && job.NoTerrainAt(i, j)) noTerrain.Set(k);
        }
    const JobField field(job);
    WarnAboutMissingArea(field.TerrainMissing(), Label(site) + "'s area");
    // A square moved onto the shared grid is no longer centred on the site:
    // its terrain is drawn around its own centre.
    const CoverageArea& area = site.square.area;
    const CLocator centre(area.north - area.extent / 2.0, area.west + area.extent / 2.0);
    const bool moved = area.north != site.own.north || area.west != site.own.west;
    WriteCoverageOutputs(SiteOutputs(dir, site.number), args, field, inputs.inputs, site.options,
                         out, moved ? &centre : nullptr);
    WriteFileSafely(
        SitePath(dir, site.number, ".grid"),
        EncodeSiteGrid({site.number, siteCount, site.name, inputs.map, cells, noTerrain}));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    out << Label(site) << ": " << job.CellCount() << " cells (" << n << " x " << n << ") on "
        << job.ThreadCount() << " threads in " << FormatFixed(seconds, 6, 2) << " s\n";
    return {std::move(cells), std::move(noTerrain)};
}

// The site's grid from its site-K.grid, checked against this run's inputs.
SiteCells ReadSiteGrid(const BatchSite& site, const SiteInputs& inputs, const std::string& dir,
                       int siteCount) {
    const std::string path = SitePath(dir, site.number, ".grid");
    const std::size_t most =
        (std::size_t{1} << 20) +
        2 * static_cast<std::size_t>(maxCoverageCells) * static_cast<std::size_t>(maxCoverageCells);
    std::string bytes;
    std::string problem;
    if (!ReadWholeFile(path, most, bytes, problem))
        throw InputError("its grid " + path + " " + problem + " (compute it with --site " +
                         std::to_string(site.number) + ")");
    std::string error;
    auto grid = DecodeSiteGrid(bytes, error);
    if (!grid) throw InputError(path + " is " + error);
    std::string mismatch;
    if (grid->site != site.number || grid->siteCount != siteCount)
        mismatch =
            "it is site " + std::to_string(grid->site) + " of " + std::to_string(grid->siteCount);
    else if (grid->name != site.name)
        mismatch = "it is the grid of \"" + grid->name + "\"";
    else
        mismatch = SiteGridMismatch(*grid, inputs.map);
    if (!mismatch.empty())
        throw InputError(path + " is not this run's map of the site (" + mismatch +
                         "): compute it again with --site " + std::to_string(site.number));
    return {std::move(grid->cells), std::move(grid->noTerrain)};
}

void WriteComposite(const BestServer& best, const std::vector<BatchSite>& sites, const Args& args,
                    const std::string& dir, std::ostream& out) {
    std::vector<std::string> names;
    std::vector<unsigned int> colours;
    std::vector<KmlSite> legend;
    for (const BatchSite& site : sites) {
        names.push_back(site.name);
        colours.push_back(SiteColour(site.number - 1));
        legend.push_back({site.name, site.tx.GetLatitude(), site.tx.GetLongitude(),
                          site.options.settings.htg, colours.back()});
    }
    const std::string tif = (std::filesystem::path(dir) / "composite.tif").string();
    const std::string kmz = (std::filesystem::path(dir) / "composite.kmz").string();
    const double minFs = LimitedNumber(args, limits::minFieldStrength);
    WriteBatch batch; // both files or neither
    if (const std::string error = WriteBestServerGeoTiff(tif, best, names); !error.empty())
        throw InputError(error);
    const KmlOverlay box = CoverageOverlay(best.Area(), 0.0, 0.0, 0.0);
    if (const std::string error =
            ExportBestServerKMZ(kmz, BestServerImage(best, colours, minFs), box, legend);
        !error.empty())
        throw InputError(error);
    Check(batch.Commit());
    std::vector<long long> cellsOf(sites.size() + 1, 0);
    for (const std::uint16_t server : best.Servers())
        ++cellsOf[std::min<size_t>(server, sites.size())];
    out << "composite: " << best.Area().n << " x " << best.Area().n << " cells, best server";
    for (size_t k = 0; k < sites.size(); ++k)
        out << (k == 0 ? " " : ", ") << "site " << k + 1 << " at " << cellsOf[k + 1];
    out << ", none at " << cellsOf[0] << "\n";
    if (const std::string text =
            MissingTerrainText(static_cast<double>(best.CellsWithoutTerrain()) /
                                   static_cast<double>(best.Strongest().size()),
                               "the composite");
        !text.empty())
        Warnings() << "warning: " << text << "; those cells have no data in composite.tif\n";
}

struct Batch {
    std::vector<BatchSite> sites;
    CoverageArea composite;
};

Batch ReadBatchSites(const CSites& file, const LinkOptions& base, double rangeKm, int resolution) {
    if (file.GetCount() > 65535)
        throw InputError("the site file holds " + std::to_string(file.GetCount()) +
                         " sites, more than the 65535 one composite can tell apart: split it");
    std::vector<BatchSite> sites;
    std::vector<CoverageArea> areas;
    for (int k = 0; k < file.GetCount(); ++k) {
        const CSite& entry = file.GetSite(k);
        BatchSite site;
        site.number = k + 1;
        site.name = entry.GetName();
        site.tx = CLocator(entry.GetLatitude(), entry.GetLongitude());
        site.options = OptionsFor(entry, base, Label(site));
        if (const std::string problem = CoverageAreaProblem(site.tx, rangeKm, resolution);
            !problem.empty())
            throw InputError(Label(site) + ": " + problem);
        site.own = *CoverageAreaAround(site.tx, rangeKm, resolution);
        areas.push_back(site.own);
        sites.push_back(site);
    }
    std::string error;
    const auto grid = ShareOneGrid(areas, error);
    if (!grid) throw InputError(error);
    for (size_t k = 0; k < sites.size(); ++k)
        sites[k].square = grid->sites[k];
    return {sites, grid->composite};
}

} // namespace

void DeclareCoverageBatch(OptionList& options) {
    DeclareMapSize(options);
    options.Value("out-dir", "DIR", "Directory for the maps' files (default the working one)");
    options.Value("site", "K", "Compute the map of site K (1 the first) only");
    options.Flag("composite-only", "Write the best-server composite only");
    DeclareLinkOptions(options);
    DeclareCoverageDisplay(options);
    options.Flag("plan", "Print the maps' size, cells and memory without computing them");
    options.Positional("SITES_FILE", "The site file");
}

int RunCoverageBatch(const Args& args, std::ostream& out) {
    if (args.Positional().size() != 1) throw UsageError("give one site file");
    const std::string siteFile = args.Positional().front();
    const LinkOptions base = ReadLinkOptions(args);
    NoteLandCoverEdition(base.settings.landCover, base.settings.edition);
    const MapSize size = ReadMapSize(args);
    const double rangeKm = size.rangeKm;
    const int resolution = size.resolution;
    const int threads = size.threads;
    const bool compositeOnly = args.Flag("composite-only");
    if (compositeOnly && args.Value("site"))
        throw UsageError("give --site K (one site's map) or --composite-only, not both");
    CheckCoverageDisplay(args);

    const CSites file(siteFile);
    if (!file.WasRead()) throw InputError("site file " + siteFile + ": " + file.GetError());
    for (const SkippedLine& skipped : file.GetSkipped())
        Warnings() << "warning: " << siteFile << " line " << skipped.line
                   << " is not a site: " << skipped.reason << "\n";
    if (file.GetCount() == 0) throw InputError("site file " + siteFile + " holds no site");
    const int siteCount = file.GetCount();
    // The one site to compute, 0 for all.
    const int only = args.Value("site") ? SiteNumber(*args.Value("site"), siteCount, siteFile) : 0;
    const Batch batch = ReadBatchSites(file, base, rangeKm, resolution);
    const std::vector<BatchSite>& sites = batch.sites;
    const CoverageArea& compositeArea = batch.composite;

    if (args.Flag("plan")) {
        std::vector<PlanEntry> entries;
        for (const BatchSite& site : sites)
            if (only == 0 || only == site.number)
                entries.push_back(PlanOf(Label(site), site.square.area, threads, true, {}));
        if (only == 0) {
            PlanEntry composite = PlanOf("composite", compositeArea, 1, true, {});
            composite.estimate.seconds = 0.0; // no paths: the sites' grids folded together
            entries.push_back(composite);
        }
        PrintPlan(out, entries, args.Flag("json"));
        return 0;
    }

    const std::string dir = args.Value("out-dir").value_or(".");
    std::error_code made;
    std::filesystem::create_directories(dir, made);
    if (!std::filesystem::is_directory(dir))
        throw InputError("output folder \"" + dir + "\" cannot be made" +
                         (made ? ": " + made.message() : std::string()));
    std::vector<OutputTarget> targets;
    for (const BatchSite& site : sites) {
        if (compositeOnly || (only != 0 && only != site.number)) continue;
        for (const char* suffix : {".csv", ".png", ".kmz", ".tif", ".grid"})
            targets.push_back({std::string("site ") + std::to_string(site.number) + suffix,
                               SitePath(dir, site.number, suffix)});
    }
    if (only == 0)
        for (const char* name : {"composite.tif", "composite.kmz"})
            targets.push_back({name, (std::filesystem::path(dir) / name).string()});
    CheckOutputTargets(targets); // before any map is computed
    if (const std::uint64_t available = AvailableMemoryBytes(); available > 0)
        for (const BatchSite& site : sites) {
            if (compositeOnly || (only != 0 && only != site.number)) continue;
            const std::uint64_t bytes = EstimateCoverage(site.square.area, threads, true).bytes;
            if (bytes > available)
                throw InputError(Label(site) + ": its map needs about " +
                                 std::to_string(bytes / 1000000) + " MB but only " +
                                 std::to_string(available / 1000000) +
                                 " MB of memory are available: choose a smaller range or a "
                                 "coarser resolution");
        }

    InputsFor(base, nullptr, nullptr, RefractivitySource::Fallback); // notes the defaults
    OpenZoneMap(base); // warns when the zone map cannot be read
    BestServer best(compositeArea);
    struct Failure {
        const BatchSite* site;
        std::string message;
        bool calculation; // the engine's, not the input's
    };
    std::vector<Failure> failures;
    for (const BatchSite& site : sites) {
        if (only != 0 && only != site.number) continue;
        try {
            const SiteInputs inputs = InputsOf(site, rangeKm, threads);
            const SiteCells grid = compositeOnly
                                       ? ReadSiteGrid(site, inputs, dir, siteCount)
                                       : ComputeSite(site, inputs, args, dir, siteCount, out);
            if (only == 0) {
                best.Add(site.number - 1, site.square, grid.cells);
                best.AddNoTerrain(site.square, grid.noTerrain);
            }
        } catch (const InputError& e) {
            failures.push_back(
                {&site, e.what(), dynamic_cast<const CalculationFailed*>(&e) != nullptr});
            if (compositeOnly) break; // no composite without every site
        }
    }
    if (!failures.empty()) {
        bool calculation = true;
        for (const Failure& failure : failures) {
            Warnings() << Label(*failure.site) << " failed: " << failure.message
                       << "\n  run it alone: kestrova-cli coverage-batch " << siteFile << " --site "
                       << failure.site->number << " with the same options\n";
            calculation = calculation && failure.calculation;
        }
        Warnings() << "kestrova-cli coverage-batch: "
                   << (only != 0
                           ? "the site's map was not made"
                           : std::to_string(failures.size()) + " of " + std::to_string(siteCount) +
                                 " sites failed: the composite was not written")
                   << "\n";
        return calculation ? 3 : 2;
    }
    WarnAboutLandCover(base.settings.landCover);
    if (only == 0) WriteComposite(best, sites, args, dir, out);
    return 0;
}

} // namespace kestrova::cli
