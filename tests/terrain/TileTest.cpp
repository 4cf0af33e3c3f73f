// CSRTMTILE on made-up tiles: names and cells, the sample a position reads,
// the special heights, the use score, and which files load.
#include "TileWriter.h"
#include "terrain/SRTMTile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

namespace kestrova {
namespace {

using test::Pattern;
using test::TempDir;
using test::WriteTile;

TEST(TileName, CellOfAPosition) {
    struct Case {
        double lat, lon;
        const char* name;
        double latMin, lonMin;
    };
    const Case cases[] = {
        {51.0, -1.0, "n51w001", 51, -1},       {51.4, -0.3, "n51w001", 51, -1},
        {-1.0, -1.0, "s01w001", -1, -1},       {0.0, 0.0, "n00e000", 0, 0},
        {-0.5, 179.5, "s01e179", -1, 179},     {-33.9, 151.2, "s34e151", -34, 151},
        {51.9999, -0.0001, "n51w001", 51, -1},
    };
    for (const Case& c : cases) {
        CSRTMTILE tile;
        EXPECT_EQ(tile.MakeName(c.lat, c.lon), c.name) << c.lat << " " << c.lon;
        EXPECT_EQ(tile.GetLatMin(), c.latMin);
        EXPECT_EQ(tile.GetLonMin(), c.lonMin);
    }
}

// A loaded n51w001 holding Pattern(row, col).
class PatternTile : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<TempDir>();
        WriteTile(dir->Path("n51w001.hgt"), 1201, Pattern);
    }
    static void TearDownTestSuite() { dir.reset(); }
    void SetUp() override {
        tile.SetDirectory(dir->Dir());
        ASSERT_TRUE(tile.Load(51.5, -0.5));
    }
    static std::unique_ptr<TempDir> dir;
    CSRTMTILE tile;
};
std::unique_ptr<TempDir> PatternTile::dir;

TEST_F(PatternTile, ReadsTheSampleAtOrSouthWestOfThePosition) {
    const double s = 1.0 / 1200;
    struct Case {
        double lat, lon;
        int row, col;
    };
    const Case cases[] = {
        {51.0, -1.0, 1200, 0},                     // south-west corner
        {51.9999, -1.0, 1, 0},                     // just below the north edge
        {51.0, -0.0001, 1200, 1199},               // just west of the east edge
        {51.5, -0.5, 600, 600},                    // centre
        {51.0 + 2.5 * s, -1.0 + 3.5 * s, 1198, 3}, // inside a sample cell
        {52.0, -1.0, 0, 0},                        // the shared north edge row
    };
    for (const Case& c : cases)
        EXPECT_EQ(tile.GetHeight(c.lat, c.lon), Pattern(c.row, c.col)) << c.lat << " " << c.lon;
}

TEST_F(PatternTile, PositionsBeyondTheTileReadNoData) {
    EXPECT_EQ(tile.GetHeight(52.01, -0.5), 0);
    EXPECT_EQ(tile.GetHeight(51.5, 0.01), 0);
    EXPECT_EQ(tile.GetHeight(51.5, std::nan("")), 0);
    EXPECT_EQ(tile.GetHeight(1e300, -0.5), 0);
}

TEST_F(PatternTile, ContainsTakesSouthAndWestEdgesAndKeepsScore) {
    EXPECT_TRUE(tile.Contains(51.0, -1.0));
    EXPECT_TRUE(tile.Contains(51.99999, -0.00001));
    EXPECT_EQ(tile.GetScore(), 2);
    EXPECT_FALSE(tile.Contains(52.0, -0.5));
    EXPECT_FALSE(tile.Contains(51.5, 0.0));
    EXPECT_EQ(tile.GetScore(), 0);
}

TEST(TileScore, IsPulledBackAtItsLimits) {
    TempDir dir;
    WriteTile(dir.Path("n00e000.hgt"), 1201, [](int, int) { return 1; });
    CSRTMTILE tile;
    tile.SetDirectory(dir.Dir());
    ASSERT_TRUE(tile.Load(0.5, 0.5));
    for (int i = 0; i < 100001; ++i)
        tile.Contains(0.5, 0.5);
    EXPECT_EQ(tile.GetScore(), 100001 - 100);

    CSRTMTILE unloaded;
    EXPECT_FALSE(unloaded.Contains(0.5, 0.5)); // unloaded: never contains, loses score
    EXPECT_EQ(unloaded.GetScore(), -1);
    for (int i = 1; i < 100000; ++i)
        unloaded.Contains(0.5, 0.5);
    EXPECT_EQ(unloaded.GetScore(), -100000 + 100);
}

TEST(TileHeights, VoidAndDeepValues) {
    struct Case {
        int sample, height;
    };
    const Case cases[] = {{-32768, -32767}, {-32767, -32767}, {-32766, 0},  {-200, 0},
                          {-151, 0},        {-150, -150},     {-100, -100}, {0, 0},
                          {8848, 8848},     {32767, 32767}};
    TempDir dir;
    // Case k sits in column k of the southern row.
    WriteTile(dir.Path("n10e020.hgt"), 1201, [&](int row, int col) {
        return row == 1200 && col < static_cast<int>(std::size(cases)) ? cases[col].sample : 1;
    });
    CSRTMTILE tile;
    tile.SetDirectory(dir.Dir());
    ASSERT_TRUE(tile.Load(10.2, 20.2));
    for (int k = 0; k < static_cast<int>(std::size(cases)); ++k)
        EXPECT_EQ(tile.GetHeight(10.0, 20.0 + (k + 0.5) / 1200.0), cases[k].height)
            << "sample " << cases[k].sample;
}

TEST(TileResolution, OneArcSecondTileIsServedAtItsOwnSpacing) {
    TempDir dir;
    WriteTile(dir.Path("n51w002.hgt"), 3601, Pattern);
    CSRTMTILE tile;
    tile.SetDirectory(dir.Dir());
    ASSERT_TRUE(tile.Load(51.5, -1.5));
    EXPECT_EQ(tile.GetRows(), 3601);
    EXPECT_DOUBLE_EQ(tile.GetLatStep(), 1.0 / 3600);
    const double s = 1.0 / 3600;
    EXPECT_EQ(tile.GetHeight(51.0, -2.0), Pattern(3600, 0));
    EXPECT_EQ(tile.GetHeight(51.0 + 10.5 * s, -2.0 + 20.5 * s), Pattern(3590, 20));
    EXPECT_EQ(tile.GetHeight(51.5 + 0.5 * s, -1.5 + 0.5 * s), Pattern(1800, 1800));
    EXPECT_EQ(tile.GetHeight(51.9999, -1.0001), Pattern(1, 3599));
}

// A file is a tile only at a tile's size, give or take one trailing byte:
// a shorter or longer one (a download cut short) does not load.
TEST(TileLoad, FilesOfNoTilesSizeDoNotLoad) {
    struct Case {
        std::uintmax_t bytes;
        int rows; // 0: not loaded
    };
    const Case cases[] = {{0, 0},           {1, 0}, {2884801, 0}, // one byte short
                          {2884802, 1201},                        // 1201 x 1201
                          {2884803, 1201},                        // one byte over
                          {2884804, 0},                           // one sample over
                          {12967201, 0},                          // half a 3601 x 3601 tile
                          {25934401, 0},     // a 3601 x 3601 tile one byte short
                          {25934402, 3601},  // 3601 x 3601
                          {25934403, 3601}}; // one byte over
    for (const Case& c : cases) {
        TempDir dir;
        { std::ofstream(dir.Path("n45e007.hgt")); }
        std::filesystem::resize_file(dir.Path("n45e007.hgt"), c.bytes);
        CSRTMTILE tile;
        tile.SetDirectory(dir.Dir());
        EXPECT_EQ(tile.Load(45.5, 7.5), c.rows != 0) << c.bytes << " bytes";
        EXPECT_EQ(tile.IsLoaded(), c.rows != 0);
        if (c.rows == 0) {
            EXPECT_EQ(tile.GetHeight(45.5, 7.5), 0);
        } else {
            EXPECT_EQ(tile.GetRows(), c.rows) << c.bytes << " bytes";
        }
    }
}

// The first 2,884,802 bytes of a file one byte too long are the tile: the
// same heights as the file without its extra byte.
TEST(TileLoad, ExtraBytesAreIgnored) {
    TempDir dir;
    std::vector<std::uint8_t> bytes = test::TileBytes(1201, Pattern);
    bytes.push_back(0x7f);
    test::WriteFile(dir.Path("n51w002.hgt"), bytes);
    CSRTMTILE tile;
    tile.SetDirectory(dir.Dir());
    ASSERT_TRUE(tile.Load(51.5, -1.5));
    EXPECT_EQ(tile.GetHeight(51.0, -2.0), Pattern(1200, 0));
    EXPECT_EQ(tile.GetHeight(51.9999, -1.0001), Pattern(1, 1199));
}

TEST(TileLoad, MissingFilesAndDirectoriesLeaveTheTileUnloaded) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path("n45e007.hgt")); // a directory of the name
    CSRTMTILE tile;
    tile.SetDirectory(dir.Dir());
    EXPECT_FALSE(tile.Load(45.5, 7.5));
    EXPECT_FALSE(tile.Load(46.5, 7.5)); // no file at all
    tile.SetDirectory(dir.Dir() + "no-such-directory/");
    EXPECT_FALSE(tile.Load(45.5, 7.5));
    EXPECT_FALSE(tile.Load(std::nan(""), 7.5));
}

TEST(TileLoad, ReloadingForgetsThePreviousTile) {
    TempDir dir;
    WriteTile(dir.Path("n45e007.hgt"), 1201, [](int, int) { return 5; });
    CSRTMTILE tile;
    tile.SetDirectory(dir.Dir());
    ASSERT_TRUE(tile.Load(45.5, 7.5));
    tile.Contains(45.5, 7.5);
    EXPECT_FALSE(tile.Load(46.5, 7.5));
    EXPECT_EQ(tile.GetScore(), 0);
    EXPECT_FALSE(tile.Contains(45.5, 7.5));
    EXPECT_EQ(tile.GetHeight(45.5, 7.5), 0);
}

} // namespace
} // namespace kestrova
