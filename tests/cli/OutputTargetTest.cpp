// The output files of a command are checked before its work: one file named
// for two outputs, a missing folder or a read-only file is refused at once,
// naming the file the user gave; and the outputs are written all or none.
#include "CliRun.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kestrova::cli {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

Words Coverage(const Words& outputs) {
    Words words = {"coverage",
                   "--format",
                   "deg",
                   "--tx",
                   "51.5 N 1.5 W",
                   "--range",
                   "2",
                   "--resolution",
                   "30",
                   "--threads",
                   "1",
                   "--tiles",
                   test::FarTileDirectory()};
    words.insert(words.end(), outputs.begin(), outputs.end());
    return words;
}

Words TerrainMap(const Words& outputs) {
    Words words = {"terrain-map",  "--format",     "deg",
                   "--tx",         "51.3 N 1.8 W", "--rx",
                   "51.6 N 1.2 W", "--tiles",      test::FarTileDirectory()};
    words.insert(words.end(), outputs.begin(), outputs.end());
    return words;
}

std::vector<std::string> Entries(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Two options naming one file (or one file through a link) are refused as
// a mistake in the command line, before any cell is computed.
TEST(OutputTargets, OneFileForTwoOutputsIsRefused) {
    TempDir dir;
    const std::string x = dir.Path("x.out");
    fs::create_symlink("x.out", dir.Path("link.out"));
    struct Case {
        Words words;
        const char* options; // "--a and --b"
    };
    const Case cases[] = {
        {Coverage({"--csv", x, "--geotiff", x}), "--csv and --geotiff"},
        {Coverage({"--image", x, "--scale", x}), "--image and --scale"},
        {Coverage({"--csv", x, "--png", x}), "--csv and --png"},
        {Coverage({"--image", x, "--kmz", x}), "--image and --kmz"},
        {Coverage({"--csv", x, "--kmz", dir.Path("link.out")}), "--csv and --kmz"},
        {Coverage({"--csv", x, "--image", dir.Path("./x.out")}), "--csv and --image"},
        {TerrainMap({"--png", x, "--tx-png", x}), "--png and --tx-png"},
        {TerrainMap({"--png", dir.Path("a.png"), "--tx-png", x, "--rx-png", x}),
         "--tx-png and --rx-png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words[0] + " " + c.options);
        const CliRun run = Cli(c.words);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(std::string("options ") + c.options + " name the same file"),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(run.err.find("cells, about"), std::string::npos) << "computed first";
        EXPECT_EQ(Entries(dir), std::vector<std::string>{"link.out"});
    }
}

// A target that cannot be written is refused before the work, naming it;
// an earlier output is not replaced meanwhile.
TEST(OutputTargets, UnwritableTargetsAreRefusedBeforeTheWork) {
    TempDir dir;
    dir.Write("old.csv", "old");
    dir.Write("ro", "read-only");
    fs::permissions(dir.Path("ro"), fs::perms::owner_read | fs::perms::group_read);
    fs::create_directory(dir.Path("folder"));
    struct Case {
        const char* option;
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {"--csv", dir.Path("missing/x.csv"),
         "folder \"" + dir.Path("missing") + "\" does not exist"},
        {"--image", dir.Path("old.csv/x.png"), "\"" + dir.Path("old.csv") + "\" is not a folder"},
        {"--geotiff", dir.Path("folder"), "not a regular file"},
        {"--csv", dir.Path("ro"), "the file is read-only"},
        {"--kmz", dir.Path("ro"), "the file is read-only"},
        {"--geotiff", dir.Path("ro"), "the file is read-only"},
        {"--png", dir.Path("ro"), "the file is read-only"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.option) + " " + c.path);
        const CliRun run = Cli(Coverage({"--csv", dir.Path("old.csv"), c.option, c.path}));
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("could not write \"" + c.path + "\": " + c.message),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(run.err.find("cells, about"), std::string::npos) << "computed first";
        std::ifstream old(dir.Path("old.csv"));
        std::string text;
        std::getline(old, text);
        EXPECT_EQ(text, "old");
        EXPECT_EQ(Entries(dir), (std::vector<std::string>{"folder", "old.csv", "ro"}));
    }
}

// Good targets are all written, with no temporary file left.
TEST(OutputTargets, AllOutputsWritten) {
    TempDir dir;
    const CliRun run = Cli(Coverage({"--csv", dir.Path("a.csv"), "--geotiff", dir.Path("a.tif"),
                                     "--png", dir.Path("p.png"), "--image", dir.Path("a.png"),
                                     "--scale", dir.Path("s.png"), "--kmz", dir.Path("a.kmz")}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Entries(dir),
              (std::vector<std::string>{"a.csv", "a.kmz", "a.png", "a.tif", "p.png", "s.png"}));
}

// Whole-number options refuse fractions as the others do; a path longer
// than the effective Earth's diameter gives finite Earth bulges in its
// profile table.
TEST(SmallerFaults, ContourFractionsAndALinkBeyondTheHorizon) {
    TempDir dir;
    const CliRun contours = Cli(TerrainMap({"--contours", "10.9", "--png", dir.Path("m.png")}));
    EXPECT_EQ(contours.status, 1);
    EXPECT_NE(contours.err.find("option --contours needs a whole number of metres"),
              std::string::npos)
        << contours.err;
    EXPECT_FALSE(fs::exists(dir.Path("m.png")));

    const CliRun link =
        Cli({"link", "--format", "deg", "--tx", "0 N 0 E", "--rx", "0 N 58 E", "--delta-n",
             "-254.1", "--tiles", test::FarTileDirectory(), "--profile-out", dir.Path("p.csv")});
    ASSERT_EQ(link.status, 0) << link.err;
    std::ifstream table(dir.Path("p.csv"));
    std::string line;
    int rows = 0;
    std::getline(table, line); // the header
    while (std::getline(table, line)) {
        ++rows;
        EXPECT_EQ(line.find("nan"), std::string::npos) << "row " << rows << ": " << line;
        std::istringstream fields(line);
        std::string field;
        for (int i = 0; i < 4; ++i)
            std::getline(fields, field, ',');
        EXPECT_GE(std::stod(field), 0.0) << "row " << rows << ": " << line; // the bulge
    }
    EXPECT_GT(rows, 900);
}

} // namespace
} // namespace kestrova::cli
