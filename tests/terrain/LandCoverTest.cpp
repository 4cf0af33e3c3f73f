// Land cover as clutter: the tables of P.452-18's Table 3 heights for
// WorldCover and CORINE classes, a user's table over them, and land-cover
// rasters made with GDAL over the demo tile's cell read a cell at a time.
#include "terrain/LandCover.h"
#include "TempDir.h"
#include "terrain/ClutterTable.h"
#include "terrain/RasterReader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestrova {
namespace {

using test::TempDir;

TEST(ClutterTables, BuiltInTablesGiveTable3Heights) {
    struct Case {
        LandCoverClasses classes;
        int code;
        std::optional<double> height;
    };
    const LandCoverClasses W = LandCoverClasses::WorldCover, C = LandCoverClasses::Corine;
    const Case cases[] = {
        {W, 10, 15},
        {W, 20, 0},
        {W, 30, 0},
        {W, 40, 0},
        {W, 50, 15},
        {W, 60, 0},
        {W, 70, 0},
        {W, 80, 0},
        {W, 90, 0},
        {W, 95, 15},
        {W, 100, 0},
        {W, 1, {}},
        {W, 112, {}},
        {W, 55, {}},
        // CORINE by grid code and by class code alike.
        {C, 1, 20},
        {C, 111, 20},
        {C, 2, 10},
        {C, 112, 10},
        {C, 3, 15},
        {C, 121, 15},
        {C, 12, 0},
        {C, 211, 0},
        {C, 25, 15},
        {C, 313, 15},
        {C, 44, 0},
        {C, 523, 0},
        {C, 141, 10},
        {C, 45, {}},
        {C, 100, {}},
        {C, 524, {}},
    };
    for (const Case& c : cases) {
        const ClutterTable table = ClutterTable::BuiltIn(c.classes);
        EXPECT_EQ(table.HeightOf(c.code), c.height)
            << LandCoverClassesName(c.classes) << " class " << c.code;
    }
}

TEST(ClutterTables, UserTableOverridesTheClassesItGives) {
    const ClutterTableText text =
        ParseClutterTable("class,height_m\r\n50, 10\r\n# parks\n\n200,12.5\n");
    ASSERT_EQ(text.problem, "");
    ClutterTable table = ClutterTable::BuiltIn(LandCoverClasses::WorldCover);
    const std::string before = table.Text();
    table.Override(text.entries);
    EXPECT_EQ(table.HeightOf(50), 10.0);
    EXPECT_EQ(table.HeightOf(200), 12.5);
    EXPECT_EQ(table.HeightOf(10), 15.0); // kept from WorldCover
    EXPECT_NE(table.Text(), before);
}

TEST(ClutterTables, BadLinesAreNamedWithTheirNumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"50\n", "line 1: expected class,height_m"},
        {"class,height_m\n50,5,1\n", "line 2: expected class,height_m"},
        {"class,height\n10,5\nx,5\n", "line 3: class \"x\" is not a whole number 0..32767"},
        {"1.5,5\n", "line 1: class \"1.5\""},
        {"-1,5\n", "line 1: class \"-1\""},
        {"40000,5\n", "line 1: class \"40000\""},
        {"50,abc\n", "line 1: height \"abc\" is not a number of metres within 0..100"},
        {"50,101\n", "line 1: height \"101\""},
        {"50,-1\n", "line 1: height \"-1\""},
        {"50,nan\n", "line 1: height \"nan\""},
        {"10,5\n\n10,6\n", "line 3: class 10 is given twice"},
    };
    for (const auto& [text, problem] : cases) {
        const ClutterTableText parsed = ParseClutterTable(text);
        EXPECT_NE(parsed.problem.find(problem), std::string::npos)
            << text << " gave \"" << parsed.problem << "\"";
        EXPECT_TRUE(parsed.entries.empty());
    }
}

void Gdal(const std::string& command) {
    ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
}

// Rasters over the north-west quarter of the demo tile's cell (2 to 1.5 W,
// 51.5 to 52 N), made once.
class LandCoverRasters : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<TempDir>();
        const std::string create = "gdal_create -of GTiff -outsize 60 60 -a_srs EPSG:4326 "
                                   "-a_ullr -2 52 -1.5 51.5 ";
        Gdal(create + "-ot Byte -burn 50 " + dir->Path("built.tif"));
        Gdal(create + "-ot Int16 -burn 33 " + dir->Path("odd.tif"));
        Gdal(create + "-ot Byte -bands 3 -burn 50 " + dir->Path("rgb.tif"));
        Gdal(create + "-ot Float32 -burn 50 " + dir->Path("float.tif"));
        Gdal("gdalwarp -t_srs EPSG:27700 -tr 100 100 -r near " + dir->Path("built.tif") + " " +
             dir->Path("bng.tif"));
        // The product's own way: a colour table on the classes.
        dir->Write("palette.vrt",
                   "<VRTDataset rasterXSize=\"60\" rasterYSize=\"60\"><SRS>EPSG:4326</SRS>"
                   "<GeoTransform>-2, 0.008333333333333333, 0, 52, 0, "
                   "-0.008333333333333333</GeoTransform><VRTRasterBand dataType=\"Byte\" "
                   "band=\"1\"><ColorInterp>Palette</ColorInterp><ColorTable><Entry c1=\"0\" "
                   "c2=\"100\" c3=\"0\" c4=\"255\"/></ColorTable><SimpleSource><SourceFilename "
                   "relativeToVRT=\"1\">built.tif</SourceFilename><SourceBand>1</SourceBand>"
                   "</SimpleSource></VRTRasterBand></VRTDataset>");
        dir->Write("junk.tif", "not a raster");
    }
    static void TearDownTestSuite() { dir.reset(); }

    static std::shared_ptr<const CLandCover> Open(const std::string& name) {
        std::string problem;
        auto cover = CLandCover::Open(dir->Path(name),
                                      ClutterTable::BuiltIn(LandCoverClasses::WorldCover), problem);
        EXPECT_TRUE(cover) << name << ": " << problem;
        return cover;
    }

    static std::unique_ptr<TempDir> dir;
};
std::unique_ptr<TempDir> LandCoverRasters::dir;

TEST_F(LandCoverRasters, EachPositionTakesItsClassHeight) {
    for (const char* name : {"built.tif", "bng.tif", "palette.vrt"}) {
        const auto cover = Open(name);
        ASSERT_TRUE(cover);
        ClutterLookup lookup;
        EXPECT_EQ(lookup.At(*cover, 51.75, -1.8), 15.0) << name;
        EXPECT_EQ(lookup.At(*cover, 51.52, -1.98), 15.0) << name;
        EXPECT_EQ(lookup.At(*cover, 51.25, -1.8), 0.0) << name;   // south of the raster
        EXPECT_EQ(lookup.At(*cover, 51.75, -1.2), 0.0) << name;   // east of it
        EXPECT_EQ(lookup.At(*cover, 40.5, 10.5), 0.0) << name;    // another cell
        EXPECT_EQ(lookup.At(*cover, 51.98, -1.52), 15.0) << name; // back again
        EXPECT_TRUE(cover->UnknownCodes().empty()) << name;
    }
}

TEST_F(LandCoverRasters, CellIsReadOnceForEveryReader) {
    const auto a = Open("built.tif");
    const auto b = Open("built.tif");
    ASSERT_TRUE(a && b);
    const auto cell = a->Cell(51, -2);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->size, 1201); // 30" pixels: the 3" lattice
    EXPECT_EQ(b->Cell(51, -2).get(), cell.get());
    EXPECT_EQ(a->Cell(51, -1), nullptr); // the raster does not reach it
}

TEST_F(LandCoverRasters, UnknownClassesReadAsBareGroundAndAreNamed) {
    const auto cover = Open("odd.tif");
    ASSERT_TRUE(cover);
    ClutterLookup lookup;
    EXPECT_EQ(lookup.At(*cover, 51.75, -1.8), 0.0);
    EXPECT_EQ(lookup.At(*cover, 51.6, -1.7), 0.0);
    EXPECT_EQ(cover->UnknownCodes(), std::vector<int>{33});
}

TEST_F(LandCoverRasters, RastersWithoutClassesAreRefusedWithTheReason) {
    // The height reader takes no colour-table raster: land cover has its own.
    std::string problem;
    EXPECT_FALSE(DescribeRaster(dir->Path("palette.vrt"), problem));
    const std::pair<const char*, const char*> cases[] = {
        {"missing.tif", "does not exist"},
        {"junk.tif", "is not a raster GDAL can read"},
        {"rgb.tif", "holds 3 bands, not one band of class codes"},
        {"float.tif", "holds real numbers (Float32)"},
    };
    for (const auto& [name, reason] : cases) {
        EXPECT_FALSE(CLandCover::Open(dir->Path(name),
                                      ClutterTable::BuiltIn(LandCoverClasses::Corine), problem))
            << name;
        EXPECT_NE(problem.find(reason), std::string::npos) << name << ": " << problem;
    }
}

} // namespace
} // namespace kestrova
