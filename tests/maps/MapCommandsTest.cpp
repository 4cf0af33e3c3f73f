// kestrova-cli terrain-map and zone-map: the images the library draws,
// written as PNG, and the link map's frame as JSON.
#include "CliRun.h"
#include "RealData.h"
#include "TempDir.h"
#include "geo/FileLocations.h"
#include "geo/Locator.h"
#include "maps/Palette.h"
#include "maps/image/TerrainMapImage.h"
#include "maps/image/ZoneMapImage.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace kestrova::cli {
namespace {

class MapCommands : public ::testing::Test {
protected:
    void SetUp() override {
        tiles = test::RealTileDirectory();
        if (tiles.empty()) GTEST_SKIP() << "SRTM3 tile n51w002.hgt not found (set KESTROVA_DATA)";
    }
    QImage Png(const std::string& name) {
        return QImage(QString::fromStdString(dir.Path(name))).convertToFormat(QImage::Format_RGB32);
    }

    std::string tiles;
    test::TempDir dir;
    const CLocator tx{std::string("SU374616"), FormatNGR};
    const CLocator rx{std::string("SU555800"), FormatNGR};
};

TEST_F(MapCommands, TerrainMapWritesThePixelsTheLibraryDraws) {
    const CliRun run =
        Cli({"terrain-map", "--tx", "SU374616", "--rx", "SU555800", "--tiles", tiles, "--palette",
             "2", "--contours", "50", "--png", dir.Path("link.png"), "--tx-png", dir.Path("tx.png"),
             "--rx-png", dir.Path("rx.png"), "--json"});
    ASSERT_EQ(run.status, 0) << run.err;

    CSRTM store(CSRTM::kTilesPerStore, tiles);
    const CPalette jet(PaletteJET);
    const TerrainSource source{store, jet, false};
    const LinkMapImage link = DrawLinkMap(source, tx.GetLatitude(), tx.GetLongitude(),
                                          rx.GetLatitude(), rx.GetLongitude(), 480, 480, 50);
    EXPECT_EQ(Png("link.png"), link.map.bitmap);
    const LocalMapImage local =
        DrawLocalMap(source, "RX", rx.GetLatitude(), rx.GetLongitude(), link.map.maxHeight,
                     link.map.minHeight, 240, 240, 50, QColor(0, 0, 255));
    EXPECT_EQ(Png("rx.png"), local.map.bitmap);
    EXPECT_EQ(Png("tx.png").size(), QSize(240, 240));

    const auto json = nlohmann::json::parse(run.out);
    EXPECT_DOUBLE_EQ(json["south"].get<double>(), link.frame.south);
    EXPECT_DOUBLE_EQ(json["west"].get<double>(), link.frame.west);
    EXPECT_DOUBLE_EQ(json["scale"].get<double>(), link.frame.scale);
    // The side: 1.2 times the larger of the two spans, in degrees.
    const double dLat = std::fabs(tx.GetLatitude() - rx.GetLatitude());
    const double dLon = std::fabs(tx.GetLongitude() - rx.GetLongitude());
    EXPECT_NEAR(json["span"].get<double>(), 1.2 * std::max(dLat, dLon), 1e-12);
    EXPECT_EQ(json["maxHeight"], link.map.maxHeight);
    EXPECT_EQ(json["minHeight"], 0);
    EXPECT_EQ(json["contourSegments"], link.map.contourSegments);
    EXPECT_GT(link.map.contourSegments, 0);

    // Local contours only: none on the link map.
    const CliRun local50 =
        Cli({"terrain-map", "--tx", "SU374616", "--rx", "SU555800", "--tiles", tiles, "--contours",
             "50", "--local-contours", "--png", dir.Path("plain.png"), "--json"});
    ASSERT_EQ(local50.status, 0) << local50.err;
    EXPECT_EQ(nlohmann::json::parse(local50.out)["contourSegments"], 0);
}

TEST_F(MapCommands, TerrainMapMistakes) {
    const Words base = {"terrain-map", "--tx", "SU374616", "--rx", "SU555800", "--tiles", tiles};
    const auto with = [&](Words extra) {
        Words words = base;
        words.insert(words.end(), extra.begin(), extra.end());
        return Cli(words);
    };
    const std::string png = dir.Path("map.png");
    EXPECT_EQ(with({}).status, 1);                                // no --png
    EXPECT_EQ(with({"--png", png, "--palette", "6"}).status, 1);  // no such palette
    EXPECT_EQ(with({"--png", png, "--contours", "5"}).status, 1); // below the field's 10 m
    EXPECT_EQ(with({"--png", png, "--freq", "2"}).status, 1);     // not an option of maps
    const CliRun same = Cli(
        {"terrain-map", "--tx", "SU374616", "--rx", "SU374616", "--tiles", tiles, "--png", png});
    EXPECT_EQ(same.status, 2);
    EXPECT_NE(same.err.find("same place"), std::string::npos) << same.err;
    EXPECT_FALSE(std::filesystem::exists(png));
}

TEST_F(MapCommands, ZoneMapWritesThePixelsTheLibraryDraws) {
    const std::string zonesFile = ExecutableDirectory() + "zones01.dem";
    if (!std::filesystem::exists(zonesFile)) GTEST_SKIP() << "zones01.dem not beside the tests";
    const CliRun run = Cli({"zone-map", "--tx", "SU374616", "--rx", "SU555800", "--zones",
                            zonesFile, "--png", dir.Path("zones.png")});
    ASSERT_EQ(run.status, 0) << run.err;
    CZONES zones(ExecutableDirectory());
    const ZoneMapImage map = DrawZoneMap(zones, tx.GetLatitude(), tx.GetLongitude(),
                                         rx.GetLatitude(), rx.GetLongitude(), 400, 400);
    EXPECT_EQ(Png("zones.png"), map.map.bitmap);

    // Without the zone file every cell is black, and the output says why.
    const CliRun none = Cli({"zone-map", "--tx", "SU374616", "--rx", "SU555800", "--zones",
                             dir.Path("zones01.dem"), "--png", dir.Path("black.png")});
    ASSERT_EQ(none.status, 0) << none.err;
    EXPECT_NE(none.out.find("no zone file"), std::string::npos) << none.out;
    EXPECT_EQ(Png("black.png").pixel(5, 5), qRgb(0, 0, 0));
}

} // namespace
} // namespace kestrova::cli
