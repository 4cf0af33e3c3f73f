#include "propagation/Refractivity.h"

#include "MapFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace kestrova {
namespace {

using testing::Grid05;
using testing::Grid15;
using testing::N0NodeId;
using testing::NodeId;
using testing::TempDir;

constexpr double kTol = 1e-9;
// On a grid node the blend weighs the node R, its northern and eastern
// neighbours R - step each and the north-eastern one 0 (R = step × √2):
// R / (3R - 2 step) and (R - step) / (3R - 2 step).
constexpr double kNodeWeight = 0.6306019374818707;
constexpr double kSideWeight = 0.18469903125906464;
constexpr double kUntouched = 123.456;

// The 1.5° layout as distributed: the last column repeats the first.
double RepeatingColumns(int row, int col) {
    return NodeId(row, col % 240);
}

class Maps : public ::testing::Test {
protected:
    TempDir dir;
    CRefractivity maps{{dir.String()}};
};

double Surface(const CRefractivity& maps, double lat, double lon, bool interpolate) {
    double value = kUntouched;
    EXPECT_TRUE(maps.GetSurfaceDuctOccurrence(lat, lon, interpolate, value)) << lat << " " << lon;
    return value;
}

double N0(const CRefractivity& maps, double lat, double lon, bool interpolate) {
    double value = kUntouched;
    EXPECT_TRUE(maps.GetN0(lat, lon, interpolate, value)) << lat << " " << lon;
    return value;
}

// Node values 1000 × row + column name the node a look-up returned.
TEST_F(Maps, NearestNodeOnTheGrids) {
    dir.Write("S_OCCUR.TXT", Grid15(NodeId));
    dir.Write("n0.txt", Grid05(N0NodeId));
    struct Case {
        const char* name;
        double lat, lon;
        bool halfDegree;
        double node;
    } cases[] = {
        {"north pole", 90, 0, false, NodeId(0, 0)},
        {"south pole", -90, 0, false, NodeId(120, 0)},
        {"51.2 N rounds to row 51 N", 51.2, 0.7, false, NodeId(26, 0)},
        {"0.8 E rounds to the 1.5 E column", 51.2, 0.8, false, NodeId(26, 1)},
        {"10 W is read at 350 E", 0, -10, false, NodeId(60, 233)},
        {"359.9 E is the last column", 0, 359.9, false, NodeId(60, 240)},
        {"one past the last column wraps", 0, 361, false, NodeId(60, 1)},
        {"0.5 grid first node, 83 N 180 W", 83, -180, true, N0NodeId(0, 0)},
        {"0.5 grid, 51.3 N 1.4 W", 51.3, -1.4, true, N0NodeId(63, 357)},
        {"0.5 grid, 179.8 E wraps to 180 W", 0, 179.8, true, N0NodeId(166, 0)},
        {"0.5 grid south pole", -90, 0, true, N0NodeId(346, 360)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.halfDegree ? N0(maps, c.lat, c.lon, false) : Surface(maps, c.lat, c.lon, false),
                  c.node);
    }
}

TEST_F(Maps, LookupsOutsideTheGridFail) {
    dir.Write("S_OCCUR.TXT", Grid15(NodeId));
    dir.Write("n0.txt", Grid05(N0NodeId));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double lat, lon;
        bool halfDegree, interpolate;
    } cases[] = {
        {-91, 0, false, false}, {0, 363, false, false}, {0, -400, false, true},
        {0, 1000, false, true}, {84, 0, true, false},   {nan, 0, false, false},
        {0, nan, false, true},  {inf, 0, true, true},   {1e300, 1e300, true, false},
    };
    for (const Case& c : cases) {
        double value = kUntouched;
        const bool found = c.halfDegree
                               ? maps.GetN0(c.lat, c.lon, c.interpolate, value)
                               : maps.GetSurfaceDuctOccurrence(c.lat, c.lon, c.interpolate, value);
        EXPECT_FALSE(found) << c.lat << " " << c.lon << " interpolate " << c.interpolate;
        EXPECT_EQ(value, kUntouched);
    }
}

TEST_F(Maps, InterpolatedOnANodeWeighsItsNorthernAndEasternNeighbours) {
    dir.Write("S_OCCUR.TXT", Grid15(NodeId));
    dir.Write("n0.txt", Grid05(N0NodeId));
    // 51 N 3 E: row 26, column 2 of the 1.5° grid.
    EXPECT_NEAR(Surface(maps, 51, 3, true),
                kNodeWeight * NodeId(26, 2) + kSideWeight * (NodeId(25, 2) + NodeId(26, 3)), kTol);
    // 51.5 N 1.5 W: row 63, column 357 of the 0.5° grid.
    EXPECT_NEAR(N0(maps, 51.5, -1.5, true),
                kNodeWeight * N0NodeId(63, 357) +
                    kSideWeight * (N0NodeId(62, 357) + N0NodeId(63, 358)),
                kTol);
}

TEST_F(Maps, InterpolatedBesideANodeWeighsByDistance) {
    dir.Write("S_OCCUR.TXT", Grid15(NodeId));
    dir.Write("n0.txt", Grid05(N0NodeId));
    // 51.3 N 3.6 E: corners 52.5/51 N, 3/4.5 E at distances 1.342, 1.5,
    // 0.671 and 0.949 from R = 2.121 (computed by hand).
    EXPECT_NEAR(Surface(maps, 51.3, 3.6, true), 2.5654296634225153, kTol);
    // 0.2 N 179.8 E: the eastern corners are those of 180 W.
    EXPECT_NEAR(N0(maps, 0.2, 179.8, true), 316.58736905137772, kTol);
    EXPECT_NEAR(N0(maps, 0.2, -180.2, true), 316.58736905137772, kTol);
    // 180 E is 180 W: its western column is the first one.
    EXPECT_NEAR(N0(maps, 0.2, 180, true), N0(maps, 0.2, -180, true), kTol);
}

TEST_F(Maps, InterpolationWrapsAtZeroAnd360Degrees) {
    dir.Write("S_OCCUR.TXT", Grid15(RepeatingColumns));
    const double westOfZero = Surface(maps, 51.3, -0.6, true);
    EXPECT_NEAR(westOfZero, 2.5758396866296345, kTol);
    EXPECT_NEAR(Surface(maps, 51.3, 359.4, true), westOfZero, kTol);
    // From 360 E the western column is the last one and the eastern one is
    // taken across the wrap.
    for (double lon : {0.0, 0.5, 1.4}) {
        SCOPED_TRACE(lon);
        EXPECT_NEAR(Surface(maps, 51.3, lon + 360.0, true), Surface(maps, 51.3, lon, true), kTol);
    }
}

// At and north of the grid's first row the corners stay at their own
// latitudes: 90 N is the first row's node, and north of 83 N the 0.5° grid
// gives its 83 N values.
TEST_F(Maps, InterpolationAtTheNorthernEdge) {
    dir.Write("S_OCCUR.TXT", Grid15(NodeId));
    dir.Write("n0.txt", Grid05(N0NodeId));
    EXPECT_NEAR(Surface(maps, 90, 3, true),
                kNodeWeight * NodeId(0, 2) + kSideWeight * (NodeId(0, 3) + NodeId(1, 2)), kTol);
    const double at83 = N0(maps, 83, 0, true);
    EXPECT_NEAR(
        at83, kNodeWeight * N0NodeId(0, 360) + kSideWeight * (N0NodeId(0, 361) + N0NodeId(1, 360)),
        kTol);
    EXPECT_NEAR(N0(maps, 85, 0, true), at83, kTol);
    EXPECT_NEAR(Surface(maps, -90, 3, true),
                kNodeWeight * NodeId(120, 2) + kSideWeight * (NodeId(119, 2) + NodeId(120, 3)),
                kTol);
}

TEST_F(Maps, NodesWithoutData) {
    // 51 N 3 E is row 26, column 2; its neighbours north (25, 2), east
    // (26, 3) and north-east (25, 3).
    const auto noDataAt = [](std::vector<std::pair<int, int>> nodes, double marker) {
        return [nodes, marker](int row, int col) {
            for (const auto& node : nodes)
                if (node.first == row && node.second == col) return marker;
            return NodeId(row, col);
        };
    };
    dir.Write("S_OCCUR.TXT", Grid15(noDataAt({{26, 2}}, -9999)));
    dir.Write("E_OCCUR.TXT", Grid15(noDataAt({{25, 2}, {26, 2}, {25, 3}, {26, 3}}, -10000)));
    dir.Write("n0.txt", Grid05([&](int row, int col) {
                  return 300 + noDataAt({{63, 357}, {62, 357}, {63, 358}}, -10299)(row, col);
              }));
    dir.Write("dn.txt", Grid05(noDataAt({{63, 357}}, -9998.5)));

    // A corner without data drops out of the blend.
    EXPECT_NEAR(Surface(maps, 51, 3, true), (NodeId(25, 2) + NodeId(26, 3)) / 2.0, kTol);
    // A node without data is no value in nearest-node mode either.
    double value = kUntouched;
    EXPECT_FALSE(maps.GetSurfaceDuctOccurrence(51, 3, false, value));
    // Four corners without data (-9999 or less): no value.
    EXPECT_FALSE(maps.GetElevatedDuctOccurrence(51, 3, true, value));
    EXPECT_FALSE(maps.GetElevatedDuctOccurrence(51.3, 3.6, true, value));
    // Only the north-eastern corner, of weight 0, has data: no value (not 0/0).
    EXPECT_FALSE(maps.GetN0(51.5, -1.5, true, value));
    EXPECT_EQ(value, kUntouched);
    // Just above -9999 is data.
    double deltaN = 0;
    ASSERT_TRUE(maps.GetDeltaN(51.5, -1.5, false, deltaN));
    EXPECT_EQ(deltaN, -9998.5);
}

// A value no map of its quantity can hold is no data at its node, like
// -9999: it drops out of the blend, and alone it gives no value.
TEST_F(Maps, ImplausibleNodesAreNodesWithoutData) {
    const auto with = [](double bad, double base) {
        return [bad, base](int row, int col) {
            return row == 63 && col == 357 ? bad : base + NodeId(row, col);
        };
    };
    dir.Write("n0.txt", Grid05(with(1e308, 300)));
    dir.Write("dn.txt", Grid05(with(200, 40))); // k would be negative
    dir.Write("S_OCCUR.TXT", Grid15([](int row, int col) {
                  return row == 26 && col == 2 ? 150.0 : NodeId(row, col); // more than 100 %
              }));
    double value = kUntouched;
    EXPECT_FALSE(maps.GetN0(51.5, -1.5, false, value));
    EXPECT_FALSE(maps.GetDeltaN(51.5, -1.5, false, value));
    EXPECT_FALSE(maps.GetSurfaceDuctOccurrence(51, 3, false, value));
    EXPECT_EQ(value, kUntouched);
    // Blended: the node's neighbours carry the value, weighted as before.
    EXPECT_NEAR(N0(maps, 51.5, -1.5, true), (N0NodeId(62, 357) + N0NodeId(63, 358)) / 2.0, kTol);
    EXPECT_NEAR(Surface(maps, 51, 3, true), (NodeId(25, 2) + NodeId(26, 3)) / 2.0, kTol);
}

TEST(GradientMapChoice, LargestPercentageNotAboveTheRequest) {
    struct Case {
        double percent;
        CRefractivity::MapIndex map;
        double value; // the constant the test writes into that map
    } cases[] = {
        {100, CRefractivity::DNDZ_90, -90},   {90, CRefractivity::DNDZ_90, -90},
        {89, CRefractivity::DNDZ_50, -50},    {50, CRefractivity::DNDZ_50, -50},
        {49.99, CRefractivity::DNDZ_10, -10}, {10, CRefractivity::DNDZ_10, -10},
        {1, CRefractivity::DNDZ_01, -1},      {0.01, CRefractivity::DNDZ_01, -1},
        {0.005, CRefractivity::DNDZ_90, -90}, {0, CRefractivity::DNDZ_90, -90},
    };
    TempDir dir;
    dir.Write("DNDZ_90.TXT", Grid15([](int, int) { return -90.0; }));
    dir.Write("DNDZ_50.TXT", Grid15([](int, int) { return -50.0; }));
    dir.Write("DNDZ_10.TXT", Grid15([](int, int) { return -10.0; }));
    dir.Write("DNDZ_01.TXT", Grid15([](int, int) { return -1.0; }));
    const CRefractivity maps({dir.String()});
    for (const Case& c : cases) {
        EXPECT_EQ(CRefractivity::ChooseGradientMap(c.percent), c.map) << c.percent;
        double dndz = 0;
        EXPECT_TRUE(maps.GetDNDZ(c.percent, 51.3, -1.2, dndz)) << c.percent;
        EXPECT_NEAR(dndz, c.value, kTol) << c.percent;
    }
}

TEST(GradientMap, IsAlwaysInterpolated) {
    TempDir dir;
    dir.Write("DNDZ_50.TXT", Grid15(NodeId));
    const CRefractivity maps({dir.String()});
    double dndz = 0;
    ASSERT_TRUE(maps.GetDNDZ(50, 51.3, 3.6, dndz));
    EXPECT_NEAR(dndz, 2.5654296634225153, kTol);
    EXPECT_FALSE(maps.GetDNDZ(10, 51.3, 3.6, dndz)); // DNDZ_10.TXT is absent
}

TEST_F(Maps, MissingOrBadFilesFailUntilFixed) {
    double deltaN = kUntouched;
    EXPECT_FALSE(maps.GetDeltaN(51, 0, true, deltaN));
    EXPECT_EQ(deltaN, kUntouched);
    // A short file is no map: nothing half-loaded is looked up.
    std::string text = Grid05(NodeId);
    dir.Write("dn.txt", text.substr(0, text.size() / 2));
    EXPECT_FALSE(maps.GetDeltaN(51, 0, false, deltaN));
    dir.Write("dn.txt", "garbage\r\n");
    EXPECT_FALSE(maps.GetDeltaN(51, 0, false, deltaN));
    EXPECT_EQ(deltaN, kUntouched);
    // Every look-up tries again, so a file put in place later is found.
    dir.Write("dn.txt", text);
    EXPECT_TRUE(maps.GetDeltaN(51.5, -1.5, false, deltaN));
    EXPECT_EQ(deltaN, NodeId(63, 357));
}

// Once loaded, a map stays: removing its file changes nothing.
TEST_F(Maps, LoadedMapsAreKept) {
    dir.Write("S_OCCUR.TXT", Grid15(NodeId));
    EXPECT_EQ(Surface(maps, 90, 0, false), 0.0);
    std::filesystem::remove(dir.Path() / "S_OCCUR.TXT");
    EXPECT_EQ(Surface(maps, -90, 0, false), NodeId(120, 0));
}

TEST_F(Maps, FileNamesInAnyLetterCaseCrlfAndCommas) {
    dir.Write("s_occur.txt", testing::GridText(121, 241, NodeId, ",", "\r\n"));
    dir.Write("N0.TXT", testing::GridText(347, 720, N0NodeId, ", ", "\r\n"));
    dir.Write("e_Occur.Txt", Grid15(NodeId));
    EXPECT_EQ(Surface(maps, 51.2, 0.8, false), NodeId(26, 1));
    EXPECT_EQ(N0(maps, 51.3, -1.4, false), N0NodeId(63, 357));
    double betaE = 0;
    EXPECT_TRUE(maps.GetElevatedDuctOccurrence(51.2, 0.8, false, betaE));
}

// Without n0.txt and dn.txt, the 1.5° maps N050.TXT and DN50.TXT of
// ITU-R P.452 (0° to 360° E) stand in; the 0.5° maps win where present.
TEST_F(Maps, CurrentP452MapsStandInForTheHalfDegreeMaps) {
    dir.Write("N050.TXT", Grid15(N0NodeId));
    dir.Write("dn50.txt", Grid15([](int row, int col) { return 40 + NodeId(row, col); }));
    EXPECT_EQ(N0(maps, 51.2, -10, false), N0NodeId(26, 233));
    double deltaN = 0;
    ASSERT_TRUE(maps.GetDeltaN(51, 3, true, deltaN));
    EXPECT_NEAR(deltaN,
                40 + kNodeWeight * NodeId(26, 2) + kSideWeight * (NodeId(25, 2) + NodeId(26, 3)),
                kTol);

    TempDir both;
    both.Write("N050.TXT", Grid15(N0NodeId));
    both.Write("n0.txt", Grid05([](int, int) { return 321.0; }));
    const CRefractivity preferring({both.String()});
    EXPECT_EQ(N0(preferring, 51.2, -10, false), 321.0);
}

TEST(MapSearch, DirectoriesInOrder) {
    TempDir first;
    TempDir second;
    second.Write("S_OCCUR.TXT", Grid15([](int, int) { return 2.0; }));
    const CRefractivity maps({first.String(), second.String()});
    EXPECT_EQ(Surface(maps, 0, 0, false), 2.0);

    first.Write("S_OCCUR.TXT", Grid15([](int, int) { return 1.0; }));
    const CRefractivity again({first.String(), second.String()});
    EXPECT_EQ(Surface(again, 0, 0, false), 1.0);
}

// One object shared by the threads of a coverage walk: the first look-ups
// race to load the map, and all of them see it whole.
TEST_F(Maps, ConcurrentFirstLookups) {
    dir.Write("n0.txt", Grid05(N0NodeId));
    std::vector<double> results(8, 0.0);
    std::vector<int> found(8, 0);
    {
        std::vector<std::jthread> threads;
        for (int i = 0; i < 8; ++i)
            threads.emplace_back([&, i] {
                double value = 0;
                found[i] = maps.GetN0(51.3, -1.4 + 0.5 * (i % 2), false, value);
                results[i] = value;
            });
    }
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(found[i]);
        EXPECT_EQ(results[i], N0NodeId(63, 357 + i % 2));
    }
}

TEST(LookupMap, UnloadedOrInconsistentDescriptorsFail) {
    MapFile map = CRefractivity::Descriptor(CRefractivity::S_OCCUR);
    double value = kUntouched;
    EXPECT_FALSE(CRefractivity::LookupMap(map, 0, 0, false, value));
    map.data.assign(10, 1.0); // fewer values than rows × cols
    EXPECT_FALSE(CRefractivity::LookupMap(map, 0, 0, true, value));
    EXPECT_EQ(value, kUntouched);
}

// A blend of nodes near the largest double would be infinite: no value, and
// the output left alone, while the nearest node is still found.
TEST(LookupMap, BlendThatWouldOverflowGivesNoValue) {
    MapFile map{50, "huge", -90, 45, 4, -180, 90, 4, {}};
    map.data.assign(16, 7e307);
    double value = kUntouched;
    EXPECT_FALSE(CRefractivity::LookupMap(map, 90, 0, true, value));
    EXPECT_EQ(value, kUntouched);
    EXPECT_TRUE(CRefractivity::LookupMap(map, 90, 0, false, value));
    EXPECT_EQ(value, 7e307);
}

} // namespace
} // namespace kestrova
