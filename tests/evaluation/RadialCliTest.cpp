// kestrova-cli radial: the points of both evaluation charts, as text and
// JSON, through the same evaluation as the window's page.
#include "CliRun.h"
#include "TempDir.h"
#include "geo/NumberFormat.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <sstream>

namespace kestrova::cli {
namespace {

// No terrain tiles and no zone file: a smooth earth, the same anywhere.
Words Radial(Words extra) {
    // clang-format off
    Words words = {"radial", "--tx", "51.0 N 1.0 W", "--format", "deg",
                   "--range", "20", "--bearing", "45", "--freq", "0.145",
                   "--n0", "320", "--delta-n", "45",
                   "--tiles", test::FarTileDirectory(),
                   "--zones", "/nonexistent-kestrova/zones01.dem"};
    // clang-format on
    words.insert(words.end(), extra.begin(), extra.end());
    return words;
}

nlohmann::json Json(const Words& words) {
    const CliRun run = Cli(words);
    EXPECT_EQ(run.status, 0) << run.err;
    return nlohmann::json::parse(run.out);
}

TEST(CliRadial, PointsOfBothCharts) {
    const auto json = Json(Radial({"--json"}));
    const int N = json["count"];
    ASSERT_GT(N, 100);
    const auto& records = json["records"];
    ASSERT_EQ(static_cast<int>(records.size()), N - 3);
    EXPECT_NEAR(json["K"].get<double>(), 30.0 + 167.2 + 20.0 * std::log10(0.145), 1e-9);
    for (const auto& r : records)
        EXPECT_NEAR(r["fieldStrength"].get<double>(),
                    json["K"].get<double>() - r["lb"].get<double>() - r["gasLoss"].get<double>(),
                    1e-9);
    EXPECT_NEAR(records.back()["distance"].get<double>() /
                    records.front()["distance"].get<double>(),
                (N - 1.0) / 3.0, 1e-9);

    const auto& profile = json["profile"];
    ASSERT_EQ(static_cast<int>(profile["points"].size()), N);
    EXPECT_GT(profile["points"][N / 2]["bulge"].get<double>(), 1.0);
    const auto flat = Json(Radial({"--json", "--flat-earth"}));
    for (const auto& point : flat["profile"]["points"])
        ASSERT_EQ(point["bulge"].get<double>(), 0.0);
}

TEST(CliRadial, PowerAndGainOnlyMoveTheField) {
    const auto kilowatt = Json(Radial({"--json", "--power", "1000", "--gain", "0"}));
    const auto hundred = Json(Radial({"--json", "--power", "100", "--gain", "10"}));
    const auto ten = Json(Radial({"--json", "--power", "10", "--gain", "10"}));
    ASSERT_EQ(kilowatt["records"].size(), ten["records"].size());
    for (size_t i = 0; i < kilowatt["records"].size(); ++i) {
        const double E = kilowatt["records"][i]["fieldStrength"].get<double>();
        EXPECT_NEAR(hundred["records"][i]["fieldStrength"].get<double>(), E, 1e-9);
        EXPECT_NEAR(ten["records"][i]["fieldStrength"].get<double>(), E - 10.0, 1e-9);
    }
}

// With a receiving antenna gain, each point's received power closes the
// link budget: transmitter power (dBm) + both gains - the total loss.
TEST(CliRadial, ReceivedPowerIsTheLinkBudget) {
    const auto json =
        Json(Radial({"--json", "--power", "50", "--gain", "6", "--receiver-gain", "3.5"}));
    const double txDbm = 10.0 * std::log10(50.0) + 30.0;
    for (const auto& r : json["records"])
        ASSERT_NEAR(r["receivedPower"].get<double>(),
                    txDbm + 6.0 + 3.5 - r["lb"].get<double>() - r["gasLoss"].get<double>(), 1e-9);
    // Without a receiver gain the records hold no received power.
    EXPECT_FALSE(Json(Radial({"--json"}))["records"][0].contains("receivedPower"));
    EXPECT_EQ(Cli(Radial({"--json", "--receiver-gain", "101"})).status, 1);
}

// The terrain chart's line of sight runs from antenna to antenna, and the
// first Fresnel zone about it has the radius sqrt(lambda d1 d2 / d).
TEST(CliRadial, LineOfSightAndFirstFresnelZone) {
    const auto json = Json(Radial({"--json", "--tx-height", "30", "--rx-height", "12"}));
    const auto& points = json["profile"]["points"];
    const auto& first = points.front();
    const auto& last = points.back();
    EXPECT_NEAR(first["lineOfSight"].get<double>() - first["terrain"].get<double>(), 30.0, 1.0);
    EXPECT_NEAR(last["lineOfSight"].get<double>() - last["terrain"].get<double>(), 12.0, 1.0);
    const double d = last["distance"].get<double>() * 1000.0;
    const double lambda = 299792458.0 / 0.145e9;
    for (const auto& point : points) {
        const double d1 = point["distance"].get<double>() * 1000.0;
        const double radius = std::sqrt(lambda * d1 * (d - d1) / d);
        const double los = point["lineOfSight"].get<double>();
        ASSERT_NEAR(point["fresnelUpper"].get<double>() - los, radius, 0.01 * radius + 0.01);
        ASSERT_NEAR(los - point["fresnelLower"].get<double>(), radius, 0.01 * radius + 0.01);
    }
}

TEST(CliRadial, TextTableHoldsTheSamePoints) {
    const auto json = Json(Radial({"--json"}));
    const CliRun text = Cli(Radial({}));
    ASSERT_EQ(text.status, 0) << text.err;
    std::istringstream lines(text.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "distance_km  lbd     lba     lbs     lb      E_dBuV/m");
    const auto& first = json["records"][0];
    std::getline(lines, line);
    EXPECT_EQ(line.substr(0, line.find(' ')), FormatFixed(first["distance"], 8, 3));
    EXPECT_EQ(line.substr(line.rfind(' ') + 1), FormatFixed(first["fieldStrength"], 6, 1));
    EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'),
              static_cast<long>(json["records"].size()) + 1);
}

TEST(CliRadial, Failures) {
    const CliRun tooShort = Cli(Radial({"--range", "0.1", "--json"}));
    EXPECT_EQ(tooShort.status, 3);
    EXPECT_EQ(nlohmann::json::parse(tooShort.out)["message"], "Path too short");
    EXPECT_EQ(Cli(Radial({"--range", "0.05"})).status, 1);
    EXPECT_EQ(Cli(Radial({"--power", "0"})).status, 1);
    EXPECT_EQ(Cli(Radial({"--tx", "91 N 0 E"})).status, 2);
    // Across the date line the radial is computed like any other.
    EXPECT_EQ(Cli(Radial({"--tx", "0 N 179.99 E", "--bearing", "90"})).status, 0);
}

} // namespace
} // namespace kestrova::cli
