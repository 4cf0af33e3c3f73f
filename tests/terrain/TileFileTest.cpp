// Tile files as they are found on disk: byte order, size recognition,
// upper-case names and zipped downloads.
#include "terrain/TileFile.h"
#include "TileWriter.h"
#include "Timeout.h"
#include "terrain/SRTMTile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace kestrova {
namespace {

using test::Pattern;
using test::TempDir;
using test::TileBytes;

TEST(TileBytes, BigEndianSamplesAndTheTwoSizes) {
    std::vector<std::uint8_t> bytes(2884802, 0);
    bytes[0] = 0x01; // 258
    bytes[1] = 0x02;
    bytes[2] = 0xff; // -2
    bytes[3] = 0xfe;
    bytes[4] = 0x80; // -32768
    bytes[5] = 0x00;
    const auto tile = TileFromBytes(bytes);
    ASSERT_TRUE(tile);
    EXPECT_EQ(tile->size, 1201);
    EXPECT_EQ(tile->heights[0], 258);
    EXPECT_EQ(tile->heights[1], -2);
    EXPECT_EQ(tile->heights[2], -32768);

    EXPECT_EQ(TileSizeForBytes(25934402), 3601);
    // One trailing byte is tolerated; any other size is no tile (a download
    // cut short, two files run together).
    for (std::uint64_t size : {0ull, 2ull, 2884800ull, 2884801ull, 2884804ull, 12967201ull,
                               25934401ull, 25934404ull, 1ull << 40})
        EXPECT_EQ(TileSizeForBytes(size), 0) << size;
    EXPECT_EQ(TileSizeForBytes(2884803), 1201);
    EXPECT_EQ(TileSizeForBytes(25934403), 3601);
    bytes.pop_back();
    EXPECT_FALSE(TileFromBytes(bytes));
}

// A tile of a cell is found under whatever case its name is written in, and
// as a zipped download.
TEST(TileNames, UpperCaseAndZippedTilesAreFound) {
    struct Case {
        const char* file;
        bool zipped;
    };
    const Case cases[] = {{"n51w002.hgt", false},
                          {"N51W002.hgt", false},
                          {"N51W002.HGT", false},
                          {"n51w002.hgt.zip", true},
                          {"N51W002.hgt.zip", true}};
    const auto bytes = TileBytes(1201, Pattern);
    for (const Case& c : cases) {
        TempDir dir;
        if (c.zipped)
            test::WriteZip(dir.Path(c.file), "N51W002.hgt", bytes);
        else
            test::WriteFile(dir.Path(c.file), bytes);
        CSRTMTILE tile;
        tile.SetDirectory(dir.Dir());
        ASSERT_TRUE(tile.Load(51.5, -1.5)) << c.file;
        EXPECT_EQ(tile.GetHeight(51.5, -1.5), Pattern(600, 600)) << c.file;
    }
}

TEST(TileNames, ZippedOneArcSecondTile) {
    TempDir dir;
    test::WriteZip(dir.Path("s34e151.hgt.zip"), "S34E151.hgt", TileBytes(3601, Pattern));
    CSRTMTILE tile;
    tile.SetDirectory(dir.Dir());
    ASSERT_TRUE(tile.Load(-33.9, 151.2));
    EXPECT_EQ(tile.GetRows(), 3601);
    EXPECT_EQ(tile.GetHeight(-34.0, 151.0), Pattern(3600, 0));
}

TEST(TileNames, BadZipsAreNotTiles) {
    const auto bytes = TileBytes(1201, Pattern);
    TempDir dir;
    // Garbage, an empty file, an entry of the wrong size, an entry that is
    // not a tile, and a stored entry whose data no longer match its CRC.
    test::WriteFile(dir.Path("n01e001.hgt.zip"), std::vector<std::uint8_t>(5000, 0x50));
    test::WriteFile(dir.Path("n02e001.hgt.zip"), {});
    test::WriteZip(dir.Path("n03e001.hgt.zip"), "n03e001.hgt",
                   std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 2));
    test::WriteZip(dir.Path("n04e001.hgt.zip"), "readme.txt", bytes);
    test::WriteZip(dir.Path("n05e001.hgt.zip"), "n05e001.hgt", bytes, false);
    {
        std::fstream zip(dir.Path("n05e001.hgt.zip"),
                         std::ios::in | std::ios::out | std::ios::binary);
        zip.seekp(1000000);
        zip.put('\x7f');
    }
    for (double lat : {1.5, 2.5, 3.5, 4.5, 5.5}) {
        CSRTMTILE tile;
        tile.SetDirectory(dir.Dir());
        EXPECT_FALSE(tile.Load(lat, 1.5)) << lat;
    }
}

// An archive is the tile of its cell only through an entry of the tile's
// own name, or an only ".hgt" entry that names no other cell.
TEST(TileNames, ZipEntriesOfAnotherCellAreNotThisTile) {
    const auto tile = TileBytes(1201, Pattern);
    const auto other = TileBytes(1201, [](int, int) { return 7; });
    using Entries = std::vector<std::pair<std::string, std::vector<std::uint8_t>>>;
    struct Case {
        const char* name;
        Entries entries;
        bool loads;
    };
    const Case cases[] = {
        {"a foreign tile", {{"n10e010.hgt", tile}}, false},
        {"own name in a folder, any case", {{"srtm/N51W002.HGT", tile}}, true},
        {"own name beside a foreign one", {{"n10e010.hgt", other}, {"n51w002.hgt", tile}}, true},
        {"the only .hgt entry, no cell's name", {{"readme.txt", other}, {"tile.hgt", tile}}, true},
        {"two entries, neither its own", {{"a.hgt", tile}, {"b.hgt", tile}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        test::WriteZipEntries(dir.Path("n51w002.hgt.zip"), c.entries);
        CSRTMTILE reader;
        reader.SetDirectory(dir.Dir());
        EXPECT_EQ(reader.Load(51.5, -1.5), c.loads);
        if (c.loads) {
            EXPECT_EQ(reader.GetHeight(51.0, -2.0), Pattern(1200, 0));
        }
    }
}

// A FIFO named like a tile is passed over at once, not waited on.
TEST(TileNames, AFifoIsNoTile) {
    TempDir dir;
    for (const char* name : {"n51w002.hgt", "n51w002.hgt.zip"})
        ASSERT_EQ(mkfifo(dir.Path(name).c_str(), 0600), 0);
    EXPECT_TRUE(test::FinishesWithin(10, [&] {
        CSRTMTILE tile;
        tile.SetDirectory(dir.Dir());
        return !tile.Load(51.5, -1.5) && !ReadTileFile(dir.Path("n51w002.hgt")) &&
               !ReadTileFile(dir.Path("n51w002.hgt.zip"));
    }));
}

TEST(TileNames, ABadPlainFileGivesWayToTheZippedOne) {
    TempDir dir;
    test::WriteFile(dir.Path("n51w002.hgt"), std::vector<std::uint8_t>(100, 0));
    test::WriteZip(dir.Path("n51w002.hgt.zip"), "n51w002.hgt", TileBytes(1201, Pattern));
    CSRTMTILE tile;
    tile.SetDirectory(dir.Dir());
    ASSERT_TRUE(tile.Load(51.5, -1.5));
    EXPECT_EQ(tile.GetHeight(51.0, -2.0), Pattern(1200, 0));
}

} // namespace
} // namespace kestrova
