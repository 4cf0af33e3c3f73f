// The map bitmaps: blocks of the colour grids, contour lines, the path and
// its discs, the void and no-data colours, and the terrain and zone maps of
// a link on the real tile and zone map.
#include "maps/image/MapImage.h"
#include "maps/Palette.h"
#include "maps/image/TerrainMapImage.h"
#include "maps/image/ZoneMapImage.h"

#include "ColourPrinter.h"
#include "RealData.h"
#include "TempDir.h"
#include "geo/FileLocations.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kestrova {
namespace {

Colour Pixel(const QImage& image, int x, int y) {
    return Colour::FromRgb(image.pixel(x, y));
}

constexpr Colour red{255, 0, 0};
constexpr Colour blue{0, 0, 255};

TEST(MapImage, ColourGridIsDrawnInBlocks) {
    const ColourGrid grid{2, 3, {red, blue, navy, white, black, red}};
    const QImage image = ImageFromColours(grid, 2);
    ASSERT_EQ(image.width(), 6);
    ASSERT_EQ(image.height(), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(Pixel(image, x, y), grid.At(y / 2, x / 2)) << x << "," << y;
    EXPECT_TRUE(ImageFromColours(grid, 0).isNull());
    EXPECT_TRUE(ImageFromColours(ColourGrid{}, 2).isNull());
}

TEST(MapImage, ContoursAreDrawnBlackWhereTheSegmentsAre) {
    // The step 0 0 | 100 100 at one pixel a cell: the level 50 runs down
    // x = 1.5, drawn on pixel column 1 from row 0 to row 3.
    CHeightGrid step(4, 4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            step[r][c] = static_cast<short>(c < 2 ? 0 : 100);
    QImage bitmap(4, 4, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    const int level = 50;
    EXPECT_EQ(DrawContours(bitmap, ContourGrid::Of(step), 1.0, 1, &level), 6);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Pixel(bitmap, x, y), x == 1 ? black : white) << x << "," << y;

    QImage none;
    EXPECT_EQ(DrawContours(none, ContourGrid::Of(step), 1.0, 1, &level), 0);
    bitmap.fill(Qt::white);
    EXPECT_EQ(DrawContours(bitmap, ContourGrid::Of(step), 1.0, 0, &level), 0);
    EXPECT_EQ(Pixel(bitmap, 1, 1), white);
}

TEST(MapImage, DiscIsTenPixelsAcross) {
    QImage bitmap(40, 40, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    DrawEndDisc(bitmap, 20, 20, QColor(255, 0, 0), Qt::black);
    EXPECT_EQ(Pixel(bitmap, 20, 20), red);
    EXPECT_EQ(Pixel(bitmap, 15, 20), black); // the outline, x - 5
    EXPECT_EQ(Pixel(bitmap, 24, 20), black); // and x + 4
    EXPECT_EQ(Pixel(bitmap, 25, 20), white);
    EXPECT_EQ(Pixel(bitmap, 14, 20), white);
}

// Without any tile every height is void: the link map paints it navy, the
// local maps red.
TEST(TerrainMapImage, VoidIsNavyOnTheLinkMapAndRedOnLocalMaps) {
    const test::TempDir empty;
    CSRTM store(CSRTM::kTilesPerStore, empty.Dir());
    const CPalette palette(PaletteNCAR);
    const TerrainSource source{store, palette, false};

    // Due north: a vertical white line between a red and a blue disc.
    const LinkMapImage link = DrawLinkMap(source, 51.2, -1.5, 51.6, -1.5, 480, 480, 100);
    ASSERT_FALSE(link.map.bitmap.isNull());
    EXPECT_EQ(link.map.bitmap.size(), QSize(480, 480));
    EXPECT_EQ(link.map.maxHeight, 0);
    EXPECT_EQ(link.map.minHeight, 0);
    EXPECT_EQ(Pixel(link.map.bitmap, 5, 5), navy);
    EXPECT_EQ(Pixel(link.map.bitmap, 475, 240), navy);
    const MapPixel tx = PixelOf(link.frame, 51.2, -1.5);
    const MapPixel rx = PixelOf(link.frame, 51.6, -1.5);
    ASSERT_EQ(tx.x, rx.x);
    for (int y = rx.y + 6; y < tx.y - 5; ++y) {
        EXPECT_EQ(Pixel(link.map.bitmap, tx.x, y), white) << y;
        EXPECT_EQ(Pixel(link.map.bitmap, tx.x - 1, y), navy) << y;
        EXPECT_EQ(Pixel(link.map.bitmap, tx.x + 1, y), navy) << y;
    }
    EXPECT_EQ(Pixel(link.map.bitmap, tx.x + 2, tx.y), red);
    EXPECT_EQ(Pixel(link.map.bitmap, rx.x + 2, rx.y), blue);

    const LocalMapImage local =
        DrawLocalMap(source, "TX", 52.0, -1.5, 0, 0, 240, 240, 100, QColor(255, 0, 0));
    ASSERT_FALSE(local.map.bitmap.isNull());
    EXPECT_DOUBLE_EQ(local.side, 0.1);
    EXPECT_EQ(Pixel(local.map.bitmap, 3, 3), red);
    EXPECT_EQ(Pixel(local.map.bitmap, 115, 120), black); // the disc's outline
    EXPECT_EQ(local.map.contourSegments, 0);             // voids are sea level, all flat
    EXPECT_EQ(local.areaText, "TX Area: 4.2 X 6.9 miles  (max 0m,  min 0m)");

    // Coincident ends: no area, no map.
    const LinkMapImage none = DrawLinkMap(source, 51.5, -1.5, 51.5, -1.5, 480, 480, 0);
    EXPECT_TRUE(none.map.bitmap.isNull());
    EXPECT_FALSE(none.map.imageFailed);
}

class RealTerrain : public ::testing::Test {
protected:
    void SetUp() override {
        tiles = test::RealTileDirectory();
        if (tiles.empty()) GTEST_SKIP() << "n51w002.hgt not found; set KESTROVA_DATA";
    }
    std::string tiles;
};

// The link map's pixels are the colours of the grid the store extracts for
// its frame, two pixels a height, away from the path and the contours.
TEST_F(RealTerrain, LinkMapPixelsAreThePaletteColoursOfTheArea) {
    CSRTM store(CSRTM::kTilesPerStore, tiles);
    const CPalette palette(PaletteHSV);
    const TerrainSource source{store, palette, false};
    // Due north, so that the path keeps to the middle columns.
    const LinkMapImage link = DrawLinkMap(source, 51.2, -1.6, 51.7, -1.6, 480, 480, 0);
    ASSERT_FALSE(link.map.bitmap.isNull());
    EXPECT_GT(link.map.maxHeight, 100);
    EXPECT_EQ(link.map.minHeight, 0);
    EXPECT_EQ(link.map.contourSegments, 0);

    CSRTM other(CSRTM::kTilesPerStore, tiles);
    const AreaRequest request =
        SquareArea(link.frame.centreLat, link.frame.centreLon, link.frame.span, 480, 480, 2);
    const CHeightGrid* area =
        other.GetArea(request.west, request.south, request.cols, request.rows, request.step, false);
    ASSERT_NE(area, nullptr);
    const ColourGrid colours = TerrainColours(*area, palette, other.GetMaxHeight(),
                                              other.GetMinHeight(), 0, -32767, VoidPaint::Navy);
    int compared = 0;
    for (int i = 0; i < 240; i += 7)
        for (int j = 0; j < 240; j += 11) {
            if (j >= 115 && j <= 125) continue; // leave the path alone
            EXPECT_EQ(Pixel(link.map.bitmap, 2 * j + 1, 2 * i + 1), colours.At(i, j))
                << i << "," << j;
            ++compared;
        }
    EXPECT_GT(compared, 500);

    // Contours at 100 m: drawn and counted; the local maps take the link
    // map's range and draw their own.
    const LinkMapImage contoured = DrawLinkMap(source, 51.2, -1.6, 51.7, -1.6, 480, 480, 100);
    EXPECT_GT(contoured.map.contourSegments, 100);
    const LocalMapImage local =
        DrawLocalMap(source, "RX", 51.7, -1.6, contoured.map.maxHeight, contoured.map.minHeight,
                     240, 240, 50, QColor(0, 0, 255));
    EXPECT_GT(local.map.contourSegments, 0);
    EXPECT_EQ(Pixel(local.map.bitmap, 120, 120), blue);
    EXPECT_EQ(local.areaText.rfind("RX Area: 4.3 X 6.9 miles  (max ", 0), 0u) << local.areaText;
}

TEST(ZoneMapImage, InlandPathIsGreenWithTheLineAndDiscs) {
    const std::string directory = ExecutableDirectory();
    if (!std::filesystem::exists(directory + "zones01.dem"))
        GTEST_SKIP() << "zones01.dem not beside the test executable";
    CZONES zones(directory);
    // North of Oxford, far from any coast or large lake.
    const ZoneMapImage map = DrawZoneMap(zones, 51.75, -1.38, 51.85, -1.22, 400, 400);
    ASSERT_FALSE(map.map.bitmap.isNull());
    EXPECT_EQ(map.map.bitmap.size(), QSize(400, 400));
    EXPECT_EQ(Pixel(map.map.bitmap, 3, 3), (Colour{0, 128, 0}));
    EXPECT_EQ(Pixel(map.map.bitmap, 396, 396), (Colour{0, 128, 0}));
    const MapPixel tx = PixelOf(map.frame, 51.75, -1.38);
    const MapPixel rx = PixelOf(map.frame, 51.85, -1.22);
    EXPECT_EQ(Pixel(map.map.bitmap, tx.x, tx.y), red);
    EXPECT_EQ(Pixel(map.map.bitmap, rx.x, rx.y), blue);
    // The line passes the middle of the path (within a pixel).
    const MapPixel mid = PixelOf(map.frame, 51.8, -1.3);
    int whites = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            whites += Pixel(map.map.bitmap, mid.x + dx, mid.y + dy) == white;
    EXPECT_GE(whites, 2);
}

TEST(ZoneMapImage, WithoutTheZoneFileEveryCellIsBlack) {
    const test::TempDir empty;
    CZONES zones(empty.Dir());
    const ZoneMapImage map = DrawZoneMap(zones, 51.45, -1.9, 51.65, -1.6, 400, 400);
    ASSERT_FALSE(map.map.bitmap.isNull());
    EXPECT_EQ(Pixel(map.map.bitmap, 3, 3), black);
    EXPECT_EQ(Pixel(map.map.bitmap, 200, 396), black);
    // Coincident ends: no grid, no map.
    EXPECT_TRUE(DrawZoneMap(zones, 51.5, -1.5, 51.5, -1.5, 400, 400).map.bitmap.isNull());
}

} // namespace
} // namespace kestrova
