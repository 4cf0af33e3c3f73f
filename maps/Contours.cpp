// CONREC over the pixel lattice (see Contours.h).
#include "maps/Contours.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kestrova {
namespace {

// CONREC's case table, indexed by the signs (+1) of the three vertices of a
// triangle: vertex m1 (a corner), m2 (the centre), m3 (the next corner).
// 0: no segment; 1: m1 to m2; 2: m2 to m3; 3: m3 to m1; 4: m1 to the
// crossing on m2-m3; 5: m2 to the crossing on m3-m1; 6: m3 to the crossing
// on m1-m2; 7: m1-m2 to m2-m3; 8: m2-m3 to m3-m1; 9: m3-m1 to m1-m2.
constexpr int castab[3][3][3] = {{{0, 0, 8}, {0, 2, 5}, {7, 6, 9}},
                                 {{0, 3, 4}, {1, 3, 1}, {4, 3, 0}},
                                 {{9, 6, 7}, {5, 2, 0}, {8, 0, 0}}};

int Sign(double h) {
    return h > 0.0 ? 1 : (h < 0.0 ? -1 : 0);
}

// The grid index under each pixel line 0..pixels, limited to the last cell.
std::vector<int> CellIndices(int pixels, double g, int cells) {
    std::vector<int> index(static_cast<std::size_t>(pixels) + 1);
    for (int a = 0; a <= pixels; ++a) {
        const double cell = std::trunc(a / g);
        index[static_cast<std::size_t>(a)] =
            cell >= cells - 1 ? cells - 1 : static_cast<int>(std::max(cell, 0.0));
    }
    return index;
}

// One pixel square: its five vertices (0 the centre, 1..4 the corners in
// CONREC's order) with their coordinates and values above the level.
struct Square {
    double x[5]; // columns
    double y[5]; // rows
    double d[5]; // grid values at the corners (d[0] unused)
    double h[5];
    int s[5];

    // The crossing of the level on the edge p-q.
    double CrossX(int p, int q) const { return (h[q] * x[p] - h[p] * x[q]) / (h[q] - h[p]); }
    double CrossY(int p, int q) const { return (h[q] * y[p] - h[p] * y[q]) / (h[q] - h[p]); }
};

// The segment of triangle (m1, 0, m3) of the square for its case, which is
// not 0.
ContourSegment TriangleSegment(const Square& q, int m1, int m3, int kase) {
    const int m2 = 0;
    switch (kase) {
    case 1:
        return {q.x[m1], q.y[m1], q.x[m2], q.y[m2]};
    case 2:
        return {q.x[m2], q.y[m2], q.x[m3], q.y[m3]};
    case 3:
        return {q.x[m3], q.y[m3], q.x[m1], q.y[m1]};
    case 4:
        return {q.x[m1], q.y[m1], q.CrossX(m2, m3), q.CrossY(m2, m3)};
    case 5:
        return {q.x[m2], q.y[m2], q.CrossX(m3, m1), q.CrossY(m3, m1)};
    case 6:
        return {q.x[m3], q.y[m3], q.CrossX(m1, m2), q.CrossY(m1, m2)};
    case 7:
        return {q.CrossX(m1, m2), q.CrossY(m1, m2), q.CrossX(m2, m3), q.CrossY(m2, m3)};
    case 8:
        return {q.CrossX(m2, m3), q.CrossY(m2, m3), q.CrossX(m3, m1), q.CrossY(m3, m1)};
    default:
        return {q.CrossX(m3, m1), q.CrossY(m3, m1), q.CrossX(m1, m2), q.CrossY(m1, m2)};
    }
}

bool InBitmap(const ContourSegment& s, int width, int height) {
    return s.x1 >= 0 && s.x1 < width && s.x2 >= 0 && s.x2 <= width && s.y1 >= 0 && s.y1 < height &&
           s.y2 >= 0 && s.y2 <= height;
}

// The segments of one level in one square; returns their number.
int LevelSegments(Square& q, double z, int width, int height, const ContourSink& sink) {
    for (int m = 1; m <= 4; ++m)
        q.h[m] = q.d[m] - z;
    q.h[0] = 0.25 * (q.h[1] + q.h[2] + q.h[3] + q.h[4]);
    for (int m = 0; m <= 4; ++m)
        q.s[m] = Sign(q.h[m]);
    int drawn = 0;
    for (int m = 1; m <= 4; ++m) {
        const int m1 = m;
        const int m3 = m == 4 ? 1 : m + 1;
        const int kase = castab[q.s[m1] + 1][q.s[0] + 1][q.s[m3] + 1];
        if (kase == 0) continue;
        const ContourSegment segment = TriangleSegment(q, m1, m3, kase);
        if (!InBitmap(segment, width, height)) continue;
        sink(segment);
        ++drawn;
    }
    return drawn;
}

} // namespace

int ContourSegments(const ContourGrid& grid, int width, int height, double g, int count,
                    const int* levels, const ContourSink& sink) {
    if (count < 1 || !levels || !grid.cells || grid.rows < 1 || grid.cols < 1 || !(g > 0) ||
        width < 1 || height < 1)
        return 0;
    const std::vector<int> rowCell = CellIndices(height, g, grid.rows);
    const std::vector<int> colCell = CellIndices(width, g, grid.cols);
    const auto d = [&](int a, int b) {
        return static_cast<double>(
            grid.At(rowCell[static_cast<std::size_t>(a)], colCell[static_cast<std::size_t>(b)]));
    };
    const double lowest = levels[0];
    const double highest = levels[count - 1];
    int drawn = 0;
    Square q{};
    for (int c = static_cast<int>(std::trunc(width - g)); c >= 0; --c) {
        for (int r = 0; r < height - g; ++r) {
            q.d[1] = d(r, c);
            q.d[2] = d(r + 1, c);
            q.d[3] = d(r + 1, c + 1);
            q.d[4] = d(r, c + 1);
            const double dmin = std::min({q.d[1], q.d[2], q.d[3], q.d[4]});
            const double dmax = std::max({q.d[1], q.d[2], q.d[3], q.d[4]});
            if (dmin == dmax || lowest > dmax || highest < dmin) continue;
            q.x[0] = c + 0.5, q.y[0] = r + 0.5;
            q.x[1] = c, q.y[1] = r;
            q.x[2] = c, q.y[2] = r + 1;
            q.x[3] = c + 1, q.y[3] = r + 1;
            q.x[4] = c + 1, q.y[4] = r;
            // The levels from the first at or above dmin (they ascend).
            for (const int* z = std::lower_bound(levels, levels + count, dmin);
                 z < levels + count && *z <= dmax; ++z)
                drawn += LevelSegments(q, *z, width, height, sink);
        }
    }
    return drawn;
}

} // namespace kestrova
