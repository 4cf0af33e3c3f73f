// A settings file loaded with iniparser: look-ups by "section:key" without
// regard to letter case, each with a default for a missing key or file.
// Reals are read as the longest leading decimal number in the C locale
// (iniparser's own reader follows the process locale, which Qt sets from the
// environment), so "0x10" reads as 0 and "10.368000" as 10.368 everywhere.
#pragma once

#include <memory>
#include <string>

struct _dictionary_;

namespace kestrova {

class IniFile {
public:
    // A missing or unreadable file gives an empty dictionary.
    explicit IniFile(const std::string& path);

    bool IsLoaded() const { return dictionary != nullptr; }
    std::string GetString(const char* key, const std::string& fallback) const;
    int GetInt(const char* key, int fallback) const;
    double GetReal(const char* key, double fallback) const;

    // The longest leading decimal number of text (after blanks and a sign),
    // 0 when there is none or it is not finite.
    static double LeadingNumber(const std::string& text);

private:
    struct Free {
        void operator()(_dictionary_* d) const;
    };
    std::unique_ptr<_dictionary_, Free> dictionary;
};

} // namespace kestrova
