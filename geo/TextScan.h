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

// A field of a CSV line without the spaces and tabs around it (and the
// carriage return of a CRLF line at its end).
inline std::string_view TrimField(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// ASCII upper case, whatever the C locale says about other bytes.
void UpperCase(std::string& text);

} // namespace kestrova::scan
