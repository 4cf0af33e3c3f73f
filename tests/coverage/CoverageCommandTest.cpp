// kestrova-cli coverage: the coverage file, and the image, scale bar, KMZ
// and GeoTIFF with the pixels and values the window's functions give for
// the same grid.
#include "coverage/CoverageImage.h"
#include "coverage/CoveragePiece.h"
#include "coverage/CoverageRaster.h"
#include "coverage/GeoTiff.h"
#include "coverage/Kml.h"
#include "maps/Palette.h"
#include "terrain/SRTM.h"

#include "CliRun.h"
#include "RealData.h"
#include "TempDir.h"
#include "ZipReader.h"

#include <QImage>

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kestrova {
namespace {

using cli::Cli;

// A small area over no terrain data (flat ground, no zones): quick.
cli::Words Command(std::initializer_list<std::string> outputs) {
    cli::Words words = {"coverage",
                        "--tx",
                        "51 0 0 N 1 0 0 W",
                        "--format",
                        "dms",
                        "--range",
                        "3",
                        "--resolution",
                        "60",
                        "--freq",
                        "1",
                        "--tiles",
                        test::FarTileDirectory(),
                        "--zones",
                        "/nonexistent-kestrova/zones01.dem",
                        "--threads",
                        "2"};
    words.insert(words.end(), outputs);
    return words;
}

CoverageArea Area() {
    return *CoverageAreaAround(CLocator(51.0, -1.0), 3.0, 60);
}

// The grid as the command wrote it to a GeoTIFF: the job's own values, and
// geoTiffNoData where a cell has no terrain.
GridField ReadGeoTiff(const std::string& path, const CoverageArea& area = Area()) {
    GDALAllRegister();
    GDALDataset* tif = GDALDataset::FromHandle(GDALOpen(path.c_str(), GA_ReadOnly));
    const int n = area.n;
    std::vector<float> cells(static_cast<size_t>(n) * static_cast<size_t>(n));
    if (tif == nullptr || tif->GetRasterXSize() != n || tif->GetRasterYSize() != n ||
        tif->GetRasterBand(1)->RasterIO(GF_Read, 0, 0, n, n, cells.data(), n, n, GDT_Float32, 0, 0,
                                        nullptr) != CE_None)
        cells.clear();
    if (tif != nullptr) GDALClose(GDALDataset::ToHandle(tif));
    return GridField(area, cells);
}

// The exact grid and the marks of cells without terrain of the map the
// command words describe, as the piece of its one block holds them.
Grid16Field ExactField(cli::Words words, const test::TempDir& dir) {
    const std::string path = dir.Path("whole.piece");
    words.insert(words.end(), {"--block", "1/1", "--piece", path});
    const auto run = Cli(words);
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    std::string error;
    auto piece = DecodeCoveragePiece(bytes, error);
    if (run.status != 0 || !piece) {
        ADD_FAILURE() << run.err << error;
        return Grid16Field(Area(), {});
    }
    return Grid16Field(piece->map.area, piece->cells, piece->noTerrain);
}

// The coverage file's rows, north first, as numbers.
std::vector<std::vector<double>> ReadCsv(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::vector<double>> rows;
    for (std::string line; std::getline(file, line);) {
        std::vector<double> row;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, ',');)
            row.push_back(std::stod(field));
        rows.insert(rows.begin(), row);
    }
    return rows;
}

int LinesIn(const std::string& path) {
    std::ifstream file(path);
    int lines = 0;
    for (std::string line; std::getline(file, line);)
        ++lines;
    return lines;
}

TEST(CoverageCommand, WritesTheFileAndReports) {
    const test::TempDir dir;
    const std::string csv = dir.Path("coverage.csv");
    const auto run = Cli(Command({"--csv", csv, "--png", dir.Path("grid.png"), "--no-header"}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("cells"), std::string::npos);
    EXPECT_EQ(LinesIn(csv), CoverageAreaAround(CLocator(51.0, -1.0), 3.0, 60)->n); // no header
    QImage grid(QString::fromStdString(dir.Path("grid.png")));
    EXPECT_EQ(grid.width(), CoverageAreaAround(CLocator(51.0, -1.0), 3.0, 60)->n);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              2); // no temporary left

    EXPECT_EQ(
        Cli({"coverage", "--tx", "SU374616", "--range", "1", "--resolution", "3600", "--csv", csv})
            .status,
        2); // fewer than 5 x 5 cells
}

// Each display mode, with and without contours. With no tiles the terrain
// is void throughout, which the terrain image paints red: the highlighted
// image shows red where the command drew over the terrain.
TEST(CoverageCommand, ImageAndScaleAreTheWindowsPixels) {
    const CPalette palette(PaletteNCAR);
    struct Row {
        const char* mode; // nullptr: the default
        CoverageMode expected;
        bool contours;
        const char* maxText;
    };
    const Row rows[] = {
        {"colour", CoverageMode::Colour, false, "80.0 dBuV/m"},
        {"mono", CoverageMode::Mono, true, "80.0 dBuV/m"},
        {nullptr, CoverageMode::Terrain, false, "500 m"},
        {"terrain", CoverageMode::Terrain, true, "500 m"},
    };
    for (const Row& row : rows) {
        const std::string mode = row.mode ? row.mode : "default";
        const test::TempDir dir;
        cli::Words words =
            Command({"--image", dir.Path("map.png"), "--scale", dir.Path("scale.png"), "--geotiff",
                     dir.Path("grid.tif"), "--max-fs", "80", "--min-fs", "40"});
        if (row.mode) words.insert(words.end(), {"--mode", row.mode});
        if (row.contours) words.push_back("--contours");
        const auto run = Cli(words);
        ASSERT_EQ(run.status, 0) << run.err;
        const Grid16Field field = ExactField(Command({}), dir);
        EXPECT_EQ(field.CellsWithoutTerrain(), Area().n * Area().n);
        EXPECT_NE(run.out.find(std::string("scale from ") + row.maxText), std::string::npos)
            << run.out;
        CoverageDisplay display;
        display.mode = row.expected;
        display.contours = row.contours;
        display.maxFs = 80.0;
        display.minFs = 40.0;
        CSRTM store(CSRTM::kTilesPerStore, "/nonexistent-kestrova/");
        const QImage terrain =
            row.expected == CoverageMode::Terrain
                ? CoverageTerrain({store, palette, false}, Area(), CLocator(51.0, -1.0), display)
                      .bitmap
                : QImage();
        const CoverageFinish window = FinishCoverage(field, terrain, display, palette, false);
        const QImage map(QString::fromStdString(dir.Path("map.png")));
        const QImage scale(QString::fromStdString(dir.Path("scale.png")));
        EXPECT_EQ(map.convertToFormat(QImage::Format_RGB32), window.image) << mode;
        EXPECT_EQ(scale.convertToFormat(QImage::Format_RGB32), window.scale.bitmap) << mode;
        // No cell has terrain: the hatching crosses the whole map.
        EXPECT_EQ(map.pixel(0, 0), noTerrainRgb) << mode;
        EXPECT_EQ(map.pixel(map.width() - 1, map.height() - 2), noTerrainRgb) << mode;
        if (row.expected != CoverageMode::Terrain) continue;
        // Shades of the void terrain's red, black contours and marker edge,
        // and the hatching's grey.
        bool red = true;
        for (int y = 0; y < map.height() && red; ++y)
            for (int x = 0; x < map.width() && red; ++x)
                red = map.pixel(x, y) == noTerrainRgb ||
                      (qGreen(map.pixel(x, y)) == 0 && qBlue(map.pixel(x, y)) == 0);
        EXPECT_TRUE(red) << mode;
    }
}

TEST(CoverageCommand, KmzAndGeoTiffOfTheGrid) {
    const test::TempDir dir;
    const auto run =
        Cli(Command({"--kmz", dir.Path("coverage.kmz"), "--geotiff", dir.Path("coverage.tif"),
                     "--csv", dir.Path("coverage.csv"), "--no-header", "--tx-height", "25"}));
    ASSERT_EQ(run.status, 0) << run.err;
    const CoverageArea area = Area();

    const auto entries = test::ReadZip(dir.Path("coverage.kmz"));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].content, KmlDocument(CoverageOverlay(area, 51.0, -1.0, 25.0)));

    // No cell has terrain: the coverage file holds every figure (the ground
    // taken as 0 m), the GeoTIFF none (see AreaPartlyOffTheTiles... for
    // cells with terrain).
    const GridField tif = ReadGeoTiff(dir.Path("coverage.tif"));
    const auto csv = ReadCsv(dir.Path("coverage.csv"));
    ASSERT_EQ(static_cast<int>(csv.size()), area.n);
    for (int i = 0; i < area.n; ++i)
        for (int j = 0; j < area.n; ++j) {
            EXPECT_EQ(tif.Value(i, j), geoTiffNoData) << i << ", " << j;
            EXPECT_TRUE(std::isfinite(csv[static_cast<size_t>(i)][static_cast<size_t>(j)]));
        }
    EXPECT_NE(run.err.find("warning: no terrain data for 100 % of the area"), std::string::npos)
        << run.err;
}

// A map around a transmitter near the tile's eastern edge (1 W): the cells
// east of 1 W have no terrain. They are counted, hatched in the image, grey
// in the colour grid, nodata in the GeoTIFF, while the coverage file keeps
// their figures; the pieces of blocks carry the marks into merge's files.
TEST(CoverageCommand, AreaPartlyOffTheTilesIsReportedAndMarked) {
    const std::string tiles = test::RealTileDirectory();
    if (tiles.empty()) GTEST_SKIP() << "SRTM3 tile n51w002.hgt not found (set KESTROVA_DATA)";
    const test::TempDir dir;
    const cli::Words map = {"coverage",
                            "--tx",
                            "51 30 0 N 1 3 0 W",
                            "--format",
                            "dms",
                            "--range",
                            "6",
                            "--resolution",
                            "30",
                            "--freq",
                            "0.145",
                            "--tiles",
                            tiles,
                            "--zones",
                            "/nonexistent-kestrova/zones01.dem",
                            "--threads",
                            "2"};
    const auto with = [&map](std::initializer_list<std::string> more) {
        cli::Words words = map;
        words.insert(words.end(), more);
        return words;
    };
    const auto run = Cli(with({"--csv", dir.Path("one.csv"), "--geotiff", dir.Path("one.tif"),
                               "--png", dir.Path("one-grid.png"), "--image", dir.Path("one.png"),
                               "--mode", "mono", "--no-header", "--json"}));
    ASSERT_EQ(run.status, 0) << run.err;
    const CoverageArea area = *CoverageAreaAround(CLocator(51.5, -1.05), 6.0, 30);

    // Which cells lie east of 1 W, away from the edge itself.
    long long east = 0;
    const auto side = [&area](int j) {
        const double lon = area.west + j * area.step;
        return std::fabs(lon + 1.0) < 1e-9 ? 0 : lon > -1.0 ? 1 : -1;
    };
    for (int j = 0; j < area.n; ++j)
        east += side(j) >= 0 ? area.n : 0;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["cellsWithoutTerrain"], east);
    EXPECT_DOUBLE_EQ(json["terrainMissing"].get<double>(),
                     static_cast<double>(east) / (area.n * area.n));
    EXPECT_GT(east, 0);
    EXPECT_LT(east, area.n * area.n / 2);
    EXPECT_NE(run.err.find("warning: no terrain data for "), std::string::npos) << run.err;

    const Grid16Field exact = ExactField(map, dir);
    const GridField tif = ReadGeoTiff(dir.Path("one.tif"), area);
    const auto csv = ReadCsv(dir.Path("one.csv"));
    const QImage grid(QString::fromStdString(dir.Path("one-grid.png")));
    ASSERT_EQ(static_cast<int>(csv.size()), area.n);
    for (int i = 0; i < area.n; ++i)
        for (int j = 0; j < area.n; ++j) {
            if (side(j) == 0) continue;
            const bool off = side(j) > 0;
            const double figure = csv[static_cast<size_t>(i)][static_cast<size_t>(j)];
            EXPECT_EQ(exact.NoTerrain(i, j), off) << i << ", " << j;
            EXPECT_EQ(grid.pixel(j, i) == noTerrainRgb, off) << i << ", " << j;
            if (off)
                EXPECT_EQ(tif.Value(i, j), geoTiffNoData) << i << ", " << j;
            else // the grid unrounded: the file prints hundredths with one decimal
                EXPECT_NEAR(tif.Value(i, j), figure, 0.06) << i << ", " << j;
        }

    // The image is the window's for the exact grid; without the marks it
    // differs only on the hatching over the cells east of 1 W.
    CoverageDisplay mono;
    mono.mode = CoverageMode::Mono;
    const CPalette palette(PaletteNCAR);
    const QImage image(QString::fromStdString(dir.Path("one.png")));
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32),
              FinishCoverage(exact, QImage(), mono, palette, false).image);
    std::vector<std::int16_t> cells = CoverageGrid16(exact);
    const QImage unmarked =
        FinishCoverage(Grid16Field(area, cells), QImage(), mono, palette, false).image;
    const double edgeX = (-1.0 - area.west) / area.extent * image.width();
    int hatched = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == unmarked.pixel(x, y)) continue;
            ++hatched;
            EXPECT_EQ(image.pixel(x, y), noTerrainRgb) << x << ", " << y;
            EXPECT_GT(x, edgeX - 3.0 * image.width() / area.n) << x << ", " << y;
        }
    EXPECT_GT(hatched, 0);

    // Blocks merged: the same bytes, marks and all.
    cli::Words merge = {"merge"};
    for (const char* block : {"2/3", "1/3", "3/3"}) {
        const std::string piece = dir.Path(std::string("b") + block[0] + ".piece");
        ASSERT_EQ(Cli(with({"--block", block, "--piece", piece})).status, 0);
        merge.push_back(piece);
    }
    merge.insert(merge.end(), {"--tiles", tiles, "--csv", dir.Path("m.csv"), "--geotiff",
                               dir.Path("m.tif"), "--png", dir.Path("m-grid.png"), "--image",
                               dir.Path("m.png"), "--mode", "mono", "--no-header", "--json"});
    const auto merged = Cli(merge);
    ASSERT_EQ(merged.status, 0) << merged.err;
    EXPECT_EQ(nlohmann::json::parse(merged.out)["cellsWithoutTerrain"], east);
    const auto bytes = [](const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(file)), {});
    };
    for (const char* name : {"csv", "tif", "png", "-grid.png"}) {
        const std::string suffix = name[0] == '-' ? name : std::string(".") + name;
        EXPECT_EQ(bytes(dir.Path("m" + suffix)), bytes(dir.Path("one" + suffix))) << name;
    }
}

TEST(CoverageCommand, MistakesAreRefusedBeforeTheWalk) {
    const test::TempDir dir;
    const std::string image = dir.Path("map.png");
    struct Row {
        cli::Words options;
        int status;
        const char* message;
    };
    const Row rows[] = {
        {{}, 1, "nothing to write"},
        {{"--image", image, "--mode", "grey"}, 1, "--mode"},
        {{"--image", image, "--max-fs", "201"}, 1, "--max-fs"},
        {{"--image", image, "--min-height", "-1001"}, 1, "--min-height"},
        {{"--scale", image, "--palette", "rainbow"}, 1, "--palette"},
        {{"--kmz", dir.Path("missing/a.kmz")}, 2, "missing/a.kmz"},
    };
    for (const Row& row : rows) {
        cli::Words words = Command({});
        words.insert(words.end(), row.options.begin(), row.options.end());
        const auto run = Cli(words);
        EXPECT_EQ(run.status, row.status) << row.message;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(image));

    // The terrain mode's scale bar needs no terrain image: heights in the
    // palette.
    const auto heights = Cli(Command({"--scale", dir.Path("heights.png"), "--mode", "terrain",
                                      "--palette", "ncar", "--max-height", "800"}));
    ASSERT_EQ(heights.status, 0) << heights.err;
    EXPECT_NE(heights.out.find("scale from 800 m (top) to 0 m (bottom)"), std::string::npos);
    const QImage bar(QString::fromStdString(dir.Path("heights.png")));
    EXPECT_EQ(Colour::FromRgb(bar.pixel(0, 223)), (Colour{40, 54, 154})); // NCAR's sea level
}

} // namespace
} // namespace kestrova
