// CONREC over the pixel lattice: small grids whose contours are known from
// their geometry (a step, a saddle, a plateau, levels at cell values), the
// cell-wise sampling, and grids read only inside their cells at any g.
#include "maps/Contours.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace kestrova {
namespace {

struct Grid {
    int rows;
    int cols;
    std::vector<std::int16_t> cells; // row by row, north first

    ContourGrid View() const { return {cells.data(), rows, cols}; }
};

// Segments as (x1, y1, x2, y2) tuples, sorted, for comparison as sets.
using Segments = std::vector<std::tuple<double, double, double, double>>;

Segments Collect(const Grid& grid, int width, int height, double g, std::vector<int> levels,
                 int* count = nullptr) {
    Segments segments;
    const int n = ContourSegments(
        grid.View(), width, height, g, static_cast<int>(levels.size()), levels.data(),
        [&](const ContourSegment& s) { segments.emplace_back(s.x1, s.y1, s.x2, s.y2); });
    EXPECT_EQ(n, static_cast<int>(segments.size()));
    if (count) *count = n;
    std::sort(segments.begin(), segments.end());
    return segments;
}

// Four rows of 0 0 100 100: a north-south step between pixel columns 1
// and 2 at g = 1.
const Grid step{4, 4, {0, 0, 100, 100, 0, 0, 100, 100, 0, 0, 100, 100, 0, 0, 100, 100}};

TEST(Contours, StepBetweenTwoValuesRunsThroughTheMiddleOfTheSquares) {
    // Each of the three pixel squares astride the step (rows 0..2 are
    // visited) gives two halves of the line x = 1.5, from its centre to the
    // midpoints of its north and south edges.
    Segments expected;
    for (int r = 0; r < 3; ++r) {
        expected.emplace_back(1.5, r + 0.5, 1.5, r + 1.0);
        expected.emplace_back(1.5, r + 0.5, 1.5, r + 0.0);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Collect(step, 4, 4, 1.0, {50}), expected);
}

TEST(Contours, LevelsAtCellValuesFollowTheCellEdges) {
    // The lowest value's level runs along the last low column, the highest
    // value's along the first high column; a level outside 0..100 gives
    // nothing.
    for (const auto& [level, x] : {std::pair{0, 1.0}, std::pair{100, 2.0}}) {
        const Segments segments = Collect(step, 4, 4, 1.0, {level});
        ASSERT_EQ(segments.size(), 3u) << level;
        for (const auto& [x1, y1, x2, y2] : segments) {
            EXPECT_EQ(x1, x) << level;
            EXPECT_EQ(x2, x) << level;
            EXPECT_EQ(std::fabs(y2 - y1), 1.0) << level;
        }
    }
    EXPECT_TRUE(Collect(step, 4, 4, 1.0, {-10, 110}).empty());
}

TEST(Contours, GridIsSampledCellWise) {
    // A 2 x 2 grid at two pixels a cell reads like the 4 x 4 step at one
    // pixel a cell: the line follows the cell boundary. Rows of squares are
    // visited while r < 4 - g, here rows 0 and 1.
    const Grid coarse{2, 2, {0, 100, 0, 100}};
    Segments firstRows = Collect(step, 4, 4, 1.0, {50});
    firstRows.erase(std::remove_if(firstRows.begin(), firstRows.end(),
                                   [](const auto& s) { return std::get<1>(s) > 2.0; }),
                    firstRows.end());
    ASSERT_EQ(firstRows.size(), 4u);
    EXPECT_EQ(Collect(coarse, 4, 4, 2.0, {50}), firstRows);
    // Fractional g: 3 cells over 4 pixels put pixel columns 0, 1 | 2 | 3 in
    // cells 0 | 1 | 2 (trunc(b / g)); the step between cells 0 and 1 is
    // between pixel columns 1 and 2.
    const Grid three{1, 3, {0, 100, 100}};
    const Segments fractional = Collect(three, 4, 4, 4.0 / 3.0, {50});
    ASSERT_FALSE(fractional.empty());
    for (const auto& [x1, y1, x2, y2] : fractional) {
        EXPECT_EQ(x1, 1.5);
        EXPECT_EQ(x2, 1.5);
    }
}

TEST(Contours, SaddleCrossesAtTheSquaresCentre) {
    // 100 0 / 0 100: the square between the four pixels is a saddle whose
    // centre is at the level; CONREC cuts it into four arms from the centre
    // to the midpoints of its edges.
    const Grid saddle{2, 2, {100, 0, 0, 100}};
    int count = 0;
    const Segments segments = Collect(saddle, 2, 2, 1.0, {50}, &count);
    for (const auto& arm : {std::tuple{0.5, 0.5, 0.0, 0.5}, std::tuple{0.5, 0.5, 0.5, 1.0},
                            std::tuple{0.5, 0.5, 1.0, 0.5}, std::tuple{0.5, 0.5, 0.5, 0.0}})
        EXPECT_TRUE(std::find(segments.begin(), segments.end(), arm) != segments.end());
    // The east square (c = 1) repeats the last grid column for its corners
    // beyond the grid, 0 above 100: a level line across it, in two halves.
    EXPECT_EQ(count, 6);
}

TEST(Contours, PlateauAtALevelIsOutlinedNotFilled) {
    // A 3 x 3 plateau of 100 in a 5 x 5 grid of 0, contoured at 100: its
    // outline is the square from pixel (1, 1) to (3, 3). The squares inside
    // it are flat at the level and draw nothing, so the inner lines x = 2
    // and y = 2 never appear.
    Grid plateau{5, 5, std::vector<std::int16_t>(25, 0)};
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c)
            plateau.cells[static_cast<std::size_t>(r * 5 + c)] = 100;
    const Segments segments = Collect(plateau, 5, 5, 1.0, {100});
    ASSERT_FALSE(segments.empty());
    double length = 0.0;
    const auto onOutline = [](double x, double y) {
        return ((x == 1 || x == 3) && y >= 1 && y <= 3) || ((y == 1 || y == 3) && x >= 1 && x <= 3);
    };
    for (const auto& [x1, y1, x2, y2] : segments) {
        EXPECT_TRUE(onOutline(x1, y1) && onOutline(x2, y2))
            << x1 << "," << y1 << " " << x2 << "," << y2;
        length += std::hypot(x2 - x1, y2 - y1);
    }
    // The outline is 8 pixels long (some sides come from the squares on
    // both of their sides).
    EXPECT_GE(length, 8.0);

    // The sea: a flat grid at level 0 gives no line at all.
    const Grid sea{4, 4, std::vector<std::int16_t>(16, 0)};
    EXPECT_TRUE(Collect(sea, 4, 4, 1.0, {0, 100}).empty());
}

TEST(Contours, NothingWithoutLevelsOrGrid) {
    int calls = 0;
    const auto sink = [&](const ContourSegment&) { ++calls; };
    const int levels[] = {50};
    EXPECT_EQ(ContourSegments(step.View(), 4, 4, 1.0, 0, levels, sink), 0);
    EXPECT_EQ(ContourSegments(step.View(), 4, 4, 1.0, -1, levels, sink), 0);
    EXPECT_EQ(ContourSegments(ContourGrid{}, 4, 4, 1.0, 1, levels, sink), 0);
    EXPECT_EQ(ContourSegments(step.View(), 4, 4, 0.0, 1, levels, sink), 0);
    EXPECT_EQ(ContourSegments(step.View(), 4, 4, std::nan(""), 1, levels, sink), 0);
    EXPECT_EQ(ContourSegments(step.View(), 0, 4, 1.0, 1, levels, sink), 0);
    EXPECT_EQ(calls, 0);
}

// Random grids at g <= 1 (more cells than pixels, corners of the last
// pixels one cell beyond the grid) and at fractional g > 1: every segment
// lies in the bitmap, and the grid is read only inside its cells (each
// grid is a vector of exactly its size, which AddressSanitizer watches).
TEST(Contours, AnyGReadsOnlyInsideTheGridAndDrawsInsideTheBitmap) {
    std::mt19937 random(452);
    std::uniform_int_distribution<int> value(-50, 400);
    struct Case {
        int cells;
        int pixels;
    };
    for (const Case c : {Case{50, 50}, Case{51, 50}, Case{100, 50}, Case{17, 50}, Case{3, 50},
                         Case{167, 500}, Case{1, 8}}) {
        Grid grid{c.cells, c.cells, std::vector<std::int16_t>(std::size_t(c.cells * c.cells))};
        for (auto& cell : grid.cells)
            cell = static_cast<std::int16_t>(value(random));
        const double g = static_cast<double>(c.pixels) / c.cells;
        const std::vector<int> levels{0, 100, 200, 300};
        int count = 0;
        const Segments segments = Collect(grid, c.pixels, c.pixels, g, levels, &count);
        for (const auto& [x1, y1, x2, y2] : segments) {
            EXPECT_TRUE(x1 >= 0 && x1 < c.pixels && y1 >= 0 && y1 < c.pixels);
            EXPECT_TRUE(x2 >= 0 && x2 <= c.pixels && y2 >= 0 && y2 <= c.pixels);
        }
        if (c.cells > 1) {
            EXPECT_GT(count, 0) << c.cells << " cells";
        }
    }
}

} // namespace
} // namespace kestrova
