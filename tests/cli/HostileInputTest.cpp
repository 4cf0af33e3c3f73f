// Hostile and careless input to kestrova-cli: each is refused with its
// exit status and a message, or gives the defined result; no impossible
// figure passes as a result, no file is written that was not asked for, and
// nothing waits for ever.
#include "CliRun.h"
#include "RealData.h"
#include "TempDir.h"
#include "Timeout.h"
#include "coverage/Coverage.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace kestrova::cli {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// A link over the real tile, with the data found in the working directory.
const Words kLink = {"link", "--tx", "SU374616", "--rx", "SU48858947", "--json"};

Words With(Words words, const Words& more) {
    words.insert(words.end(), more.begin(), more.end());
    return words;
}

std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// A 0.5° map (347 x 720 nodes) of one value, as text.
std::string HalfDegreeMap(const std::string& value) {
    std::string row;
    for (int col = 0; col < 720; ++col)
        row += value + (col + 1 < 720 ? " " : "\n");
    std::string text;
    for (int r = 0; r < 347; ++r)
        text += row;
    return text;
}

class HostileInput : public ::testing::Test {
protected:
    void SetUp() override {
        tiles = test::RealTileDirectory();
        if (!tiles.empty()) tiles = fs::absolute(tiles).string(); // the test changes directory
        previous = fs::current_path();
        fs::current_path(dir.Path());
    }
    void TearDown() override { fs::current_path(previous); }
    void NeedTiles() {
        if (tiles.empty()) GTEST_SKIP() << "SRTM3 tile n51w002.hgt not found (set KESTROVA_DATA)";
    }
    Words Link(const Words& more = {}) { return With(With(kLink, {"--tiles", tiles}), more); }

    TempDir dir;
    fs::path previous;
    std::string tiles;
};

// Map values no map of their quantity can hold count as no data: the link
// falls back to 320 N-units and 45 N-units/km as with a missing map, and
// its figures stay finite.
TEST_F(HostileInput, ImpossibleMapValuesCountAsNoData) {
    NeedTiles();
    struct Case {
        const char* name;
        const char* n0;
        const char* deltaN;
    } cases[] = {
        {"N0 of 1e308", "1e308", "40"},   {"N0 not a number", "nan", "40"},
        {"N0 of 100", "100", "40"},       {"N0 infinite", "1e999", "40"},
        {"delta N of 200", "330", "200"}, {"delta N of -1e308", "330", "-1e308"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.Write("n0.txt", HalfDegreeMap(c.n0));
        dir.Write("dn.txt", HalfDegreeMap(c.deltaN));
        const CliRun run = Cli(Link());
        ASSERT_EQ(run.status, 0) << run.err;
        const auto json = nlohmann::json::parse(run.out);
        EXPECT_EQ(json["valid"], true);
        EXPECT_EQ(json["surfaceN0"], 320.0);
        EXPECT_EQ(json["deltaN"], 45.0);
        EXPECT_DOUBLE_EQ(json["kMedian"].get<double>(), 157.0 / 112.0);
        EXPECT_TRUE(json["lb"].is_number());
        EXPECT_TRUE(std::isfinite(json["lb"].get<double>()));
    }
    // Plausible values are used.
    dir.Write("n0.txt", HalfDegreeMap("330"));
    dir.Write("dn.txt", HalfDegreeMap("40"));
    const auto json = nlohmann::json::parse(Cli(Link()).out);
    EXPECT_NEAR(json["surfaceN0"].get<double>(), 330.0, 1e-9);
    EXPECT_NEAR(json["deltaN"].get<double>(), 40.0, 1e-9);
}

// Numbers and combinations refused before anything is computed.
TEST_F(HostileInput, ImpossibleInputsAreRefused) {
    dir.Write("far.csv", "d,h,z\n0,0,3\n1e5,0,3\n2e5,0,3\n");
    dir.Write("deep.csv", "d,h,z\n0,0,3\n1,-600,3\n2,0,3\n");
    dir.Write("high.csv", "d,h,z\n0,0,3\n1,1e6,3\n2,0,3\n");
    dir.Write("ok.csv", "d,h,z\n0,0,3\n1,0,3\n2,0,3\n");
    const Words profile = {"link", "--latitude", "51", "--profile"};
    struct Case {
        const char* name;
        Words words;
        int status;
        const char* message;
    } cases[] = {
        {"--n0 1e308", With(kLink, {"--n0", "1e308"}), 1, "--n0 must lie between 200 and 450"},
        {"--delta-n 200", With(kLink, {"--delta-n", "200"}), 1, "--delta-n must lie between"},
        {"--k-factor 0", With(kLink, {"--k-factor", "0"}), 1, "--k-factor must lie between"},
        {"--freq 1e999", With(kLink, {"--freq", "1e999"}), 1, "is not a number"},
        {"distances in km", With(profile, {"far.csv"}), 2,
         "profile line 3: distance 100000 km is beyond the longest path of 3000 km"},
        {"height below the Dead Sea", With(profile, {"deep.csv"}), 2,
         "profile line 3: height -600 m lies outside -500..9000 m"},
        {"height of 1000 km", With(profile, {"high.csv"}), 2, "profile line 3: height 1e+06 m"},
        {"gas at 0.0001 hPa",
         {"gas", "--freq", "118.75", "--pressure", "0.0001"},
         2,
         "water-vapour pressure 11.6926 hPa of 50 % humidity at 20 C exceeds the total "
         "pressure 0.0001 hPa"},
        {"link at 0.0001 hPa", With(profile, {"ok.csv", "--pressure", "0.0001"}), 2,
         "exceeds the total pressure"},
        {"radial gain",
         {"radial", "--tx", "SU374616", "--range", "5", "--bearing", "0", "--gain", "1000"},
         1,
         "--gain must lie between -20 and 100 dBi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun run = Cli(c.words);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(HostileInput, DataLocationsAreCheckedAndUsedAsGiven) {
    NeedTiles();
    fs::create_directory(dir.Path("empty"));
    const CliRun missing = Cli(With(kLink, {"--tiles", "/nonexistent-kestrova"}));
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("terrain location \"/nonexistent-kestrova\" does not exist"),
              std::string::npos)
        << missing.err;
    const CliRun empty = Cli(With(kLink, {"--tiles", dir.Path("empty")}));
    EXPECT_EQ(empty.status, 2);
    EXPECT_NE(empty.err.find("holds no terrain: no SRTM tiles"), std::string::npos) << empty.err;
    // A file that is not a raster is refused as such.
    dir.Write("notes.txt", "hello");
    const CliRun text = Cli(With(kLink, {"--tiles", dir.Path("notes.txt")}));
    EXPECT_EQ(text.status, 2);
    EXPECT_NE(text.err.find("is not an elevation raster"), std::string::npos) << text.err;

    // --zones names the file itself; a missing one is a warning and no zone
    // map in the result, not a silent zone 0.
    const CliRun other = Cli(Link({"--zones", "/nonexistent-kestrova/other.dem"}));
    ASSERT_EQ(other.status, 0) << other.err;
    EXPECT_NE(
        other.err.find("warning: zone map \"/nonexistent-kestrova/other.dem\" cannot be read"),
        std::string::npos)
        << other.err;
    EXPECT_EQ(nlohmann::json::parse(other.out)["zoneMap"], false);
    EXPECT_EQ(Cli({"zone", "51", "-1", "--zones", "/nonexistent-kestrova/other.dem"}).status, 2);
}

// A FIFO where a data file should be is refused at once: nothing waits for
// a writer that never comes.
TEST_F(HostileInput, FifosAreRefusedAtOnce) {
    NeedTiles();
    const std::string fifo = dir.Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        const char* name;
        Words words;
        int status;
        const char* message;
    } cases[] = {
        {"zone map of zone", {"zone", "51", "-1", "--zones", fifo}, 2, "not a regular file"},
        {"zone map of link", Link({"--zones", fifo}), 0, "warning: zone map"},
        {"profile", {"link", "--profile", fifo, "--latitude", "51"}, 2, "is not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(test::FinishesWithin(20, [&] {
            const CliRun run = Cli(c.words);
            return run.status == c.status && run.err.find(c.message) != std::string::npos;
        }));
    }
    // A FIFO named like a map in the working directory is no map.
    fs::rename(fifo, dir.Path("n0.txt"));
    EXPECT_TRUE(test::FinishesWithin(20, [&] {
        const CliRun run = Cli(Link());
        return run.status == 0 && nlohmann::json::parse(run.out)["surfaceN0"] == 320.0;
    }));
}

// Outputs: a link is followed, anything but a regular file is refused and
// left as it was, and no temporary file stays behind.
TEST_F(HostileInput, OutputsThatAreNotRegularFiles) {
    NeedTiles();
    struct Case {
        const char* name;
        std::function<void()> make; // makes "out"
        int status;
    } cases[] = {
        {"regular file", [&] { dir.Write("out", "old"); }, 0},
        {"link to a file",
         [&] {
             dir.Write("real", "old");
             fs::create_symlink("real", dir.Path("out"));
         },
         0},
        {"directory", [&] { fs::create_directory(dir.Path("out")); }, 2},
        {"FIFO", [&] { ASSERT_EQ(mkfifo(dir.Path("out").c_str(), 0600), 0); }, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* name : {"out", "real", "out.tmp"})
            fs::remove_all(dir.Path(name));
        c.make();
        dir.Write("out.tmp", "someone's file");
        const auto kind = fs::symlink_status(dir.Path("out")).type();
        EXPECT_TRUE(test::FinishesWithin(20, [&] {
            const CliRun run = Cli(Link({"--profile-out", dir.Path("out")}));
            return run.status == c.status &&
                   (c.status == 0 || run.err.find("not a regular file") != std::string::npos);
        }));
        EXPECT_EQ(fs::symlink_status(dir.Path("out")).type(), kind);
        EXPECT_EQ(Read(dir.Path("out.tmp")), "someone's file");
        const std::string written =
            fs::exists(dir.Path("real")) ? dir.Path("real") : dir.Path("out");
        if (c.status == 0) {
            EXPECT_EQ(Read(written).rfind("distance_km,", 0), 0u);
        }
        for (const auto& entry : fs::directory_iterator(dir.Path()))
            EXPECT_EQ(entry.path().filename().string().rfind(".out", 0), std::string::npos)
                << entry.path();
    }
}

TEST_F(HostileInput, CoverageAreasAndThreads) {
    NeedTiles();
    const CliRun pole = Cli({"coverage", "--tx", "89 N 0 E", "--format", "deg", "--range", "3000",
                             "--resolution", "3600", "--tiles", tiles, "--csv", dir.Path("c.csv")});
    EXPECT_EQ(pole.status, 2);
    EXPECT_NE(pole.err.find("reaches beyond the North Pole"), std::string::npos) << pole.err;
    EXPECT_FALSE(fs::exists(dir.Path("c.csv")));
    const CliRun south = Cli({"coverage", "--tx", "88 S 0 E", "--format", "deg", "--range", "300",
                              "--tiles", tiles, "--csv", dir.Path("c.csv")});
    EXPECT_EQ(south.status, 2);
    EXPECT_NE(south.err.find("South Pole"), std::string::npos) << south.err;

    // A thousand million threads asked for: at most four per core run.
    const CliRun many =
        Cli({"coverage", "--tx", "SU374616", "--range", "3", "--resolution", "60", "--tiles", tiles,
             "--threads", "1000000000", "--csv", dir.Path("c.csv")});
    ASSERT_EQ(many.status, 0) << many.err;
    const int cores = CoreCount();
    const std::size_t on = many.out.find(" on ");
    ASSERT_NE(on, std::string::npos) << many.out;
    EXPECT_LE(std::stoi(many.out.substr(on + 4)), 4 * cores) << many.out;
    // The estimate comes first.
    EXPECT_NE(many.err.find(" cells, about "), std::string::npos) << many.err;
}

} // namespace
} // namespace kestrova::cli
