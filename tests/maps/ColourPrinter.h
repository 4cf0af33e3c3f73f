// Prints a Colour as (r, g, b) in GoogleTest's failure messages.
#pragma once

#include "maps/Colour.h"

#include <ostream>

namespace kestrova {

inline void PrintTo(const Colour& c, std::ostream* os) {
    *os << '(' << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ')';
}

} // namespace kestrova
