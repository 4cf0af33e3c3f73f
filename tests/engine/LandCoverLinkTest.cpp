// Land cover on the command line: P.452-18 takes each sample's clutter
// height from the classes of a raster made with GDAL over the demo tile,
// P.452-14 ignores it byte for byte, every command that runs the engine
// follows it, and mistakes are named.
#include "CliRun.h"
#include "TempDir.h"
#include "terrain/TileFile.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace kestrova::cli {
namespace {

using test::TempDir;

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::size_t Count(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + 1))
        ++count;
    return count;
}

Words With(Words words, const Words& more) {
    words.insert(words.end(), more.begin(), more.end());
    return words;
}

// Rasters over the demo tile's cell, made once: built-up (WorldCover 50)
// and water (80) everywhere, built-up west of 1.4 W only (the path starts
// there), and CORINE's continuous urban fabric (111).
class LandCoverCli : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<TempDir>();
        const auto create = [](const std::string& extent, const std::string& burn,
                               const std::string& name) {
            const std::string command = "gdal_create -of GTiff -ot Int16 -outsize 120 120 "
                                        "-a_srs EPSG:4326 -a_ullr " +
                                        extent + " -burn " + burn + " " + dir->Path(name) +
                                        " >/dev/null 2>&1";
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
        };
        create("-2 52 -1 51", "50", "built.tif");
        create("-2 52 -1 51", "80", "water.tif");
        create("-2 52 -1.4 51", "50", "west.tif");
        create("-2 52 -1 51", "111", "corine.tif");
        dir->Write("junk.tif", "not a raster");
        dir->Write("open.csv", "class,height_m\n50,0\n");
        dir->Write("ten.csv", "class,height_m\n50,10\n");
        dir->Write("bad.csv", "class,height_m\n50,ten\n");
    }
    static void TearDownTestSuite() { dir.reset(); }

    static std::string P(const std::string& name) { return dir->Path(name); }
    static Words Link(const std::string& edition) {
        return {
            "link",   "--tx", "SU374616",  "--rx",  "SU48858947", "--tiles", DemoTileDirectory(),
            "--freq", "2.4",  "--edition", edition, "--json"};
    }
    static nlohmann::json Json(const Words& words) {
        const CliRun run = Cli(words);
        EXPECT_EQ(run.status, 0) << run.err;
        return run.status == 0 ? nlohmann::json::parse(run.out) : nlohmann::json();
    }

    static std::unique_ptr<TempDir> dir;
};
std::unique_ptr<TempDir> LandCoverCli::dir;

TEST_F(LandCoverCli, Edition18TakesTheClutterOfTheClasses) {
    const auto bare = Json(Link("18"));
    const auto built = Json(With(Link("18"), {"--land-cover", P("built.tif")}));
    const auto water = Json(With(Link("18"), {"--land-cover", P("water.tif")}));
    EXPECT_GT(built["lbd"].get<double>(), bare["lbd"].get<double>() + 1.0);
    EXPECT_EQ(built["landCover"], P("built.tif"));
    EXPECT_EQ(built["lbfsg"], bare["lbfsg"]); // clutter enters diffraction alone
    for (const auto& [key, value] : bare.items())
        EXPECT_EQ(water[key], value) << key;

    // A user's table: built-up as open land is bare terrain; at 10 m, between.
    const auto open =
        Json(With(Link("18"), {"--land-cover", P("built.tif"), "--clutter-table", P("open.csv")}));
    const auto ten =
        Json(With(Link("18"), {"--land-cover", P("built.tif"), "--clutter-table", P("ten.csv")}));
    EXPECT_EQ(open["lb"], bare["lb"]);
    EXPECT_GT(ten["lbd"].get<double>(), bare["lbd"].get<double>());
    EXPECT_LT(ten["lbd"].get<double>(), built["lbd"].get<double>());

    // CORINE's grid of 3-digit codes: dense urban, 20 m, beyond WorldCover's 15 m.
    const auto corine =
        Json(With(Link("18"), {"--land-cover", P("corine.tif"), "--land-cover-classes", "corine"}));
    EXPECT_GT(corine["lbd"].get<double>(), built["lbd"].get<double>());
}

TEST_F(LandCoverCli, Edition14IsUnchangedByteForByte) {
    const std::string bareCsv = P("bare14.csv"), builtCsv = P("built14.csv");
    const CliRun bare = Cli(With(Link("14"), {"--profile-out", bareCsv}));
    const CliRun built =
        Cli(With(Link("14"), {"--profile-out", builtCsv, "--land-cover", P("built.tif")}));
    ASSERT_EQ(bare.status, 0) << bare.err;
    ASSERT_EQ(built.status, 0) << built.err;
    EXPECT_EQ(built.out, bare.out);
    EXPECT_EQ(ReadBytes(builtCsv), ReadBytes(bareCsv));
    EXPECT_NE(built.err.find("P.452-14 takes no clutter heights"), std::string::npos);
}

TEST_F(LandCoverCli, ProfileOutListsEachSamplesClutter) {
    const std::string csv = P("west.csv");
    const auto json = Json(With(Link("18"), {"--land-cover", P("west.tif"), "--profile-out", csv}));
    const auto& listed = json["clutterHeights"];
    ASSERT_EQ(listed.size(), json["count"].get<std::size_t>());
    std::istringstream lines(ReadBytes(csv));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "distance_km,height_m,zone,earth_bulge_m,ray_height_m,fresnel_radius_m,"
                    "clutter_m");
    std::vector<double> column;
    while (std::getline(lines, line))
        column.push_back(std::stod(line.substr(line.rfind(',') + 1)));
    EXPECT_EQ(column, listed.get<std::vector<double>>());
    EXPECT_EQ(column.front(), 15.0); // the transmitter stands west of 1.4 W
    EXPECT_EQ(column.back(), 0.0);   // the receiver east of it

    // Without land cover: the six columns, and no list.
    const auto bare = Json(With(Link("18"), {"--profile-out", csv}));
    EXPECT_FALSE(bare.contains("clutterHeights"));
    EXPECT_EQ(ReadBytes(csv).substr(0, ReadBytes(csv).find('\n')),
              "distance_km,height_m,zone,earth_bulge_m,ray_height_m,fresnel_radius_m");
}

TEST_F(LandCoverCli, UnknownClassesAreNamedOnce) {
    const CliRun run = Cli(With(Link("18"), {"--land-cover", P("corine.tif")}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Count(run.err, "class 111 is not in the clutter table and read as 0 m"), 1u)
        << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["lb"], Json(Link("18"))["lb"]);
    ASSERT_TRUE(json.contains("warnings"));
    EXPECT_NE(json["warnings"].dump().find("class 111"), std::string::npos);
}

TEST_F(LandCoverCli, MistakesAreNamed) {
    struct Case {
        Words more;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"--land-cover", P("missing.tif")},
         2,
         "land cover \"" + P("missing.tif") + "\" does not exist"},
        {{"--land-cover", P("junk.tif")}, 2, "is not a raster GDAL can read"},
        {{"--land-cover", P("built.tif"), "--clutter-table", P("bad.csv")},
         2,
         "clutter table \"" + P("bad.csv") + "\" line 2: height \"ten\""},
        {{"--land-cover", P("built.tif"), "--clutter-table", P("none.csv")}, 2, "none.csv"},
        {{"--land-cover", P("built.tif"), "--land-cover-classes", "glc"},
         1,
         "must be worldcover or corine, not \"glc\""},
        {{"--clutter-table", P("ten.csv")}, 1, "--clutter-table goes with --land-cover"},
    };
    for (const Case& c : cases) {
        const CliRun run = Cli(With(Link("18"), c.more));
        EXPECT_EQ(run.status, c.status) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    const CliRun surveyed = Cli(
        {"link", "--profile", P("ten.csv"), "--latitude", "51", "--land-cover", P("built.tif")});
    EXPECT_EQ(surveyed.status, 1);
    EXPECT_NE(surveyed.err.find("not --profile"), std::string::npos) << surveyed.err;
}

// radial, mechanisms and link --batch follow the land cover as link does:
// built-up changes their figures, water leaves them as they were.
TEST_F(LandCoverCli, EveryEngineCommandFollowsIt) {
    dir->Write("links.csv", "tx,rx\nSU374616,SU48858947\n");
    const Words common = {"--tiles", DemoTileDirectory(), "--freq", "2.4", "--edition", "18",
                          "--json"};
    const Words commands[] = {
        With({"radial", "--tx", "SU374616", "--range", "20", "--bearing", "30"}, common),
        With({"mechanisms", "--tx", "SU374616", "--rx", "SU48858947"}, common),
        With({"link", "--batch", P("links.csv")}, common),
    };
    for (const Words& command : commands) {
        const CliRun bare = Cli(command);
        const CliRun built = Cli(With(command, {"--land-cover", P("built.tif")}));
        const CliRun water = Cli(With(command, {"--land-cover", P("water.tif")}));
        ASSERT_EQ(bare.status, 0) << command[0] << bare.err;
        EXPECT_NE(built.out, bare.out) << command[0];
        // link --batch names the land cover as link does; nothing else differs.
        std::string waterOut = water.out;
        const std::string named = ",\"landCover\":\"" + P("water.tif") + "\"";
        if (const auto at = waterOut.find(named); at != std::string::npos)
            waterOut.erase(at, named.size());
        EXPECT_EQ(waterOut, bare.out) << command[0];
    }
}

TEST_F(LandCoverCli, CoverageMapsAndPiecesFollowIt) {
    const Words map = {"coverage",     "--tx",      "SU374616", "--range",           "3",
                       "--resolution", "30",        "--tiles",  DemoTileDirectory(), "--freq",
                       "2.4",          "--edition", "18"};
    const auto csv = [&](const std::string& name, const Words& more) {
        const CliRun run = Cli(With(With(map, {"--csv", P(name)}), more));
        EXPECT_EQ(run.status, 0) << run.err;
        return ReadBytes(P(name));
    };
    const std::string bare = csv("bare.csv", {});
    EXPECT_NE(csv("built.csv", {"--land-cover", P("built.tif")}), bare);
    EXPECT_EQ(csv("water.csv", {"--land-cover", P("water.tif")}), bare);

    // coverage-batch: each site's map as coverage's own.
    dir->Write("sites.txt", "Mast~SU374616~10m\n");
    const Words batch = {"coverage-batch", P("sites.txt"), "--range",   "3",
                         "--resolution",   "30",           "--tiles",   DemoTileDirectory(),
                         "--freq",         "2.4",          "--edition", "18",
                         "--land-cover",   P("built.tif")};
    ASSERT_EQ(Cli(With(batch, {"--out-dir", P("sites")})).status, 0);
    EXPECT_EQ(ReadBytes(P("sites/site-1.csv")), ReadBytes(P("built.csv")));

    // A piece names its land cover: merged with a bare piece, it is refused.
    ASSERT_EQ(
        Cli(With(map, {"--block", "1/2", "--piece", P("1.piece"), "--land-cover", P("built.tif")}))
            .status,
        0);
    ASSERT_EQ(Cli(With(map, {"--block", "2/2", "--piece", P("2.piece")})).status, 0);
    const CliRun merged = Cli({"merge", P("1.piece"), P("2.piece"), "--csv", P("merged.csv")});
    EXPECT_EQ(merged.status, 2);
    EXPECT_NE(merged.err.find("land cover"), std::string::npos) << merged.err;
    ASSERT_EQ(
        Cli(With(map, {"--block", "2/2", "--piece", P("2.piece"), "--land-cover", P("built.tif")}))
            .status,
        0);
    ASSERT_EQ(Cli({"merge", P("1.piece"), P("2.piece"), "--csv", P("merged.csv")}).status, 0);
    EXPECT_EQ(ReadBytes(P("merged.csv")), ReadBytes(P("built.csv")));
}

} // namespace
} // namespace kestrova::cli
