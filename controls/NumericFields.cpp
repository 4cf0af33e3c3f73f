#include "controls/NumericFields.h"

#include <cstdlib>

namespace kestrova {

std::span<const NumericField> NumericFields() {
    return FieldLimits();
}

const NumericField& FindNumericField(std::string_view name) {
    for (const NumericField& field : FieldLimits())
        if (name == field.name) return field;
    std::abort();
}

} // namespace kestrova
