#include "settings/SettingsFile.h"

#include "files/InputFile.h"

#include <iniparser.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale>
#include <sstream>
#include <sys/stat.h>
#include <unordered_map>
#include <utility>

namespace kestrova {
namespace {

std::string_view Strip(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

enum class LineKind { Empty, Section, Value, Error };

struct Line {
    LineKind kind = LineKind::Empty;
    std::string name; // section, or key
    std::string value;
};

// A value in quotes: "text" or 'text' with at least one character, the
// rest of the line after the closing quote ignored.
bool Quoted(std::string_view rest, std::string& value) {
    if (rest.size() < 3 || (rest.front() != '"' && rest.front() != '\'')) return false;
    const std::size_t close = rest.find(rest.front(), 1);
    if (close == std::string_view::npos || close == 1) return false;
    value = rest.substr(1, close - 1);
    return true;
}

// One line with iniparser's rules (the line already stripped).
Line ParseLine(std::string_view text) {
    Line line;
    if (text.empty() || text.front() == '#' || text.front() == ';') return line;
    // The dictionary holds C strings: a name cut at a NUL byte could pass
    // for another key.
    if (text.find('\0') != std::string_view::npos) {
        line.kind = LineKind::Error;
        return line;
    }
    if (text.front() == '[' && text.back() == ']') {
        line.kind = LineKind::Section;
        const std::string_view inner = text.substr(1);
        line.name = Lower(Strip(inner.substr(0, inner.find(']'))));
        return line;
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || equals == 0) {
        line.kind = LineKind::Error;
        return line;
    }
    line.kind = LineKind::Value;
    line.name = Lower(Strip(text.substr(0, equals)));
    std::string_view rest = text.substr(equals + 1);
    while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.front())))
        rest.remove_prefix(1);
    if (Quoted(rest, line.value)) return line;
    const std::string_view value = Strip(rest.substr(0, rest.find_first_of(";#")));
    if (value != "\"\"" && value != "''") line.value = value;
    return line;
}

// One logical line of a settings text: physical lines joined where one
// ends in "\".
struct LogicalLine {
    std::string_view raw;          // the physical lines it spans, line ends included
    std::string text;              // joined, each part stripped and its "\" removed
    int first = 0;                 // the number of its first physical line
    const char* problem = nullptr; // why the reader skips it
    bool dangling = false;         // the text ended inside it, after a "\"
};

// Takes the next logical line off the front of text; false at its end.
// number counts physical lines.
bool NextLogicalLine(std::string_view& text, int& number, LogicalLine& line) {
    if (text.empty()) return false;
    const char* begin = text.data();
    line = LogicalLine{};
    line.first = number + 1;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (raw.size() > SettingsFile::maxLineLength) {
            line.problem = "longer than 1024 characters";
            break;
        }
        const std::string_view stripped = Strip(raw);
        if (stripped.empty() || stripped.back() != '\\') {
            line.text.append(stripped);
            break;
        }
        line.text.append(stripped.substr(0, stripped.size() - 1));
        if (line.text.size() > SettingsFile::maxLineLength) {
            line.problem = "continued beyond 1024 characters";
            break;
        }
        if (text.empty()) {
            line.problem = "cannot be parsed";
            line.dangling = true;
        }
    }
    line.raw = std::string_view(begin, static_cast<std::size_t>(text.data() - begin));
    return true;
}

} // namespace

void SettingsFile::Free::operator()(_dictionary_* d) const {
    iniparser_freedict(d);
}

SettingsFile::SettingsFile() = default;

SettingsFile::SettingsFile(const std::string& path) {
    if (RegularFileProblem(path) == "does not exist") return;
    std::string text;
    if (!ReadWholeFile(path, maxBytes, text, problem)) {
        if (problem.rfind("is larger", 0) == 0) problem = "is above 1 MB";
        problem = "settings file \"" + path + "\" " + problem + " and was not read";
        return;
    }
    Parse(text);
}

SettingsFile SettingsFile::FromText(std::string_view text) {
    SettingsFile settings;
    settings.Parse(text);
    return settings;
}

void SettingsFile::Parse(std::string_view text) {
    // Each key's last value, in the order keys first appear.
    std::vector<std::pair<std::string, std::string>> entries;
    std::unordered_map<std::string, std::size_t> index;
    std::string section;
    LogicalLine logical;
    int number = 0;
    const auto skip = [&](const char* why) {
        skipped.push_back("line " + std::to_string(logical.first) + ": " + why);
    };
    while (NextLogicalLine(text, number, logical)) {
        if (logical.problem) {
            skip(logical.problem);
            continue;
        }
        const Line line = ParseLine(Strip(logical.text));
        if (line.kind == LineKind::Section) section = line.name;
        if (line.kind == LineKind::Error) skip("cannot be parsed");
        if (line.kind != LineKind::Value) continue;
        std::string key = section + ':' + line.name;
        if (const auto found = index.find(key); found != index.end()) {
            entries[found->second].second = line.value;
        } else if (entries.size() == maxKeys) {
            skip("more than 4096 keys");
        } else {
            index.emplace(key, entries.size());
            entries.emplace_back(std::move(key), line.value);
        }
    }
    dictionary.reset(dictionary_new(0));
    if (!dictionary) return;
    for (const auto& [key, value] : entries)
        dictionary_set(dictionary.get(), key.c_str(), value.c_str());
    loaded = true;
}

std::string SettingsFile::GetString(const char* key, const std::string& fallback) const {
    if (!dictionary) return fallback;
    const char* value = iniparser_getstring(dictionary.get(), key, nullptr);
    return value ? std::string(value) : fallback;
}

int SettingsFile::GetInt(const char* key, int fallback) const {
    return dictionary ? iniparser_getint(dictionary.get(), key, fallback) : fallback;
}

double SettingsFile::GetReal(const char* key, double fallback) const {
    if (!dictionary) return fallback;
    const char* value = iniparser_getstring(dictionary.get(), key, nullptr);
    return value ? LeadingNumber(value) : fallback;
}

double SettingsFile::LeadingNumber(const std::string& text) {
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

std::optional<double> SettingsFile::PlainNumber(const std::string& text) {
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::nullopt;
    const std::size_t end = text.find_last_not_of(" \t") + 1;
    const char* first = text.data() + begin;
    const char* last = text.data() + end;
    bool negative = false;
    if (*first == '+' || *first == '-') {
        negative = *first == '-';
        ++first;
    }
    // from_chars would take "inf", "nan" and (after a sign) nothing more.
    if (first == last || !(std::isdigit(static_cast<unsigned char>(*first)) || *first == '.'))
        return std::nullopt;
    double value = 0.0;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

namespace {

// "LinkData:Frequency = 1e308 is not between 0.025 and 300; the default 1.42 is used"
std::string LimitNote(const char* key, const std::string& value, const std::string& why,
                      double fallback) {
    std::ostringstream note;
    note.imbue(std::locale::classic());
    note << key << " = " << value << " " << why << "; the default " << fallback << " is used";
    return note.str();
}

std::string RangeWords(double minimum, double maximum) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << "is not between " << minimum << " and " << maximum;
    return text.str();
}

} // namespace

double SettingsFile::GetLimitedReal(const char* key, double minimum, double maximum,
                                    double fallback, std::vector<std::string>& notes) const {
    if (!dictionary) return fallback;
    const char* text = iniparser_getstring(dictionary.get(), key, nullptr);
    if (!text) return fallback;
    const std::optional<double> value = PlainNumber(text);
    if (!value) {
        notes.push_back(LimitNote(key, text, "is not a number", fallback));
        return fallback;
    }
    if (!(*value >= minimum && *value <= maximum)) {
        notes.push_back(LimitNote(key, text, RangeWords(minimum, maximum), fallback));
        return fallback;
    }
    return *value;
}

int SettingsFile::GetLimitedInt(const char* key, int minimum, int maximum, int fallback,
                                std::vector<std::string>& notes) const {
    if (!dictionary) return fallback;
    const char* text = iniparser_getstring(dictionary.get(), key, nullptr);
    if (!text) return fallback;
    // Whole numbers as iniparser reads them (decimal, 0x hexadecimal or
    // leading-zero octal), but the whole text: "4 palettes" is not 4.
    const std::string trimmed(Strip(text));
    char* end = nullptr;
    errno = 0;
    const long value = trimmed.empty() ? 0 : std::strtol(trimmed.c_str(), &end, 0);
    if (trimmed.empty() || *end != '\0' || errno == ERANGE) {
        notes.push_back(LimitNote(key, text, "is not a whole number", fallback));
        return fallback;
    }
    if (!(value >= minimum && value <= maximum)) {
        notes.push_back(LimitNote(key, text, RangeWords(minimum, maximum), fallback));
        return fallback;
    }
    return static_cast<int>(value);
}

std::string SettingsValueText(const std::string& value) {
    const bool quote = value.find_first_of(";#") != std::string::npos ||
                       (!value.empty() && (value.front() == ' ' || value.front() == '\t' ||
                                           value.back() == ' ' || value.back() == '\t'));
    if (!quote) return value;
    const char mark = value.find('"') == std::string::npos ? '"' : '\'';
    return mark + value + mark;
}

std::string WithSettingsValue(std::string_view text, const std::string& section,
                              const std::string& key, const std::string& value) {
    const std::string line = key + " = " + SettingsValueText(value) + "; \n";
    const std::string wantedSection = Lower(section);
    const std::string wantedKey = Lower(key);
    std::string out;
    std::string current; // the section of the line in hand
    bool replaced = false;
    bool dangling = false;
    std::size_t sectionEnd = std::string::npos; // after the wanted section's last entry
    LogicalLine logical;
    int number = 0;
    // Logical lines as the reader sees them, so that each is kept or
    // replaced whole.
    while (NextLogicalLine(text, number, logical)) {
        const Line parsed =
            logical.problem ? Line{LineKind::Error, {}, {}} : ParseLine(Strip(logical.text));
        if (parsed.kind == LineKind::Section) current = parsed.name;
        const bool ours =
            current == wantedSection && parsed.kind == LineKind::Value && parsed.name == wantedKey;
        if (ours && replaced) continue; // a later copy would win over ours
        out += ours ? std::string_view(line) : logical.raw;
        if (out.back() != '\n') out += '\n';
        replaced = replaced || ours;
        dangling = logical.dangling;
        if (current == wantedSection && parsed.kind != LineKind::Empty) sectionEnd = out.size();
    }
    if (replaced) return out;
    // An empty line ends a continuation left open at the end of the text.
    if (dangling) return out + "\n[" + section + "]\n" + line;
    if (sectionEnd != std::string::npos) return out.insert(sectionEnd, line);
    return out + "[" + section + "]\n" + line;
}

WriteOutcome StoreSettingsValue(const std::string& path, const std::string& section,
                                const std::string& key, const std::string& value) {
    std::string text;
    if (RegularFileProblem(path) != "does not exist") {
        std::string problem;
        if (!ReadWholeFile(path, SettingsFile::maxBytes, text, problem))
            return {false, "did not change \"" + path + "\": it " + problem};
    }
    return WriteFileAtomically(path, WithSettingsValue(text, section, key, value));
}

std::string SettingsFileProblem(const std::string& path) {
    const std::string name = path.substr(path.rfind('/') + 1);
    const std::string problem = RegularFileProblem(path);
    if (problem == "does not exist") return {};
    if (!problem.empty()) return name + " " + problem + " and was not read";
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 &&
        static_cast<std::uintmax_t>(info.st_size) > SettingsFile::maxBytes)
        return name + " is above 1 MB and was not read";
    return {};
}

} // namespace kestrova
