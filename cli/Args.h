// A small command-line parser: "--name value", "--name=value", flags, and
// positional words. Options are declared up front so that an unknown or
// misspelt option is an error rather than silently ignored.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrova::cli {

// A mistake in the command line: the tool prints it with the usage line and
// exits with status 1.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Input that was understood but is not acceptable (an invalid location
// text, a missing file): exit status 2.
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Args {
public:
    Args(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
         const std::set<std::string>& flags);

    bool Flag(const std::string& name) const { return flags_.count(name) != 0; }
    std::optional<std::string> Value(const std::string& name) const;
    std::string Required(const std::string& name) const;
    // A number option; UsageError names the option when the text is not a
    // number.
    std::optional<double> Number(const std::string& name) const;
    double Number(const std::string& name, double fallback) const;
    double RequiredNumber(const std::string& name) const;
    std::optional<int> Integer(const std::string& name) const;
    const std::vector<std::string>& Positional() const { return positional_; }

private:
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
    std::vector<std::string> positional_;
};

// A number in the C locale's notation; nullopt unless the whole text is one.
std::optional<double> ParseNumber(const std::string& text);

// "loc", "ngr", "deg", "dms" or 0..3.
int ParseLocatorFormat(const std::string& text);
const char* LocatorFormatName(int format);

} // namespace kestrova::cli
