// The mechanisms chart's curves on the real tile, and kestrova-cli
// mechanisms, which prints them.
#include "propagation/engine/Mechanisms.h"
#include "CliRun.h"
#include "RealData.h"
#include "geo/FileLocations.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <memory>

namespace kestrova {
namespace {

class Mechanisms : public ::testing::Test {
protected:
    void SetUp() override {
        tiles = test::RealTileDirectory();
        if (tiles.empty()) GTEST_SKIP() << "SRTM3 tile n51w002.hgt not found (set KESTROVA_DATA)";
        store = std::make_unique<CSRTM>(CSRTM::kTilesPerStore, tiles);
        zones = std::make_unique<CZONES>(ExecutableDirectory());
    }
    std::vector<MechanismPoint> Curves(CTerrain& engine, const CLocator& end) {
        return MechanismCurves(engine, *store, *zones, tx, end, false, inputs, 0.5);
    }

    std::string tiles;
    std::unique_ptr<CSRTM> store;
    std::unique_ptr<CZONES> zones;
    const CLocator tx{std::string("SU374616"), FormatNGR};
    const CLocator rx{std::string("SU555800"), FormatNGR};
    LinkInputs inputs; // 10.368 GHz, 10 m antennas, N0 320, ΔN 45
};

TEST_F(Mechanisms, TenPercentagesEachTheLinkAtThatPercentagePlusGas) {
    auto engine = std::make_unique<CTerrain>();
    const std::vector<MechanismPoint> points = Curves(*engine, rx);
    ASSERT_EQ(points.size(), mechanismPercentages.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const MechanismPoint& p = points[i];
        EXPECT_EQ(p.percent, mechanismPercentages[i]);
        // Against a fresh link calculation at that percentage.
        CTerrain link;
        LinkInputs at = inputs;
        at.timePercent = p.percent;
        ASSERT_TRUE(link.CalculateLink(*store, *zones, tx, rx, false, at));
        EXPECT_DOUBLE_EQ(p.diffraction, link.loss.lbd + 0.5) << p.percent;
        EXPECT_DOUBLE_EQ(p.ducting, link.loss.lba + 0.5) << p.percent;
        EXPECT_DOUBLE_EQ(p.troposcatter, link.loss.lbs + 0.5) << p.percent;
        EXPECT_DOUBLE_EQ(p.overall, link.loss.lb + 0.5) << p.percent;
        // The last step of the combination is a power sum with the
        // troposcatter loss: the overall loss never exceeds it.
        EXPECT_LE(p.overall, p.troposcatter) << p.percent;
        if (i > 0) {
            EXPECT_GE(p.overall, points[i - 1].overall) << "losses grow with time";
        }
    }
    // The engine is left with the 50 % calculation; a second run on it
    // gives the same curves.
    EXPECT_EQ(engine->timePercent, 50.0);
    const std::vector<MechanismPoint> again = Curves(*engine, rx);
    ASSERT_EQ(again.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        EXPECT_EQ(again[i].overall, points[i].overall);
}

TEST_F(Mechanisms, CoincidentEndsGiveNoPoint) {
    CTerrain engine;
    EXPECT_TRUE(Curves(engine, tx).empty());
}

TEST_F(Mechanisms, CommandPrintsTheCurvesAndItsFiftyPercentIsTheLink) {
    const cli::Words link = {"--tx",   "SU374616", "--rx",       "SU555800", "--tiles", tiles,
                             "--freq", "2.4",      "--humidity", "80",       "--json"};
    cli::Words words{"mechanisms"};
    words.insert(words.end(), link.begin(), link.end());
    const cli::CliRun run = cli::Cli(words);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_TRUE(json.contains("gasLoss"));
    const auto& points = json["points"];
    ASSERT_EQ(points.size(), 10u);
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(points[i]["percent"].get<double>(), mechanismPercentages[i]);
        for (const char* key : {"diffraction", "ducting", "troposcatter", "overall"})
            EXPECT_TRUE(points[i][key].is_number()) << key;
    }
    cli::Words linkWords{"link"};
    linkWords.insert(linkWords.end(), link.begin(), link.end());
    const cli::CliRun linkRun = cli::Cli(linkWords);
    ASSERT_EQ(linkRun.status, 0) << linkRun.err;
    const auto linkJson = nlohmann::json::parse(linkRun.out);
    EXPECT_DOUBLE_EQ(json["gasLoss"].get<double>(), linkJson["gasLoss"].get<double>());
    EXPECT_DOUBLE_EQ(points[9]["overall"].get<double>(),
                     linkJson["lb"].get<double>() + linkJson["gasLoss"].get<double>());

    // The table, and coincident ends: no point, the link's exit status.
    words.pop_back();
    const cli::CliRun table = cli::Cli(words);
    ASSERT_EQ(table.status, 0);
    EXPECT_NE(table.out.find("   percent  diffraction      ducting troposcatter      overall\n"),
              std::string::npos);
    EXPECT_NE(table.out.find("\n        50"), std::string::npos) << table.out;
    const cli::CliRun none = cli::Cli(
        {"mechanisms", "--tx", "SU374616", "--rx", "SU374616", "--tiles", tiles, "--json"});
    EXPECT_EQ(none.status, 3);
    EXPECT_EQ(nlohmann::json::parse(none.out)["points"].size(), 0u);
    EXPECT_EQ(cli::Cli({"mechanisms", "--tx", "SU374616"}).status, 1); // no --rx
}

} // namespace
} // namespace kestrova
