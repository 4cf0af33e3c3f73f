// kestrova-cli link over a surveyed profile and over tiles.
#include "CliRun.h"
#include "cli/Args.h"
#include "cli/ProfileCsv.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kestrova::cli {
namespace {

namespace fs = std::filesystem;

std::string WriteTemp(const std::string& name, const std::string& content) {
    const fs::path path = fs::temp_directory_path() / ("kestrova-link-" + name);
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

std::string FlatCsv(double km, double step, double height, int zone) {
    std::string csv = "distance_km,height_m,zone\r\n";
    for (int i = 0; i * step <= km + 1e-9; ++i)
        csv += std::to_string(i * step) + "," + std::to_string(height) + "," +
               std::to_string(zone) + "\r\n";
    return csv;
}

TEST(LinkCommand, ProfileGivesEveryFigureAsJson) {
    const std::string csv = WriteTemp("flat.csv", FlatCsv(10.0, 0.025, 0.0, 1));
    const std::string out = WriteTemp("profile-out.csv", "");
    const CliRun run =
        Cli({"link", "--profile",   csv,   "--latitude",    "51.5", "--freq", "2",   "--percent",
             "50",   "--tx-height", "200", "--rx-height",   "200",  "--n0",   "320", "--delta-n",
             "40",   "--humidity",  "0",   "--profile-out", out,    "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    for (const char* key :
         {"valid",     "lbfsg",     "lb0p",   "lb0b",   "lbd50",       "ldp",        "lbd",
          "lbs",       "lba",       "lb",     "theta",  "count",       "pathLength", "kMedian",
          "beta0",     "omega",     "dtm",    "dlm",    "dct",         "dcr",        "thetaT",
          "thetaR",    "dlt",       "dlr",    "hst",    "hsr",         "hte",        "hre",
          "hm",        "edgeMain",  "edgeTx", "edgeRx", "lineOfSight", "maxHeight",  "midPathBulge",
          "hullCount", "surfaceN0", "deltaN", "rho",    "gamma",       "gasLoss"})
        EXPECT_TRUE(json.contains(key)) << key;
    EXPECT_EQ(json["count"], 401);
    EXPECT_NEAR(json["pathLength"].get<double>(), 10.0, 1e-9);
    EXPECT_NEAR(json["lbfsg"].get<double>(), 92.44 + 20 * std::log10(2.0) + 20, 1e-9);
    EXPECT_EQ(json["lineOfSight"], true);
    EXPECT_NEAR(json["kMedian"].get<double>(), 157.0 / 117.0, 1e-12);
    EXPECT_EQ(json["rho"], 0.0);
    EXPECT_NEAR(json["gasLoss"].get<double>(), json["gamma"].get<double>() * 10.0, 1e-12);

    std::ifstream table(out);
    std::string header;
    std::getline(table, header);
    EXPECT_EQ(header, "distance_km,height_m,zone,earth_bulge_m,ray_height_m,fresnel_radius_m");
    int lines = 0;
    for (std::string line; std::getline(table, line);)
        ++lines;
    EXPECT_EQ(lines, 401);
}

TEST(LinkCommand, TextShowsTheWindowsLossLines) {
    const std::string csv = WriteTemp("ridge.csv", FlatCsv(20.0, 0.05, 50.0, 3));
    const CliRun run = Cli({"link", "--profile", csv, "--latitude", "51.5", "--freq", "1",
                            "--percent", "10", "--tx-height", "10", "--rx-height", "10"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* caption :
         {"Line of sight loss: ", "Diffraction path loss: ", "Troposcatter path loss: ",
          "Ducting path loss: ", "Overall path loss: ", "Gaseous Loss: "})
        EXPECT_NE(run.out.find(caption), std::string::npos) << caption;
}

TEST(LinkCommand, MistakesAndRejectedPaths) {
    const std::string csv = WriteTemp("short.csv", "d,h,z\n0,0,3\n0.02,0,3\n0.05,0,3\n");
    const CliRun tooShort = Cli({"link", "--profile", csv, "--latitude", "50", "--freq", "1"});
    EXPECT_EQ(tooShort.status, 3);
    EXPECT_EQ(tooShort.out, "Path too short\n");

    EXPECT_EQ(Cli({"link", "--profile", csv, "--latitude", "50", "--freq", "400"}).status, 1);
    EXPECT_EQ(Cli({"link", "--profile", csv, "--freq", "1"}).status, 1); // no latitude
    EXPECT_EQ(Cli({"link", "--tx", "XX", "--rx", "SU374616", "--freq", "1"}).status, 2);
    EXPECT_EQ(Cli({"link", "--profile", "/nonexistent/p.csv", "--latitude", "50"}).status, 2);
}

TEST(ProfileCsv, RejectsWhatCannotBeAProfile) {
    const char* bad[] = {
        "h\n0,0,3\n1,0,3\n",            // two points
        "h\n0,0,3\n1,x,3\n2,0,3\n",     // not a number
        "h\n0,0,3\n1,0\n2,0,3\n",       // two fields
        "h\n0,0,3\n1,0,3,4,5\n2,0,3\n", // five fields
        "h\n0,0,3\n1,0,3,-1\n2,0,3\n",  // negative clutter
        "h\n0,0,3\n1,0,3,101\n2,0,3\n", // clutter above 100 m
        "h\n0.1,0,3\n1,0,3\n2,0,3\n",   // does not start at 0
        "h\n0,0,3\n1,0,3\n1,0,3\n",     // does not increase
        "h\n0,0,3\n1,0,300\n2,0,3\n",   // zone
        "h\n0,0,3\n1,0,1.5\n2,0,3\n",   // zone
        "",
    };
    for (const char* text : bad)
        EXPECT_THROW(ParseProfileCsv(text), InputError) << text;
    const auto points =
        ParseProfileCsv("distance_km,height_m,zone\r\n0, 12.5 ,1\r\n\r\n0.5,20,2\n1,30,3");
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].height, 12.5);
    EXPECT_EQ(points[2].zone, 3);
    EXPECT_EQ(points[2].clutter, 0.0);
    // A fourth column is the clutter height; P.452-18's profiles may repeat a
    // distance and run past 999 points, P.452-14's may not.
    const std::string repeated = "h\n0,0,3,0\n1,0,3,15\n1,0,3,15\n2,0,3,0\n";
    EXPECT_THROW(ParseProfileCsv(repeated), InputError);
    const auto with18 = ParseProfileCsv(repeated, profileRules18);
    ASSERT_EQ(with18.size(), 4u);
    EXPECT_EQ(with18[1].clutter, 15.0);
    std::string long18 = "h\n";
    for (int i = 0; i < 1500; ++i)
        long18 += std::to_string(i) + ",0,3\n";
    EXPECT_THROW(ParseProfileCsv(long18), InputError);
    EXPECT_EQ(ParseProfileCsv(long18, profileRules18).size(), 1500u);
}

} // namespace
} // namespace kestrova::cli
