#include "app/IniFile.h"

#include <iniparser.h>

#include <charconv>
#include <cmath>
#include <cstring>

namespace kestrova {

void IniFile::Free::operator()(_dictionary_* d) const {
    iniparser_freedict(d);
}

IniFile::IniFile(const std::string& path) : dictionary(iniparser_load(path.c_str())) {}

std::string IniFile::GetString(const char* key, const std::string& fallback) const {
    if (!dictionary) return fallback;
    const char* value = iniparser_getstring(dictionary.get(), key, nullptr);
    return value ? std::string(value) : fallback;
}

int IniFile::GetInt(const char* key, int fallback) const {
    return dictionary ? iniparser_getint(dictionary.get(), key, fallback) : fallback;
}

double IniFile::GetReal(const char* key, double fallback) const {
    if (!dictionary) return fallback;
    const char* value = iniparser_getstring(dictionary.get(), key, nullptr);
    return value ? LeadingNumber(value) : fallback;
}

double IniFile::LeadingNumber(const std::string& text) {
    const char* first = text.c_str();
    const char* last = first + text.size();
    while (first < last && (*first == ' ' || *first == '\t'))
        ++first;
    bool negative = false;
    if (first < last && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        ++first;
    }
    if (first < last && (*first == '+' || *first == '-')) return 0.0;
    double value = 0.0;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
    return negative ? -value : value;
}

} // namespace kestrova
