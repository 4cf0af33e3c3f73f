// kestrova-cli gas and climate, run in a working directory holding small
// made-up map files.
#include "CliRun.h"

#include "MapFixtures.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kestrova::cli {
namespace {

using kestrova::testing::Grid05;
using kestrova::testing::Grid15;
using kestrova::testing::N0NodeId;
using kestrova::testing::NodeId;
using kestrova::testing::TempDir;
using kestrova::testing::WorkingDirectory;

std::vector<std::string> Keys(const nlohmann::json& json) {
    std::vector<std::string> keys;
    for (const auto& item : json.items())
        keys.push_back(item.key());
    return keys;
}

// Expected values: tests/propagation/p676_reference.py.
TEST(CliGas, JsonWithTheWindowsDefaults) {
    const CliRun run = Cli({"gas", "--freq", "10", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(Keys(json),
              (std::vector<std::string>{"gamma", "gammaDry", "gammaOxygen", "gammaWater", "rho"}));
    // 20 °C, 1000 hPa, 50 %.
    EXPECT_NEAR(json["rho"].get<double>(), 8.6433199790897665, 1e-12);
    EXPECT_NEAR(json["gamma"].get<double>(), 0.015014464957196434, 1e-15);
    EXPECT_NEAR(json["gammaOxygen"].get<double>(), 0.00091014089535282979, 1e-16);
    EXPECT_NEAR(json["gammaWater"].get<double>(), 0.0075008287233990688, 1e-16);
    EXPECT_NEAR(json["gammaDry"].get<double>(), 0.0066034953384445355, 1e-16);
}

TEST(CliGas, WeatherOptions) {
    const CliRun run = Cli({"gas", "--freq=60", "--pressure", "1013.25", "--temperature", "15",
                            "--humidity", "100", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_NEAR(json["rho"].get<double>(), 12.824856956036732, 1e-12);
    EXPECT_NEAR(json["gamma"].get<double>(), 15.081992033893008, 1e-11);

    const auto dry = nlohmann::json::parse(
        Cli({"gas", "--freq", "183.310091", "--humidity", "0", "--json"}).out);
    EXPECT_EQ(dry["rho"].get<double>(), 0.0);
    EXPECT_EQ(dry["gammaWater"].get<double>(), 0.0);
    EXPECT_NEAR(dry["gamma"].get<double>(), 0.016039102934710313, 1e-15);

    const CliRun text = Cli({"gas", "--freq", "22.23508", "--temperature", "15", "--humidity",
                             "100", "--pressure", "1013.25"});
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("12.8249 g/m3"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("0.322434 dB/km"), std::string::npos) << text.out;
}

std::string Exact(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// The reference table of the P676 tests through the command line: every
// frequency of 0.025-300 GHz in five kinds of weather.
TEST(CliGas, MatchesTheReferenceOverTheWholeBand) {
    std::ifstream in(P676_REFERENCE_CSV);
    ASSERT_TRUE(in.is_open()) << P676_REFERENCE_CSV;
    std::string line;
    std::getline(in, line); // header
    int rows = 0;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::vector<double> v;
        for (std::string field; std::getline(fields, field, ',');)
            v.push_back(std::stod(field));
        ASSERT_EQ(v.size(), 8u) << line;
        // The script's weathers: pressure, temperature -> relative humidity.
        const double rh = v[3] == 0.0   ? 0
                          : v[2] == 15  ? 100
                          : v[2] == 20  ? 50
                          : v[2] == -10 ? 80
                                        : 30;
        const CliRun run = Cli({"gas", "--freq", Exact(v[0]), "--pressure", Exact(v[1]),
                                "--temperature", Exact(v[2]), "--humidity", Exact(rh), "--json"});
        ASSERT_EQ(run.status, 0) << line << ": " << run.err;
        const auto json = nlohmann::json::parse(run.out);
        EXPECT_NEAR(json["rho"].get<double>(), v[3], 1e-13 * v[3]) << line;
        EXPECT_NEAR(json["gamma"].get<double>(), v[4], 1e-12 * v[4]) << line;
        ++rows;
    }
    EXPECT_GT(rows, 3000);
}

TEST(CliGas, MistakesAndInputsOutsideTheLimits) {
    struct Case {
        Words words;
        int status;
    } cases[] = {
        {{"gas"}, 1},
        {{"gas", "--freq", "ten"}, 1},
        {{"gas", "--freq", "10", "extra"}, 1},
        {{"gas", "--freq", "10", "--altitude", "3"}, 1},
        {{"gas", "--freq", "0"}, 2},
        {{"gas", "--freq", "301"}, 2},
        {{"gas", "--freq", "10", "--pressure", "-5"}, 2},
        {{"gas", "--freq", "10", "--temperature", "-300"}, 2},
        {{"gas", "--freq", "10", "--humidity", "120"}, 2},
        {{"gas", "--freq", "10", "--humidity", "nan"}, 1},
    };
    for (const Case& c : cases) {
        const CliRun run = Cli(c.words);
        EXPECT_EQ(run.status, c.status) << c.words.back() << ": " << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

class CliClimate : public ::testing::Test {
protected:
    TempDir dir;
    WorkingDirectory cwd{dir.Path()};
};

std::string Constant(double value) {
    return Grid15([value](int, int) { return value; });
}

TEST_F(CliClimate, JsonFromTheMapsInTheWorkingDirectory) {
    dir.Write("n0.txt", Grid05(N0NodeId));
    dir.Write("dn.txt", Grid05([](int, int) { return 45.0; }));
    dir.Write("DNDZ_90.TXT", Constant(-90));
    dir.Write("dndz_50.txt", Constant(-50));
    dir.Write("DNDZ_10.TXT", Constant(-10));
    dir.Write("DNDZ_01.TXT", Constant(-1));
    dir.Write("S_OCCUR.TXT", Grid15(NodeId));
    dir.Write("E_OCCUR.TXT", Constant(30));

    const CliRun run = Cli({"climate", "51.3", "-1.4", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(Keys(json),
              (std::vector<std::string>{"deltaN", "dndz01", "dndz10", "dndz50", "dndz90",
                                        "elevatedDucts", "n0", "surfaceDucts", "unusableMaps"}));
    EXPECT_EQ(json["unusableMaps"], nlohmann::json::array());
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(json["n0"].get<double>(), N0NodeId(63, 357));
    EXPECT_EQ(json["deltaN"].get<double>(), 45.0);
    EXPECT_NEAR(json["dndz90"].get<double>(), -90, 1e-9);
    EXPECT_NEAR(json["dndz50"].get<double>(), -50, 1e-9);
    EXPECT_NEAR(json["dndz10"].get<double>(), -10, 1e-9);
    EXPECT_NEAR(json["dndz01"].get<double>(), -1, 1e-9);
    EXPECT_EQ(json["surfaceDucts"].get<double>(), NodeId(26, 239)); // 1.4 W is 358.6 E
    EXPECT_EQ(json["elevatedDucts"].get<double>(), 30.0);

    const auto blended =
        nlohmann::json::parse(Cli({"climate", "51.3", "-1.4", "--interpolate", "--json"}).out);
    EXPECT_NE(blended["n0"].get<double>(), N0NodeId(63, 357));
    EXPECT_NEAR(blended["elevatedDucts"].get<double>(), 30.0, 1e-9);

    // 358.6 E is 1.4 W on every map.
    const auto east = nlohmann::json::parse(Cli({"climate", "51.3", "358.6", "--json"}).out);
    for (const auto& item : json.items()) {
        if (!item.value().is_number()) continue;
        EXPECT_NEAR(east[item.key()].get<double>(), item.value().get<double>(), 1e-9) << item.key();
    }

    const CliRun text = Cli({"climate", "51.3", "-1.4"});
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("306.336 N-units"), std::string::npos) << text.out;
    EXPECT_EQ(text.out.find("No data"), std::string::npos) << text.out;
}

// Missing and unreadable maps are no error: their values are null. (Bad
// files here also keep any real maps beside the executable out of the test.)
TEST_F(CliClimate, NullWhereALookupFails) {
    for (const char* name : {"n0.txt", "dn.txt", "N050.TXT", "DN50.TXT", "DNDZ_90.TXT",
                             "DNDZ_50.TXT", "DNDZ_10.TXT", "DNDZ_01.TXT", "E_OCCUR.TXT"})
        dir.Write(name, "not a map\r\n");
    dir.Write("S_OCCUR.TXT", Grid15(NodeId));

    const CliRun run = Cli({"climate", "0", "0", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    for (const char* key :
         {"n0", "deltaN", "dndz90", "dndz50", "dndz10", "dndz01", "elevatedDucts"})
        EXPECT_TRUE(json[key].is_null()) << key;
    EXPECT_EQ(json["surfaceDucts"].get<double>(), NodeId(60, 0));
    // Each file that could not be used, with its reason, in the JSON and in
    // one note on stderr.
    const std::string why = "word 1 (\"not\") is not a number";
    nlohmann::json unusable = nlohmann::json::array();
    for (const char* name : {"n0.txt", "N050.TXT", "dn.txt", "DN50.TXT", "DNDZ_90.TXT",
                             "DNDZ_50.TXT", "DNDZ_10.TXT", "DNDZ_01.TXT", "E_OCCUR.TXT"})
        unusable.push_back({{"file", name}, {"problem", why}});
    EXPECT_EQ(json["unusableMaps"], unusable);
    EXPECT_EQ(run.err, "note: map files not used: n0.txt: " + why + "; N050.TXT: " + why +
                           "; dn.txt: " + why + "; DN50.TXT: " + why + "; DNDZ_90.TXT: " + why +
                           "; DNDZ_50.TXT: " + why + "; DNDZ_10.TXT: " + why +
                           "; DNDZ_01.TXT: " + why + "; E_OCCUR.TXT: " + why + "\n");

    const CliRun text = Cli({"climate", "0", "0"});
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("Surface refractivity N0         No data"), std::string::npos)
        << text.out;
}

// With only N050.TXT, link says that the defaults are in use and why: on
// stderr and in the JSON; with both maps it says they came from the maps.
TEST_F(CliClimate, LinkSaysWhenN0AndDeltaNAreDefaults) {
    dir.Write("N050.TXT", Constant(330));
    const Words link = {"link", "--tx", "SU374616", "--rx", "SU48858947", "--json"};
    const CliRun defaults = Cli(link);
    ASSERT_EQ(defaults.status, 0) << defaults.err;
    const auto json = nlohmann::json::parse(defaults.out);
    EXPECT_EQ(json["n0Source"], "default");
    EXPECT_EQ(json["unusableMaps"],
              nlohmann::json::parse(R"([{"file": "DN50.TXT", "problem": "missing"}])"));
    EXPECT_EQ(json["deltaN"].get<double>(), 45.0);
    EXPECT_NE(defaults.err.find("note: DN50.TXT: missing; defaults N0 320 N-units and delta N "
                                "45 N/km in use\n"),
              std::string::npos)
        << defaults.err;

    const CliRun given = Cli({"link", "--tx", "SU374616", "--rx", "SU48858947", "--n0", "310",
                              "--delta-n", "40", "--json"});
    ASSERT_EQ(given.status, 0) << given.err;
    EXPECT_EQ(nlohmann::json::parse(given.out)["n0Source"], "given");
    EXPECT_EQ(given.err.find("N0"), std::string::npos) << given.err;

    dir.Write("DN50.TXT", Constant(40));
    const CliRun maps = Cli(link);
    ASSERT_EQ(maps.status, 0) << maps.err;
    const auto fromMaps = nlohmann::json::parse(maps.out);
    EXPECT_EQ(fromMaps["n0Source"], "maps");
    EXPECT_EQ(fromMaps["unusableMaps"], nlohmann::json::array());
    EXPECT_EQ(fromMaps["deltaN"].get<double>(), 40.0);
    EXPECT_EQ(maps.err.find("N0"), std::string::npos) << maps.err;
}

TEST_F(CliClimate, Mistakes) {
    struct Case {
        Words words;
        int status;
    } cases[] = {
        {{"climate"}, 1},
        {{"climate", "51"}, 1},
        {{"climate", "51", "0", "7"}, 1},
        {{"climate", "north", "0"}, 1},
        {{"climate", "51", "0", "--freq", "3"}, 1},
        {{"climate", "95", "0"}, 2},
        {{"climate", "51", "400"}, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Cli(c.words).status, c.status) << c.words.back();
}

} // namespace
} // namespace kestrova::cli
