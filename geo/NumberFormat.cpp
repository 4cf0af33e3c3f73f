#include "geo/NumberFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace kestrova {
namespace {

// Decimal digits of |value| (first digit non-zero) and the power of ten of
// the first digit. 120 significant digits hold the exact binary value of any
// double above 1e-40, so the half-away rounding below sees true ties only.
struct DecimalDigits {
    std::string digits;
    int exponent = 0;
};

DecimalDigits ExactDigits(double magnitude) {
    std::array<char, 160> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                   std::chars_format::scientific, 120);
    (void)ec;
    std::string_view text(buffer.data(), static_cast<size_t>(end - buffer.data()));
    const size_t e = text.find('e');
    DecimalDigits result;
    result.digits.reserve(121);
    for (char c : text.substr(0, e))
        if (c != '.') result.digits.push_back(c);
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                    result.exponent);
    return result;
}

std::string Scientific(double magnitude, int precision, bool negative) {
    std::array<char, 64> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                   std::chars_format::scientific, std::max(precision - 1, 0));
    (void)ec;
    std::string text(buffer.data(), end);
    std::replace(text.begin(), text.end(), 'e', 'E');
    return negative ? "-" + text : text;
}

} // namespace

std::string FormatFixed(double value, int precision, int decimals) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    precision = std::clamp(precision, 1, 18);
    decimals = std::clamp(decimals, 0, 18);
    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);

    // Digits of the value kept down to 10^-kept, rounded half away from zero.
    std::string kept = "0";
    int kept_decimals = decimals;
    if (magnitude != 0.0) {
        const DecimalDigits exact = ExactDigits(magnitude);
        kept_decimals = std::min(decimals, precision - 1 - exact.exponent);
        const int count = exact.exponent + 1 + kept_decimals;
        if (count >= 0) {
            kept = exact.digits.substr(0, static_cast<size_t>(count));
            const bool round_up = static_cast<size_t>(count) < exact.digits.size() &&
                                  exact.digits[static_cast<size_t>(count)] >= '5';
            if (round_up) {
                int i = count - 1;
                for (; i >= 0 && kept[static_cast<size_t>(i)] == '9'; --i)
                    kept[static_cast<size_t>(i)] = '0';
                if (i < 0)
                    kept.insert(kept.begin(), '1');
                else
                    ++kept[static_cast<size_t>(i)];
            }
            if (kept.empty()) kept = "0";
        }
    }
    // Scale to a whole number of 10^-decimals units.
    kept.append(static_cast<size_t>(decimals - kept_decimals), '0');
    const size_t first = kept.find_first_not_of('0');
    const bool zero = first == std::string::npos;
    kept = zero ? "0" : kept.substr(first);

    if (kept.size() < static_cast<size_t>(decimals) + 1)
        kept.insert(kept.begin(), static_cast<size_t>(decimals) + 1 - kept.size(), '0');
    const size_t integer_digits = kept.size() - static_cast<size_t>(decimals);
    if (!zero && integer_digits > static_cast<size_t>(precision))
        return Scientific(magnitude, precision, negative);
    if (decimals > 0) kept.insert(integer_digits, ".");
    return (negative && !zero) ? "-" + kept : kept;
}

std::string FormatGeneral(double value, int precision) {
    std::array<char, 64> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::general, std::max(precision, 1));
    (void)ec;
    return std::string(buffer.data(), end);
}

} // namespace kestrova
