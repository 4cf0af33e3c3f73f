#include "terrain/Zones.h"

#include "terrain/Position.h"

#include <cerrno>
#include <cmath>
#include <exception>

namespace kestrova {

CZONES::CZONES(std::string zoneDirectory) : CZONES(std::move(zoneDirectory), "zones01.dem") {}

CZONES::CZONES(std::string zoneDirectory, const std::string& name)
    : directory(std::move(zoneDirectory)), fileName(directory + name) {}

CZONES::CZONES(const ZoneBox& box, int rowCount, int colCount,
               const std::vector<std::uint8_t>& codes) {
    const bool sized =
        rowCount > 0 && colCount > 0 &&
        codes.size() == static_cast<std::size_t>(rowCount) * static_cast<std::size_t>(colCount);
    if (!sized || !(box.north > box.south) || !(box.east > box.west)) return;
    gridRows = rowCount;
    gridCols = colCount;
    bytesPerRow = (colCount + 3) / 4;
    latStep = (box.north - box.south) / rowCount;
    lonStep = (box.east - box.west) / colCount;
    northEdge = box.north;
    westEdge = box.west;
    northCentre = box.north - latStep / 2;
    westCentre = box.west + lonStep / 2;
    memory.assign(static_cast<std::size_t>(bytesPerRow) * static_cast<std::size_t>(rowCount), 0);
    for (int r = 0; r < rowCount; ++r)
        for (int c = 0; c < colCount; ++c) {
            const int code = codes[static_cast<std::size_t>(r) * colCount + c] & 3;
            std::uint8_t& byte = memory[static_cast<std::size_t>(r) * bytesPerRow + c / 4];
            byte = static_cast<std::uint8_t>(byte | code << (6 - 2 * (c % 4)));
        }
}

const std::uint8_t* CZONES::CellBytes() const {
    if (!memory.empty()) return memory.data();
    if (fileName.empty()) return nullptr;
    std::call_once(opened, [this] {
        // A file of any other size is not a zone map: reading it would give
        // codes from the wrong cells, or read past its end.
        if (file.Open(fileName) && file.Size() != kFileBytes) file.Close();
    });
    return file.Data();
}

bool CZONES::IsUsable() const {
    return CellBytes() != nullptr;
}

bool CZONES::OutOfMemory() const {
    return CellBytes() == nullptr && file.MapError() == ENOMEM;
}

ZoneCells CZONES::Cells() const {
    ZoneCells view;
    view.bytes = CellBytes();
    view.rows = gridRows;
    view.cols = gridCols;
    view.bytesPerRow = bytesPerRow;
    view.northCentre = northCentre;
    view.westCentre = westCentre;
    view.rowsPerDegree = 1.0 / latStep;
    view.colsPerDegree = 1.0 / lonStep;
    // Whole arc-minutes: the steps are 1/60 degree and the north-west
    // corner lies on whole arc-minutes.
    constexpr double kArcMinute = 1.0 / 60.0;
    const double row0 = (90.0 - northEdge) * 60.0;
    const double col0 = (westEdge + 180.0) * 60.0;
    if (latStep == kArcMinute && lonStep == kArcMinute && row0 == std::round(row0) &&
        col0 == std::round(col0) && row0 >= 0 && col0 >= 0) {
        view.arcMinuteRow0 = static_cast<int>(row0);
        view.arcMinuteCol0 = static_cast<int>(col0);
    }
    return view;
}

int CZONES::GetZone(double lat, double lon) const {
    NormaliseLatLon(lat, lon);
    const std::uint8_t* cells = CellBytes();
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
