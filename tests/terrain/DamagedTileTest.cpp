// Damaged and unusable tile files: each is refused with its path and the
// reason, its cell reads as missing terrain (the same figures as with no
// file at all), and the commands that walk the terrain name it in a warning.
#include "CliRun.h"
#include "TileWriter.h"
#include "terrain/SRTM.h"
#include "terrain/TileFile.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {
namespace {

namespace fs = std::filesystem;
using test::Pattern;
using test::TempDir;

// Hills of 200..1000 m, so that a tile read as sea shows at once.
int Hills(int row, int col) {
    return 200 + (row * 7 + col * 13) % 800;
}

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

struct Damage {
    const char* name;
    const char* file;   // the entry made under the tile's name
    const char* reason; // a part of the problem's text
    std::function<void(const std::string& path)> make;
};

// The damaged entries, each made at path (a name of the cell n51w002).
const std::vector<Damage>& Damages() {
    static const std::vector<Damage> damages = {
        {"truncated", "n51w002.hgt", "is 1000000 bytes long",
         [](const std::string& path) {
             test::WriteFile(path, Cut(test::TileBytes(1201, Hills), 1000000));
         }},
        {"half a 1-second tile", "n51w002.hgt", "is 12967201 bytes long",
         [](const std::string& path) {
             test::WriteFile(path, Cut(test::TileBytes(3601, Hills), 25934402 / 2));
         }},
        {"a 3-second tile and half another", "n51w002.hgt", "is 4327203 bytes long",
         [](const std::string& path) {
             auto bytes = test::TileBytes(1201, Hills);
             bytes.insert(bytes.end(), bytes.begin(), bytes.begin() + 2884802 / 2);
             test::WriteFile(path, bytes);
         }},
        {"directory", "n51w002.hgt", "is not a regular file",
         [](const std::string& path) { fs::create_directory(path); }},
        {"FIFO", "n51w002.hgt", "is not a regular file",
         [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
        {"dangling link", "n51w002.hgt", "does not exist",
         [](const std::string& path) { fs::create_symlink(path + ".gone", path); }},
        {"broken zip", "n51w002.hgt.zip", "is not a zip archive holding a whole n51w002.hgt",
         [](const std::string& path) {
             test::WriteZip(path, "n51w002.hgt", test::TileBytes(1201, Hills));
             fs::resize_file(path, fs::file_size(path) / 2);
         }},
        {"every sample void", "n51w002.hgt", "every sample is void",
         [](const std::string& path) {
             test::WriteTile(path, 1201, [](int, int) { return -32768; });
         }},
    };
    return damages;
}

TEST(DamagedTile, RefusedWithItsPathAndReason) {
    for (const Damage& damage : Damages()) {
        TempDir dir;
        damage.make(dir.Path(damage.file));
        const TileRead read = ReadTileChecked(dir.Dir(), "n51w002");
        EXPECT_FALSE(read.samples) << damage.name;
        EXPECT_NE(read.problem.find(dir.Path(damage.file)), std::string::npos)
            << damage.name << ": " << read.problem;
        EXPECT_NE(read.problem.find(damage.reason), std::string::npos)
            << damage.name << ": " << read.problem;

        // The store reads the cell as missing terrain and keeps the problem.
        CSRTM store(CSRTM::kTilesPerStore, dir.Dir());
        EXPECT_EQ(store.GetHeight(51.5, -1.5, false), store.GetVoidValue()) << damage.name;
        EXPECT_EQ(store.TileProblems(), std::vector<std::string>{read.problem}) << damage.name;
    }
}

// A file that cannot be opened: as root it can, and is then a good tile.
TEST(DamagedTile, UnreadableFileIsNamedUnlessItCanBeRead) {
    TempDir dir;
    test::WriteTile(dir.Path("n51w002.hgt"), 1201, Hills);
    ASSERT_EQ(::chmod(dir.Path("n51w002.hgt").c_str(), 0), 0);
    const bool readable = ::access(dir.Path("n51w002.hgt").c_str(), R_OK) == 0;
    const TileRead read = ReadTileChecked(dir.Dir(), "n51w002");
    EXPECT_EQ(static_cast<bool>(read.samples), readable);
    EXPECT_EQ(read.problem.empty(), readable) << read.problem;
    if (!readable) {
        EXPECT_NE(read.problem.find("Permission denied"), std::string::npos);
    }
}

// Good tiles, a missing one, and a usable zipped tile beside a damaged plain
// one raise no problem.
TEST(DamagedTile, GoodAndMissingTilesRaiseNone) {
    TempDir dir;
    const TileRead missing = ReadTileChecked(dir.Dir(), "n51w002");
    EXPECT_FALSE(missing.samples);
    EXPECT_EQ(missing.problem, "");
    for (int size : {1201, 3601}) {
        test::WriteTile(dir.Path("n51w002.hgt"), size, Pattern);
        const TileRead good = ReadTileChecked(dir.Dir(), "n51w002");
        ASSERT_TRUE(good.samples) << size;
        EXPECT_EQ(good.samples->size, size);
        EXPECT_EQ(good.problem, "");
    }
    test::WriteFile(dir.Path("n51w002.hgt"), Cut(test::TileBytes(1201, Hills), 1000));
    test::WriteZip(dir.Path("n51w002.hgt.zip"), "n51w002.hgt", test::TileBytes(1201, Hills));
    const TileRead zipped = ReadTileChecked(dir.Dir(), "n51w002");
    EXPECT_TRUE(zipped.samples);
    EXPECT_EQ(zipped.problem, "");
}

// Through the commands: a damaged tile gives the figures of a missing one,
// and a warning naming it (in the JSON result of link as well).
TEST(DamagedTile, CommandsWarnAndReadItAsMissingTerrain) {
    using cli::Cli;
    const cli::Words link = {"link",         "--format", "deg",          "--tx",
                             "51.3 N 1.8 W", "--rx",     "51.6 N 1.2 W", "--json"};
    const cli::Words radial = {"radial",  "--format", "deg",       "--tx", "51.3 N 1.8 W",
                               "--range", "20",       "--bearing", "60"};
    const auto withTiles = [](cli::Words words, const TempDir& dir) {
        words.insert(words.end(), {"--tiles", dir.Dir()});
        return words;
    };

    TempDir good;
    test::WriteTile(good.Path("n51w002.hgt"), 1201, Hills);
    const auto goodLink = Cli(withTiles(link, good));
    ASSERT_EQ(goodLink.status, 0) << goodLink.err;
    const auto goodJson = nlohmann::json::parse(goodLink.out);
    EXPECT_FALSE(goodJson.contains("warnings"));
    EXPECT_GT(goodJson["maxHeight"].get<double>(), 200);
    EXPECT_EQ(goodLink.err.find("terrain tile"), std::string::npos) << goodLink.err;

    // The reference: the cell with no file at all (a tile of the next cell
    // keeps the directory one that holds tiles).
    TempDir none;
    test::WriteTile(none.Path("n10e010.hgt"), 1201, Hills);
    const auto missingLink = Cli(withTiles(link, none));
    ASSERT_EQ(missingLink.status, 0) << missingLink.err;
    auto missingJson = nlohmann::json::parse(missingLink.out);

    for (const Damage& damage : Damages()) {
        TempDir dir;
        test::WriteTile(dir.Path("n10e010.hgt"), 1201, Hills);
        damage.make(dir.Path(damage.file));
        const std::string path = dir.Path(damage.file);

        const auto linkRun = Cli(withTiles(link, dir));
        ASSERT_EQ(linkRun.status, 0) << damage.name << ": " << linkRun.err;
        auto json = nlohmann::json::parse(linkRun.out);
        ASSERT_TRUE(json.contains("warnings")) << damage.name;
        ASSERT_EQ(json["warnings"].size(), 1u) << damage.name;
        EXPECT_NE(json["warnings"][0].get<std::string>().find(path), std::string::npos)
            << damage.name;
        EXPECT_NE(linkRun.err.find("warning: terrain tile " + path), std::string::npos)
            << damage.name << ": " << linkRun.err;
        json.erase("warnings");
        EXPECT_EQ(json, missingJson) << damage.name;

        const auto radialRun = Cli(withTiles(radial, dir));
        EXPECT_NE(radialRun.err.find("warning: terrain tile " + path), std::string::npos)
            << damage.name << ": " << radialRun.err;
        cli::Words radialJson = withTiles(radial, dir);
        radialJson.push_back("--json");
        const auto radialJsonRun = Cli(radialJson);
        ASSERT_EQ(radialJsonRun.status, 0) << damage.name << ": " << radialJsonRun.err;
        EXPECT_EQ(nlohmann::json::parse(radialJsonRun.out)["warnings"].size(), 1u) << damage.name;

        const auto coverageRun =
            Cli(withTiles({"coverage", "--format", "deg", "--tx", "51.5 N 1.5 W", "--range", "2",
                           "--resolution", "30", "--threads", "1", "--csv", dir.Path("map.csv")},
                          dir));
        EXPECT_EQ(coverageRun.status, 0) << damage.name << ": " << coverageRun.err;
        EXPECT_NE(coverageRun.err.find("warning: terrain tile " + path), std::string::npos)
            << damage.name << ": " << coverageRun.err;

        const auto mapRun = Cli(withTiles({"terrain-map", "--format", "deg", "--tx", "51.3 N 1.8 W",
                                           "--rx", "51.6 N 1.2 W", "--png", dir.Path("map.png")},
                                          dir));
        EXPECT_EQ(mapRun.status, 0) << damage.name << ": " << mapRun.err;
        EXPECT_NE(mapRun.err.find("warning: terrain tile " + path), std::string::npos)
            << damage.name << ": " << mapRun.err;
        const auto mapJson =
            Cli(withTiles({"terrain-map", "--format", "deg", "--tx", "51.3 N 1.8 W", "--rx",
                           "51.6 N 1.2 W", "--png", dir.Path("map.png"), "--json"},
                          dir));
        ASSERT_EQ(mapJson.status, 0) << damage.name << ": " << mapJson.err;
        EXPECT_EQ(nlohmann::json::parse(mapJson.out)["warnings"].size(), 1u) << damage.name;
    }
}

} // namespace
} // namespace kestrova
