// CSRTM: which tiles it reads, keeps and evicts, the cells it gives up on,
// and stores that share their tiles between threads.
#include "TileWriter.h"
#include "terrain/SRTM.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

namespace kestrova {
namespace {

using test::Pattern;
using test::TempDir;
using test::WriteTile;

// Tiles n00e000 .. n00e009, tile k holding k + 1 everywhere.
class TenCells : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<TempDir>();
        for (int k = 0; k < 10; ++k)
            WriteTile(dir->Path("n00e00" + std::to_string(k) + ".hgt"), 1201,
                      [k](int, int) { return k + 1; });
    }
    static void TearDownTestSuite() { dir.reset(); }
    static std::unique_ptr<TempDir> dir;
};
std::unique_ptr<TempDir> TenCells::dir;

TEST_F(TenCells, NineCellsInTurnStayCachedInNineTiles) {
    auto library = std::make_shared<CTileLibrary>();
    CSRTM store(CSRTM::kTilesPerStore, dir->Dir(), library);
    for (int round = 0; round < 5; ++round)
        for (int k = 0; k < 9; ++k)
            ASSERT_EQ(store.GetHeight(0.5, k + 0.5, false), k + 1);
    EXPECT_EQ(library->Reads(), 9);
}

TEST_F(TenCells, TenCellsInTurnReloadOnEveryVisitAfterTheFirstNine) {
    auto library = std::make_shared<CTileLibrary>();
    CSRTM store(CSRTM::kTilesPerStore, dir->Dir(), library);
    for (int round = 0; round < 3; ++round)
        for (int k = 0; k < 10; ++k)
            ASSERT_EQ(store.GetHeight(0.5, k + 0.5, false), k + 1);
    EXPECT_EQ(library->Reads(), 30);
}

TEST_F(TenCells, TheLeastUsedTileIsEvicted) {
    auto library = std::make_shared<CTileLibrary>();
    CSRTM store(CSRTM::kTilesPerStore, dir->Dir(), library);
    for (int k = 0; k < 9; ++k)
        store.GetHeight(0.5, k + 0.5, false);
    for (int i = 0; i < 20; ++i)
        store.GetHeight(0.5, 0.5, false); // cell 0: the oldest, but now the most used
    store.GetHeight(0.5, 9.5, false);     // evicts cell 1, the least used
    EXPECT_EQ(library->Reads(), 10);
    store.GetHeight(0.5, 0.5, false);
    EXPECT_EQ(library->Reads(), 10);
    store.GetHeight(0.5, 1.5, false);
    EXPECT_EQ(library->Reads(), 11);
}

TEST_F(TenCells, AMissingCellIsVoidAndNotSearchedAgain) {
    TempDir local;
    WriteTile(local.Path("n00e000.hgt"), 1201, [](int, int) { return 7; });
    auto library = std::make_shared<CTileLibrary>();
    CSRTM store(CSRTM::kTilesPerStore, local.Dir(), library);
    EXPECT_EQ(store.GetHeight(0.5, 1.5, false), -32767);
    EXPECT_FALSE(store.IsAvailable(0.5, 1.5));
    EXPECT_EQ(library->Reads(), 1);
    // The file appearing later changes nothing for this store.
    WriteTile(local.Path("n00e001.hgt"), 1201, [](int, int) { return 8; });
    EXPECT_EQ(store.GetHeight(0.5, 1.5, true), -32767);
    EXPECT_EQ(library->Reads(), 1);
    EXPECT_EQ(store.GetHeight(0.5, 0.5, false), 7);
}

TEST_F(TenCells, PositionsOffTheGlobeAreVoid) {
    CSRTM store(CSRTM::kTilesPerStore, dir->Dir());
    for (const auto& [lat, lon] : {std::pair{90.0, 0.5},
                                   {0.5, 180.0},
                                   {-90.5, 0.5},
                                   {0.5, -180.5},
                                   {std::nan(""), 0.5},
                                   {0.5, INFINITY}})
        EXPECT_EQ(store.GetHeight(lat, lon, false), -32767) << lat << " " << lon;
    EXPECT_EQ(store.GetHeight(0.5, 0.5, false), 1);
}

TEST_F(TenCells, ACellIsNamedLikeItsTile) {
    // Just south of the equator the position is in s01e000, which is
    // missing; that must not mark n00e000 as unavailable.
    CSRTM store(CSRTM::kTilesPerStore, dir->Dir());
    // Just below 90 N and 180 E, lat + 90 and lon + 180 round up to 180
    // and 360, one past the last cell.
    EXPECT_EQ(store.GetHeight(std::nextafter(90.0, 0.0), 0.5, false), -32767);
    EXPECT_EQ(store.GetHeight(0.5, std::nextafter(180.0, 0.0), true), -32767);
    EXPECT_FALSE(store.IsAvailable(89.5, 0.5)); // the cells those positions are in
    EXPECT_FALSE(store.IsAvailable(0.5, 179.5));
    EXPECT_EQ(store.GetHeight(-1e-17, 0.5, false), -32767);
    EXPECT_EQ(store.GetHeight(0.5, 0.5, false), 1);
    EXPECT_TRUE(store.IsAvailable(0.5, 0.5));
}

TEST_F(TenCells, StoresWithoutTilesGiveVoid) {
    for (int count : {0, -3}) {
        CSRTM store(count, dir->Dir());
        EXPECT_EQ(store.GetHeight(0.5, 0.5, false), -32767);
        EXPECT_EQ(store.GetHeight(0.5, 0.5, true), -32767);
        EXPECT_TRUE(store.IsAvailable(0.5, 0.5));
    }
}

TEST(StoreResolution, ADirectoryMayMixOneAndThreeArcSecondTiles) {
    TempDir dir;
    WriteTile(dir.Path("n51w002.hgt"), 3601, Pattern);
    WriteTile(dir.Path("n51w001.hgt"), 1201, Pattern);
    CSRTM store(CSRTM::kTilesPerStore, dir.Dir());
    const double s1 = 1.0 / 3600;
    const double s3 = 1.0 / 1200;
    EXPECT_EQ(store.GetHeight(51.0 + 10.5 * s1, -2.0 + 20.5 * s1, false), Pattern(3590, 20));
    EXPECT_EQ(store.GetHeight(51.0 + 10.5 * s3, -1.0 + 20.5 * s3, false), Pattern(1190, 20));
}

TEST(StoreThreads, StoresSharingALibraryReadEachTileOnce) {
    TempDir dir;
    WriteTile(dir.Path("n51w002.hgt"), 1201, Pattern);
    WriteTile(dir.Path("n51w001.hgt"), 3601, Pattern);
    auto library = std::make_shared<CTileLibrary>();
    // One store per thread; both live until both walks are done.
    CSRTM mine(CSRTM::kTilesPerStore, dir.Dir(), library);
    CSRTM theirs(CSRTM::kTilesPerStore, dir.Dir(), library);
    auto walk = [](CSRTM& store, std::vector<int>& heights) {
        for (int i = 0; i < 20000; ++i)
            heights.push_back(store.GetHeight(51.1 + i * 3.9e-5, -1.9 + i * 7.3e-5, i % 2 == 0));
    };
    std::vector<int> first;
    std::vector<int> second;
    std::thread worker(walk, std::ref(theirs), std::ref(second));
    walk(mine, first);
    worker.join();
    EXPECT_EQ(first, second);
    EXPECT_EQ(library->Reads(), 2);

    std::vector<int> alone;
    CSRTM store(CSRTM::kTilesPerStore, dir.Dir());
    walk(store, alone);
    EXPECT_EQ(first, alone);
}

TEST(StorePosition, NormalisePositionFoldsOverThePoles) {
    struct Case {
        double lat, lon, latOut, lonOut;
        bool south;
    };
    const Case cases[] = {
        {95, 10, 85, -170, false},    {-95, 10, -85, -170, true},
        {51, 200, 51, -160, false},   {51, -540, 51, -180, false},
        {51, 180, 51, 180, false},    {90, 0, 90, 0, false},
        {51, 3600.5, 51, 0.5, false}, {51, -1e12, 51, std::fmod(-1e12, 360.0) + 360, false},
    };
    for (const Case& c : cases) {
        double lat = c.lat;
        double lon = c.lon;
        EXPECT_EQ(CSRTM::NormalisePosition(lat, lon), c.south) << c.lat << " " << c.lon;
        EXPECT_DOUBLE_EQ(lat, c.latOut) << c.lat << " " << c.lon;
        EXPECT_DOUBLE_EQ(lon, c.lonOut) << c.lat << " " << c.lon;
    }
    // Infinite or NaN input comes back (not a loop for ever) and stays unusable.
    double lat = 10;
    double lon = INFINITY;
    CSRTM::NormalisePosition(lat, lon);
    EXPECT_TRUE(std::isnan(lon));
    lat = INFINITY;
    lon = 0;
    CSRTM::NormalisePosition(lat, lon);
    EXPECT_FALSE(std::isfinite(lat));
}

} // namespace
} // namespace kestrova
