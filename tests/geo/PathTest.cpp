#include "geo/Path.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

constexpr double kKmTol = 1e-6;
constexpr double kDegTol = 1e-9;

// Ranges and bearings on the 6371 km sphere, computed independently with the
// haversine formula and the atan2 form of the initial bearing.
TEST(Path, RangeAndBearing) {
    struct Case {
        const char* name;
        double lat1, lon1, lat2, lon2;
        double rangeKm, bearingDeg;
    } cases[] = {
        {"London to Paris", 51.5074, -0.1278, 48.8566, 2.3522, 343.55606034104153,
         148.11561687105336},
        {"Paris to London", 48.8566, 2.3522, 51.5074, -0.1278, 343.55606034104153,
         330.02109285606355},
        {"Sydney to Wellington", -33.8688, 151.2093, -41.2865, 174.7762, 2225.754757103062,
         118.63353395709458},
        {"east along 51.5 N", 51.5, 0.0, 51.5, 1.0, 69.21993124630184, 89.60869207221799},
        {"across the date line", 0.0, 179.0, 0.0, -179.0, 222.38985328911653, 90.0},
        {"back across the date line", 0.0, -179.0, 0.0, 179.0, 222.38985328911653, 270.0},
        {"due south", 51.0, -1.0, 50.0, -1.0, 111.19492664455873, 180.0},
        {"due north", 50.0, -1.0, 51.0, -1.0, 111.19492664455873, 0.0},
        {"one point", 51.0, -1.0, 51.0, -1.0, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPath path;
        EXPECT_FALSE(path.IsValid());
        path.SetPath(c.lat1, c.lon1, c.lat2, c.lon2);
        EXPECT_TRUE(path.IsValid());
        double range = -1;
        double bearing = -1;
        path.GetRangeBearing(range, bearing);
        EXPECT_NEAR(range, c.rangeKm, kKmTol);
        EXPECT_NEAR(bearing, c.bearingDeg, 1e-9);
    }
}

TEST(Path, EastAlongAParallelStartsNorthOfEast) {
    CPath path;
    double range = 0;
    double bearing = 0;
    path.SetPath(CLocator(51.5, 0.0), CLocator(51.5, 1.0));
    path.GetRangeBearing(range, bearing);
    EXPECT_GT(bearing, 89.0);
    EXPECT_LT(bearing, 90.0);
    path.SetPath(CLocator(51.5, 1.0), CLocator(51.5, 0.0));
    path.GetRangeBearing(range, bearing);
    EXPECT_GT(bearing, 270.0);
    EXPECT_LT(bearing, 271.0);
}

TEST(Path, PointsAlongThePathRunFromStartToEnd) {
    struct Case {
        double lat1, lon1, lat2, lon2;
    } cases[] = {{51.5074, -0.1278, 48.8566, 2.3522},
                 {-33.8688, 151.2093, -41.2865, 174.7762},
                 {50.0, -1.0, 51.0, -1.0},
                 {57.7, 11.97, 44.27, -71.3}};
    for (const Case& c : cases) {
        CPath path;
        path.SetPath(c.lat1, c.lon1, c.lat2, c.lon2);
        double range = 0;
        double bearing = 0;
        path.GetRangeBearing(range, bearing);
        double lat = 0;
        double lon = 0;
        path.PointAtRange(0.0, lat, lon);
        EXPECT_NEAR(lat, c.lat1, kDegTol);
        EXPECT_NEAR(lon, c.lon1, kDegTol);
        path.PointAtRange(range, lat, lon);
        EXPECT_NEAR(lat, c.lat2, 1e-7);
        EXPECT_NEAR(lon, c.lon2, 1e-7);
        // Every point is as far from the start as asked.
        CPath part;
        part.SetPath(c.lat1, c.lon1, 0.0, 0.0);
        path.PointAtRange(range / 3, lat, lon);
        part.SetPath(c.lat1, c.lon1, lat, lon);
        double partRange = 0;
        part.GetRangeBearing(partRange, bearing);
        EXPECT_NEAR(partRange, range / 3, kKmTol);
    }
}

TEST(Path, WalksEastAcrossTheDateLine) {
    CPath path;
    path.SetPath(0.0, 179.0, 0.0, -179.0);
    double lat = 0;
    double lon = 0;
    path.PointAtRange(222.38985328911653 / 2, lat, lon);
    EXPECT_NEAR(lat, 0.0, kDegTol);
    EXPECT_NEAR(lon, 180.0, 1e-9); // not wrapped
    path.PointAtRange(222.38985328911653, lat, lon);
    EXPECT_NEAR(lon, 181.0, 1e-9);
}

// A range and bearing across the date line ends on the globe, on the far
// side of it, and the path between them is the short one across the line
// (its range on the path's sphere, 0.11 % smaller than the WGS84 axis one).
TEST(Path, EndPointAcrossTheDateLine) {
    struct Case {
        double lat, lon, bearing, expectedLon;
    } const cases[] = {
        {51.5, -179.99, 270.0, 179.8657},
        {-17.8, 179.95, 90.0, -179.9557},
        {0.0, 180.0, 90.0, -179.9102},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lon);
        const CLocator end = EndPointFromRangeBearing(CLocator(c.lat, c.lon), 10.0, c.bearing);
        ASSERT_TRUE(end.IsValid());
        EXPECT_NEAR(end.GetLongitude(), c.expectedLon, 1e-4);
        CPath back;
        back.SetPath(c.lat, c.lon, end.GetLatitude(), end.GetLongitude());
        double range = 0;
        double bearing = 0;
        back.GetRangeBearing(range, bearing);
        EXPECT_NEAR(range, 10.0, 0.02);
    }
}

TEST(Path, SetStartMovesTheOriginOfPointAt) {
    CPath path;
    path.SetPath(51.0, -1.0, 52.0, 0.0);
    path.SetStart(CLocator(-20.0, 30.0));
    double lat = 0;
    double lon = 0;
    path.PointAt(90.0, 0.0, lat, lon);
    EXPECT_NEAR(lat, -20.0, kDegTol);
    EXPECT_NEAR(lon, 30.0, kDegTol);
    path.PointAt(0.0, 111.19492664455873, lat, lon);
    EXPECT_NEAR(lat, -19.0, 1e-9);
}

TEST(Path, AntipodesAndRoundingNeverGiveNaN) {
    CPath path;
    double range = 0;
    double bearing = 0;
    path.SetPath(10.0, 20.0, -10.0, -160.0);
    path.GetRangeBearing(range, bearing);
    EXPECT_NEAR(range, 6371.0 * 3.141592653589793, 1e-3); // acos is ill-conditioned there
    path.SetPath(51.123456789, -1.987654321, 51.123456789, -1.987654321);
    path.GetRangeBearing(range, bearing);
    EXPECT_EQ(range, 0.0);
    EXPECT_EQ(bearing, 0.0);
}

} // namespace
} // namespace kestrova
