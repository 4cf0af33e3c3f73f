#include "CliRun.h"
#include "cli/Args.h"
#include "inputs/InputLimits.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace kestrova::cli {
namespace {

TEST(CliConvert, JsonHoldsEveryFormat) {
    const CliRun run = Cli({"convert", "--format", "ngr", "--json", "SU374616"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["valid"], true);
    EXPECT_NEAR(json["latitude"].get<double>(), 51.352252, 5e-7);
    EXPECT_NEAR(json["longitude"].get<double>(), -1.464330, 5e-7);
    EXPECT_EQ(json["ngr"], "SU37406160");
    EXPECT_EQ(json["maidenhead"].get<std::string>().size(), 10u);
    EXPECT_EQ(json["degrees"], "51.352 N   1.464 W");
    EXPECT_EQ(json["dms"].get<std::string>().substr(0, 8), "51 21 8.");
}

TEST(CliConvert, FormatsByNameOrNumberAndTextInSeveralWords) {
    const CliRun byName =
        Cli({"convert", "--format=dms", "--json", "51", "15", "27", "N", "0", "7", "30", "W"});
    const CliRun byNumber = Cli({"convert", "--format", "3", "--json", "51 15 27 N 0 7 30 W"});
    ASSERT_EQ(byName.status, 0) << byName.err;
    EXPECT_EQ(byName.out, byNumber.out);
    EXPECT_EQ(nlohmann::json::parse(byName.out)["degrees"], "51.258 N   0.125 W");

    const CliRun text = Cli({"convert", "--format", "loc", "io91wm"});
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("IO91WM55LL"), std::string::npos);
    EXPECT_NE(text.out.find("51.5228302228 -0.1210062211"), std::string::npos);
}

TEST(CliConvert, MistakesHaveTheirOwnStatus) {
    const CliRun invalid = Cli({"convert", "--format", "loc", "IS91"});
    EXPECT_EQ(invalid.status, 2);
    EXPECT_NE(invalid.err.find("\"IS91\" is not a valid Maidenhead locator"), std::string::npos);
    EXPECT_EQ(std::count(invalid.err.begin(), invalid.err.end(), '\n'), 1);

    EXPECT_EQ(Cli({"convert", "--format", "xyz", "IO91"}).status, 1);
    EXPECT_EQ(Cli({"convert", "--bogus", "IO91"}).status, 1);
    EXPECT_EQ(Cli({"convert", "--format"}).status, 1);
    EXPECT_EQ(Cli({"convert"}).status, 1);
    EXPECT_EQ(Cli({"nonsense"}).status, 1);
    EXPECT_EQ(Cli({}).status, 1);
}

TEST(CliHelp, ListsEveryCommand) {
    const CliRun help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    for (const Command& command : AllCommands())
        EXPECT_NE(help.out.find(command.summary), std::string::npos) << command.name;
    EXPECT_EQ(Cli({"help"}).out, help.out);
    const CliRun version = Cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, VersionText() + "\n");
}

// The help of an option: the line that begins with it, and the next when
// a long name pushed the text there.
std::string HelpLine(const std::string& help, const std::string& option) {
    const std::size_t at = help.find("\n  " + option + " ");
    if (at == std::string::npos) return {};
    const std::size_t end = help.find('\n', at + 1);
    std::string line = help.substr(at + 1, end - at - 1);
    if (help.compare(end, 6, "\n     ") == 0)
        line += help.substr(end, help.find('\n', end + 1) - end);
    return line;
}

TEST(CliHelp, EveryCommandListsEveryOptionWithItsHelp) {
    for (const Command& command : AllCommands()) {
        SCOPED_TRACE(command.name);
        const CliRun help = Cli({command.name, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.err, "");
        EXPECT_EQ(
            help.out.find(std::string("Usage: kestrova-cli ") + command.name + " " + command.usage),
            help.out.find("Usage:"));
        OptionList options;
        command.declare(options);
        ASSERT_FALSE(options.Declarations().empty());
        for (const OptionDeclaration& declared : options.Declarations()) {
            EXPECT_FALSE(declared.help.empty()) << declared.name;
            const bool positional = declared.kind == OptionDeclaration::Kind::Positional;
            const std::string line =
                HelpLine(help.out, positional ? declared.name : "--" + declared.name);
            EXPECT_NE(line.find(declared.help), std::string::npos) << declared.name << "\n"
                                                                   << help.out;
        }
    }
}

TEST(CliHelp, NumbersShowTheirRowOfTheTable) {
    const std::string help = Cli({"link", "--help"}).out;
    const std::string freq = HelpLine(help, "--freq");
    EXPECT_EQ(freq.rfind("  --freq FLOAT  ", 0), 0u) << help;
    EXPECT_NE(freq.find("Frequency of the link (GHz, 0.025 to 300, default 10.368)"),
              std::string::npos)
        << freq;
    for (const InputLimit* limit :
         {&limits::frequency, &limits::txHeight, &limits::percent, &limits::kFactor}) {
        const std::string line = HelpLine(help, std::string("--") + limit->option);
        EXPECT_NE(line.find(limit->description), std::string::npos) << line;
        EXPECT_NE(line.find(limit->HelpText()), std::string::npos) << line;
    }
    // A number the command needs says so in place of a default.
    EXPECT_NE(HelpLine(Cli({"gas", "--help"}).out, "--freq").find("(GHz, 0.025 to 300, required)"),
              std::string::npos);
}

TEST(CliCommandLine, ValuesMayBeNegativeNumbers) {
    const CliRun apart = Cli({"gas", "--freq", "10", "--temperature", "-10", "--json"});
    ASSERT_EQ(apart.status, 0) << apart.err;
    EXPECT_EQ(Cli({"gas", "--freq=10", "--temperature=-10", "--json"}).out, apart.out);
    EXPECT_NE(Cli({"gas", "--freq", "10", "--json"}).out, apart.out);
    // The last of a repeated option counts.
    EXPECT_EQ(Cli({"gas", "--freq", "5", "--freq", "10", "--temperature", "-10", "--json"}).out,
              apart.out);

    // Read as the value, refused by its limits.
    const CliRun bearing =
        Cli({"radial", "--tx", "SU374616", "--range", "5", "--bearing", "-5", "--json"});
    EXPECT_EQ(bearing.status, 1);
    EXPECT_NE(bearing.err.find("option --bearing must lie between 0 and 360"), std::string::npos)
        << bearing.err;

    // Positional words: a negative longitude, with or without "--".
    const CliRun words = Cli({"height", "51.5", "-1.5", "--json"});
    ASSERT_EQ(words.status, 0) << words.err;
    EXPECT_EQ(Cli({"height", "--json", "--", "51.5", "-1.5"}).out, words.out);
}

TEST(CliCommandLine, MistakesExitWithOneAndTheUsage) {
    struct Case {
        Words words;
        const char* message;
    };
    const Case cases[] = {
        {{"link", "--tx", "--rx", "IO91"},
         "kestrova-cli link: option --tx needs a value, not \"--rx\""},
        {{"link", "--tx=--rx", "IO91wm"}, "option --tx needs a value"},
        {{"convert", "--format"}, "--format"},
        {{"convert", "--bogus", "IO91"}, "kestrova-cli convert: unknown option --bogus"},
        {{"convert", "--bogus=3", "IO91"}, "unknown option --bogus\n"},
        {{"convert", "--json=1", "IO91"}, "json"},
        {{"gas", "--freq", "10", "stray"}, "unexpected argument \"stray\""},
        {{"gas", "--freq", "ten"}, "option --freq: \"ten\" is not a number"},
        {{"gas"}, "option --freq is required"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.words));
        const CliRun run = Cli(c.words);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("Usage: kestrova-cli " + c.words[0] + " "), std::string::npos);
    }
    const CliRun unknown = Cli({"nonsense", "--help"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("unknown command \"nonsense\""), std::string::npos);
}

} // namespace
} // namespace kestrova::cli
