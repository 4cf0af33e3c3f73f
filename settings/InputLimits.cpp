#include "settings/InputLimits.h"

#include "propagation/common/KFactor.h"

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
constexpr std::array<InputLimit, 29> table{{
    // name                 decimals  minimum  maximum    initial  integer  unit        field
    // Input Data: the link.
    {"FREQ",                3,        0.025,   300,       10.368,  false,   "GHz",      true},
    {"RX_H",                1,        1,       1000,      10,      false,   "m",        true},
    {"TX_H",                1,        1,       10000,     10,      false,   "m",        true},
    {"RH",                  3,        0,       100,       50,      false,   "%",        true},
    {"TEMPERATURE",         1,        -100,    100,       20,      false,   "C",        true},
    {"PRESSURE",            1,        0.0001,  2000,      1000,    false,   "hPa",      true},
    {"Percent",             3,        0.0001,  50,        50,      false,   "%",        true},
    {"K_FACT",              3,        kMin,    kMax,      1.333,   false,   "",         true},
    {"Range",               0,        0.1,     3000,      10,      false,   "km",       true},
    {"Bearing",             1,        0,       360,       10,      false,   "degrees",  true},
    {"TX_GAIN",             1,        -20,     100,       0,       false,   "dBi",      true},
    {"RX_GAIN",             1,        -20,     100,       0,       false,   "dBi",      true},
    // Terrain Map.
    {"ContourSpacing",      0,        10,      1000,      100,     true,    "m",        true},
    // Area Coverage.
    {"CoverageRange",       0,        1,       3000,      50,      false,   "km",       true},
    {"CoverageResolution",  0,        1,       3600,      30,      true,    "arcsec",   true},
    {"MaxLoss",             0,        -199,    200,       100,     false,   "dBuV/m",   true},
    {"MinLoss",             0,        -200,    199,       -20,     false,   "dBuV/m",   true},
    {"MaxHeight",           0,        0,       10000,     500,     false,   "m",        true},
    {"MinHeight",           0,        -1000,   10000,     0,       false,   "m",        true},
    // Site Evaluation.
    {"EvalRange",           0,        0.1,     3000,      10,      false,   "km",       true},
    {"EvalBearing",         1,        0,       360,       0,       false,   "degrees",  true},
    {"EvalPower",           0,        1e-06,   1000000,   100,     false,   "W",        true},
    {"EvalGain",            1,        -20,     100,       10,      false,   "dBi",      true},
    {"EvalRxGain",          1,        -20,     100,       0,       false,   "dBi",      true},
    {"EvalSensitivity",     1,        -200,    0,         -100,    false,   "dBm",      true},
    // Refractivity (no field of its own).
    {"N0",                  1,        200,     450,       320,     false,   "N-units",  false},
    {"DeltaN",              1,        deltaNMin, deltaNMax, 45, false, "N-units/km", false},
    // Distances from the ends to the coast, km (P.452-18; no field of their own).
    {"DCT",                 3,        0,       3000,      0,       false,   "km",       false},
    {"DCR",                 3,        0,       3000,      0,       false,   "km",       false},
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
} // namespace limits

} // namespace kestrova
