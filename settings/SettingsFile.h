// The settings file "profile.ini": an ini file whose values are looked up by
// "section:key" without regard to letter case, each with a default for a
// missing key or file.
//
// Lines are read one at a time with the rules of iniparser (sections in
// brackets; "key = value" with the value cut at the first ";" or "#" and
// trimmed, or given in double or single quotes; comments after "#" or ";";
// a line ending in "\" continued on the next), and the entries are kept in
// an iniparser dictionary, which does the look-ups. Unlike iniparser's own
// loader, a line that cannot be parsed is skipped (and reported) and the
// rest of the file is still read: one bad line no longer loses every
// setting. A file above 1 MB is not read at all, and no more than 4096
// distinct keys are kept, so a hostile file cannot keep start-up busy.
//
// Integers are read as iniparser reads them (decimal, 0x hexadecimal or
// leading-zero octal); reals as the longest leading decimal number in the C
// locale, whatever the process's locale, so "0x10" reads as 0 and
// "10.368000" as 10.368 everywhere.
#pragma once

#include "files/SafeWrite.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct _dictionary_;

namespace kestrova {

class SettingsFile {
public:
    static constexpr std::size_t maxBytes = 1024 * 1024;
    static constexpr std::size_t maxKeys = 4096;
    static constexpr std::size_t maxLineLength = 1024;

    // No file: every look-up gives its default.
    SettingsFile();
    // Reads the file at path. A missing file gives no entries and no
    // problem; a file that is not a regular file or is above maxBytes gives
    // no entries and Problem() says why.
    explicit SettingsFile(const std::string& path);
    // The entries of text.
    static SettingsFile FromText(std::string_view text);

    // True when a file was read (even with lines skipped).
    bool IsLoaded() const { return loaded; }
    // Why an existing file was not read; "" otherwise.
    const std::string& Problem() const { return problem; }
    // One report per line skipped: "line 7: cannot be parsed".
    const std::vector<std::string>& Skipped() const { return skipped; }

    std::string GetString(const char* key, const std::string& fallback) const;
    int GetInt(const char* key, int fallback) const;
    double GetReal(const char* key, double fallback) const;

    // The longest leading decimal number of text (after blanks and a sign),
    // 0 when there is none or it is not finite.
    static double LeadingNumber(const std::string& text);

    // A setting with limits: the value of key when it is a plain decimal
    // number (blanks around it and one sign allowed; "0x10", "--5", "." and
    // "10 GHz" are not) within minimum..maximum; otherwise fallback, with a
    // note naming the key, the value and the default added to notes. A
    // missing key gives fallback without a note.
    double GetLimitedReal(const char* key, double minimum, double maximum, double fallback,
                          std::vector<std::string>& notes) const;
    int GetLimitedInt(const char* key, int minimum, int maximum, int fallback,
                      std::vector<std::string>& notes) const;
    // The whole of text as a plain decimal number, or nullopt.
    static std::optional<double> PlainNumber(const std::string& text);

private:
    void Parse(std::string_view text);

    struct Free {
        void operator()(_dictionary_* d) const;
    };
    std::unique_ptr<_dictionary_, Free> dictionary;
    bool loaded = false;
    std::string problem;
    std::vector<std::string> skipped;
};

// The text of a settings file with section:key set to value, written as
// the program writes its settings ("Key = value; "; in quotes when the
// value holds ";" or "#"). The key's line is replaced where it stands, else
// the key is added at the end of its section, else a new section is added
// at the end; every other line is kept as it was.
// A value as the program writes it after "Key = ": in double quotes (single
// quotes when it holds a double quote) when it holds ";" or "#" or begins
// or ends with a blank, which the reader would otherwise cut or trim; as it
// is otherwise.
std::string SettingsValueText(const std::string& value);

std::string WithSettingsValue(std::string_view text, const std::string& section,
                              const std::string& key, const std::string& value);

// The same on the file at path (created when absent), written through the
// safe writer. A file that is not read (not a regular file, above 1 MB) is
// left alone and the outcome says why.
WriteOutcome StoreSettingsValue(const std::string& path, const std::string& section,
                                const std::string& key, const std::string& value);

// Why the settings file at path is not read, for the status bar: "" when
// it is absent or readable, else e.g. "profile.ini is above 1 MB and was
// not read". Only looks at the file's type and size.
std::string SettingsFileProblem(const std::string& path);

} // namespace kestrova
