// The zone map the build places beside the executables (made by
// tools/zones from the GSHHG shorelines), at places anyone can check.
#include "geo/FileLocations.h"
#include "terrain/Zones.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(ZoneMap, PlacesAnyoneCanCheck) {
    const CZONES zones(ExecutableDirectory());
    if (!zones.IsUsable()) GTEST_SKIP() << zones.GetFileName() << " missing: zone map not built";
    struct Case {
        const char* place;
        double lat, lon;
        int zone;
    };
    const Case cases[] = {
        {"English Channel", 50.5, -1.5, 1},
        {"Liverpool Bay", 53.55, -3.6, 1},
        {"Oxford", 51.75, -1.26, 3},
        {"Brighton", 50.84, -0.14, 2},
        {"the Alps", 46.5, 9.0, 3},
        {"Sahara", 23.0, 10.0, 3},
        {"Kattegat", 57.3, 11.3, 1},
        {"Gothenburg", 57.70, 11.97, 2},
        {"mid-Atlantic", 30.0, -40.0, 1},
        {"South Pole", -89.99, 0.0, 3},
        // Lakes of 7800 km2 or more count as sea, and land near them as
        // coastal; smaller lakes are land.
        {"Lake Superior", 47.7, -87.5, 1},
        {"Caspian Sea", 42.0, 51.0, 1},
        {"Lake Victoria", -1.0, 33.0, 1},
        {"Lake Baikal", 53.5, 108.2, 1},
        {"Thunder Bay, on Lake Superior", 48.38, -89.25, 2},
        {"Lake Geneva (580 km2)", 46.45, 6.55, 3},
        {"Lake Vanern (5650 km2)", 58.9, 13.2, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zones.GetZone(c.lat, c.lon), c.zone) << c.place;
}

} // namespace
} // namespace kestrova
