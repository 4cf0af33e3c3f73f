// A calculation allocates nothing once the engine and the terrain tiles are
// in place: the coverage map runs one per cell on every core.
#include "propagation/engine/Terrain.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include "RealData.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
} // namespace

// A replacement pair of the global allocation functions, built on malloc.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
#pragma GCC diagnostic pop

namespace kestrova {
namespace {

TEST(EngineAllocation, NoHeapAllocationPerCalculation) {
    const std::string tiles = test::RealTileDirectory();
    if (tiles.empty()) GTEST_SKIP() << "SRTM3 tile n51w002.hgt not found (set KESTROVA_DATA)";
    CSRTM store(CSRTM::kTilesPerStore, tiles);
    CZONES zones("/nonexistent-kestrova/");
    const CLocator tx("51 21 8 N 1 27 51 W", FormatDMS); // a text too long for the string buffer
    const CLocator rx("IO91IO44", FormatMaidenhead);
    auto engine = std::make_unique<CTerrain>();
    const LinkInputs inputs;
    // Load the tiles with the same ends given as numbers (no texts to copy).
    const CLocator txNumbers(tx.GetLatitude(), tx.GetLongitude());
    const CLocator rxNumbers(rx.GetLatitude(), rx.GetLongitude());
    ASSERT_TRUE(engine->CalculateLink(store, zones, txNumbers, rxNumbers, true, inputs));
    std::array<RadialRecord, TerrainProfile::capacity> records{};
    int count = 0;

    counting = true;
    engine->CalculateLink(store, zones, tx, rx, true, inputs);
    engine->CalculateCoarse(store, zones, tx, rx, inputs);
    engine->CalculateRadial(store, zones, tx, rx, false, inputs, count, records);
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
}

} // namespace
} // namespace kestrova
