#include "inputs/InputLimits.h"

#include "propagation/common/KFactor.h" // header only: constant expressions

#include <array>
#include <cstdio>

namespace kestrova {
namespace {

constexpr double kMin = 0.01;
constexpr double kMax = 100.0;
// The lapse rates of those k-factors.
constexpr double deltaNMin = p452::DeltaNOfKFactor(kMin);
constexpr double deltaNMax = p452::DeltaNOfKFactor(kMax);

// clang-format off
constexpr std::array<InputLimit, 35> table{{
    // name, decimals, minimum, maximum, initial, integer, unit, field, reset,
    //  settings key, option, description
    // Input Data: the link.
    {"FREQ", 3, 0.025, 300, 10.368, false, "GHz", true, 10.368,
     "LinkData:Frequency", "freq",
     "Frequency of the link"},
    {"RX_H", 1, 1, 1000, 10, false, "m", true, 10,
     "LinkData:RX_Height", "rx-height",
     "Receiving antenna's height above ground"},
    {"TX_H", 1, 1, 10000, 10, false, "m", true, 10,
     "LinkData:TX_Height", "tx-height",
     "Transmitting antenna's height above ground"},
    {"RH", 3, 0, 100, 50, false, "%", true, 50,
     "LinkData:RelativeHumidity", "humidity",
     "Relative humidity of the air, for the gaseous absorption"},
    {"TEMPERATURE", 1, -100, 100, 20, false, "C", true, 20,
     "LinkData:Temperature", "temperature",
     "Air temperature, for the gaseous absorption"},
    {"PRESSURE", 1, 0.0001, 2000, 1000, false, "hPa", true, 1000,
     "LinkData:Pressure", "pressure",
     "Atmospheric pressure, for the gaseous absorption"},
    {"Percent", 3, 0.0001, 50, 50, false, "%", true, 50,
     "LinkData:Percent", "percent",
     "Percentage of time the predicted loss is not exceeded"},
    {"K_FACT", 3, kMin, kMax, 1.333, false, "", true, 1.333,
     "LinkData:K_Factor", "k-factor",
     "Effective Earth radius factor k; used as given when fixed, else from the path's ΔN"},
    {"Range", 0, 0.1, 3000, 10, false, "km", true, 10,
     "Locator:Range", "",
     "Receiver's distance from the transmitter (in mls with imperial units)"},
    {"Bearing", 1, 0, 360, 10, false, "degrees", true, 10,
     "Locator:Bearing", "",
     "Receiver's bearing from the transmitter, from true north"},
    {"TX_GAIN", 1, -20, 100, 0, false, "dBi", true, 0,
     "Edition:TX_Gain", "tx-gain",
     "Transmitting antenna's gain towards the horizon (P.452-18)"},
    {"RX_GAIN", 1, -20, 100, 0, false, "dBi", true, 0,
     "Edition:RX_Gain", "rx-gain",
     "Receiving antenna's gain towards the horizon (P.452-18)"},
    // Terrain Map.
    {"ContourSpacing", 0, 10, 1000, 100, true, "m", true, 100,
     "", "",
     "Height between the terrain map's contour lines"},
    // Area Coverage.
    {"CoverageRange", 0, 1, 3000, 50, false, "km", true, 50,
     "Coverage:Range", "range",
     "Distance from the transmitter to the map's edges"},
    {"CoverageResolution", 0, 1, 3600, 30, true, "arcsec", true, 30,
     "Coverage:Resolution", "resolution",
     "Spacing of the map's cells"},
    {"MaxLoss", 0, -199, 200, 100, false, "dBuV/m", true, 100,
     "Coverage:MaxFs", "max-fs",
     "Field strength at the top of the map's colour scale"},
    {"MinLoss", 0, -200, 199, -20, false, "dBuV/m", true, -20,
     "Coverage:MinFs", "min-fs",
     "Field strength at the bottom of the map's colour scale; weaker cells stay clear"},
    {"MaxHeight", 0, 0, 10000, 500, false, "m", true, 500,
     "Coverage:MaxHeight", "max-height",
     "Height at the top of the highlighted-terrain scale"},
    {"MinHeight", 0, -1000, 10000, 0, false, "m", true, 0,
     "Coverage:MinHeight", "min-height",
     "Height at the bottom of the highlighted-terrain scale"},
    // Site Evaluation.
    {"EvalRange", 0, 0.1, 3000, 10, false, "km", true, 10,
     "", "range",
     "Length of the radial from the site"},
    {"EvalBearing", 1, 0, 360, 0, false, "degrees", true, 0,
     "", "bearing",
     "Bearing of the radial, from true north"},
    {"EvalPower", 0, 1e-06, 1000000, 100, false, "W", true, 100,
     "", "power",
     "Transmitter power"},
    {"EvalGain", 1, -20, 100, 10, false, "dBi", true, 10,
     "", "gain",
     "Transmitting antenna's gain"},
    {"EvalRxGain", 1, -20, 100, 0, false, "dBi", true, 0,
     "", "receiver-gain",
     "Receiving antenna's gain, for the received power"},
    {"EvalSensitivity", 1, -200, 0, -100, false, "dBm", true, -100,
     "", "",
     "Receiver's sensitivity, drawn as a line on the field-strength chart"},
    // Refractivity (no field of its own).
    {"N0", 1, 200, 450, 320, false, "N-units", false, 320,
     "", "n0",
     "Sea-level surface refractivity; from the maps when not given"},
    {"DeltaN", 1, deltaNMin, deltaNMax, 45, false, "N-units/km", false, 45,
     "", "delta-n",
     "Average radio-refractive index lapse rate over the first km; from the maps when not given"},
    // Distances from the ends to the coast (P.452-18; no field of their own).
    {"DCT", 3, 0, 3000, 0, false, "km", false, 0,
     "", "dct",
     "Distance over land from the transmitter to the coast (P.452-18); from the zones when not given"},
    {"DCR", 3, 0, 3000, 0, false, "km", false, 0,
     "", "dcr",
     "Distance over land from the receiver to the coast (P.452-18); from the zones when not given"},
    // The link's switches (no numeric field of their own).
    {"ForcedKFactor", 0, 0, 1, 0, true, "", false, 0,
     "LinkData:ForcedKFactor", "",
     "1: the k-factor is used as given, 0: from the path's ΔN"},
    {"Metric", 0, 0, 1, 1, true, "", false, 1,
     "LinkData:Metric", "",
     "1: metric units, 0: imperial"},
    {"LocatorFormat", 0, 0, 3, 0, true, "", false, 0,
     "Locator:LocatorFormat", "",
     "0 Maidenhead locator, 1 OSGB NGR, 2 decimal degrees, 3 degrees minutes seconds"},
    {"StartEndInput", 0, 0, 1, 1, true, "", false, 1,
     "Locator:StartEndInput", "",
     "1: the receiver by its location, 0: by range and bearing"},
    {"Edition", 0, 14, 18, 14, true, "", false, 14,
     "Edition:Edition", "",
     "The edition of ITU-R P.452 followed: 14 or 18"},
    {"Polarisation", 0, 0, 1, 0, true, "", false, 0,
     "Edition:Polarisation", "",
     "0 vertical, 1 horizontal (P.452-18)"},
}};
// clang-format on

constexpr std::size_t fieldCount = 25;

// The entry called name, found while compiling.
constexpr const InputLimit& Named(std::string_view name) {
    for (const InputLimit& limit : table)
        if (name == limit.name) return limit;
    throw "no such input"; // not a constant expression: a misspelt name does not compile
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

} // namespace

std::string InputLimit::RangeText() const {
    std::string text = "must lie between " + Number(minimum) + " and " + Number(maximum);
    if (*unit) text += std::string(" ") + unit;
    return text;
}

std::string InputLimit::HelpText() const {
    std::string text = *unit ? std::string(unit) + ", " : std::string();
    text += Number(minimum) + " to " + Number(maximum) + ", default " + Number(initial);
    return text;
}

std::string_view InputLimit::Section() const {
    const std::string_view key(settingsKey);
    return key.substr(0, key.find(':') == std::string_view::npos ? 0 : key.find(':'));
}

std::string_view InputLimit::Key() const {
    const std::string_view key(settingsKey);
    const std::size_t colon = key.find(':');
    return colon == std::string_view::npos ? key : key.substr(colon + 1);
}

std::span<const InputLimit> InputLimits() {
    return table;
}

std::span<const InputLimit> FieldLimits() {
    return std::span<const InputLimit>(table).first(fieldCount);
}

const InputLimit* FindInputLimit(std::string_view name) {
    for (const InputLimit& limit : table)
        if (name == limit.name) return &limit;
    return nullptr;
}

namespace limits {
constinit const InputLimit& frequency = Named("FREQ");
constinit const InputLimit& rxHeight = Named("RX_H");
constinit const InputLimit& txHeight = Named("TX_H");
constinit const InputLimit& humidity = Named("RH");
constinit const InputLimit& temperature = Named("TEMPERATURE");
constinit const InputLimit& pressure = Named("PRESSURE");
constinit const InputLimit& percent = Named("Percent");
constinit const InputLimit& kFactor = Named("K_FACT");
constinit const InputLimit& range = Named("Range");
constinit const InputLimit& bearing = Named("Bearing");
constinit const InputLimit& txGain = Named("TX_GAIN");
constinit const InputLimit& rxGain = Named("RX_GAIN");
constinit const InputLimit& contourSpacing = Named("ContourSpacing");
constinit const InputLimit& coverageRange = Named("CoverageRange");
constinit const InputLimit& coverageResolution = Named("CoverageResolution");
constinit const InputLimit& maxFieldStrength = Named("MaxLoss");
constinit const InputLimit& minFieldStrength = Named("MinLoss");
constinit const InputLimit& maxHeight = Named("MaxHeight");
constinit const InputLimit& minHeight = Named("MinHeight");
constinit const InputLimit& evalRange = Named("EvalRange");
constinit const InputLimit& evalBearing = Named("EvalBearing");
constinit const InputLimit& evalPower = Named("EvalPower");
constinit const InputLimit& evalGain = Named("EvalGain");
constinit const InputLimit& evalRxGain = Named("EvalRxGain");
constinit const InputLimit& evalSensitivity = Named("EvalSensitivity");
constinit const InputLimit& n0 = Named("N0");
constinit const InputLimit& deltaN = Named("DeltaN");
constinit const InputLimit& dct = Named("DCT");
constinit const InputLimit& dcr = Named("DCR");
constinit const InputLimit& forcedKFactor = Named("ForcedKFactor");
constinit const InputLimit& metric = Named("Metric");
constinit const InputLimit& locatorFormat = Named("LocatorFormat");
constinit const InputLimit& startEndInput = Named("StartEndInput");
constinit const InputLimit& edition = Named("Edition");
constinit const InputLimit& polarisation = Named("Polarisation");
} // namespace limits

} // namespace kestrova
