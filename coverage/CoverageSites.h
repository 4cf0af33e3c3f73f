// Coverage maps of many sites on one grid, and the composite of them: at
// each cell the strongest field strength of any site and the site that
// gives it (the "best server").
//
// The shared grid is the first site's: its map is exactly the map of that
// site alone, and every other site's square (the area of the same range
// around it) is moved by less than half a cell, north-south and east-west,
// onto the first site's grid lines. The composite is the smallest square
// of that grid that holds every site's square; its cells outside all of
// them have no value and no server.
//
// A site's map computed apart (one task of a cluster) is kept as a site
// grid file, which the composite is built from: the 8 bytes "KSTSITE1",
// the format version (a 32-bit number), the site's number and the count of
// sites, its name, its map's inputs as text ("name<TAB>value" lines, the
// values exact), and its n x n 16-bit grid values row by row from the
// north-west corner; in version 2 then its cells without terrain
// (CellMask's bytes). A grid with terrain under every cell is written as
// version 1, without the mask. Numbers are little-endian.
#pragma once

#include "coverage/CoverageField.h"
#include "coverage/CoveragePiece.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

// Where a site's square lies in the composite: its top-left cell.
struct SiteSquare {
    CoverageArea area; // on the shared grid
    int row = 0;       // of the composite
    int column = 0;
};

struct SharedGrid {
    CoverageArea composite;
    std::vector<SiteSquare> sites; // in the order given
};

// The squares of sites (each the site's own CoverageAreaAround, all at one
// resolution) moved onto the first one's grid, and the composite square;
// nullopt with the reason in error when the composite would hold more than
// maxCoverageCells a side.
std::optional<SharedGrid> ShareOneGrid(const std::vector<CoverageArea>& own, std::string& error);

// The strongest field strength at each cell and its site.
class BestServer {
public:
    explicit BestServer(const CoverageArea& compositeArea);
    // Folds in site (0-based, added in increasing order: on equal field
    // strengths the site added first keeps the cell) whose cells, n x n row
    // by row, lie on square. Cells without a value are passed over.
    void Add(int site, const SiteSquare& square, const std::vector<std::int16_t>& cells);
    // Marks the cells of a site's mask (cells of its square) as cells
    // without terrain; the mark of a grid point is the same in every map.
    void AddNoTerrain(const SiteSquare& square, const CellMask& noTerrain);
    // Whether cell (i, j) lacks terrain in a map added, and how many do.
    bool NoTerrainAt(int i, int j) const { return noTerrain.Get(Index(i, j)); }
    long long CellsWithoutTerrain() const { return static_cast<long long>(noTerrain.Count()); }

    const CoverageArea& Area() const { return area; }
    // Hundredths of dB(µV/m), noGridValue where no site reaches.
    const std::vector<std::int16_t>& Strongest() const { return strongest; }
    // 1-based site number, 0 where no site reaches.
    const std::vector<std::uint16_t>& Servers() const { return servers; }
    std::uint16_t ServerAt(int i, int j) const { return servers[Index(i, j)]; }
    std::int16_t StrongestAt(int i, int j) const { return strongest[Index(i, j)]; }

private:
    size_t Index(int i, int j) const {
        return static_cast<size_t>(i) * static_cast<size_t>(area.n) + static_cast<size_t>(j);
    }
    CoverageArea area;
    std::vector<std::int16_t> strongest;
    std::vector<std::uint16_t> servers;
    CellMask noTerrain; // empty until a cell without terrain is added
};

struct SiteGrid {
    int site = 1; // 1-based
    int siteCount = 1;
    std::string name;
    CoverageMapInputs map;
    std::vector<std::int16_t> cells; // map.area.n x n
    CellMask noTerrain;              // the same cells; empty: terrain under every one
};

// The newest format version; a grid with terrain everywhere is version 1.
inline constexpr std::uint32_t siteGridVersion = 2;

std::string EncodeSiteGrid(const SiteGrid& grid);
// The site grid of bytes; nullopt with the reason in error when they are
// not a site grid this program reads. The map's inputs come back as text
// (DescribeMapInputs), the area in full.
struct DecodedSiteGrid {
    int site = 1;
    int siteCount = 1;
    std::string name;
    std::vector<std::pair<std::string, std::string>> inputs;
    CoverageArea area;
    std::vector<std::int16_t> cells;
    CellMask noTerrain;
};
std::optional<DecodedSiteGrid> DecodeSiteGrid(std::string_view bytes, std::string& error);

// The first input of expected that grid holds otherwise, as "name <the
// grid's value> in the grid file, <expected> in this run"; "" when all
// agree.
std::string SiteGridMismatch(const DecodedSiteGrid& grid, const CoverageMapInputs& expected);

// A site's colour in the best-server image and its legend: distinct
// colours for the first twelve sites, repeated after them. 0xRRGGBB.
std::uint32_t SiteColour(int site);

} // namespace kestrova
