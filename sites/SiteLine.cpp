// The rules of one line of a site file.
#include "sites/SiteLine.h"
#include "sites/Sites.h"

#include <charconv>
#include <cstring>

namespace kestrova {
namespace {

constexpr std::string_view blanks = " \t\r\n\v\f";

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}
char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string UpperCased(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = Upper(c);
    return result;
}

// Maidenhead pairs: 1-2 A..R, then digit pairs and A..X pairs alternately.
bool IsMaidenhead(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t pair = i / 2;
        const char c = text[i];
        if (pair == 0       ? !(c >= 'A' && c <= 'R')
            : pair % 2 == 1 ? !IsDigit(c)
                            : !(c >= 'A' && c <= 'X'))
            return false;
    }
    return true;
}

bool IsGridReference(std::string_view text) {
    if (!std::strchr("STNHOJ", text[0]) || !std::strchr("ABCDEFGHJKLMNOPQRSTUVWXYZ", text[1]))
        return false;
    for (char c : text.substr(2))
        if (!IsDigit(c)) return false;
    return true;
}

// The location text and its format from the trimmed, upper-cased field.
bool RecogniseLocation(const std::string& field, SiteLine& out) {
    if (field.size() < 6) {
        out.reason = "location " + QuotedForMessage(field) + " is shorter than 6 characters";
        return false;
    }
    if (IsDigit(field[0])) {
        size_t digits = 0;
        while (digits < field.size() && IsDigit(field[digits]))
            ++digits;
        out.format = digits < field.size() && field[digits] == '.' ? 2 : 3;
        out.location = field;
        return true;
    }
    size_t n = 0;
    while (n < field.size() && (IsUpper(field[n]) || IsDigit(field[n])))
        ++n;
    const std::string text = field.substr(0, n);
    if (n < 6) {
        out.reason =
            "location " + QuotedForMessage(field) + " does not begin with 6 letters or digits";
        return false;
    }
    if (n % 2 != 0 || n > 16) {
        out.reason = "location " + QuotedForMessage(text) + " has " + std::to_string(n) +
                     " letters and digits (6, 8, 10, 12, 14 or 16 expected)";
        return false;
    }
    if (!IsUpper(text[4])) {
        if (n > 12 || !IsGridReference(text)) {
            out.reason = "location " + QuotedForMessage(text) + " is not an OSGB grid reference";
            return false;
        }
        out.format = 1;
    } else {
        if (!IsMaidenhead(text)) {
            out.reason = "location " + QuotedForMessage(text) + " is not a Maidenhead locator";
            return false;
        }
        out.format = 0;
    }
    out.location = text;
    return true;
}

// The number at the front of a trimmed field followed at once by unit, in
// either case; -1 when there is none.
double ReadValue(std::string_view field, char unit) {
    size_t run = 0;
    bool digit = false;
    while (run < field.size() && (IsDigit(field[run]) || field[run] == '.')) {
        digit = digit || IsDigit(field[run]);
        ++run;
    }
    if (!digit || run >= field.size() || Upper(field[run]) != unit) return -1.0;
    double value = -1.0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + run, value);
    (void)end;
    return error == std::errc() ? value : -1.0;
}

} // namespace

std::string QuotedForMessage(std::string_view text) {
    constexpr size_t shown = 40;
    std::string result = "\"";
    for (size_t i = 0; i < text.size() && i < shown; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        result += c < 0x20 || c == 0x7f ? '?' : text[i];
    }
    if (text.size() > shown) result += "...";
    return result + "\"";
}

bool CSites::ParseLine(std::string_view line, SiteLine& out) {
    out = SiteLine();
    const size_t first = line.find('~');
    if (first == std::string_view::npos) {
        out.reason = "no \"~\" after the name";
        return false;
    }
    out.name = std::string(line.substr(0, first));
    const std::string_view rest = line.substr(first + 1);
    const size_t second = rest.find('~');
    if (!RecogniseLocation(UpperCased(Trim(rest.substr(0, second))), out)) return false;
    if (second == std::string_view::npos) return true;

    // A height field shorter than 2 characters is no height, and the
    // frequency is then looked for from that field on (which finds none).
    const std::string_view afterLocation = rest.substr(second + 1);
    const size_t third = afterLocation.find('~');
    const std::string_view heightField = afterLocation.substr(0, third);
    std::string_view frequencyField;
    if (heightField.size() >= 2) {
        const std::string_view height = Trim(heightField);
        out.mastHeight = ReadValue(height, 'M');
        if (out.mastHeight < 0.0) {
            out.mastHeight = ReadValue(height, 'F');
            if (out.mastHeight >= 0.0) out.mastHeight *= 0.3048; // feet
        }
        if (third != std::string_view::npos) frequencyField = afterLocation.substr(third + 1);
    } else {
        frequencyField = afterLocation;
    }
    // The frequency field counts its line end: "2.4G" closing a file
    // without one is too short, "2.4G\n" is not.
    if (frequencyField.size() >= 5) out.frequency = ReadValue(Trim(frequencyField), 'G');
    return true;
}

} // namespace kestrova
