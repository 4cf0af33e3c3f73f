// The one table of the window's numeric entry fields: decimals shown,
// limits, the value of the window's layout and whether the field shows whole
// numbers. Every TNumEdit of the window takes its settings from here.
#pragma once

#include <span>
#include <string_view>

namespace kestrova {

struct NumericField {
    const char* name; // the control's objectName
    int decimals;
    double minimum;
    double maximum;
    double value; // as the window is laid out
    bool integerEdit;
};

// All fields, in the order of the window's layout.
std::span<const NumericField> NumericFields();
// The field called name; a programming error (abort) when there is none.
const NumericField& FindNumericField(std::string_view name);

} // namespace kestrova
