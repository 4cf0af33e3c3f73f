// The store on real SRTM3 tiles (KESTROVA_DATA/srtm3): heights at known
// places, agreement with the files' own samples, and the same tile zipped.
#include "RealData.h"
#include "TileWriter.h"
#include "terrain/SRTM.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

namespace kestrova {
namespace {

class RealTiles : public ::testing::Test {
protected:
    void SetUp() override {
        // Four cells: only the full data set has them all.
        dir = test::RealTileDirectory("n44w072.hgt");
        for (const char* tile : {"n49e019.hgt", "n51w002.hgt", "n57e011.hgt"})
            if (!dir.empty() && test::RealTileDirectory(tile) != dir) dir.clear();
        if (dir.empty()) GTEST_SKIP() << "KESTROVA_DATA/srtm3 lacks the tiles of these tests";
    }
    // The sample at or south-west of the position, read from the file
    // itself (big-endian, north row first).
    int FileSample(const std::string& file, double lat, double lon) const {
        std::ifstream in(dir + file, std::ios::binary);
        const int row = 1200 - static_cast<int>((lat - std::floor(lat)) * 1200);
        const int col = static_cast<int>((lon - std::floor(lon)) * 1200);
        in.seekg((static_cast<std::streamoff>(row) * 1201 + col) * 2);
        const int high = in.get();
        const int low = in.get();
        return static_cast<int16_t>(static_cast<std::uint16_t>(high << 8 | low));
    }
    std::string dir;
};

TEST_F(RealTiles, KnownPlacesAtTheNearestPost) {
    // The spot checks of the data's SOURCES.md, taken at the nearest post.
    struct Case {
        const char* place;
        double lat, lon;
        int height;
    };
    const Case cases[] = {
        {"Walbury Hill", 51.352, -1.465, 293},
        {"east of Walbury Hill", 51.35, -1.46, 225},
        {"Vale of White Horse", 51.6, -1.3, 82},
        {"the void in n51w002", 51.6942, -1.7875, -32767},
        {"Mount Washington", 44.2706, -71.3033, 1908},
        {"Kattegat (sea stored as 0)", 57.3, 11.3, 0},
        {"Gothenburg", 57.70, 11.97, 22},
        {"a cell without a tile", 51.5, -0.5, -32767},
    };
    CSRTM store(CSRTM::kTilesPerStore, dir);
    for (const Case& c : cases) {
        double lat = c.lat;
        double lon = c.lon;
        EXPECT_EQ(store.GetAtNode(lat, lon), c.height) << c.place;
        EXPECT_NEAR(lat, c.lat, 0.5 / 1200 + 1e-12) << c.place;
        EXPECT_NEAR(lon, c.lon, 0.5 / 1200 + 1e-12) << c.place;
    }
    // The look-up the program uses reads the sample at or south-west of the
    // position: on Walbury Hill the same post.
    EXPECT_EQ(store.GetHeight(51.352, -1.465, false), 293);
    EXPECT_EQ(store.GetHeight(44.2706, -71.3033, false), 1906);
}

TEST_F(RealTiles, NearestHeightsAreTheFilesOwnSamples) {
    CSRTM store(CSRTM::kTilesPerStore, dir);
    for (int i = 0; i < 200; ++i) {
        // Positions away from sample edges, so that the expected index
        // does not depend on rounding.
        const double lat = 51.0 + (i * 5.0 + 0.5) / 1200;
        const double lon = -2.0 + (i * 6.0 + 0.25) / 1200;
        const int sample = FileSample("n51w002.hgt", lat, lon);
        ASSERT_EQ(store.GetHeight(lat, lon, false), sample <= -32767 ? -32767 : sample)
            << lat << " " << lon;
    }
}

TEST_F(RealTiles, InterpolatedHeightsLieAmongTheSurroundingSamples) {
    CSRTM store(CSRTM::kTilesPerStore, dir);
    const double s = 1.0 / 1200;
    for (const auto& [lat, lon] : {std::pair{51.352, -1.465}, {44.2706, -71.3033}, {49.2, 19.9}}) {
        const int k = static_cast<int>(std::floor(lat / s));
        const int j = static_cast<int>(std::floor(lon / s));
        int low = 32767;
        int high = -32767;
        for (int dk = 0; dk < 2; ++dk)
            for (int dj = 0; dj < 2; ++dj) {
                const int h = store.GetHeight((k + dk + 0.5) * s - 0.25 * s,
                                              (j + dj + 0.5) * s - 0.25 * s, false);
                low = std::min(low, h);
                high = std::max(high, h);
            }
        const int h = store.GetHeight(lat, lon, true);
        EXPECT_GE(h, low) << lat << " " << lon;
        EXPECT_LE(h, high) << lat << " " << lon;
    }
}

TEST_F(RealTiles, AZippedCopyGivesTheSameHeights) {
    test::TempDir zipped;
    std::ifstream in(dir + "n49e019.hgt", std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    test::WriteZip(zipped.Path("N49E019.hgt.zip"), "N49E019.hgt", bytes);
    CSRTM plain(CSRTM::kTilesPerStore, dir);
    CSRTM fromZip(CSRTM::kTilesPerStore, zipped.Dir());
    int voids = 0;
    for (int i = 0; i < 2000; ++i) {
        const double lat = 49.0 + i * 0.000499;
        const double lon = 19.0 + i * 0.000487;
        const int h = plain.GetHeight(lat, lon, i % 2 == 1);
        voids += h == -32767;
        ASSERT_EQ(fromZip.GetHeight(lat, lon, i % 2 == 1), h) << lat << " " << lon;
    }
    EXPECT_LT(voids, 20);
}

} // namespace
} // namespace kestrova
