// Units the program converts between.
#pragma once

namespace kestrova {

// Kilometres in a statute mile: the international mile, 1609.344 m exactly.
inline constexpr double kmPerMile = 1.609344;

} // namespace kestrova
