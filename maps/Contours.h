// Contour lines of a grid of 16-bit values (terrain heights in metres, or a
// coverage map's field strengths) over the pixel lattice of a bitmap, after
// CONREC (P. Bourke, "CONREC: a contouring subroutine", Byte, June 1987).
//
// The grid is sampled cell-wise under each pixel: pixel row a, column b
// reads grid[trunc(a / g)][trunc(b / g)] with g pixels per grid cell, so the
// lines follow the boundaries between cells wherever a level falls between
// two cells' values, with CONREC's diagonal cuts inside each pixel. Every
// pixel square is split into four triangles about its centre and each
// triangle gives at most one segment per level (CONREC's castab table).
//
// Plain C++: the segments go to a callback; maps/image draws them.
#pragma once

#include "terrain/Grid.h"

#include <cstdint>
#include <functional>

namespace kestrova {

// A read-only view of a grid of 16-bit values, row 0 the northern one.
struct ContourGrid {
    const std::int16_t* cells = nullptr;
    int rows = 0;
    int cols = 0;

    static ContourGrid Of(const CHeightGrid& grid) {
        return {grid.Rows() > 0 ? grid[0] : nullptr, grid.Rows(), grid.Cols()};
    }
    std::int16_t At(int row, int col) const {
        return cells[static_cast<long long>(row) * cols + col];
    }
};

// One segment in pixel coordinates: x the column, y the row.
struct ContourSegment {
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
};

using ContourSink = std::function<void(const ContourSegment&)>;

// The contour segments of count ascending levels (in the grid's units) of
// grid over a bitmap of width x height pixels at g pixels per grid cell
// (fractional values allowed). Each segment that lies in the bitmap
// (0 <= x1 < width, 0 <= x2 <= width, 0 <= y1 < height, 0 <= y2 <= height)
// goes to sink; the result is their number.
//
// Pixel squares are visited column by column from the east, each column
// from the north. A pixel whose grid cell lies beyond the last row or
// column (g <= 1, or a grid smaller than the bitmap) reads that last row or
// column, so no grid is ever read outside its cells. A square whose four
// corners are equal holds no contour and is skipped: CONREC would outline
// it when its value is a level, which fills flat ground (the sea at level
// 0) with black; the outline of such a plateau comes from the squares
// around it.
//
// Nothing is drawn, and 0 returned, for count < 1, an empty grid, g <= 0
// or an empty bitmap.
int ContourSegments(const ContourGrid& grid, int width, int height, double g, int count,
                    const int* levels, const ContourSink& sink);

} // namespace kestrova
