// A rectangular grid of values extracted from the terrain store or the zone
// map: row 0 is the northern row, grid[row][col] reads one cell.
#pragma once

#include <cstddef>
#include <limits>
#include <vector>

namespace kestrova {

template <typename T> class CGrid {
public:
    // Grids are for maps: more cells than an int counts is a mistake, and
    // is refused before anything is allocated.
    static bool SizeAllowed(int rows, int cols) {
        return rows >= 0 && cols >= 0 &&
               static_cast<long long>(rows) * cols <= std::numeric_limits<int>::max();
    }

    CGrid(int rows, int cols)
        : rows_(rows), cols_(cols),
          cells_(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols)) {}

    int Rows() const { return rows_; }
    int Cols() const { return cols_; }
    T* operator[](int row) { return cells_.data() + static_cast<std::size_t>(row) * cols_; }
    const T* operator[](int row) const {
        return cells_.data() + static_cast<std::size_t>(row) * cols_;
    }

private:
    int rows_;
    int cols_;
    std::vector<T> cells_;
};

using CHeightGrid = CGrid<short>;
using CZoneGrid = CGrid<unsigned char>;

} // namespace kestrova
