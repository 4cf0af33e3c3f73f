// A command's options: each command declares what it accepts in an
// OptionList (value options, flags, positional words, each with its help
// line), the command line's parser (CommandLine.cpp) reads the words
// against it, and the command reads the result through Args.
#pragma once

#include "inputs/InputLimits.h"

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
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

// One thing a command accepts.
struct OptionDeclaration {
    enum class Kind { Value, Flag, Positional };
    Kind kind;
    std::string name; // the long option without dashes; the words' name in the help
    std::string type; // the value's kind in the help: FLOAT, INT, TEXT, FILE, ...
    std::string help; // one line
};

// A number's help after its row of the table of inputs: "Frequency of the
// link (GHz, 0.025 to 300, default 10.368)"; absent ("required", "default
// none") in place of the default when given.
std::string NumberHelp(const InputLimit& limit, const std::string& absent = "");

class OptionList {
public:
    // A number of a row of the table of inputs, under the row's option; its
    // help is the row's description, unit, limits and default ("required"
    // in place of the default when the command needs it).
    void Number(const InputLimit& limit, bool required = false);
    void Value(const std::string& name, const std::string& type, const std::string& help);
    void Flag(const std::string& name, const std::string& help);
    // The positional words, any number of them.
    void Positional(const std::string& name, const std::string& help);
    // The command runs in another tool, which reads its words: they are
    // handed over as they are (Args::Positional).
    void Forward() { forward_ = true; }

    const std::vector<OptionDeclaration>& Declarations() const { return declarations_; }
    bool Forwarded() const { return forward_; }
    // The names of the value options, in the order declared.
    std::vector<std::string> ValueNames() const;

private:
    std::vector<OptionDeclaration> declarations_;
    bool forward_ = false;
};

// The options given to a command.
class Args {
public:
    Args() = default;
    Args(std::map<std::string, std::string> values, std::set<std::string> flags,
         std::vector<std::string> positional)
        : values_(std::move(values)), flags_(std::move(flags)), positional_(std::move(positional)) {
    }

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
// --format, which ParseLocatorFormat reads.
void DeclareFormat(OptionList& options);
const char* LocatorFormatName(int format);

} // namespace kestrova::cli
