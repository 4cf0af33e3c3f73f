// kestrova-cli sites: every site and every skipped line, as text and JSON.
#include "CliRun.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace kestrova::cli {
namespace {

const char* const fixture = "Hilltop repeater~IO91WM~25m~1.297GHz\r\n"
                            "Short~IO91~10m\r\n"
                            "Caf\xe9 on the hill~51 30 15 N 0 7 30 W~30f~\r\n"
                            "\r\n"
                            "Far locator~IO91WM47XX99AB~10m\r\n";

TEST(CliSites, JsonListsSitesAndSkippedLines) {
    test::TempDir dir;
    dir.Write("sites.dat", fixture);
    const CliRun run = Cli({"sites", dir.Path("sites.dat"), "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json["sites"].size(), 2u);
    const auto& first = json["sites"][0];
    EXPECT_EQ(first["name"], "Hilltop repeater");
    EXPECT_NEAR(first["latitude"].get<double>(), 51.5228302228, 1e-9);
    EXPECT_NEAR(first["longitude"].get<double>(), -0.1210062211, 1e-9);
    EXPECT_EQ(first["format"], 0);
    EXPECT_EQ(first["mastHeight"], 25.0);
    EXPECT_EQ(first["frequency"], 1.297);
    const auto& second = json["sites"][1];
    EXPECT_EQ(second["name"], "Caf\xef\xbf\xbd on the hill"); // Latin-1 byte replaced
    EXPECT_EQ(second["format"], 3);
    EXPECT_NEAR(second["mastHeight"].get<double>(), 9.144, 1e-12);
    EXPECT_TRUE(second["frequency"].is_null());

    ASSERT_EQ(json["skipped"].size(), 2u);
    EXPECT_EQ(json["skipped"][0]["line"], 2);
    EXPECT_EQ(json["skipped"][0]["reason"], "location \"IO91\" is shorter than 6 characters");
    EXPECT_EQ(json["skipped"][1]["line"], 5);
}

TEST(CliSites, TextAndFailures) {
    test::TempDir dir;
    dir.Write("sites.dat", fixture);
    const CliRun run = Cli({"sites", dir.Path("sites.dat")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("2 Sites (2 lines skipped)\n"
                            "Hilltop repeater: 51.5228302 -0.1210062 (Maidenhead locator), "
                            "mast 25 m, 1.297 GHz\n",
                            0),
              0u)
        << run.out;
    EXPECT_NE(run.out.find("mast 9.144 m, no frequency\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("line 2 skipped: location \"IO91\" is shorter than 6 characters\n"),
              std::string::npos);

    const CliRun missing = Cli({"sites", dir.Path("missing.dat"), "--json"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("missing.dat"), std::string::npos) << missing.err;
    EXPECT_EQ(Cli({"sites", dir.String()}).status, 2);
    EXPECT_EQ(Cli({"sites"}).status, 1);
    EXPECT_EQ(Cli({"sites", "a.dat", "b.dat"}).status, 1);
}

} // namespace
} // namespace kestrova::cli
