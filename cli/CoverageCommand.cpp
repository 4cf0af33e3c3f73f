// kestrova-cli coverage: the field-strength grid around a transmitter for
// 1 kW EIRP, written as the coverage file (and optionally as an image).
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/FileOutput.h"
#include "cli/LinkOptions.h"
#include "coverage/Coverage.h"
#include "coverage/CoverageFile.h"
#include "coverage/CoverageImage.h"
#include "coverage/CoveragePlan.h"
#include "coverage/PngWriter.h"
#include "geo/NumberFormat.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <ostream>
#include <thread>
#include <unistd.h>

namespace kestrova::cli {
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

} // namespace

int RunCoverage(const Words& words, std::ostream& out) {
    std::set<std::string> valueOptions = LinkValueOptions();
    valueOptions.insert(
        {"tx", "format", "range", "resolution", "threads", "csv", "png", "max-fs", "min-fs"});
    std::set<std::string> flags = LinkFlags();
    flags.insert({"header", "no-header"});
    const Args args(words, valueOptions, flags);
    const LinkOptions options = ReadLinkOptions(args);
    if (!args.Value("range")) throw UsageError("option --range is required");
    const double rangeKm = LimitedNumber(args, "range", limits::coverageRange);
    const double resolutionValue = LimitedNumber(args, "resolution", limits::coverageResolution);
    if (resolutionValue != std::floor(resolutionValue))
        throw UsageError("option --resolution needs a whole number of arc-seconds");
    const int resolution = static_cast<int>(resolutionValue);
    const int threads = args.Integer("threads").value_or(0);
    const double maxFs = LimitedNumber(args, "max-fs", limits::maxFieldStrength);
    const double minFs = LimitedNumber(args, "min-fs", limits::minFieldStrength);
    const std::string csv = args.Required("csv");
    if (threads < 0) throw UsageError("option --threads must not be negative");

    const int format = ParseLocatorFormat(args.Value("format").value_or("ngr"));
    const CLocator tx = ReadEnd(args, "tx", format, "TX");
    // A coverage cell never looks the maps up: the defaults, unless given.
    const CalculationInputs gas =
        InputsFor(options, nullptr, nullptr, RefractivitySource::Fallback);

    if (const std::string problem = CoverageAreaProblem(tx, rangeKm, resolution); !problem.empty())
        throw InputError(problem);
    const auto area = CoverageAreaAround(tx, rangeKm, resolution);
    const CoverageEstimate estimate =
        EstimateCoverage(*area, threads, args.Value("png").has_value());
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

    CoverageJob job(*area, inputs);
    const auto start = std::chrono::steady_clock::now();
    job.Start();
    const bool terminal = isatty(fileno(stderr)) != 0;
    while (job.CellsDone() < job.CellCount()) {
        if (terminal) ShowProgress(job);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    job.Wait();
    if (terminal) {
        ShowProgress(job);
        std::fputc('\n', stderr);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    CoverageHeader header;
    header.txLatitude = tx.GetLatitude();
    header.txLongitude = tx.GetLongitude();
    header.frequency = inputs.link.frequency;
    header.txHeight = inputs.link.htg;
    header.rxHeight = inputs.link.hrg;
    header.percent = inputs.link.timePercent;
    header.temperature = options.settings.temperature;
    header.pressure = options.settings.pressure;
    header.humidity = options.settings.humidity;
    if (const long long invalid = CountCellsWithoutFigure(job); invalid > 0) {
        out << "Calculation failed: " << invalid << " of " << job.CellCount()
            << " cells have no finite field strength; nothing was written\n";
        return 3;
    }
    Check(WriteCoverageFile(csv, job, header, !args.Flag("no-header")));
    if (const auto png = args.Value("png")) {
        const std::string bytes =
            EncodePng(area->n, area->n, CoverageColourPixels(job, maxFs, minFs));
        if (bytes.empty()) throw InputError("could not encode the image");
        WriteFileSafely(*png, bytes);
    }
    out << job.CellCount() << " cells (" << area->n << " x " << area->n << ") on "
        << job.ThreadCount() << " threads in " << FormatFixed(seconds, 6, 2) << " s, "
        << FormatFixed(job.CellCount() / std::max(seconds, 1e-9), 9, 0) << " cells/s\n";
    return 0;
}

} // namespace kestrova::cli
