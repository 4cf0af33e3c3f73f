// kestrova-cli's command line, read by CLI11: the tool is one CLI::App
// with a subcommand per command. The command asked for declares its options
// (OptionList), CLI11 reads the words against them, and the command gets
// what was given as Args. --help prints the help made from the same
// declarations; usage mistakes exit with status 1, unusable input with 2.
#include "cli/Args.h"
#include "cli/Commands.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <new>
#include <ostream>

namespace kestrova::cli {
namespace {

constexpr const char* kTool = "kestrova-cli";

const Command* FindCommand(const std::string& name) {
    const auto& commands = AllCommands();
    const auto found = std::find_if(commands.begin(), commands.end(),
                                    [&](const Command& c) { return name == c.name; });
    return found == commands.end() ? nullptr : &*found;
}

std::string UsageLine(const Command& command) {
    return std::string("Usage: ") + kTool + " " + command.name + " " + command.usage + "\n";
}

// The help's usage line is the command's own, which shows which options go
// together; the tool's lists its commands.
class HelpFormat : public CLI::Formatter {
public:
    HelpFormat() { column_width(32); }
    std::string make_usage(const CLI::App* app, std::string) const override {
        if (const Command* command = FindCommand(app->get_name())) return UsageLine(*command);
        return std::string("Usage: ") + kTool + " COMMAND [OPTIONS]\n";
    }
};

// The tool with every command, the options of the one asked for declared
// (the others need only their summary, for the tool's help).
class CommandLine {
public:
    CommandLine(const Command* command, const OptionList& options)
        : app("Radio link planning after ITU-R P.452 from the command line.", kTool) {
        app.formatter(std::make_shared<HelpFormat>());
        app.set_version_flag("--version", VersionText(), "Print the version and exit");
        app.require_subcommand(1); // a command's words never name another command
        for (const Command& each : AllCommands()) {
            CLI::App* sub = app.add_subcommand(each.name, each.summary)->group("Commands");
            if (&each == command) Declare(*sub, options);
        }
        app.footer(std::string("Run '") + kTool + " COMMAND --help' for a command's options.");
    }

    // The words read; CLI::ParseError (CallForHelp and CallForVersion among
    // them) when they cannot be.
    void Parse(const Words& given) {
        std::vector<std::string> reversed(given.rbegin(), given.rend());
        app.parse(std::move(reversed));
    }

    Args Given(const Command& command, const OptionList& options) const {
        const CLI::App& sub = *app.get_subcommand(command.name);
        std::map<std::string, std::string> values;
        std::set<std::string> flags;
        for (const OptionDeclaration& declared : options.Declarations()) {
            if (declared.kind == OptionDeclaration::Kind::Positional) continue;
            const CLI::Option& option = *sub.get_option("--" + declared.name);
            if (option.count() == 0) continue;
            if (declared.kind == OptionDeclaration::Kind::Flag) {
                flags.insert(declared.name);
                continue;
            }
            values[declared.name] = option.results().back();
        }
        return Args(std::move(values), std::move(flags), words);
    }

    // CLI11 takes the word after an option as its value whatever it is: an
    // option there means the value was left out. The mistake, "" none.
    std::string ValueLeftOut(const Command& command, const OptionList& options) const {
        const CLI::App& sub = *app.get_subcommand(command.name);
        for (const OptionDeclaration& declared : options.Declarations()) {
            if (declared.kind != OptionDeclaration::Kind::Value) continue;
            for (const std::string& value : sub.get_option("--" + declared.name)->results())
                if (value.rfind("--", 0) == 0)
                    return "option --" + declared.name + " needs a value, not \"" + value + "\"";
        }
        return {};
    }

    // The first word the command does not accept: an unknown option or a
    // stray argument.
    std::string Unexpected(const Command& command) const {
        const std::vector<std::string> extras = app.get_subcommand(command.name)->remaining();
        if (extras.empty()) return {};
        const std::string& word = extras.front();
        if (word.size() > 1 && word[0] == '-' && !ParseNumber(word))
            return "unknown option " + word.substr(0, word.find('='));
        return "unexpected argument \"" + word + "\"";
    }

    std::string Help() const { return app.help(); }

private:
    void Declare(CLI::App& sub, const OptionList& options) {
        for (const OptionDeclaration& declared : options.Declarations()) {
            switch (declared.kind) {
            case OptionDeclaration::Kind::Value:
                sub.add_option("--" + declared.name, declared.help)
                    ->type_name(declared.type)
                    ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
                break;
            case OptionDeclaration::Kind::Flag:
                sub.add_flag("--" + declared.name)
                    ->description(declared.help)
                    ->disable_flag_override();
                break;
            case OptionDeclaration::Kind::Positional:
                sub.add_option(declared.name, words, declared.help)->type_name("");
                break;
            }
        }
    }

    CLI::App app;
    std::vector<std::string> words; // the positional words of the command
};

// The mistake with the usage line and where to find every option.
int ReportMistake(const std::string& message, const Command& command, std::ostream& err) {
    err << kTool << " " << command.name << ": " << message << "\n"
        << UsageLine(command) << "Run '" << kTool << " " << command.name
        << " --help' for its options.\n";
    return 1;
}

int RunCommand(const Command& command, const Args& args, std::ostream& out, std::ostream& err) {
    try {
        return command.run(args, out);
    } catch (const UsageError& e) {
        return ReportMistake(e.what(), command, err);
    } catch (const InputError& e) {
        err << kTool << " " << command.name << ": " << e.what() << "\n";
        return 2;
    } catch (const std::bad_alloc&) {
        err << kTool << " " << command.name
            << ": out of memory: the work needs more memory or address space than this process "
               "may have (see ulimit -v)\n";
        return 2;
    } catch (const std::exception& e) {
        err << kTool << " " << command.name << ": " << e.what() << "\n";
        return 2;
    }
}

// The first of the mistakes CLI11 found, or a value left out before them.
std::string Mistake(const CLI::ParseError& error, const CommandLine& line, const Command& command,
                    const OptionList& options) {
    if (std::string leftOut = line.ValueLeftOut(command, options); !leftOut.empty()) return leftOut;
    if (dynamic_cast<const CLI::ExtrasError*>(&error))
        if (std::string named = line.Unexpected(command); !named.empty()) return named;
    return error.what();
}

} // namespace

int RunCli(const Words& words, std::ostream& out, std::ostream& err) {
    const WarningsTo warnings(err);
    const Command* command = words.empty() ? nullptr : FindCommand(words[0]);
    OptionList options;
    if (command) command->declare(options);
    if (command && options.Forwarded()) // the map tool reads the words itself
        return RunCommand(*command, Args({}, {}, Words(words.begin() + 1, words.end())), out, err);

    CommandLine line(command, options);
    if (words.empty() || words[0] == "help") {
        (words.empty() ? err : out) << line.Help();
        return words.empty() ? 1 : 0;
    }
    if (!command && words[0].rfind("-", 0) != 0) {
        err << kTool << ": unknown command \"" << words[0] << "\"\n" << line.Help();
        return 1;
    }
    try {
        line.Parse(words);
    } catch (const CLI::CallForHelp&) {
        out << line.Help();
        return 0;
    } catch (const CLI::CallForVersion&) {
        out << VersionText() << "\n";
        return 0;
    } catch (const CLI::ParseError& error) {
        if (!command) {
            err << kTool << ": " << error.what() << "\n" << line.Help();
            return 1;
        }
        return ReportMistake(Mistake(error, line, *command, options), *command, err);
    }
    if (!command) return 1; // CLI11 requires one: not reached
    if (std::string leftOut = line.ValueLeftOut(*command, options); !leftOut.empty())
        return ReportMistake(leftOut, *command, err);
    return RunCommand(*command, line.Given(*command, options), out, err);
}

} // namespace kestrova::cli
