// The great-circle walk: every point within its bounds of PointAtRange's
// position, at the hard places (high latitudes, along meridians, across the
// date line and the prime meridian, at the longest steps), bounds narrow
// enough to be of use, and no points where the bounds cannot be kept.
#include "geo/PathWalk.h"
#include "propagation/engine/Terrain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace kestrova {
namespace {

// Room for the walk's points.
struct Track {
    explicit Track(int n) : lat(n), lon(n), latErr(n), lonErr(n) {}
    WalkPoints Points() { return {lat.data(), lon.data(), latErr.data(), lonErr.data()}; }
    std::vector<double> lat, lon, latErr, lonErr;
};

// Walks the path and checks every point against PointAtRange; returns the
// number of points walked (0 when the walk declined the path) and the
// largest share of a bound that a difference used.
int CheckWalk(const CPath& path, double& worst) {
    double range = 0;
    double bearing = 0;
    path.GetRangeBearing(range, bearing);
    // The spacing and count of the engine's coverage sampling.
    const auto [step, count] = ProfileSpacingFor(range, true);
    Track track(count);
    const int walked = WalkGreatCircle(path, step, count, track.Points());
    if (walked != 0) {
        EXPECT_EQ(walked, count);
    }
    for (int i = 0; i < walked; ++i) {
        double lat = 0;
        double lon = 0;
        path.PointAtRange(i * step, lat, lon);
        worst = std::max(worst, std::fabs(track.lat[i] - lat) / track.latErr[i]);
        worst = std::max(worst, std::fabs(track.lon[i] - lon) / track.lonErr[i]);
        EXPECT_LT(std::fabs(track.lat[i] - lat), track.latErr[i]) << "point " << i;
        EXPECT_LT(std::fabs(track.lon[i] - lon), track.lonErr[i]) << "point " << i;
        if (::testing::Test::HasFailure()) return walked;
    }
    return walked;
}

TEST(PathWalk, EveryPointLiesWithinItsBoundsAtTheHardPlaces) {
    struct Case {
        const char* name;
        double lat, lon; // the start, degrees
        double bearings[4];
        double rangeKm;
    } cases[] = {
        {"mid-latitude, all round", 51.35, -1.46, {0.0, 57.0, 181.0, 300.0}, 70.0},
        {"along meridians", 51.0, -1.0, {0.0, 180.0, 360.0 - 1e-9, 1e-9}, 70.0},
        {"across the prime meridian", 51.4, -0.3, {90.0, 270.0, 89.99, 45.0}, 60.0},
        {"across the date line", -17.8, 179.7, {90.0, 80.0, 100.0, 270.0}, 90.0},
        {"back across the date line", 65.1, -179.8, {270.0, 260.0, 280.0, 315.0}, 90.0},
        {"high north", 85.0, 20.0, {0.0, 45.0, 90.0, 135.0}, 70.0},
        {"high south", -86.0, -150.0, {180.0, 225.0, 270.0, 10.0}, 70.0},
        {"equator", 0.0, 0.0, {90.0, 0.0, 180.0, 45.0}, 200.0},
        {"short path", 44.5, -71.5, {33.0, 123.0, 213.0, 303.0}, 1.5},
        {"long steps (10 km)", 0.5, 10.0, {45.0, 135.0, 225.0, 315.0}, 2500.0},
    };
    for (const Case& c : cases) {
        for (double bearing : c.bearings) {
            SCOPED_TRACE(::testing::Message() << c.name << ", bearing " << bearing);
            const CLocator start(c.lat, c.lon);
            double lat2 = 0;
            double lon2 = 0;
            start.DestinationPoint(lat2, lon2, c.rangeKm, bearing);
            CPath path;
            path.SetPath(c.lat, c.lon, lat2, lon2);
            double worst = 0;
            EXPECT_GT(CheckWalk(path, worst), 0);
            // The bounds have room, but not so much as to be useless.
            EXPECT_LT(worst, 0.5);
        }
    }
}

TEST(PathWalk, RandomPathsStayWithinTheirBounds) {
    std::mt19937_64 random(452);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    double worst = 0;
    long walkedPoints = 0;
    for (int k = 0; k < 3000; ++k) {
        const double lat1 = -85.0 + 170.0 * unit(random);
        const double lon1 = -180.0 + 360.0 * unit(random);
        const double range = std::pow(10.0, -1.0 + 3.5 * unit(random));
        double lat2 = 0;
        double lon2 = 0;
        CLocator(lat1, lon1).DestinationPoint(lat2, lon2, range, 360.0 * unit(random));
        CPath path;
        path.SetPath(lat1, lon1, lat2, lon2);
        walkedPoints += CheckWalk(path, worst);
        if (HasFailure()) return;
    }
    EXPECT_GT(walkedPoints, 300000);
    EXPECT_LT(worst, 0.5);
}

// The bounds decide how often a look-up must fall back to PointAtRange: a
// point lies within its bounds of a cell edge with odds of about twice the
// bounds in cells. On a coverage map that must be rare, except along the
// transmitter's own meridian, where PointAt's longitude is least sure.
TEST(PathWalk, BoundsAreNarrowOnACoverageMap) {
    double odds[2] = {0, 0}; // off and on the meridian, in 3" cells
    long points[2] = {0, 0};
    for (int i = 0; i < 40; ++i)
        for (int j = 0; j < 40; ++j) {
            CPath path;
            path.SetPath(51.35, -1.46, 51.35 - 0.45 + i * 0.0225, -1.46 - 0.72 + j * 0.036);
            double range = 0;
            double bearing = 0;
            path.GetRangeBearing(range, bearing);
            if (range < 0.1) continue;
            const auto [step, count] = ProfileSpacingFor(range, true);
            Track track(count);
            ASSERT_EQ(WalkGreatCircle(path, step, count, track.Points()), count);
            const int meridian = j == 20;
            for (int k = 1; k < count; ++k) {
                EXPECT_LT(track.latErr[k] * 1200, 1e-6);
                odds[meridian] += 2 * (track.latErr[k] + track.lonErr[k]) * 1200;
                ++points[meridian];
            }
        }
    ASSERT_GT(points[0], 300000);
    EXPECT_LT(odds[0] / points[0], 0.0005);
    EXPECT_LT(odds[1] / points[1], 0.15);
}

TEST(PathWalk, DeclinesWhereItCannotKeepItsBounds) {
    struct Case {
        const char* name;
        double lat1, lon1, lat2, lon2;
        double stepKm;
        int count;
    } cases[] = {
        {"over the pole", 89.5, 0.0, 89.5, 180.0, 0.5, 200},
        {"within 1.15 degrees of a pole", 88.9, 10.0, 88.8, 12.0, 0.1, 100},
        {"steps of 19 km", 10.0, 10.0, 20.0, 20.0, 19.0, 50},
        {"half round the world", 0.0, 0.0, 0.0, 179.0, 17.0, 1100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPath path;
        path.SetPath(c.lat1, c.lon1, c.lat2, c.lon2);
        Track track(c.count);
        EXPECT_EQ(WalkGreatCircle(path, c.stepKm, c.count, track.Points()), 0);
    }
    CPath unset;
    Track track(10);
    EXPECT_EQ(WalkGreatCircle(unset, 0.1, 10, track.Points()), 0);
}

} // namespace
} // namespace kestrova
