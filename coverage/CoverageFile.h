// The coverage file: an optional header line, then one line per grid row
// from the southern edge to the northern, the row's field strengths in
// dB(µV/m) from west to east ("%4.1f", comma-separated), LF line ends.
#pragma once

#include "coverage/CoverageField.h"
#include "files/SafeWrite.h"

#include <string>

namespace kestrova {

struct CoverageHeader {
    double txLatitude = 0.0;
    double txLongitude = 0.0;
    double frequency = 0.0;   // GHz
    double txHeight = 0.0;    // m
    double rxHeight = 0.0;    // m
    double percent = 0.0;     // %
    double temperature = 0.0; // °C
    double pressure = 0.0;    // hPa
    double humidity = 0.0;    // %
};

std::string CoverageFileText(const CoverageField& field, const CoverageHeader& header,
                             bool withHeader);

// The same written to path through the safe writer one row at a time, so
// that only the grid itself is held in memory, not its text.
WriteOutcome WriteCoverageFile(const std::string& path, const CoverageField& field,
                               const CoverageHeader& header, bool withHeader);

// printf's "%W.Pf" in the C locale, whatever the process's locale.
std::string PrintfFixed(double value, int width, int decimals);

} // namespace kestrova
