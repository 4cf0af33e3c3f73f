// GDAL (and the numerical libraries it pulls in, whose threads could keep a
// process under a memory limit from ending) is loaded by the first GeoTIFF
// written, and by nothing else. A test binary of its own: no earlier test
// may have loaded it.
#include "CliRun.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace kestrova::cli {
namespace {

// True when the process has GDAL's library mapped.
bool GdalLoaded() {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line))
        if (line.find("libgdal") != std::string::npos) return true;
    return false;
}

TEST(GdalLoading, OnlyToWriteAGeoTiff) {
    test::TempDir dir;
    const Words coverage = {
        "coverage", "--format",     "deg", "--tx",    "51.5 N 1.5 W",          "--range",
        "2",        "--resolution", "30",  "--tiles", test::FarTileDirectory()};
    const auto with = [&](Words more) {
        Words words = coverage;
        words.insert(words.end(), more.begin(), more.end());
        return words;
    };
    EXPECT_FALSE(GdalLoaded()) << "at start";
    EXPECT_EQ(Cli({"convert", "--format", "deg", "51.5 N 0.1 W"}).status, 0);
    EXPECT_EQ(Cli(with({"--csv", dir.Path("a.csv"), "--image", dir.Path("a.png")})).status, 0);
    EXPECT_FALSE(GdalLoaded()) << "by commands that write no GeoTIFF";
    const CliRun geotiff = Cli(with({"--geotiff", dir.Path("a.tif")}));
    EXPECT_EQ(geotiff.status, 0) << geotiff.err;
    EXPECT_TRUE(GdalLoaded());
    EXPECT_TRUE(std::filesystem::exists(dir.Path("a.tif")));
}

} // namespace
} // namespace kestrova::cli
