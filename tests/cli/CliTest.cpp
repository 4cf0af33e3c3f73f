#include "CliRun.h"

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
    for (const Command& command : AllCommands())
        EXPECT_NE(help.out.find(command.name), std::string::npos) << command.name;
    const CliRun usage = Cli({"convert", "--help"});
    EXPECT_EQ(usage.status, 0);
    EXPECT_NE(usage.out.find("--format"), std::string::npos);
}

} // namespace
} // namespace kestrova::cli
