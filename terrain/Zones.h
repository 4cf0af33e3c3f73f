// CZONES: the radio-climatic zone of any position (ITU-R P.452 section 3:
// sea, coastal land, inland), from the zone file "zones01.dem".
//
// Zone codes: 1 sea, 2 coastal land, 3 inland; 0 no zone (every answer when
// the file is missing or not of the right size); 255 outside the grid.
//
// The file has no header: 10800 rows x 21600 columns of 1 arc-minute cells,
// row 0 the northernmost (centre at 90 - 1/120 degrees), column 0 the
// westernmost (centre at -180 + 1/120 degrees), four 2-bit codes a byte
// with column c mod 4 = 0 in the most significant bits, 5400 bytes a row,
// 58,320,000 bytes in all. It is mapped into memory once, by the first
// look-up, so a look-up costs no system call.
//
// A zone map may also be made in memory from a grid of codes over a
// latitude/longitude box, at any resolution (tests, small areas); positions
// outside the box read as outside the grid.
//
// Thread safety: GetZone and IsUsable may be called from any number of
// threads on one shared CZONES (the file is opened once, under
// std::call_once, and then only read). GetArea and FreeArea change the
// object's grid and must not run while another thread uses the object.
#pragma once

#include "terrain/Grid.h"
#include "terrain/MappedFile.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kestrova {

struct WalkPoint;

// The bounds of a zone grid, degrees.
struct ZoneBox {
    double south = -90.0;
    double north = 90.0;
    double west = -180.0;
    double east = 180.0;
};

// A zone map's codes as a read-only grid: 2-bit codes, four a byte with
// column c mod 4 = 0 in the most significant bits, bytesPerRow bytes a row,
// row 0 the northern one.
struct ZoneCells {
    const std::uint8_t* bytes = nullptr; // null: no zone map
    int rows = 0;
    int cols = 0;
    int bytesPerRow = 0;
    double northCentre = 0.0; // degrees, the centre of cell (0, 0)
    double westCentre = 0.0;
    double rowsPerDegree = 0.0;
    double colsPerDegree = 0.0;
    // When the cells are whole arc-minutes on the world's arc-minute
    // lattice: cell (0, 0)'s row and column there (row 0 just south of
    // 90 N, column 0 just east of 180 W); -1 otherwise.
    int arcMinuteRow0 = -1;
    int arcMinuteCol0 = -1;

    int Code(int row, int col) const {
        const auto c = static_cast<std::size_t>(col);
        return (bytes[static_cast<std::size_t>(row) * static_cast<std::size_t>(bytesPerRow) +
                      c / 4] >>
                (6 - 2 * (c % 4))) &
               3;
    }
};

class CZONES {
public:
    // directory ends with a separator (or is empty for the working
    // directory); the file is directory + "zones01.dem".
    explicit CZONES(std::string directory);
    // A zone file of another name in directory.
    CZONES(std::string directory, const std::string& name);
    // A zone map in memory: rows x cols codes (0..3, one a byte, row-major
    // from the north-west) covering box, each cell (north - south) / rows
    // by (east - west) / cols degrees. An empty box, a size of no cells or
    // codes of another count make a map without zones (not usable).
    CZONES(const ZoneBox& box, int rows, int cols, const std::vector<std::uint8_t>& codes);
    CZONES(const CZONES&) = delete;
    CZONES& operator=(const CZONES&) = delete;
    virtual ~CZONES() = default;

    // The code of the cell whose centre is nearest the position, after
    // folding the position onto the globe.
    int GetZone(double lat, double lon) const;
    // A grid of rows x cols zone codes laid out like CSRTM::GetArea's;
    // held until FreeArea or the next GetArea. Null for a step <= 0, a
    // negative size or one of more than INT_MAX cells, or when memory runs out.
    const CZoneGrid* GetArea(double lonWest, double latSouth, int cols, int rows, double step);
    void FreeArea();
    // GetZone at a walk point, or -1 where the point's bounds reach over a
    // cell edge or near a pole (see WalkLookup.h).
    int ZoneAt(const WalkPoint& point) const;
    // See NormaliseLatLon (Position.h).
    static bool NormalisePosition(double& lat, double& lon);
    // The codes as a read-only grid (bytes null without a usable map).
    ZoneCells Cells() const;

    // True when the zone file could be opened and has the right size.
    bool IsUsable() const;
    // True when the zone file is there but could not be mapped for lack of
    // address space or memory: not a missing map, but a run that cannot go
    // on as asked.
    bool OutOfMemory() const;
    const std::string& GetFileName() const { return fileName; }
    const CZoneGrid* GetAreaGrid() const { return area.get(); }

    static constexpr int kGridRows = 10800;
    static constexpr int kGridCols = 21600;
    static constexpr int kBytesPerRow = kGridCols / 4;
    static constexpr std::uint64_t kFileBytes =
        static_cast<std::uint64_t>(kBytesPerRow) * kGridRows;

private:
    const std::uint8_t* CellBytes() const;

    std::unique_ptr<CZoneGrid> area;
    int areaRows = 0;
    int areaCols = 0;
    std::string directory;
    std::string fileName;
    int bytesPerRow = kBytesPerRow;
    int gridRows = kGridRows;
    int gridCols = kGridCols;
    int outsideValue = 255;
    double westCentre = -180.0 + 1.0 / 120.0;
    double northEdge = 90.0;
    double westEdge = -180.0;
    double northCentre = 90.0 - 1.0 / 120.0;
    double lonStep = 1.0 / 60.0;
    double latStep = 1.0 / 60.0;
    std::vector<std::uint8_t> memory; // the codes of a map made in memory
    mutable std::once_flag opened;
    mutable CMappedFile file;
};

} // namespace kestrova
