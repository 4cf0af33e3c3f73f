// Many sites' maps on one grid: the first site's grid is kept, the others
// moved onto it by less than half a cell; the best server keeps the
// strongest value at each cell, the earlier site on a tie; a site grid
// file holds a site's map exactly and refuses what is not one.
#include "coverage/CoverageSites.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace kestrova {
namespace {

CoverageArea AreaAt(double latitude, double longitude, double rangeKm = 10, int resolution = 30) {
    return *CoverageAreaAround(CLocator(latitude, longitude), rangeKm, resolution);
}

TEST(SharedGrid, KeepsTheFirstSitesGridAndMovesTheOthersOntoIt) {
    const std::vector<CoverageArea> own = {AreaAt(51.6, -1.5), AreaAt(51.55, -1.4),
                                           AreaAt(51.4412, -1.4387), AreaAt(51.7, -1.7, 5)};
    std::string error;
    const auto grid = ShareOneGrid(own, error);
    ASSERT_TRUE(grid) << error;
    ASSERT_EQ(grid->sites.size(), own.size());
    const CoverageArea& c = grid->composite;
    const double step = own[0].step;
    // The first site's square is its own, to the bit.
    EXPECT_EQ(grid->sites[0].area.north, own[0].north);
    EXPECT_EQ(grid->sites[0].area.west, own[0].west);
    for (size_t k = 0; k < own.size(); ++k) {
        SCOPED_TRACE(k);
        const SiteSquare& s = grid->sites[k];
        EXPECT_EQ(s.area.n, own[k].n);
        EXPECT_LE(std::fabs(s.area.north - own[k].north), step / 2 + 1e-12);
        EXPECT_LE(std::fabs(s.area.west - own[k].west), step / 2 + 1e-12);
        // On the composite's grid lines, inside the composite.
        EXPECT_NEAR(s.area.north, c.north - s.row * step, 1e-9);
        EXPECT_NEAR(s.area.west, c.west + s.column * step, 1e-9);
        EXPECT_GE(s.row, 0);
        EXPECT_GE(s.column, 0);
        EXPECT_LE(s.row + s.area.n, c.n);
        EXPECT_LE(s.column + s.area.n, c.n);
    }
    // The smallest square that holds them: some site touches each edge.
    int top = c.n, left = c.n, bottom = 0, right = 0;
    for (const SiteSquare& s : grid->sites) {
        top = std::min(top, s.row);
        left = std::min(left, s.column);
        bottom = std::max(bottom, s.row + s.area.n);
        right = std::max(right, s.column + s.area.n);
    }
    EXPECT_EQ(top, 0);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(std::max(bottom, right), c.n);
}

TEST(SharedGrid, OfOneSiteIsItsOwnArea) {
    const CoverageArea own = AreaAt(51.4412, -1.4387);
    std::string error;
    const auto grid = ShareOneGrid({own}, error);
    ASSERT_TRUE(grid);
    for (const CoverageArea& a : {grid->composite, grid->sites[0].area}) {
        EXPECT_EQ(a.north, own.north);
        EXPECT_EQ(a.south, own.south);
        EXPECT_EQ(a.east, own.east);
        EXPECT_EQ(a.west, own.west);
        EXPECT_EQ(a.extent, own.extent);
        EXPECT_EQ(a.n, own.n);
    }
}

TEST(SharedGrid, RefusesSitesTooFarApartForOneGrid) {
    std::string error;
    EXPECT_FALSE(ShareOneGrid({AreaAt(51.5, -1.5, 10, 1), AreaAt(10.0, 100.0, 10, 1)}, error));
    EXPECT_NE(error.find("cells a side"), std::string::npos) << error;
    EXPECT_FALSE(ShareOneGrid({}, error));
}

// Two 3 x 3 squares overlapping by one column in a 3 x 5 composite.
TEST(BestServer, KeepsTheStrongestAndTheEarlierSiteOnATie) {
    CoverageArea composite;
    composite.n = 5;
    SiteSquare a, b;
    a.area.n = b.area.n = 3;
    a.row = 0, a.column = 0;
    b.row = 0, b.column = 2;
    const std::int16_t none = noGridValue;
    // clang-format off
    const std::vector<std::int16_t> first = {100, 200, 300,
                                             100, 200, 300,
                                             100, none, 300};
    const std::vector<std::int16_t> second = {301, 0, 0,
                                              300, 0, 0,
                                              299, 0, 0};
    // clang-format on
    BestServer best(composite);
    best.Add(0, a, first);
    best.Add(1, b, second);
    EXPECT_EQ(best.ServerAt(0, 2), 2); // 301 beats 300
    EXPECT_EQ(best.StrongestAt(0, 2), 301);
    EXPECT_EQ(best.ServerAt(1, 2), 1); // a tie: the first site
    EXPECT_EQ(best.ServerAt(2, 2), 1);
    EXPECT_EQ(best.StrongestAt(2, 2), 300);
    EXPECT_EQ(best.ServerAt(2, 1), 0); // the first site has no value here
    EXPECT_EQ(best.StrongestAt(2, 1), noGridValue);
    EXPECT_EQ(best.ServerAt(1, 4), 2);
    EXPECT_EQ(best.ServerAt(3, 0), 0); // below both squares
    EXPECT_EQ(best.ServerAt(4, 4), 0);
}

SiteGrid SampleGrid() {
    SiteGrid grid;
    grid.site = 2;
    grid.siteCount = 3;
    grid.name = "Tower~B \xc2\xb5";
    grid.map.txLatitude = 51.55;
    grid.map.txLongitude = -1.4;
    grid.map.rangeKm = 10;
    grid.map.area = AreaAt(51.55, -1.4);
    grid.map.link.frequency = 1.3;
    const size_t cells = static_cast<size_t>(grid.map.area.n) * grid.map.area.n;
    for (size_t k = 0; k < cells; ++k)
        grid.cells.push_back(static_cast<std::int16_t>(k % 3 == 0 ? noGridValue : -12345 + k));
    return grid;
}

TEST(SiteGridFile, HoldsTheSiteAndItsMapExactly) {
    const SiteGrid grid = SampleGrid();
    std::string error;
    const auto back = DecodeSiteGrid(EncodeSiteGrid(grid), error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->site, 2);
    EXPECT_EQ(back->siteCount, 3);
    EXPECT_EQ(back->name, grid.name);
    EXPECT_EQ(back->cells, grid.cells);
    EXPECT_EQ(back->area.north, grid.map.area.north);
    EXPECT_EQ(back->area.west, grid.map.area.west);
    EXPECT_EQ(back->area.n, grid.map.area.n);
    EXPECT_EQ(back->inputs, DescribeMapInputs(grid.map));
    EXPECT_EQ(SiteGridMismatch(*back, grid.map), "");
    CoverageMapInputs other = grid.map;
    other.link.frequency = 2.5;
    EXPECT_NE(SiteGridMismatch(*back, other).find("frequency (GHz) 1.3 in the grid file, 2.5 in"),
              std::string::npos)
        << SiteGridMismatch(*back, other);
    other = grid.map;
    other.area.north += 1e-12; // a square moved by a hair is another map
    EXPECT_NE(SiteGridMismatch(*back, other).find("northern edge"), std::string::npos);
}

// The marks of cells without terrain travel in a version 2 grid, and the
// composite takes them at the site's place on the shared grid.
TEST(SiteGridFile, CarriesCellsWithoutTerrainIntoTheComposite) {
    SiteGrid grid = SampleGrid();
    EXPECT_EQ(EncodeSiteGrid(grid)[8], 1); // terrain everywhere: the old bytes
    grid.noTerrain = CellMask(grid.cells.size());
    const int n = grid.map.area.n;
    grid.noTerrain.Set(0);                              // north-west corner
    grid.noTerrain.Set(static_cast<size_t>(n) * 2 + 3); // row 2, column 3
    const std::string bytes = EncodeSiteGrid(grid);
    EXPECT_EQ(bytes[8], 2);
    std::string error;
    const auto back = DecodeSiteGrid(bytes, error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->cells, grid.cells);
    EXPECT_EQ(back->noTerrain.Count(), 2u);
    EXPECT_TRUE(back->noTerrain.Get(static_cast<size_t>(n) * 2 + 3));
    EXPECT_FALSE(DecodeSiteGrid(bytes.substr(0, bytes.size() - 1), error)); // marks cut

    CoverageArea composite = grid.map.area;
    composite.n = n + 4;
    BestServer best(composite);
    SiteSquare square{grid.map.area, 1, 2}; // one row down, two columns right
    best.Add(0, square, back->cells);
    best.AddNoTerrain(square, back->noTerrain);
    EXPECT_EQ(best.CellsWithoutTerrain(), 2);
    EXPECT_TRUE(best.NoTerrainAt(1, 2));
    EXPECT_TRUE(best.NoTerrainAt(3, 5));
    EXPECT_FALSE(best.NoTerrainAt(0, 0));
}

TEST(SiteGridFile, RefusesWhatIsNotAWholeSiteGrid) {
    const std::string bytes = EncodeSiteGrid(SampleGrid());
    std::string newer = bytes;
    newer[8] = 3;
    SiteGrid beyond = SampleGrid();
    beyond.site = 4; // of 3
    const struct {
        const char* what;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"empty", "", "not a site grid"},
        {"a piece", "KSTPIECE" + bytes.substr(8), "not a site grid"},
        {"another version", newer, "format version 3"},
        {"one cell short", bytes.substr(0, bytes.size() - 2), "damaged"},
        {"a byte more", bytes + "x", "damaged"},
        {"header cut", bytes.substr(0, 30), "damaged"},
        {"site beyond the count", EncodeSiteGrid(beyond), "damaged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        EXPECT_FALSE(DecodeSiteGrid(c.bytes, error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
}

} // namespace
} // namespace kestrova
