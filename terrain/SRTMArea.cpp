// CSRTM::GetArea: the height grids behind the terrain maps.
#include "terrain/SRTM.h"

#include <exception>

namespace kestrova {

const CHeightGrid* CSRTM::GetArea(double lonWest, double latSouth, int colCount, int rowCount,
                                  double step, bool interpolate) {
    areaRows = rowCount;
    areaCols = colCount;
    maxHeight = minHeight = 0;
    area.reset();
    if (!(step > 0) || !CHeightGrid::SizeAllowed(rowCount, colCount)) return nullptr;
    const bool southPoleCrossed = NormalisePosition(latSouth, lonWest);
    const double firstRowLat = southPoleCrossed ? latSouth : latSouth + rowCount * step;
    try {
        area = std::make_unique<CHeightGrid>(rowCount, colCount);
    } catch (const std::exception&) { // bad_alloc, or length_error for a huge size
        return nullptr;
    }
    FillArea(*area, firstRowLat, lonWest, step, interpolate);
    return area.get();
}

void CSRTM::FillArea(CHeightGrid& grid, double firstRowLat, double lonWest, double step,
                     bool interpolate) {
    for (int i = 0; i < grid.Rows(); ++i) {
        const double rowLat = firstRowLat - i * step;
        for (int j = 0; j < grid.Cols(); ++j) {
            const int height = GetHeight(rowLat, lonWest + j * step, interpolate);
            grid[i][j] = static_cast<short>(height);
            if (height == voidValue || height == noDataValue) continue;
            if (height > maxHeight) maxHeight = static_cast<short>(height);
            if (height < minHeight) minHeight = static_cast<short>(height);
        }
    }
}

void CSRTM::FreeArea() {
    area.reset();
}

} // namespace kestrova
