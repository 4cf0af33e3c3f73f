// Number formats shared by the location texts, the window's labels and the
// command-line tool. All of them are independent of the C locale, so a
// program that sets LC_NUMERIC (as Qt does) still prints a decimal point.
#pragma once

#include <string>

namespace kestrova {

// Fixed notation with precision P and D decimals: the magnitude is rounded
// (half away from zero) to at most P significant digits and to at most D
// decimals, whichever is coarser, and printed with exactly D digits after
// the point and at least one before it. A value that needs more than P
// digits before the point is printed in scientific notation with P
// significant digits ("1.2346E+10"). A value that rounds to zero carries no
// minus sign.
std::string FormatFixed(double value, int precision, int decimals);

// printf's %g with the given precision, in the C locale.
std::string FormatGeneral(double value, int precision);

} // namespace kestrova
