#include "cli/Args.h"

#include <charconv>
#include <cmath>

namespace kestrova::cli {

Args::Args(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
           const std::set<std::string>& flags) {
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.size() < 3 || word.compare(0, 2, "--") != 0) {
            if (word == "--")
                optionsEnded = true;
            else
                positional_.push_back(word);
            continue;
        }
        std::string name = word.substr(2);
        std::optional<std::string> inlineValue;
        if (const size_t eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        if (flags.count(name)) {
            if (inlineValue) throw UsageError("option --" + name + " takes no value");
            flags_.insert(name);
        } else if (valueOptions.count(name)) {
            if (!inlineValue) {
                if (i + 1 >= words.size()) throw UsageError("option --" + name + " needs a value");
                inlineValue = words[++i];
            }
            values_[name] = *inlineValue;
        } else {
            throw UsageError("unknown option --" + name);
        }
    }
}

std::optional<std::string> Args::Value(const std::string& name) const {
    const auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

std::string Args::Required(const std::string& name) const {
    const auto value = Value(name);
    if (!value) throw UsageError("option --" + name + " is required");
    return *value;
}

std::optional<double> Args::Number(const std::string& name) const {
    const auto text = Value(name);
    if (!text) return std::nullopt;
    const auto number = ParseNumber(*text);
    if (!number) throw UsageError("option --" + name + ": \"" + *text + "\" is not a number");
    return number;
}

double Args::Number(const std::string& name, double fallback) const {
    return Number(name).value_or(fallback);
}

double Args::RequiredNumber(const std::string& name) const {
    const auto number = Number(name);
    if (!number) throw UsageError("option --" + name + " is required");
    return *number;
}

std::optional<int> Args::Integer(const std::string& name) const {
    const auto number = Number(name);
    if (!number) return std::nullopt;
    if (*number != std::floor(*number) || std::fabs(*number) > 1e9)
        throw UsageError("option --" + name + " needs a whole number");
    return static_cast<int>(*number);
}

std::optional<double> ParseNumber(const std::string& text) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') ++first;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || first == last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

int ParseLocatorFormat(const std::string& text) {
    static const char* const names[] = {"loc", "ngr", "deg", "dms"};
    for (int i = 0; i < 4; ++i)
        if (text == names[i] || text == std::to_string(i)) return i;
    throw UsageError("unknown location format \"" + text + "\" (use loc, ngr, deg, dms or 0-3)");
}

const char* LocatorFormatName(int format) {
    switch (format) {
    case 0:
        return "Maidenhead locator";
    case 1:
        return "OSGB grid reference";
    case 2:
        return "decimal-degree position";
    case 3:
        return "degrees-minutes-seconds position";
    default:
        return "location";
    }
}

} // namespace kestrova::cli
