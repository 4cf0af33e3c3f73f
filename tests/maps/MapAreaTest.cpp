// Geometry, colours, contour levels and texts of the terrain and zone maps.
#include "maps/MapArea.h"
#include "maps/Palette.h"

#include "ColourPrinter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kestrova {
namespace {

TEST(MapArea, ContourLevelsFromTheHeightRange) {
    struct Case {
        int minH;
        int maxH;
        int spacing;
        std::vector<int> levels;
    };
    const Case cases[] = {
        {0, 245, 100, {0, 100, 200}},                         // the store never reports min > 0
        {-150, 500, 100, {-100, 0, 100, 200, 300, 400, 500}}, // truncated toward zero
        {-99, 99, 100, {0}},
        {0, 0, 10, {0}},
        {12, 57, 10, {10, 20, 30, 40, 50}},
        {0, 245, 0, {}},   // no contours
        {500, 0, 100, {}}, // a range upside down has none
    };
    for (const Case& c : cases)
        EXPECT_EQ(ContourLevels(c.minH, c.maxH, c.spacing), c.levels)
            << c.minH << ".." << c.maxH << " every " << c.spacing;
}

TEST(MapArea, LinkFrameIsSquareWithATwentyPercentMargin) {
    // Due north: the square's side is 1.2 times the latitude difference and
    // both ends lie on the middle column, so the path is vertical.
    const MapFrame north = LinkMapFrame(51.2, -1.5, 51.6, -1.5, 480, 480);
    EXPECT_NEAR(north.span, 0.48, 1e-12);
    EXPECT_DOUBLE_EQ(north.scale, north.span / 240);
    EXPECT_DOUBLE_EQ(north.south, 51.4 - north.span / 2);
    EXPECT_DOUBLE_EQ(north.west, -1.5 - north.span / 2);
    const MapPixel tx = PixelOf(north, 51.2, -1.5);
    const MapPixel rx = PixelOf(north, 51.6, -1.5);
    EXPECT_EQ(tx.x, rx.x);
    EXPECT_NEAR(tx.x, 240, 1);
    // The margin, a twelfth of the side, above the south and below the
    // north edge.
    EXPECT_NEAR(tx.y, 440, 1);
    EXPECT_NEAR(rx.y, 40, 1);

    // East-west: the larger span sets the side; the ends on the middle row.
    const MapFrame east = LinkMapFrame(52.0, -1.0, 52.1, 0.0, 480, 480);
    EXPECT_NEAR(east.span, 1.2, 1e-12);
    EXPECT_NEAR(PixelOf(east, 52.0, -1.0).x, 40, 1);
    EXPECT_NEAR(PixelOf(east, 52.1, 0.0).x, 440, 1);

    // Coincident ends: no area, and pixels that stay finite numbers.
    const MapFrame none = LinkMapFrame(51.5, -1.5, 51.5, -1.5, 480, 480);
    EXPECT_EQ(none.span, 0.0);
    const MapPixel p = PixelOf(none, 51.5, -1.5);
    EXPECT_LE(std::abs(p.x), 1000000);
    EXPECT_LE(std::abs(p.y), 1000000);
}

TEST(MapArea, PixelPositionsRoundTrip) {
    const MapFrame f = LinkMapFrame(51.2, -1.9, 51.7, -1.1, 480, 480);
    double lat = 0, lon = 0;
    // The top-left pixel is the north-west corner.
    PositionOfPixel(f.south, f.west, f.span, 480, 480, 0, 0, lat, lon);
    EXPECT_DOUBLE_EQ(lat, f.south + f.span);
    EXPECT_DOUBLE_EQ(lon, f.west);
    // Any pixel back through PixelOf.
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{100, 377}, std::pair{479, 479}}) {
        PositionOfPixel(f.south, f.west, f.span, 480, 480, x, y, lat, lon);
        // Nudged into the pixel: its position is the pixel's bottom-left
        // corner.
        const MapPixel p = PixelOf(f, lat - 1e-9, lon + 1e-9);
        EXPECT_EQ(p.x, x);
        EXPECT_EQ(p.y, y);
    }
}

TEST(MapArea, SquareAreaRequest) {
    const AreaRequest link = SquareArea(51.5, -1.5, 0.48, 480, 480, 2);
    EXPECT_EQ(link.cols, 240);
    EXPECT_EQ(link.rows, 240);
    EXPECT_DOUBLE_EQ(link.step, 0.48 / 240);
    EXPECT_DOUBLE_EQ(link.south, 51.26);
    EXPECT_DOUBLE_EQ(link.west, -1.74);
    const AreaRequest wide = SquareArea(0, 0, 1.0, 400, 200, 2);
    EXPECT_EQ(wide.cols, 200);
    EXPECT_EQ(wide.rows, 100);
    EXPECT_DOUBLE_EQ(wide.step, 1.0 / 200);
    EXPECT_EQ(SquareArea(0, 0, 1.0, 400, 400, 0).cols, 0);
}

TEST(MapArea, TerrainColoursPaintSeaAndVoids) {
    CHeightGrid area(1, 4);
    area[0][0] = 0;      // sea or no data
    area[0][1] = -32767; // void
    area[0][2] = 250;
    area[0][3] = -10; // below sea level
    const CPalette ncar(PaletteNCAR);
    const ColourGrid link = TerrainColours(area, ncar, 500, 0, 0, -32767, VoidPaint::Navy);
    EXPECT_EQ(link.At(0, 0), navy);
    EXPECT_EQ(link.At(0, 1), navy);
    EXPECT_EQ(link.At(0, 2), (Colour{162, 126, 94})); // NCAR level 8
    EXPECT_EQ(link.At(0, 3), (Colour{40, 54, 154}));  // NCAR level 0
    const ColourGrid local = TerrainColours(area, ncar, 500, 0, 0, -32767, VoidPaint::Red);
    EXPECT_EQ(local.At(0, 1), (Colour{255, 0, 0}));
    EXPECT_EQ(local.At(0, 0), navy);

    ReplaceVoids(area, 0, -32767);
    EXPECT_EQ(area[0][1], 0);
    EXPECT_EQ(area[0][2], 250);
}

TEST(MapArea, ZoneColours) {
    CZoneGrid area(1, 6);
    const unsigned char codes[] = {1, 2, 3, 0, 255, 7};
    for (int j = 0; j < 6; ++j)
        area[0][j] = codes[j];
    const ColourGrid colours = ZoneColours(area);
    const Colour expected[] = {navy, {0, 255, 255}, {0, 128, 0}, black, black, black};
    for (int j = 0; j < 6; ++j)
        EXPECT_EQ(colours.At(0, j), expected[j]) << int(codes[j]);
}

TEST(MapArea, Texts) {
    EXPECT_EQ(MapHeightsText(245, 0), "Map heights - maximum 245m,  minimum 0m");
    // A local map of 0.1 degree at 52 N: 4.248 by 6.9 miles.
    EXPECT_EQ(LocalAreaText("TX", 52.0, 0.1, 245, 3),
              "TX Area: 4.2 X 6.9 miles  (max 245m,  min 3m)");
    EXPECT_EQ(LocalAreaText("RX", 0.0, 0.1, -5, -20),
              "RX Area: 6.9 X 6.9 miles  (max -5m,  min -20m)");
}

} // namespace
} // namespace kestrova
