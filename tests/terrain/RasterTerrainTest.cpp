// Terrain from elevation rasters: copies of the demo tile made with GDAL's
// own tools (GeoTIFF, VRT, Erdas Imagine, a copy on the British National
// Grid, copies with holes) must give the heights the tile gives, or the
// pixel GDAL finds at each node; bad rasters are named and skipped.
#include "CliRun.h"
#include "TempDir.h"
#include "terrain/SRTM.h"
#include "terrain/TerrainSources.h"
#include "terrain/TileFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace kestrova {
namespace {

using test::TempDir;

std::string Quote(const std::string& text) {
    return "'" + text + "'";
}

// Runs a GDAL tool quietly; the test fails when it does.
void Gdal(const std::string& command) {
    ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
}

std::string Output(const std::string& command) {
    std::string text;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    char buffer[256];
    while (pipe && fgets(buffer, sizeof buffer, pipe.get()))
        text += buffer;
    return text;
}

std::string DemoTile() {
    return "/vsizip/" + DemoTileDirectory() + demoTileName + "/n51w002.hgt";
}

const std::vector<int16_t>& TileHeights() {
    static const std::vector<int16_t> heights =
        ReadTileFile(DemoTileDirectory() + demoTileName)->heights;
    return heights;
}

std::vector<int16_t> CellAt(const std::string& location) {
    const CellRead read = ReadCell(location, "n51w002", 51, -2);
    for (const std::string& problem : read.problems)
        ADD_FAILURE() << problem;
    return read.samples ? read.samples->heights : std::vector<int16_t>{};
}

// The rasters every test reads, made once: the lattice's extent for gdalwarp.
class RasterTerrain : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<TempDir>();
        for (const char* folder : {"tif", "vrt", "img", "bng", "mix", "coarse", "hgt"})
            std::filesystem::create_directory(dir->Path(folder));
        Gdal("gdal_translate " + Quote(DemoTile()) + " " + Quote(dir->Path("tif/copy.tif")));
        Gdal("gdalbuildvrt " + Quote(dir->Path("vrt/mosaic.vrt")) + " " +
             Quote(dir->Path("tif/copy.tif")));
        Gdal("gdal_translate -of HFA " + Quote(DemoTile()) + " " +
             Quote(dir->Path("img/copy.img")));
        Gdal("gdalwarp -t_srs EPSG:27700 -tr 100 100 -r near " + Quote(DemoTile()) + " " +
             Quote(dir->Path("bng/bng.tif")));
        // West half at 3" with every height of 100 m taken as no data; the
        // whole cell at 9".
        Gdal("gdal_translate -srcwin 0 0 601 1201 -a_nodata 100 " + Quote(DemoTile()) + " " +
             Quote(dir->Path("mix/west.tif")));
        Gdal("gdalwarp -tr 0.0025 0.0025 -r near " + Quote(DemoTile()) + " " +
             Quote(dir->Path("mix/coarse.tif")));
        std::filesystem::copy(dir->Path("mix/coarse.tif"), dir->Path("coarse/coarse.tif"));
        std::filesystem::copy(DemoTileDirectory() + demoTileName, dir->Path("hgt"));
    }
    static void TearDownTestSuite() { dir.reset(); }

    static std::unique_ptr<TempDir> dir;
};
std::unique_ptr<TempDir> RasterTerrain::dir;

TEST_F(RasterTerrain, CopiesOfTheTileGiveItsHeights) {
    const struct {
        const char* name;
        std::string location;
    } copies[] = {{"GeoTIFF", dir->Dir() + "tif/"},
                  {"VRT", dir->Dir() + "vrt/"},
                  {"Erdas Imagine", dir->Dir() + "img"},
                  {"one GeoTIFF file", dir->Path("tif/copy.tif")}};
    for (const auto& copy : copies) {
        SCOPED_TRACE(copy.name);
        EXPECT_TRUE(DirectoryHoldsTiles(copy.location));
        EXPECT_TRUE(CellAt(copy.location) == TileHeights());
        // Half a pixel reaches into each neighbour, which has no tile and
        // so no heights.
        for (const auto& [lat, lon] : {std::pair{51, -1}, {51, -3}, {52, -2}, {50, -2}})
            EXPECT_FALSE(ReadCell(copy.location, "neighbour", lat, lon).samples) << lat << lon;
    }
    // The store answers as over the tile, nearest and interpolated.
    CSRTM tile(4, dir->Dir() + "hgt/");
    CSRTM raster(4, dir->Dir() + "tif/");
    for (const auto& [lat, lon] : {std::pair{51.4321, -1.2345}, {51.0001, -1.9999}, {51.9, -1.1}})
        for (const bool interpolate : {false, true})
            EXPECT_EQ(raster.GetHeight(lat, lon, interpolate),
                      tile.GetHeight(lat, lon, interpolate))
                << lat << " " << lon;
}

// Every node of the lattice holds the pixel of the projected raster that an
// exact transformation puts it in: GDAL's nearest-pixel warp with no
// approximation (-et 0) gives the same lattice.
TEST_F(RasterTerrain, ProjectedRasterGivesThePixelHoldingEachNode) {
    const std::string reference = dir->Path("reference.bin");
    const double h = 1.0 / 1200;
    char extent[160];
    std::snprintf(extent, sizeof extent, "%.12f %.12f %.12f %.12f", -2 - h / 2, 51 - h / 2,
                  -1 + h / 2, 52 + h / 2);
    Gdal("gdalwarp -of ENVI -ot Int16 -r near -et 0 -t_srs EPSG:4326 -dstnodata -32768 -te " +
         std::string(extent) + " -ts 1201 1201 " + Quote(dir->Path("bng/bng.tif")) + " " +
         Quote(reference));
    std::ifstream in(reference, std::ios::binary);
    std::vector<int16_t> expected(1201 * 1201);
    in.read(reinterpret_cast<char*>(expected.data()),
            static_cast<std::streamsize>(expected.size() * 2));
    ASSERT_TRUE(in);
    const std::vector<int16_t> cell = CellAt(dir->Dir() + "bng/");
    ASSERT_EQ(cell.size(), expected.size());
    int differ = 0, painted = 0;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        differ += cell[i] != expected[i];
        painted += cell[i] != -32768;
    }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(painted, 1000000);

    // kestrova-cli height equals gdallocationinfo -wgs84 at the same points
    // (a centimetre north-east of a node, where the store reads that node).
    for (const auto& [row, col] : {std::pair{600, 600}, {100, 1100}, {1150, 37}, {333, 777}}) {
        const double lat = 52 - row * h + 1e-7, lon = -2 + col * h + 1e-7;
        char position[64];
        std::snprintf(position, sizeof position, "%.9f %.9f", lon, lat);
        const std::string gdal = Output("gdallocationinfo -valonly -wgs84 " +
                                        Quote(dir->Path("bng/bng.tif")) + " " + position);
        const cli::CliRun ours = cli::Cli({"height", std::to_string(lat), std::to_string(lon),
                                           "--tiles", dir->Dir() + "bng", "--json"});
        ASSERT_EQ(ours.status, 0) << ours.err;
        EXPECT_EQ(ours.out, "{\"height\":" + std::to_string(std::stoi(gdal)) + "}\n")
            << row << " " << col;
    }
}

// Where sources overlap the finer wins; its no-data holes (and the tile's
// voids, which it keeps as heights no terrain has) and everything beyond it
// take the coarser source's pixel.
TEST_F(RasterTerrain, FinerSourceWinsAndCoarserFillsItsHoles) {
    const std::vector<int16_t> mixed = CellAt(dir->Dir() + "mix/");
    const std::vector<int16_t> coarse = CellAt(dir->Dir() + "coarse/");
    const std::vector<int16_t>& tile = TileHeights();
    ASSERT_EQ(mixed.size(), tile.size());
    ASSERT_EQ(coarse.size(), tile.size());
    int holes = 0, fine = 0, east = 0;
    for (int r = 0; r < 1201; ++r)
        for (int c = 0; c < 1201; ++c) {
            const std::size_t i = static_cast<std::size_t>(r) * 1201 + c;
            if (c <= 600 && tile[i] != 100 && tile[i] != -32768) { // 100 m: no data, -32768: void
                ++fine;
                ASSERT_EQ(mixed[i], tile[i]) << r << " " << c;
            } else {
                holes += c <= 600;
                east += c > 600;
                ASSERT_EQ(mixed[i], coarse[i]) << r << " " << c;
            }
        }
    EXPECT_GT(holes, 0);
    EXPECT_GT(fine, 600000);
    EXPECT_GT(east, 600000);
    EXPECT_NE(coarse, tile); // the coarse source is seen where it serves
}

// The default 50 km map runs past the tile on every side: the copy's half
// pixel beyond the cell must not put heights where the tile has none.
TEST_F(RasterTerrain, MapOverGeoTiffIsByteIdenticalToTheMapOverTheTile) {
    const auto map = [&](const std::string& tiles, const std::string& name) {
        const cli::CliRun run = cli::Cli(
            {"coverage", "--tx", "SU458573", "--range", "50", "--resolution", "30", "--tiles",
             tiles, "--csv", dir->Path(name + ".csv"), "--geotiff", dir->Path(name + ".tif")});
        EXPECT_EQ(run.status, 0) << run.err;
        std::string bytes;
        for (const char* extension : {".csv", ".tif"}) {
            std::ifstream in(dir->Path(name + extension), std::ios::binary);
            bytes += std::string(std::istreambuf_iterator<char>(in), {});
        }
        return bytes;
    };
    const std::string overTile = map(dir->Dir() + "hgt", "tile");
    ASSERT_GT(overTile.size(), 10000u);
    EXPECT_TRUE(map(dir->Dir() + "tif", "geotiff") == overTile);
}

struct BadRaster {
    const char* name;
    const char* file;
    // A part of the problem's text (a file cut short may fail its header
    // or its heights).
    const char* reason;
    std::string make; // shell commands making the file in the current directory
};

// Each bad raster lies beside a good copy of the tile: it is named with its
// reason and skipped, and the cell is the copy's.
TEST_F(RasterTerrain, BadRastersAreNamedAndSkipped) {
    const std::string copy = Quote(dir->Path("tif/copy.tif"));
    const std::string wgs84 = " -a_srs EPSG:4326 -a_ullr -2 52 -1 51 ";
    const BadRaster bad[] = {
        {"not a raster", "notes.tif", "is not a raster GDAL can read", "echo hello > notes.tif"},
        {"truncated", "cut.tif", "read", "head -c 1500000 " + copy + " > cut.tif"},
        {"a picture", "photo.tif", "not an elevation raster",
         "gdal_translate -ot Byte -b 1 -b 1 -b 1 -colorinterp red,green,blue " + copy +
             " photo.tif"},
        {"complex numbers", "complex.tif", "complex numbers",
         "gdal_translate -ot CInt16 " + copy + " complex.tif"},
        {"no georeferencing", "nowhere.tif", "has no georeferencing",
         "gdal_create -outsize 10 10 -ot Int16 nowhere.tif"},
        {"absurd heights", "absurd.tif", "which no terrain has",
         "gdal_create -outsize 10 10 -ot Float32 -burn 1e9" + wgs84 + "absurd.tif"},
        {"a 100000 x 100000 header", "huge.vrt", "is not a raster GDAL can read",
         "printf 'tiny' > huge.raw && printf '<VRTDataset rasterXSize=\"100000\" "
         "rasterYSize=\"100000\"><SRS>EPSG:4326</SRS><GeoTransform>-2, 0.00001, 0, 52, 0, "
         "-0.00001</GeoTransform><VRTRasterBand dataType=\"Int16\" band=\"1\" "
         "subClass=\"VRTRawRasterBand\"><SourceFilename relativeToVRT=\"1\">huge.raw"
         "</SourceFilename></VRTRasterBand></VRTDataset>' > huge.vrt"},
    };
    for (const BadRaster& raster : bad) {
        SCOPED_TRACE(raster.name);
        const TempDir location;
        std::filesystem::copy(dir->Path("tif/copy.tif"), location.Path("copy.tif"));
        Gdal("cd " + Quote(location.String()) + " && " + raster.make);
        const CellRead read = ReadCell(location.Dir(), "n51w002", 51, -2);
        ASSERT_EQ(read.problems.size(), 1u);
        EXPECT_NE(read.problems[0].find(location.Path(raster.file)), std::string::npos)
            << read.problems[0];
        EXPECT_NE(read.problems[0].find(raster.reason), std::string::npos) << read.problems[0];
        ASSERT_TRUE(read.samples);
        EXPECT_TRUE(read.samples->heights == TileHeights());
        const cli::CliRun run = cli::Cli({"height", "51.5", "-1.5", "--tiles", location.Dir()});
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.err.find(raster.file), std::string::npos) << run.err;
    }
}

TEST_F(RasterTerrain, TheCommandLineListsTheSources) {
    std::filesystem::copy(dir->Path("bng/bng.tif"), dir->Path("hgt/bng.tif"));
    const cli::CliRun run = cli::Cli({"terrain-sources", "--tiles", dir->Dir() + "hgt"});
    std::filesystem::remove(dir->Path("hgt/bng.tif"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("1 SRTM tile, 51 N to 52 N, 2 W to 1 W"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("bng.tif: GTiff, EPSG:27700, 702 x 1118 pixels"), std::string::npos)
        << run.out;

    const cli::CliRun text = cli::Cli({"height", "51.5", "-1.5", "--tiles", dir->Path("x.txt")});
    EXPECT_EQ(text.status, 2);
    EXPECT_NE(text.err.find("does not exist"), std::string::npos) << text.err;
}

} // namespace
} // namespace kestrova
