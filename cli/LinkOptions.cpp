#include "cli/LinkOptions.h"

#include "geo/FileLocations.h"
#include "geo/NumberFormat.h"
#include "propagation/P676.h"
#include "propagation/Refractivity.h"
#include "propagation/engine/EngineInputs.h"

#include <filesystem>

namespace kestrova::cli {

const InputLimit kFrequency{"freq", 0.025, 300, 10.368};
const InputLimit kPercent{"percent", 0.0001, 50, 50};
const InputLimit kTxHeight{"tx-height", 1, 10000, 10};
const InputLimit kRxHeight{"rx-height", 1, 1000, 10};
const InputLimit kTemperature{"temperature", -100, 100, 20};
const InputLimit kPressure{"pressure", 0.0001, 2000, 1000};
const InputLimit kHumidity{"humidity", 0, 100, 50};
const InputLimit kKFactor{"k-factor", 0.01, 100, 1.333};

namespace {

double Limited(const Args& args, const InputLimit& limit) {
    const double value = args.Number(limit.option, limit.initial);
    if (value < limit.minimum || value > limit.maximum)
        throw UsageError("option --" + std::string(limit.option) + " must lie between " +
                         FormatGeneral(limit.minimum, 6) + " and " +
                         FormatGeneral(limit.maximum, 6));
    return value;
}

} // namespace

std::set<std::string> LinkValueOptions() {
    return {"freq",     "percent",  "tx-height", "rx-height", "temperature", "pressure",
            "humidity", "k-factor", "n0",        "delta-n",   "tiles",       "zones"};
}

std::set<std::string> LinkFlags() {
    return {"interpolate", "json"};
}

LinkOptions ReadLinkOptions(const Args& args) {
    LinkOptions options;
    options.inputs.frequency = Limited(args, kFrequency);
    options.inputs.timePercent = Limited(args, kPercent);
    options.inputs.htg = Limited(args, kTxHeight);
    options.inputs.hrg = Limited(args, kRxHeight);
    options.temperature = Limited(args, kTemperature);
    options.pressure = Limited(args, kPressure);
    options.humidity = Limited(args, kHumidity);
    if (args.Value("k-factor")) options.forcedK = Limited(args, kKFactor);
    options.n0 = args.Number("n0");
    options.deltaN = args.Number("delta-n");
    if (options.deltaN && !(*options.deltaN < 157.0))
        throw UsageError("option --delta-n must be below 157 N-units/km");
    options.interpolate = args.Flag("interpolate");
    options.tiles = args.Value("tiles").value_or("");
    if (!options.tiles.empty() && options.tiles.back() != '/') options.tiles += '/';
    // The zone map is read as <directory>/zones01.dem.
    const std::filesystem::path zones =
        args.Value("zones").value_or(ExecutableDirectory() + "zones01.dem");
    options.zonesDirectory = zones.has_parent_path() ? zones.parent_path().string() + "/" : "";
    return options;
}

CLocator ReadEnd(const Args& args, const char* option, int format, const char* end) {
    const std::string text = args.Required(option);
    CLocator location(text, format);
    if (!location.IsValid())
        throw InputError(std::string("Invalid ") + end + " Locator: \"" + text +
                         "\" is not a valid " + LocatorFormatName(format));
    return location;
}

void ChooseRefractivityInputs(LinkOptions& options, const CLocator* tx, const CLocator* rx,
                              bool interpolateMaps) {
    RefractivityChoice choice;
    if (tx && rx && !(options.n0 && options.deltaN)) {
        const CRefractivity maps;
        choice =
            ChooseRefractivity(&maps, *tx, *rx, false, interpolateMaps, 320.0, 45.0, std::nullopt);
    }
    options.inputs.n0 = options.n0.value_or(choice.n0);
    options.inputs.deltaN = options.deltaN.value_or(choice.deltaN);
    if (options.forcedK) options.inputs.deltaN = (1.0 - 1.0 / *options.forcedK) * 157.0;
}

GasFigures Gas(const LinkOptions& options) {
    GasFigures gas;
    gas.rho = P676::WaterVapourDensity(options.humidity, options.temperature, true);
    gas.gamma = P676::GaseousAttenuation(options.inputs.frequency, options.pressure,
                                         options.temperature, gas.rho);
    return gas;
}

} // namespace kestrova::cli
