// kestrova-cli coverage: the field-strength grid around a transmitter for
// 1 kW EIRP, written as the coverage file, the map image and its scale bar
// as the window draws them, a KMZ overlay and a GeoTIFF.
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/FileOutput.h"
#include "cli/LinkOptions.h"
#include "coverage/Coverage.h"
#include "coverage/CoverageFile.h"
#include "coverage/CoverageImage.h"
#include "coverage/GeoTiff.h"
#include "coverage/KmzExport.h"
#include "geo/NumberFormat.h"
#include "maps/Palette.h"
#include "terrain/SRTM.h"

#include <QBuffer>
#include <QByteArray>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>
#include <ostream>
#include <thread>
#include <unistd.h>

namespace kestrova::cli {
namespace {

const InputLimit kMaxFs{"max-fs", -199, 200, 100};
const InputLimit kMinFs{"min-fs", -200, 199, -20};
const InputLimit kMaxHeight{"max-height", 0, 10000, 500};
const InputLimit kMinHeight{"min-height", -1000, 10000, 0};

double Limited(const Args& args, const InputLimit& limit) {
    const double value = args.Number(limit.option, limit.initial);
    if (!(value >= limit.minimum && value <= limit.maximum))
        throw UsageError("option --" + std::string(limit.option) + " must lie between " +
                         FormatGeneral(limit.minimum, 6) + " and " +
                         FormatGeneral(limit.maximum, 6));
    return value;
}

struct Outputs {
    std::optional<std::string> csv;
    std::optional<std::string> png; // one pixel a cell, colour map
    std::optional<std::string> image;
    std::optional<std::string> scale;
    std::optional<std::string> kmz;
    std::optional<std::string> geotiff;

    bool NeedImage() const { return image || kmz; }
    bool Any() const { return csv || png || image || scale || kmz || geotiff; }
};

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
    display.maxFs = Limited(args, kMaxFs);
    display.minFs = Limited(args, kMinFs);
    display.maxHeight = Limited(args, kMaxHeight);
    display.minHeight = Limited(args, kMinHeight);
    return display;
}

Outputs ReadOutputs(const Args& args) {
    Outputs outputs{args.Value("csv"),   args.Value("png"), args.Value("image"),
                    args.Value("scale"), args.Value("kmz"), args.Value("geotiff")};
    if (!outputs.Any())
        throw UsageError("nothing to write: give --csv, --image, --scale, --kmz, --geotiff or "
                         "--png");
    return outputs;
}

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

// Runs the job to its end; the seconds it took.
double RunJob(CoverageJob& job) {
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
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// PNG, or JPEG or BMP by the file's extension.
std::string EncodeImage(const QImage& image, const std::string& path) {
    std::string suffix = path.substr(
        path.find_last_of('.') == std::string::npos ? path.size() : path.find_last_of('.') + 1);
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const char* format = suffix == "jpg" || suffix == "jpeg" ? "JPG"
                         : suffix == "bmp"                   ? "BMP"
                                                             : "PNG";
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, format))
        throw InputError("could not encode the image for \"" + path + "\"");
    return bytes.toStdString();
}

// One pixel a cell, colour map.
QImage ColourGrid(const CoverageField& field, double maxFs, double minFs) {
    const int n = field.Area().n;
    QImage image(n, n, QImage::Format_RGB32);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            image.setPixel(j, i, CoverageColour(field.Value(i, j), maxFs, minFs).ToArgb());
    return image;
}

void WriteCsv(const std::string& path, const CoverageField& field, const LinkOptions& options,
              const CLocator& tx, bool withHeader) {
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
    WriteFileSafely(path, CoverageFileText(field, header, withHeader));
}

void WriteGeoTiff(const std::string& path, const CoverageField& field, const LinkOptions& options,
                  const CLocator& tx) {
    GeoTiffLink link;
    link.frequency = options.inputs.frequency;
    link.txHeight = options.inputs.htg;
    link.rxHeight = options.inputs.hrg;
    link.percent = options.inputs.timePercent;
    link.txLatitude = tx.GetLatitude();
    link.txLongitude = tx.GetLongitude();
    const std::string error = WriteCoverageGeoTiff(path, field, link);
    if (!error.empty()) throw InputError(error);
}

// The map image, its scale bar and the KMZ made from the image, as the
// window makes them after a walk that ran to its end, over the terrain of
// the area in the highlighted-terrain mode.
void WriteImages(const Outputs& outputs, const CoverageField& field, const CoverageDisplay& display,
                 int paletteType, const CLocator& tx, const LinkOptions& options,
                 std::ostream& out) {
    const CPalette palette(paletteType);
    QImage terrain;
    if (display.mode == CoverageMode::Terrain && outputs.NeedImage()) {
        CSRTM store(9, options.tiles);
        const RenderedTerrain rendered =
            CoverageTerrain({store, palette, options.interpolate}, field.Area(), tx, display);
        if (rendered.imageFailed) throw InputError("could not make the terrain image");
        terrain = rendered.bitmap;
    }
    const CoverageFinish finish = FinishCoverage(field, terrain, display, palette, false);
    if (outputs.image) WriteFileSafely(*outputs.image, EncodeImage(finish.image, *outputs.image));
    if (outputs.scale) {
        WriteFileSafely(*outputs.scale, EncodeImage(finish.scale.bitmap, *outputs.scale));
        out << "scale from " << finish.scale.maxText << " (top) to " << finish.scale.minText
            << " (bottom)\n";
    }
    if (outputs.kmz) {
        const CoverageArea& a = field.Area();
        const KmlOverlay overlay{
            a.north,           a.south,           a.east, a.west, tx.GetLatitude(),
            tx.GetLongitude(), options.inputs.htg};
        const std::string error = ExportKMZ(*outputs.kmz, finish.image, overlay);
        if (!error.empty()) throw InputError(error);
    }
}

} // namespace

int RunCoverage(const Words& words, std::ostream& out) {
    std::set<std::string> valueOptions = LinkValueOptions();
    valueOptions.insert({"tx", "format", "range", "resolution", "threads", "csv", "png", "image",
                         "scale", "kmz", "geotiff", "mode", "palette", "max-fs", "min-fs",
                         "max-height", "min-height"});
    std::set<std::string> flags = LinkFlags();
    flags.insert({"header", "no-header", "contours"});
    const Args args(words, valueOptions, flags);
    LinkOptions options = ReadLinkOptions(args);
    const double rangeKm = args.RequiredNumber("range");
    const int resolution = args.Integer("resolution").value_or(30);
    const int threads = args.Integer("threads").value_or(0);
    if (!(rangeKm >= 1 && rangeKm <= 3000))
        throw UsageError("option --range must lie between 1 and 3000");
    if (resolution < 1 || resolution > 3600)
        throw UsageError("option --resolution must lie between 1 and 3600");
    if (threads < 0) throw UsageError("option --threads must not be negative");
    const Outputs outputs = ReadOutputs(args);
    const CoverageDisplay display = ReadDisplay(args);
    const int paletteType = ParsePalette(args.Value("palette").value_or("ncar"));

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
    const double seconds = RunJob(job);
    const JobField field(job);

    if (outputs.csv) WriteCsv(*outputs.csv, field, options, tx, !args.Flag("no-header"));
    if (outputs.geotiff) WriteGeoTiff(*outputs.geotiff, field, options, tx);
    if (outputs.png)
        WriteFileSafely(*outputs.png,
                        EncodeImage(ColourGrid(field, display.maxFs, display.minFs), *outputs.png));
    if (outputs.image || outputs.scale || outputs.kmz)
        WriteImages(outputs, field, display, paletteType, tx, options, out);
    out << job.CellCount() << " cells (" << area->n << " x " << area->n << ") on "
        << job.ThreadCount() << " threads in " << FormatFixed(seconds, 6, 2) << " s, "
        << FormatFixed(job.CellCount() / std::max(seconds, 1e-9), 9, 0) << " cells/s\n";
    return 0;
}

} // namespace kestrova::cli
