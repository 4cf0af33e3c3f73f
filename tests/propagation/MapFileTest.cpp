#include "propagation/MapFile.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace kestrova {
namespace {

bool Read(const std::string& text, int rows, int cols, std::vector<double>& grid) {
    std::istringstream in(text);
    return ReadMapGrid(in, rows, cols, grid);
}

TEST(MapFileRead, AcceptsTheLayoutsMapsComeIn) {
    struct Case {
        const char* name;
        const char* text;
    } cases[] = {
        {"blanks and LF", "1 2.5 -3\n4e1 +5 -9999\n"},
        {"CRLF", "1 2.5 -3\r\n4e1 +5 -9999\r\n"},
        {"commas", "1,2.5,-3\n4e1,+5,-9999\n"},
        {"comma and blank", "1, 2.5, -3,\r\n4e1, +5, -9999,\r\n"},
        {"tabs, one line", "\t1\t2.5\t-3\t4E+01\t5\t-9.999e3"},
        {"line breaks anywhere", "1\n2.5\n\n-3 4e1\n5\n-9999"},
        {"byte-order mark", "\xEF\xBB\xBF"
                            "1 2.5 -3 4e1 5 -9999"},
    };
    const std::vector<double> expected = {1, 2.5, -3, 40, 5, -9999};
    for (const Case& c : cases) {
        std::vector<double> grid;
        EXPECT_TRUE(Read(c.text, 2, 3, grid)) << c.name;
        EXPECT_EQ(grid, expected) << c.name;
    }
}

// A file that does not hold a whole grid of numbers is rejected and the
// grid keeps what it held: never half a map.
TEST(MapFileRead, RejectsShortOrMalformedTextAndKeepsTheOldGrid) {
    struct Case {
        const char* name;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"blanks only", " \r\n\t,,"},
        {"one number short", "1 2 3 4 5"},
        {"word", "1 2 3 four 5 6"},
        {"number glued to text", "1 2 3 4x 5 6"},
        {"two signs", "1 2 3 --4 5 6"},
        {"word too long to be a number", "1 2 3 " + std::string(100, '1') + " 5 6"},
        {"binary", std::string("\x01\x02\x00\xff\xfe", 5)},
        {"numbers after the grid", "1 2.5 -3 4e1 5 -9999 7 8"},
    };
    for (const Case& c : cases) {
        std::vector<double> grid = {7, 7};
        EXPECT_FALSE(Read(c.text, 2, 3, grid)) << c.name;
        EXPECT_EQ(grid, (std::vector<double>{7, 7})) << c.name;
    }
}

// A number that is not finite is a node without data, not a value the
// look-ups could blend into an infinite or NaN result.
TEST(MapFileRead, NonFiniteNumbersAreNodesWithoutData) {
    std::vector<double> grid;
    ASSERT_TRUE(Read("1 nan 3 inf -1e999 -NaN", 2, 3, grid));
    EXPECT_EQ(grid, (std::vector<double>{1, mapNoData, 3, mapNoData, mapNoData, mapNoData}));
}

// A 121 × 241 map written the way ITU-R writes its 1.5° files: each line
// one row, every number after blanks. Node (row, col) holds row * 1000 + col.
std::string ItuMapText(int rows, int cols, const char* lineEnd) {
    std::ostringstream text;
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col)
            text << "   " << row * 1000 + col;
        text << lineEnd;
    }
    return text.str();
}

// Map files as they come, through the reader at the size of the 1.5° grid:
// the node (1, 2) read, or the refusal and what it says.
TEST(MapFileRead, ReadsItuFilesAsTheyComeAndRefusesAnyOtherCount) {
    constexpr int rows = 121;
    constexpr int cols = 241;
    const std::string plain = ItuMapText(rows, cols, "\n");
    const std::string bom = "\xEF\xBB\xBF";
    std::string nanRow = ItuMapText(1, cols, "\n");
    for (std::size_t at = 0; (at = nanRow.find_first_of("0123456789", at)) != std::string::npos;)
        nanRow.replace(at, nanRow.find_first_not_of("0123456789", at) - at, "nan");
    nanRow += plain.substr(plain.find('\n') + 1);
    struct Case {
        const char* name;
        std::string text;
        double node12;       // the value at row 1, column 2 when read
        const char* problem; // what the refusal says, "" when read
    } cases[] = {
        {"plain", plain, 1002, ""},
        {"CRLF", ItuMapText(rows, cols, "\r\n"), 1002, ""},
        {"no leading blanks", plain.substr(plain.find_first_not_of(' ')), 1002, ""},
        {"byte-order mark then blanks", bom + plain, 1002, ""},
        {"byte-order mark then a number", bom + plain.substr(plain.find_first_not_of(' ')), 1002,
         ""},
        {"row of nan", nanRow, 1002, ""},
        {"header line", "121 241\n" + plain, 0, "29,163 numbers where the grid holds 29,161"},
        {"too few numbers", plain.substr(0, plain.rfind('\n', plain.size() - 2) + 1), 0,
         "28,920 of 29,161 numbers"},
        {"too many numbers", plain + "  7\n", 0, "29,162 numbers where the grid holds 29,161"},
        {"0.75° grid under a 1.5° name", ItuMapText(241, 481, "\n"), 0,
         "115,921 numbers where the grid holds 29,161"},
        {"word", "1 x" + plain, 0, "word 2 (\"x\") is not a number"},
    };
    for (const Case& c : cases) {
        std::vector<double> grid;
        std::string problem;
        std::istringstream in(c.text);
        const bool read = ReadMapGrid(in, rows, cols, grid, problem);
        EXPECT_EQ(problem, c.problem) << c.name;
        if (*c.problem == '\0') {
            ASSERT_TRUE(read) << c.name;
            EXPECT_EQ(grid[1 * cols + 2], c.node12) << c.name;
            EXPECT_EQ(grid[2], c.name == std::string("row of nan") ? mapNoData : 2.0) << c.name;
        } else {
            EXPECT_FALSE(read) << c.name;
            EXPECT_TRUE(grid.empty()) << c.name;
        }
    }
}

TEST(MapFileRead, RejectsImpossibleGridSizes) {
    std::vector<double> grid;
    EXPECT_FALSE(Read("1 2 3", 0, 3, grid));
    EXPECT_FALSE(Read("1 2 3", 3, -1, grid));
    EXPECT_FALSE(Read("1 2 3", 1 << 20, 1 << 20, grid));
    EXPECT_TRUE(grid.empty());
}

TEST(MapFile, ColumnsPerTurn) {
    MapFile map{50, "x", -90, 1.5, 121, 0, 1.5, 241, {}};
    EXPECT_EQ(map.ColumnsPerTurn(), 240); // the last column repeats the first
    map.lonStep = 0.5;
    map.cols = 720;
    EXPECT_EQ(map.ColumnsPerTurn(), 720);
    map.cols = 700; // a regional grid does not wrap
    EXPECT_EQ(map.ColumnsPerTurn(), 0);
    map.lonStep = 0.7; // nor does one whose columns do not close the circle
    map.cols = 1000;
    EXPECT_EQ(map.ColumnsPerTurn(), 0);
}

} // namespace
} // namespace kestrova
