#include "geo/TextScan.h"

#include <cctype>
#include <charconv>
#include <limits>

namespace kestrova::scan {
namespace {

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// from_chars takes a leading '-' but not '+'; scanf takes both.
template <typename T> bool Number(std::string_view& text, T& value) {
    std::string_view rest = text;
    SkipBlanks(rest);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    if (rest.empty() || rest.front() == '+' || rest.front() == '-') return false;
    T parsed{};
    std::from_chars_result result;
    if constexpr (std::is_floating_point_v<T>)
        result = std::from_chars(rest.data(), rest.data() + rest.size(), parsed,
                                 std::chars_format::general);
    else
        result = std::from_chars(rest.data(), rest.data() + rest.size(), parsed);
    if (result.ptr == rest.data()) return false;
    if (result.ec == std::errc::result_out_of_range) {
        // scanf saturates: huge numbers become the largest value, tiny
        // ones (a negative exponent) zero.
        if constexpr (std::is_floating_point_v<T>) {
            const std::string_view number =
                rest.substr(0, static_cast<size_t>(result.ptr - rest.data()));
            const size_t e = number.find_first_of("eE");
            const bool tiny =
                e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
            parsed = tiny ? T(0) : std::numeric_limits<T>::infinity();
        } else {
            parsed = std::numeric_limits<T>::max();
        }
    }
    value = negative ? -parsed : parsed;
    text = rest.substr(static_cast<size_t>(result.ptr - rest.data()));
    return true;
}

} // namespace

void SkipBlanks(std::string_view& text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
}

void UpperCase(std::string& text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

bool Int(std::string_view& text, int& value) {
    return Number(text, value);
}
bool Float(std::string_view& text, float& value) {
    return Number(text, value);
}
bool Double(std::string_view& text, double& value) {
    return Number(text, value);
}

bool Char(std::string_view& text, char& value) {
    std::string_view rest = text;
    SkipBlanks(rest);
    if (rest.empty()) return false;
    value = rest.front();
    text = rest.substr(1);
    return true;
}

} // namespace kestrova::scan
