#include "cli/Args.h"

#include <charconv>
#include <cmath>

namespace kestrova::cli {

std::string NumberHelp(const InputLimit& limit, const std::string& absent) {
    std::string text = limit.HelpText();
    if (!absent.empty()) text = text.substr(0, text.rfind(", default ")) + ", " + absent;
    return std::string(limit.description) + " (" + text + ")";
}

void OptionList::Number(const InputLimit& limit, bool required) {
    declarations_.push_back({OptionDeclaration::Kind::Value, limit.option,
                             limit.integerEdit ? "INT" : "FLOAT",
                             NumberHelp(limit, required ? "required" : "")});
}

void OptionList::Value(const std::string& name, const std::string& type, const std::string& help) {
    declarations_.push_back({OptionDeclaration::Kind::Value, name, type, help});
}

void OptionList::Flag(const std::string& name, const std::string& help) {
    declarations_.push_back({OptionDeclaration::Kind::Flag, name, "", help});
}

void OptionList::Positional(const std::string& name, const std::string& help) {
    declarations_.push_back({OptionDeclaration::Kind::Positional, name, "", help});
}

std::vector<std::string> OptionList::ValueNames() const {
    std::vector<std::string> names;
    for (const OptionDeclaration& declared : declarations_)
        if (declared.kind == OptionDeclaration::Kind::Value) names.push_back(declared.name);
    return names;
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

void DeclareFormat(OptionList& options) {
    options.Value("format", "loc|ngr|deg|dms|0-3",
                  "Notation of the location texts: Maidenhead locator, OSGB grid reference, "
                  "decimal degrees or degrees-minutes-seconds (default ngr)");
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
