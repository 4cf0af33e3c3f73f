#include "controls/NumericFields.h"

#include <array>
#include <cstdlib>

namespace kestrova {
namespace {

constexpr std::array<NumericField, 21> fields{{
    // Input Data: the link.
    {"FREQ", 3, 0.025, 300, 10.368, false},
    {"RX_H", 1, 1, 1000, 10, false},
    {"TX_H", 1, 1, 10000, 10, false},
    {"RH", 3, 0, 100, 50, false},
    {"TEMPERATURE", 1, -100, 100, 20, false},
    {"PRESSURE", 1, 0.0001, 2000, 1000, false},
    {"Percent", 3, 0.0001, 50, 50, false},
    {"K_FACT", 3, 0.01, 100, 1.333, false},
    {"Range", 0, 0.1, 3000, 10, false},
    {"Bearing", 1, 0, 360, 10, false},
    // Terrain Map.
    {"ContourSpacing", 0, 10, 1000, 100, true},
    // Area Coverage.
    {"CoverageRange", 0, 1, 3000, 50, false},
    {"CoverageResolution", 0, 1, 3600, 30, true},
    {"MaxLoss", 0, -199, 200, 100, false},
    {"MinLoss", 0, -200, 199, -20, false},
    {"MaxHeight", 0, 0, 10000, 500, false},
    {"MinHeight", 0, -1000, 10000, 0, false},
    // Site Evaluation.
    {"EvalRange", 0, 0.1, 3000, 10, false},
    {"EvalBearing", 1, 0, 360, 0, false},
    {"EvalPower", 0, 1e-06, 1000000, 100, false},
    {"EvalGain", 1, -20, 100, 10, false},
}};

} // namespace

std::span<const NumericField> NumericFields() {
    return fields;
}

const NumericField& FindNumericField(std::string_view name) {
    for (const NumericField& field : fields)
        if (name == field.name) return field;
    std::abort();
}

} // namespace kestrova
