#include "ZoneRule.h"

#include <cmath>
#include <cstddef>
#include <numbers>

namespace kestrova::zones {

namespace {

constexpr double kEarthRadiusKm = 6371.0;

// Running counts of sea cells along each row, so that "is there sea between
// these columns" is two reads.
class SeaRows {
public:
    SeaRows(const std::vector<std::uint8_t>& sea, int rows, int cols)
        : cols_(cols), counts_(static_cast<std::size_t>(rows) * (cols + 1)) {
        for (int r = 0; r < rows; ++r) {
            int* row = &counts_[static_cast<std::size_t>(r) * (cols + 1)];
            for (int c = 0; c < cols; ++c)
                row[c + 1] = row[c] + sea[static_cast<std::size_t>(r) * cols + c];
        }
    }

    // Sea in row r within `reach` columns of column c, across 180 degrees.
    bool Near(int r, int c, int reach) const {
        const int* row = &counts_[static_cast<std::size_t>(r) * (cols_ + 1)];
        if (2 * reach + 1 >= cols_) return row[cols_] > 0;
        const int first = c - reach;
        const int last = c + reach; // inclusive
        if (first < 0) return Count(row, 0, last) + Count(row, first + cols_, cols_ - 1) > 0;
        if (last >= cols_) return Count(row, first, cols_ - 1) + Count(row, 0, last - cols_) > 0;
        return Count(row, first, last) > 0;
    }

private:
    static int Count(const int* row, int first, int last) { return row[last + 1] - row[first]; }

    int cols_;
    std::vector<int> counts_;
};

// The largest whole number of columns between two cell centres, on rows at
// latitudes lat1 and lat2 (radians), that keeps them within `angle`
// (radians of arc); -1 when even the same column is too far.
int ColumnReach(double lat1, double lat2, double angle, double colStep, int cols) {
    const double cosLimit = std::cos(angle);
    const double denominator = std::cos(lat1) * std::cos(lat2);
    const double sines = std::sin(lat1) * std::sin(lat2);
    if (denominator <= 0) return sines >= cosLimit ? cols : -1;
    // cos(d) = sin1 sin2 + cos1 cos2 cos(dLon) >= cos(limit)
    const double t = (cosLimit - sines) / denominator;
    if (t > 1) return -1;
    if (t <= -1) return cols;
    return static_cast<int>(std::floor(std::acos(t) / colStep + 1e-9));
}

} // namespace

std::vector<std::uint8_t> ClassifyZones(const ZoneInput& in, double coastKm) {
    const std::size_t cells = static_cast<std::size_t>(in.rows) * in.cols;
    std::vector<std::uint8_t> codes(cells, kInland);
    for (std::size_t i = 0; i < cells; ++i)
        if (in.level[i] == kLevelOcean || (in.level[i] == kLevelLake && in.largeLake[i]))
            codes[i] = kSea;
    std::vector<std::uint8_t> sea(cells);
    for (std::size_t i = 0; i < cells; ++i)
        sea[i] = codes[i] == kSea;
    const SeaRows seaRows(sea, in.rows, in.cols);

    const double rowStep = std::numbers::pi / in.rows;
    const double colStep = 2 * std::numbers::pi / in.cols;
    const double angle = coastKm / kEarthRadiusKm;
    const int maxRows = static_cast<int>(std::ceil(angle / rowStep));
    auto latitude = [&](int r) { return std::numbers::pi / 2 - (r + 0.5) * rowStep; };

    for (int r = 0; r < in.rows; ++r) {
        std::uint8_t* row = &codes[static_cast<std::size_t>(r) * in.cols];
        // Nearest rows first: most coastal cells are settled by them.
        for (int k = 0; k <= 2 * maxRows; ++k) {
            const int r2 = r + ((k % 2) ? (k + 1) / 2 : -(k / 2));
            if (r2 < 0 || r2 >= in.rows) continue;
            const int reach = ColumnReach(latitude(r), latitude(r2), angle, colStep, in.cols);
            if (reach < 0) continue;
            for (int c = 0; c < in.cols; ++c)
                if (row[c] == kInland && seaRows.Near(r2, c, reach)) row[c] = kCoastal;
        }
    }
    return codes;
}

std::vector<std::uint8_t> PackZones(const std::vector<std::uint8_t>& codes, int rows, int cols) {
    std::vector<std::uint8_t> packed(static_cast<std::size_t>(rows) * cols / 4, 0);
    for (std::size_t i = 0; i < codes.size(); ++i)
        packed[i / 4] |= static_cast<std::uint8_t>((codes[i] & 3) << (6 - 2 * (i % 4)));
    return packed;
}

} // namespace kestrova::zones
