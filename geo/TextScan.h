// Locale-independent scanning of numbers from location texts, with the
// rules of scanf's %d, %f and %lf: leading blanks skipped, an optional sign,
// and the longest number that fits.
#pragma once

#include <string>
#include <string_view>

namespace kestrova::scan {

// Each function reads from the front of text, advancing it past what it
// read; on failure it returns false and leaves text unchanged.
bool Int(std::string_view& text, int& value);
bool Float(std::string_view& text, float& value);
bool Double(std::string_view& text, double& value);
// One non-blank character (scanf's " %c").
bool Char(std::string_view& text, char& value);
void SkipBlanks(std::string_view& text);

// ASCII upper case, whatever the C locale says about other bytes.
void UpperCase(std::string& text);

} // namespace kestrova::scan
