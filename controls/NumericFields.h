// The window's numeric entry fields take their decimals, limits, initial
// value and whole-number setting from the core's one table of inputs
// (inputs/InputLimits.h), which kestrova-cli reads too.
#pragma once

#include "inputs/InputLimits.h"

#include <span>
#include <string_view>

namespace kestrova {

using NumericField = InputLimit;

// All fields, in the order of the window's layout.
std::span<const NumericField> NumericFields();
// The field called name; a programming error (abort) when there is none.
const NumericField& FindNumericField(std::string_view name);

} // namespace kestrova
