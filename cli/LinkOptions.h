// Options shared by the commands that run the engine (link, radial,
// coverage): radio and weather inputs with the window's limits and
// defaults, and the data locations.
#pragma once

#include "cli/Args.h"
#include "propagation/engine/Terrain.h"

#include <optional>
#include <set>
#include <string>

namespace kestrova::cli {

// A numeric input of a calculation and the limits the window enforces.
struct InputLimit {
    const char* option;
    double minimum;
    double maximum;
    double initial;
};

// Frequency GHz, time %, antenna heights m, weather, k-factor.
extern const InputLimit kFrequency, kPercent, kTxHeight, kRxHeight, kTemperature, kPressure,
    kHumidity, kKFactor;

struct LinkOptions {
    LinkInputs inputs;       // n0 and deltaN filled in by ChooseInputs
    double temperature = 20; // °C
    double pressure = 1000;  // hPa
    double humidity = 50;    // %
    std::optional<double> forcedK;
    std::optional<double> n0;
    std::optional<double> deltaN;
    bool interpolate = false;
    std::string tiles;          // directory with a trailing '/', "" the working directory
    std::string zonesDirectory; // the directory of --zones FILE, trailing '/' ("" working dir)
};

// The option names LinkOptions reads, for Args.
std::set<std::string> LinkValueOptions();
std::set<std::string> LinkFlags();
LinkOptions ReadLinkOptions(const Args& args);

// N0 and ΔN of the calculation: --n0 and --delta-n when given, else the
// radio-climate maps at the path centre (when both ends are given and the
// maps are found), else 320 N-units and 45 N/km; a fixed k-factor then
// sets ΔN. interpolateMaps blends the map nodes (link) or takes the nearest
// (radial).
void ChooseRefractivityInputs(LinkOptions& options, const CLocator* tx, const CLocator* rx,
                              bool interpolateMaps);

// A location option in the given format; InputError naming the end ("TX",
// "RX") when the text is not valid.
CLocator ReadEnd(const Args& args, const char* option, int format, const char* end);

// Water-vapour density (g/m3) and specific attenuation (dB/km) of the
// options' weather at their frequency.
struct GasFigures {
    double rho = 0.0;
    double gamma = 0.0;
};
GasFigures Gas(const LinkOptions& options);

} // namespace kestrova::cli
