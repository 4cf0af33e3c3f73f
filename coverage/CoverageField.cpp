#include "coverage/CoverageField.h"

#include <cmath>
#include <limits>

namespace kestrova {
namespace {

constexpr double notComputed = std::numeric_limits<double>::quiet_NaN();

size_t CellCount(const CoverageArea& area) {
    return area.n > 0 ? static_cast<size_t>(area.n) * static_cast<size_t>(area.n) : 0;
}

} // namespace

double CoverageField::TerrainMissing() const {
    const size_t cells = CellCount(Area());
    return cells > 0 ? static_cast<double>(CellsWithoutTerrain()) / static_cast<double>(cells)
                     : 0.0;
}

double JobField::Value(int i, int j) const {
    return job.ColumnDone(j) ? job.Value(i, j) : notComputed;
}

GridField::GridField(const CoverageArea& gridArea, std::vector<float> cellValues)
    : area(gridArea), values(std::move(cellValues)) {
    values.resize(CellCount(area), std::numeric_limits<float>::quiet_NaN());
}

double GridField::Value(int i, int j) const {
    return values[static_cast<size_t>(i) * static_cast<size_t>(area.n) + static_cast<size_t>(j)];
}

std::vector<std::int16_t> CoverageGrid16(const CoverageField& field) {
    const int n = field.Area().n;
    std::vector<std::int16_t> grid;
    grid.reserve(CellCount(field.Area()));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            grid.push_back(field.GridAt(i, j));
    return grid;
}

} // namespace kestrova
