// Profile samples without terrain data: counted and placed by the engine,
// reported by kestrova-cli. A path along 51.5 N from 1.5 W eastwards runs
// off the demo tile (51-52 N, 2-1 W) at 1 W: east of it no height is known.
#include "propagation/engine/MissingTerrain.h"
#include "CliRun.h"
#include "propagation/engine/Terrain.h"
#include "terrain/SRTM.h"
#include "terrain/TileFile.h"
#include "terrain/Zones.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kestrova {
namespace {

using cli::Cli;

class MissingTerrain : public ::testing::Test {
protected:
    void SetUp() override {
        tiles = DemoTileDirectory();
        if (tiles.empty()) GTEST_SKIP() << "the demo tile n51w002.hgt.zip is missing";
    }
    std::string tiles;
};

// The share of the samples east of 1 W, from the profile's own distances:
// the walk's longitude grows along the path, so the samples past the
// meridian are the last ones.
TEST_F(MissingTerrain, EngineCountsAndPlacesTheSamplesOffTheTile) {
    CSRTM store(CSRTM::kTilesPerStore, tiles);
    const CZONES zones("/nonexistent-kestrova/", "zones01.dem");
    const CLocator start(51.5, -1.5);
    struct Case {
        const char* what;
        CLocator end;
        bool interpolate;
        Edition edition;
        double low; // the share expected, at least and at most
        double high;
    };
    const Case cases[] = {
        {"half off", CLocator(51.5, -0.5), false, Edition::P452_14, 0.49, 0.51},
        {"half off, interpolated", CLocator(51.5, -0.5), true, Edition::P452_14, 0.49, 0.51},
        {"half off, P.452-18", CLocator(51.5, -0.5), false, Edition::P452_18, 0.49, 0.51},
        {"inside", CLocator(51.6, -1.2), false, Edition::P452_14, 0.0, 0.0},
        {"inside, interpolated", CLocator(51.6, -1.2), true, Edition::P452_14, 0.0, 0.0},
    };
    auto engine = std::make_unique<CTerrain>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LinkInputs inputs;
        inputs.frequency = 1.3;
        inputs.edition = c.edition;
        ASSERT_TRUE(engine->CalculateLink(store, zones, start, c.end, c.interpolate, inputs));
        const TerrainProfile& p = engine->profile;
        EXPECT_GE(p.MissingFraction(), c.low);
        EXPECT_LE(p.MissingFraction(), c.high);
        int marked = 0;
        for (int i = 0; i < p.count; ++i)
            marked += p.noTerrain[i];
        EXPECT_EQ(marked, p.missingCount);
        const std::vector<NoTerrainStretch> stretches = NoTerrainStretches(p);
        if (c.high == 0.0) {
            EXPECT_TRUE(stretches.empty());
            continue;
        }
        // One run, from the meridian to the far end, on ground taken as 0 m.
        ASSERT_EQ(stretches.size(), 1u);
        EXPECT_EQ(stretches[0].to, p.distance[p.count - 1]);
        EXPECT_NEAR(stretches[0].from, engine->pathLength / 2.0, 0.5);
        for (int i = p.count - p.missingCount; i < p.count - 1; ++i)
            EXPECT_EQ(p.height[i], 0.0) << i;
    }
    // A surveyed profile has every height, whatever came before.
    const std::vector<ProfilePoint> survey = {{0.0, 100.0}, {5.0, 120.0}, {10.0, 90.0}};
    ASSERT_TRUE(engine->CalculateProfile(survey, 51.5, LinkInputs{}));
    EXPECT_EQ(engine->profile.MissingFraction(), 0.0);
    EXPECT_TRUE(NoTerrainStretches(engine->profile).empty());
}

TEST(MissingTerrainText, SharesNeverRoundToNoneOrAll) {
    const struct {
        double fraction;
        const char* text;
    } cases[] = {{0.0, "0 %"},       {0.0004, "under 0.1 %"},  {0.004, "0.4 %"},
                 {0.052, "5.2 %"},   {0.37, "37 %"},           {0.984, "98 %"},
                 {0.9951, "99.5 %"}, {0.99995, "over 99.9 %"}, {1.0, "100 %"}};
    for (const auto& c : cases)
        EXPECT_EQ(ShareText(c.fraction), c.text) << c.fraction;
    EXPECT_EQ(MissingTerrainText(0.0, "the path"), "");
    EXPECT_EQ(MissingTerrainText(0.37, "the path"),
              "no terrain data for 37 % of the path: the ground there is taken as 0 m");
}

// Every command that walks a path gives the share as "terrainMissing" and
// warns on the error stream only when there is one.
TEST_F(MissingTerrain, CommandsReportTheShare) {
    const cli::Words off = {"--format",     "deg",     "--tx", "51.5 N 1.5 W", "--rx",
                            "51.5 N 0.5 W", "--tiles", tiles,  "--freq",       "1.3"};
    const cli::Words inside = {"--format",     "deg",     "--tx", "51.5 N 1.5 W", "--rx",
                               "51.6 N 1.2 W", "--tiles", tiles,  "--freq",       "1.3"};
    const auto run = [](const char* command, cli::Words words) {
        words.insert(words.begin(), command);
        words.push_back("--json");
        return Cli(words);
    };
    for (const char* command : {"link", "mechanisms"}) {
        SCOPED_TRACE(command);
        const auto half = run(command, off);
        ASSERT_EQ(half.status, 0) << half.err;
        const double share = nlohmann::json::parse(half.out)["terrainMissing"].get<double>();
        EXPECT_NEAR(share, 0.5, 0.01);
        EXPECT_NE(half.err.find("warning: no terrain data for 50 % of the path"), std::string::npos)
            << half.err;
        const auto whole = run(command, inside);
        ASSERT_EQ(whole.status, 0) << whole.err;
        EXPECT_EQ(nlohmann::json::parse(whole.out)["terrainMissing"], 0.0);
        EXPECT_EQ(whole.err.find("no terrain data"), std::string::npos) << whole.err;
    }
    const auto link = nlohmann::json::parse(run("link", off).out);
    ASSERT_EQ(link["noTerrainStretches"].size(), 1u);
    // To the last sample, within two spacings of the far end.
    EXPECT_NEAR(link["noTerrainStretches"][0][1].get<double>(), link["pathLength"].get<double>(),
                0.2);
    EXPECT_EQ(nlohmann::json::parse(run("link", inside).out)["noTerrainStretches"].size(), 0u);

    // The batch: each row its own share, the warning naming the row.
    const std::string csv =
        (std::filesystem::temp_directory_path() / "kestrova-missing.csv").string();
    std::ofstream(csv) << "tx,rx\n51.5 N 1.5 W,51.6 N 1.2 W\n51.5 N 1.5 W,51.5 N 0.5 W\n";
    const auto batch = Cli({"link", "--batch", csv, "--format", "deg", "--tiles", tiles, "--freq",
                            "1.3", "--threads", "2", "--json"});
    ASSERT_EQ(batch.status, 0) << batch.err;
    std::istringstream lines(batch.out);
    std::string first;
    std::string second;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_EQ(nlohmann::json::parse(first)["terrainMissing"], 0.0);
    EXPECT_NEAR(nlohmann::json::parse(second)["terrainMissing"].get<double>(), 0.5, 0.01);
    EXPECT_NE(batch.err.find("warning: row 2 (line 3 of"), std::string::npos) << batch.err;
    EXPECT_EQ(batch.err.find("row 1 "), std::string::npos) << batch.err;
    std::filesystem::remove(csv);

    // The radial eastwards along 51.5 N: 70 km, of which the last part is
    // east of 1 W (35 km from 1.5 W).
    const auto radial = Cli({"radial", "--format", "deg", "--tx", "51.5 N 1.5 W", "--range", "70",
                             "--bearing", "90", "--tiles", tiles, "--freq", "1.3", "--json"});
    ASSERT_EQ(radial.status, 0) << radial.err;
    const auto json = nlohmann::json::parse(radial.out);
    EXPECT_NEAR(json["terrainMissing"].get<double>(), 0.5, 0.02);
    EXPECT_EQ(json["profile"]["noTerrainStretches"].size(), 1u);
    EXPECT_NE(radial.err.find("of the radial"), std::string::npos) << radial.err;
}

} // namespace
} // namespace kestrova
