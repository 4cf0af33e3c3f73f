// CZONES on made-up zone files (which cell a position reads, the bit order,
// folding over the poles, files that are not zone maps) and on zone maps
// made in memory (grids, sharing between threads, boxes and resolutions).
#include "terrain/Zones.h"
#include "TileWriter.h"

#include "Timeout.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

namespace kestrova {
namespace {

using test::TempDir;

constexpr std::size_t kFileBytes = 58320000;

void SetCell(std::map<std::size_t, std::uint8_t>& bytes, int row, int col, int code) {
    std::uint8_t& byte = bytes[static_cast<std::size_t>(row) * 5400 + col / 4];
    const int shift = 6 - 2 * (col % 4);
    byte = static_cast<std::uint8_t>((byte & ~(3 << shift)) | (code << shift));
}

struct Cell {
    int row, col, code;
};

// Cells set in the made-up file; every other cell is 0.
const Cell kCells[] = {
    {0, 0, 1},                           // north-west corner
    {10799, 21599, 2},                   // south-east corner
    {0, 5, 3},                           // bits 5-4 of byte 1
    {299, 1200, 2},                      // 85.01 N, 159.99 W: where 94.99 N, 20.01 E folds to
    {299, 12000, 3},                     // 85.01 N, 20.01 E
    {2346, 10727, 1},  {2346, 10728, 3}, // the column to its east
};

// The centre of a cell.
double LatOf(int row) {
    return 90.0 - 1.0 / 120 - row / 60.0;
}
double LonOf(int col) {
    return -180.0 + 1.0 / 120 + col / 60.0;
}

class ZoneFile : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<TempDir>();
        // A file of the real size, sparse: only the set cells' bytes are
        // written.
        std::map<std::size_t, std::uint8_t> bytes;
        for (const Cell& cell : kCells)
            SetCell(bytes, cell.row, cell.col, cell.code);
        const std::string path = dir->Path("zones01.dem");
        { std::ofstream(path, std::ios::binary); }
        std::filesystem::resize_file(path, kFileBytes);
        std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
        for (const auto& [offset, byte] : bytes) {
            file.seekp(static_cast<std::streamoff>(offset));
            file.put(static_cast<char>(byte));
        }
        ASSERT_TRUE(file.good());
    }
    static void TearDownTestSuite() { dir.reset(); }
    static std::unique_ptr<TempDir> dir;
    CZONES zones{dir->Dir()};
};
std::unique_ptr<TempDir> ZoneFile::dir;

TEST_F(ZoneFile, PositionsReadTheCellWhoseCentreIsNearest) {
    struct Case {
        double lat, lon;
        int zone;
    };
    const Case cases[] = {
        {89.995, -179.995, 1}, // row 0, column 0
        {90.0, -180.0, 1},     // the corner itself
        {LatOf(0), LonOf(5), 3},
        {LatOf(0), LonOf(4), 0},
        {LatOf(0), LonOf(7), 0},
        {-89.995, 179.995, 2}, // row 10799, column 21599
        {-90.0, 0.0, 255},     // row 10800: outside the grid
        {0.0, 180.0, 255},     // column 21600: outside the grid
        {94.99, 20.01, 2},     // folded to 85.01 N, 159.99 W
        {85.01, 20.01, 3},
        {85.01, 200.01, 2},  // 200.01 E is 159.99 W
        {85.01, -339.99, 3}, // -339.99 E is 20.01 E
        {LatOf(2346), LonOf(10727), 1},
        {LatOf(2346) + 0.0083, LonOf(10727) + 0.0083, 1}, // still nearest that centre
        {LatOf(2346), LonOf(10727) + 0.0084, 3},          // nearer the next column's
        {LatOf(2346) + 0.0084, LonOf(10727), 0},          // nearer the next row's
        {std::nan(""), 0.0, 255},
        {0.0, INFINITY, 255},
        {1e300, 0.0, 255},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zones.GetZone(c.lat, c.lon), c.zone) << c.lat << " " << c.lon;
}

// A zone map in memory over 50.5..51.5 N, 1.5..0.5 W, arc-minute cells:
// the world's cells 2346, 10727 (code 1) and 2346, 10728 (code 3) are its
// cells 36, 17 and 36, 18.
class ZoneMemory : public ::testing::Test {
protected:
    static std::vector<std::uint8_t> Codes() {
        std::vector<std::uint8_t> codes(60 * 60, 0);
        codes[36 * 60 + 17] = 1;
        codes[36 * 60 + 18] = 3;
        return codes;
    }
    const CZONES zones{ZoneBox{50.5, 51.5, -1.5, -0.5}, 60, 60, Codes()};
};

TEST_F(ZoneMemory, GridRowsRunSouthLikeTheTerrainGrid) {
    CZONES map(ZoneBox{50.5, 51.5, -1.5, -0.5}, 60, 60, Codes());
    const double step = 1.0 / 60;
    // Row 0 of a 2 x 3 grid from latSouth is at latSouth + 2 steps.
    const CZoneGrid* grid = map.GetArea(LonOf(10727) - step, LatOf(2346) - 2 * step, 3, 2, step);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ((*grid)[0][0], 0);
    EXPECT_EQ((*grid)[0][1], 1);
    EXPECT_EQ((*grid)[0][2], 3);
    EXPECT_EQ((*grid)[1][1], 0);
    map.FreeArea();
    EXPECT_EQ(map.GetAreaGrid(), nullptr);
    EXPECT_EQ(map.GetArea(0, 0, 3, 2, 0.0), nullptr);
    EXPECT_EQ(map.GetArea(0, 0, 3, 2, -1.0), nullptr);
    EXPECT_EQ(map.GetArea(0, 0, -3, 2, 0.1), nullptr);
    EXPECT_EQ(map.GetArea(0, 0, INT_MAX, 2, 0.1), nullptr);
}

TEST_F(ZoneMemory, ThreadsShareOneZoneMap) {
    auto walk = [this](std::vector<int>& found) {
        for (int i = 0; i < 100000; ++i)
            found.push_back(zones.GetZone(LatOf(2346) + (i % 7) * 0.004 - 0.012,
                                          LonOf(10727) + (i % 11) * 0.004 - 0.02));
    };
    std::vector<int> first;
    std::vector<int> second;
    std::thread worker(walk, std::ref(second));
    walk(first);
    worker.join();
    EXPECT_EQ(first, second);
    EXPECT_NE(std::count(first.begin(), first.end(), 1), 0);
}

// The cells as the file's: the same centres, and outside the box no zone.
TEST_F(ZoneMemory, PositionsReadTheCellWhoseCentreIsNearest) {
    ASSERT_TRUE(zones.IsUsable());
    EXPECT_EQ(zones.GetFileName(), "");
    struct Case {
        double lat, lon;
        int zone;
    };
    const Case cases[] = {
        {LatOf(2346), LonOf(10727), 1},
        {LatOf(2346) + 0.0083, LonOf(10727) + 0.0083, 1},
        {LatOf(2346), LonOf(10727) + 0.0084, 3},
        {LatOf(2346) + 0.0084, LonOf(10727), 0},
        {LatOf(2346), LonOf(10727) + 360.0, 1}, // folded onto the box
        {51.6, -1.0, 255},                      // north of the box
        {50.4, -1.0, 255},                      // south
        {51.0, -1.6, 255},                      // west
        {51.0, -0.4, 255},                      // east
        {std::nan(""), -1.0, 255},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zones.GetZone(c.lat, c.lon), c.zone) << c.lat << " " << c.lon;
}

// Cells of any size: a world of 2 x 4 cells, 90 by 90 degrees, and a box of
// 3 x 2 cells of a third by half a degree; grids that cannot be made give
// no zone.
TEST(ZoneMemoryGrids, CellsOfAnySize) {
    const CZONES world(ZoneBox{}, 2, 4, {1, 2, 3, 0, 3, 2, 1, 0});
    EXPECT_EQ(world.GetZone(45.0, -135.0), 1);
    EXPECT_EQ(world.GetZone(1.0, -1.0), 2);
    EXPECT_EQ(world.GetZone(89.0, 1.0), 3);
    EXPECT_EQ(world.GetZone(-1.0, -91.0), 3);
    EXPECT_EQ(world.GetZone(-89.0, 1.0), 1);
    EXPECT_EQ(world.GetZone(-45.0, 179.0), 0);
    EXPECT_EQ(world.GetZone(95.0, -135.0), 3); // over the pole: 85 N, 45 E
    const CZONES box(ZoneBox{10.0, 11.0, 20.0, 21.0}, 3, 2, {1, 2, 3, 1, 2, 3});
    EXPECT_EQ(box.GetZone(10.9, 20.1), 1);
    EXPECT_EQ(box.GetZone(10.9, 20.9), 2);
    EXPECT_EQ(box.GetZone(10.5, 20.1), 3);
    EXPECT_EQ(box.GetZone(10.1, 20.9), 3);

    struct Bad {
        const char* name;
        ZoneBox box;
        int rows, cols;
        std::size_t codes;
    };
    const Bad bad[] = {
        {"too few codes", {}, 2, 2, 3},
        {"too many codes", {}, 2, 2, 5},
        {"no rows", {}, 0, 2, 0},
        {"negative columns", {}, 2, -2, 0},
        {"an empty box", {10.0, 10.0, 20.0, 21.0}, 1, 1, 1},
        {"a box upside down", {11.0, 10.0, 20.0, 21.0}, 1, 1, 1},
        {"a box of NaN", {std::nan(""), 10.0, 20.0, 21.0}, 1, 1, 1},
    };
    for (const Bad& b : bad) {
        const CZONES map(b.box, b.rows, b.cols, std::vector<std::uint8_t>(b.codes, 1));
        EXPECT_FALSE(map.IsUsable()) << b.name;
        EXPECT_FALSE(map.OutOfMemory()) << b.name;
        EXPECT_EQ(map.GetZone(10.5, 20.5), 0) << b.name;
    }
}

TEST(ZoneFileFaults, FilesThatAreNotZoneMapsGiveNoZone) {
    TempDir dir;
    struct Case {
        const char* name;
        std::uintmax_t bytes;
    };
    const Case cases[] = {{"empty", 0}, {"short", kFileBytes - 1}, {"long", kFileBytes + 1}};
    for (const Case& c : cases) {
        { std::ofstream(dir.Path(c.name)); }
        std::filesystem::resize_file(dir.Path(c.name), c.bytes);
        const CZONES zones(dir.Dir(), c.name);
        EXPECT_EQ(zones.GetZone(-89.995, 179.995), 0) << c.name;
        EXPECT_FALSE(zones.IsUsable()) << c.name;
    }
    const CZONES missing(dir.Dir() + "no-such-directory/");
    EXPECT_EQ(missing.GetZone(50.0, 0.0), 0);
    EXPECT_EQ(missing.GetZone(-90.0, 0.0), 0); // no file: 0 even outside the grid
    EXPECT_FALSE(missing.IsUsable());
    std::filesystem::create_directory(dir.Path("zones01.dem"));
    EXPECT_EQ(CZONES(dir.Dir()).GetZone(50.0, 0.0), 0);
}

// A FIFO in the zone map's place would block the first look-up for ever if
// it were opened; it is refused at once.
TEST(ZoneFileFaults, AFifoIsRefusedAtOnce) {
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.Path("zones01.dem").c_str(), 0600), 0);
    EXPECT_TRUE(test::FinishesWithin(10, [&] {
        const CZONES zones(dir.Dir());
        return zones.GetZone(50.0, 0.0) == 0 && !zones.IsUsable();
    }));
}

} // namespace
} // namespace kestrova
