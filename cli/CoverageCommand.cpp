// kestrova-cli coverage: the field-strength grid around a transmitter for
// 1 kW EIRP, written as the coverage file (and optionally as an image).
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/FileOutput.h"
#include "cli/LinkOptions.h"
#include "coverage/Coverage.h"
#include "coverage/CoverageFile.h"
#include "coverage/CoverageImage.h"
#include "coverage/PngWriter.h"
#include "geo/NumberFormat.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
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
    LinkOptions options = ReadLinkOptions(args);
    const double rangeKm = args.RequiredNumber("range");
    const int resolution = args.Integer("resolution").value_or(30);
    const int threads = args.Integer("threads").value_or(0);
    const double maxFs = args.Number("max-fs", 100.0);
    const double minFs = args.Number("min-fs", -20.0);
    const std::string csv = args.Required("csv");
    if (!(rangeKm >= 1 && rangeKm <= 3000))
        throw UsageError("option --range must lie between 1 and 3000");
    if (resolution < 1 || resolution > 3600)
        throw UsageError("option --resolution must lie between 1 and 3600");
    if (threads < 0) throw UsageError("option --threads must not be negative");

    const int format = ParseLocatorFormat(args.Value("format").value_or("ngr"));
    const CLocator tx = ReadEnd(args, "tx", format, "TX");
    // A coverage cell never looks the maps up: the last link's values, or
    // the defaults, unless given.
    ChooseRefractivityInputs(options, nullptr, nullptr, false);
    const GasFigures gas = Gas(options);

    const auto area = CoverageAreaAround(tx, rangeKm, resolution);
    if (!area)
        throw InputError("the area holds fewer than 5 x 5 cells, or more than " +
                         std::to_string(maxCoverageCells) + " a side, at this resolution");
    CoverageInputs inputs;
    inputs.tx = tx;
    inputs.link = options.inputs;
    inputs.gamma = gas.gamma;
    inputs.tileDirectory = options.tiles;
    inputs.zoneDirectory = options.zonesDirectory;
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
    header.frequency = options.inputs.frequency;
    header.txHeight = options.inputs.htg;
    header.rxHeight = options.inputs.hrg;
    header.percent = options.inputs.timePercent;
    header.temperature = options.temperature;
    header.pressure = options.pressure;
    header.humidity = options.humidity;
    WriteFileSafely(csv, CoverageFileText(job, header, !args.Flag("no-header")));
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
