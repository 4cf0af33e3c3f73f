// The grey raster of a grid, the final image in each display mode, the
// transmitter marker, and what an aborted walk leaves on the map.
#include "coverage/CoverageImage.h"
#include "coverage/CoverageRaster.h"
#include "maps/Palette.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kestrova {
namespace {

Colour At(const QImage& image, int x, int y) {
    return Colour::FromRgb(image.pixel(x, y));
}

CoverageArea Square(int n) {
    CoverageArea area;
    area.n = n;
    area.step = 30.0 / 3600.0;
    area.resolution = 30;
    area.north = 51.0;
    area.west = -1.0;
    area.extent = (n - 1) * area.step;
    return area;
}

// An n x n grid whose column j holds columnValues[j % size] in every row.
GridField Columns(int n, const std::vector<float>& columnValues) {
    std::vector<float> values;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            values.push_back(columnValues[static_cast<size_t>(j) % columnValues.size()]);
    return GridField(Square(n), values);
}

QImage Uniform(Colour colour) {
    QImage image(coverageMapSize, coverageMapSize, QImage::Format_RGB32);
    image.fill(QColor(colour.r, colour.g, colour.b));
    return image;
}

// Five columns of 100 pixels: above the upper limit, at it, 40 dB(µV/m)
// (grey 128), 10 dB(µV/m) (grey 64), at the lower limit; limits 100, -20.
const std::vector<float> fiveFields = {150.0f, 100.0f, 40.0f, 10.0f, -20.0f};

TEST(CoverageCompose, ColourMapAndMonochrome) {
    const QImage raster = CoverageRaster(Columns(5, fiveFields), 100.0, -20.0);
    const Colour greys[5] = {white, white, {128, 128, 128}, {64, 64, 64}, black};
    const Colour colours[5] = {{128, 0, 0}, {128, 0, 0}, {131, 255, 124}, {0, 0, 214}, navy};
    const QImage colour = ComposeCoverageImage(raster, QImage(), CoverageMode::Colour);
    const QImage mono = ComposeCoverageImage(raster, QImage(), CoverageMode::Mono);
    for (int j = 0; j < 5; ++j) {
        EXPECT_EQ(At(raster, 100 * j + 50, 50), greys[j]) << j;
        EXPECT_EQ(At(colour, 100 * j + 50, 450), colours[j]) << j;
    }
    EXPECT_EQ(mono, raster.convertToFormat(QImage::Format_RGB32));
}

// Expected pixels worked from the HSL formulas: the terrain colour's
// lightness times the grey cell's.
TEST(CoverageCompose, HighlightedTerrain) {
    const QImage raster = CoverageRaster(Columns(5, fiveFields), 100.0, -20.0);
    struct Row {
        Colour terrain;
        Colour at128, at64;
    };
    const Row rows[] = {
        {{162, 126, 94}, {81, 63, 47}, {41, 32, 24}},
        {{0, 201, 50}, {0, 101, 25}, {0, 50, 13}},
        {{40, 54, 154}, {20, 27, 77}, {10, 14, 39}},
    };
    for (const Row& row : rows) {
        const QImage image =
            ComposeCoverageImage(raster, Uniform(row.terrain), CoverageMode::Terrain);
        EXPECT_EQ(At(image, 50, 50), row.terrain);  // above the upper limit: the terrain
        EXPECT_EQ(At(image, 150, 50), row.terrain); // at it
        EXPECT_EQ(At(image, 250, 50), row.at128);
        EXPECT_EQ(At(image, 350, 50), row.at64);
        EXPECT_EQ(At(image, 450, 50), black); // at the lower limit
    }
    // Without a terrain image the terrain counts as white: the grey raster.
    EXPECT_EQ(ComposeCoverageImage(raster, QImage(), CoverageMode::Terrain),
              raster.convertToFormat(QImage::Format_RGB32));
    // A terrain image of another size is stretched over the map.
    QImage small(10, 10, QImage::Format_RGB32);
    small.fill(QColor(162, 126, 94));
    EXPECT_EQ(At(ComposeCoverageImage(raster, small, CoverageMode::Terrain), 250, 450),
              (Colour{81, 63, 47}));
}

TEST(CoverageRaster, BlocksCoverTheMapWithoutGaps) {
    for (int n : {5, 7, 173, 175, 499, 500, 501, 1000}) {
        const QImage raster = CoverageRaster(Columns(n, {200.0f}), 100.0, -20.0);
        ASSERT_EQ(raster.size(), QSize(500, 500));
        bool allWhite = true;
        for (int y = 0; y < 500 && allWhite; ++y)
            for (int x = 0; x < 500 && allWhite; ++x)
                allWhite = At(raster, x, y) == white;
        EXPECT_TRUE(allWhite) << "n " << n;
    }
}

TEST(CoverageRaster, LaterCellsCoverOverlappingBlocks) {
    // n = 175: cell 3's block spans pixels 9..11, cell 4's starts at 11.
    const QImage raster = CoverageRaster(Columns(175, {-50, -50, -50, -50, 200}), 100.0, -20.0);
    EXPECT_EQ(At(raster, 10, 100), black);
    EXPECT_EQ(At(raster, 11, 100), white);
    EXPECT_EQ(At(raster, 13, 100), white);
    EXPECT_EQ(At(raster, 14, 100), black);
}

TEST(CoverageRaster, PreviewPaintsOnlyFinishedColumnsAndEndsAsTheRaster) {
    CoverageInputs inputs; // flat ground: no tiles, no zones
    inputs.tx = CLocator(51.0, -1.0);
    inputs.link.frequency = 1.0;
    inputs.tileDirectory = "/nonexistent-kestrova/";
    inputs.zoneDirectory = "/nonexistent-kestrova/";
    inputs.threads = 2;
    const auto area = CoverageAreaAround(inputs.tx, 5.0, 30);
    ASSERT_TRUE(area);
    CoverageJob job(*area, inputs);
    QImage preview = BlankCoverageImage();
    EXPECT_EQ(PaintFinishedColumns(preview, job, 0, 100.0, -20.0), 0); // nothing finished yet
    EXPECT_EQ(preview, BlankCoverageImage());
    job.Start();
    int next = 0;
    while (next < area->n) {
        const int painted = PaintFinishedColumns(preview, job, next, 100.0, -20.0);
        ASSERT_GE(painted, next);
        next = painted;
    }
    ASSERT_TRUE(job.Wait());
    EXPECT_EQ(preview, CoverageRaster(JobField(job), 100.0, -20.0));
}

TEST(CoverageMarker, RedWithABlackEdgeAtTheCentre) {
    QImage image = BlankCoverageImage();
    image.fill(Qt::white);
    DrawTransmitterMarker(image);
    // Pixels 248 .. 251 each way: a red 2 x 2 centre in a black edge, the
    // corners rounded off.
    const char* const expected[4] = {".##.", "#RR#", "#RR#", ".##."};
    for (int y = 0; y < 500; ++y)
        for (int x = 0; x < 500; ++x) {
            const bool inside = x >= 248 && x <= 251 && y >= 248 && y <= 251;
            const char want = inside ? expected[y - 248][x - 248] : '.';
            const Colour colour = want == '#' ? black : want == 'R' ? Colour{255, 0, 0} : white;
            ASSERT_EQ(At(image, x, y), colour) << x << ", " << y;
        }
}

TEST(CoverageFinish, ComposedImageWithMarkerAndScale) {
    const CPalette palette(PaletteNCAR);
    const GridField field = Columns(5, fiveFields);
    const QImage raster = CoverageRaster(field, 100.0, -20.0);
    CoverageDisplay display;
    display.mode = CoverageMode::Colour;
    const CoverageFinish finish = FinishCoverage(field, QImage(), display, palette, false);
    QImage expected = ComposeCoverageImage(raster, QImage(), CoverageMode::Colour);
    DrawTransmitterMarker(expected);
    EXPECT_EQ(finish.image, expected);
    EXPECT_EQ(finish.scale.maxText, "100.0 dBuV/m");
}

// A field rising evenly from west to east, -59.5 to 136.5 dB(µV/m), on
// grids coarser (10 pixels a cell) and finer (0.71 pixels a cell) than the
// map. With the limits -15 and 95 the 20 dB contours lie at -20, 0, ...,
// 100: seven vertical lines, each where its level falls across the map,
// and none at -40 or 120, which the field also crosses.
TEST(CoverageFinish, TwentyDbContoursBetweenTheLimits) {
    const CPalette palette(PaletteNCAR);
    const double west = -59.5;
    const double east = 136.5;
    for (int n : {50, 700}) {
        std::vector<float> columns;
        for (int j = 0; j < n; ++j)
            columns.push_back(static_cast<float>(west + (east - west) * (j + 0.5) / n));
        CoverageDisplay display;
        display.mode = CoverageMode::Colour; // no black but the lines and the marker's edge
        display.contours = true;
        display.maxFs = 95.0;
        display.minFs = -15.0;
        const QImage image =
            FinishCoverage(Columns(n, columns), QImage(), display, palette, false).image;
        // The pixel columns drawn black from the top nearly to the bottom
        // (the tracer leaves the last cell's rows alone).
        std::vector<int> lines;
        for (int x = 0; x < 500; ++x) {
            int blackRows = 0;
            for (int y = 0; y < 500; ++y)
                blackRows += At(image, x, y) == black;
            if (blackRows >= 450) lines.push_back(x);
        }
        ASSERT_EQ(lines.size(), 7u) << "n " << n;
        for (int k = 0; k < 7; ++k) {
            const double level = -20.0 + 20.0 * k;
            const double x = 500.0 * (level - west) / (east - west);
            EXPECT_NEAR(lines[static_cast<size_t>(k)], x, 6.0) << "n " << n << ", " << level;
        }
        // Without the box ticked the same map has no lines.
        display.contours = false;
        QImage plain = FinishCoverage(Columns(n, columns), QImage(), display, palette, false).image;
        int blackPixels = 0;
        for (int y = 0; y < 500; ++y)
            for (int x = 0; x < 500; ++x)
                blackPixels += At(plain, x, y) == black;
        EXPECT_EQ(blackPixels, 8) << "the marker's edge alone";
    }
}

TEST(CoverageFinish, AfterAnAbortOnlyTheMarkerOnBlankAndTheFieldStrengthScale) {
    const CPalette palette(PaletteNCAR);
    const GridField field = Columns(5, fiveFields);
    QImage blankWithMarker = BlankCoverageImage();
    DrawTransmitterMarker(blankWithMarker);
    struct Row {
        CoverageMode mode;
        Colour topBand; // of the scale bar
    };
    const Row rows[] = {
        {CoverageMode::Terrain, white}, // the grey bar, not heights
        {CoverageMode::Colour, {128, 0, 0}},
        {CoverageMode::Mono, white},
    };
    for (const Row& row : rows) {
        CoverageDisplay display;
        display.mode = row.mode;
        display.contours = true; // none after an abort
        const CoverageFinish finish =
            FinishCoverage(field, Uniform({0, 201, 50}), display, palette, true);
        EXPECT_EQ(finish.image, blankWithMarker) << static_cast<int>(row.mode);
        EXPECT_EQ(finish.scale.maxText, "100.0 dBuV/m");
        EXPECT_EQ(finish.scale.minText, "-20.0 dBuV/m");
        EXPECT_EQ(At(finish.scale.bitmap, 16, 0), row.topBand);
    }
}

} // namespace
} // namespace kestrova
