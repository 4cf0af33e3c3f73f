#include "terrain/Zones.h"

#include "terrain/Position.h"

#include <cmath>
#include <exception>

namespace kestrova {

CZONES::CZONES(std::string zoneDirectory) : CZONES(std::move(zoneDirectory), "zones01.dem") {}

CZONES::CZONES(std::string zoneDirectory, const std::string& name)
    : directory(std::move(zoneDirectory)), fileName(directory + name) {}

const std::uint8_t* CZONES::Cells() const {
    std::call_once(opened, [this] {
        // A file of any other size is not a zone map: reading it would give
        // codes from the wrong cells, or read past its end.
        if (file.Open(fileName) && file.Size() != kFileBytes) file.Close();
    });
    return file.Data();
}

bool CZONES::IsUsable() const {
    return Cells() != nullptr;
}

int CZONES::GetZone(double lat, double lon) const {
    NormaliseLatLon(lat, lon);
    const std::uint8_t* cells = Cells();
    if (!cells) return 0;
    // The cell whose centre is nearest; the range is checked before the
    // conversion, so NaN or a huge latitude lands outside the grid.
    const double row = std::trunc((northCentre - lat) / latStep + 0.5);
    const double col = std::trunc((lon - westCentre) / lonStep + 0.5);
    if (!(col >= 0 && col < gridCols && row >= 0 && row < gridRows)) return outsideValue;
    const auto r = static_cast<std::size_t>(row);
    const auto c = static_cast<std::size_t>(col);
    const std::uint8_t byte = cells[r * static_cast<std::size_t>(bytesPerRow) + c / 4];
    return (byte >> (6 - 2 * (c % 4))) & 3;
}

// GetZone takes the cell whose centre is nearest: the whole part of
// t = (northCentre - lat) / latStep + 0.5, which rounding (of the
// difference, the division, the sum and of latStep = 1/60 itself) moves by
// at most about 5e-12 cell from (northCentre - lat) 60 + 0.5. A position
// whose t lies farther than its error (latErr 60) plus kEdgeCushion from the
// nearest whole number is in the same cell by either formula, as is every
// position within its bounds; likewise the column. Away from the poles,
// folding is at most one whole turn of longitude, done alike on both.
void CZONES::TryZones(const WalkPoint* points, int count, int* zones) const {
    constexpr double kEdgeCushion = 1e-9;   // cells
    constexpr double kTurnRounding = 1e-13; // degrees: adding or taking 360
    constexpr double kCellsPerDegree = 60.0;
    const std::uint8_t* cells = Cells();
    for (int i = 0; i < count; ++i) {
        const double lat = points[i].lat;
        double lon = points[i].lon;
        const double latErr = points[i].latErr;
        double lonErr = points[i].lonErr;
        zones[i] = -1;
        if (!(std::fabs(lat) + latErr < 89.0 && std::fabs(lon) < 500.0)) continue;
        if (!(lon + lonErr < 180.0 && lon - lonErr > -180.0)) {
            if (lon - lonErr > 180.0)
                lon -= 360.0;
            else if (lon + lonErr < -180.0)
                lon += 360.0;
            else
                continue;
            lonErr += kTurnRounding;
        }
        if (!cells) {
            zones[i] = 0;
            continue;
        }
        // With |lat| < 89 and -180 < lon < 180, t and u are positive and
        // inside the grid, so truncation is the floor.
        const double t = (northCentre - lat) * kCellsPerDegree + 0.5;
        const double u = (lon - westCentre) * kCellsPerDegree + 0.5;
        const auto row = static_cast<int>(t);
        const auto col = static_cast<int>(u);
        const double tFraction = t - row;
        const double uFraction = u - col;
        const double mLat = latErr * kCellsPerDegree + kEdgeCushion;
        const double mLon = lonErr * kCellsPerDegree + kEdgeCushion;
        if (!(tFraction > mLat && tFraction < 1.0 - mLat && uFraction > mLon &&
              uFraction < 1.0 - mLon && row < gridRows && col < gridCols))
            continue;
        const auto r = static_cast<std::size_t>(row);
        const auto c = static_cast<std::size_t>(col);
        const std::uint8_t byte = cells[r * static_cast<std::size_t>(bytesPerRow) + c / 4];
        zones[i] = (byte >> (6 - 2 * (c % 4))) & 3;
    }
}

const CZoneGrid* CZONES::GetArea(double lonWest, double latSouth, int colCount, int rowCount,
                                 double step) {
    areaRows = rowCount;
    areaCols = colCount;
    area.reset();
    if (!(step > 0) || !CZoneGrid::SizeAllowed(rowCount, colCount)) return nullptr;
    const bool southPoleCrossed = NormalisePosition(latSouth, lonWest);
    const double firstRowLat = southPoleCrossed ? latSouth : latSouth + rowCount * step;
    try {
        area = std::make_unique<CZoneGrid>(rowCount, colCount);
    } catch (const std::exception&) { // bad_alloc, or length_error for a huge size
        return nullptr;
    }
    CZoneGrid& grid = *area;
    for (int i = 0; i < rowCount; ++i)
        for (int j = 0; j < colCount; ++j)
            grid[i][j] =
                static_cast<unsigned char>(GetZone(firstRowLat - i * step, lonWest + j * step));
    return area.get();
}

void CZONES::FreeArea() {
    area.reset();
}

bool CZONES::NormalisePosition(double& lat, double& lon) {
    return NormaliseLatLon(lat, lon);
}

} // namespace kestrova
