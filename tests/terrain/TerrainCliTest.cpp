// kestrova-cli height and zone, driven like the tool's own command line.
#include "CliRun.h"
#include "RealData.h"
#include "TileWriter.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace kestrova::cli {
namespace {

int JsonInt(const CliRun& run, const char* key) {
    return nlohmann::json::parse(run.out)[key].get<int>();
}

TEST(CliHeight, MadeUpTileNearestInterpolatedAndVoid) {
    test::TempDir dir;
    test::WriteTile(dir.Path("n51w002.hgt"), 1201,
                    [](int row, int) { return row < 600 ? 300 : 100; });
    const std::string tiles = dir.Dir();
    const CliRun nearest = Cli({"height", "51.25", "-1.5", "--tiles", tiles, "--json"});
    ASSERT_EQ(nearest.status, 0) << nearest.err;
    EXPECT_EQ(JsonInt(nearest, "height"), 100);
    // Half way between the two bands: the mean.
    const CliRun between = Cli({"height", std::to_string(51.5 + 0.5 / 1200), "-1.5",
                                "--interpolate", "--tiles", tiles, "--json"});
    EXPECT_EQ(JsonInt(between, "height"), 200);
    const CliRun none = Cli({"height", "--tiles=" + tiles, "--json", "--", "-33.9", "151.2"});
    ASSERT_EQ(none.status, 0) << none.err;
    EXPECT_EQ(JsonInt(none, "height"), -32767);
    const CliRun text = Cli({"height", "-33.9", "151.2", "--tiles", tiles});
    EXPECT_EQ(text.out, "-32767 (void: no tile or no sample)\n");
    EXPECT_EQ(Cli({"height", "51.25", "-1.5", "--tiles",
                   dir.Path("n51w002.hgt").substr(0, dir.Dir().size() - 1)})
                  .out,
              "100 m\n");
}

TEST(CliHeight, Mistakes) {
    EXPECT_EQ(Cli({"height", "51.5"}).status, 1);
    EXPECT_EQ(Cli({"height", "51.5", "north"}).status, 1);
    EXPECT_EQ(Cli({"height", "51.5", "-1.5", "--bogus"}).status, 1);
    const CliRun missing = Cli({"height", "51.5", "-1.5", "--tiles", "/no/such/directory"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("does not exist"), std::string::npos);
}

TEST(CliHeight, WalburyHillOnTheRealTile) {
    const std::string tiles = test::RealTileDirectory();
    if (tiles.empty()) GTEST_SKIP() << "terrain tile n51w002.hgt not found";
    const CliRun run = Cli({"height", "51.352", "-1.465", "--tiles", tiles});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "293 m\n");
}

TEST(CliZone, MadeUpFileAndItsFaults) {
    test::TempDir dir;
    std::vector<std::uint8_t> bytes(58320000, 0xff); // inland everywhere
    bytes[0] = 0x40;                                 // row 0, column 0: sea
    test::WriteFile(dir.Path("z.dem"), bytes);
    const CliRun sea = Cli({"zone", "89.995", "-179.995", "--zones", dir.Path("z.dem"), "--json"});
    ASSERT_EQ(sea.status, 0) << sea.err;
    EXPECT_EQ(JsonInt(sea, "zone"), 1);
    EXPECT_EQ(Cli({"zone", "10", "10", "--zones", dir.Path("z.dem")}).out, "3 inland\n");
    EXPECT_EQ(Cli({"zone", "-90", "0", "--zones", dir.Path("z.dem")}).out,
              "255 outside the grid\n");

    bytes.pop_back();
    test::WriteFile(dir.Path("short.dem"), bytes);
    const CliRun wrongSize = Cli({"zone", "10", "10", "--zones", dir.Path("short.dem")});
    EXPECT_EQ(wrongSize.status, 2);
    EXPECT_NE(wrongSize.err.find("58320000"), std::string::npos);
    EXPECT_EQ(Cli({"zone", "10", "10", "--zones", dir.Path("none.dem")}).status, 2);
    EXPECT_EQ(Cli({"zone", "10"}).status, 1);
}

TEST(CliZone, TheZoneMapBesideTheExecutable) {
    const CliRun run = Cli({"zone", "50.84", "-0.14", "--json"});
    if (run.status == 2) GTEST_SKIP() << "zones01.dem not beside the executable: " << run.err;
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(JsonInt(run, "zone"), 2); // Brighton: coastal
    EXPECT_EQ(Cli({"zone", "51.75", "-1.26"}).out, "3 inland\n");
}

} // namespace
} // namespace kestrova::cli
