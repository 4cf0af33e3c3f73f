// Maidenhead, decimal-degree and degrees-minutes-seconds texts of CLocator.
#include "geo/Locator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace kestrova {
namespace {

constexpr double kDegTol = 1e-9;

struct ParseCase {
    const char* text;
    int format;
    bool valid;
    double latitude;
    double longitude;
};

// Accepted texts with their positions, and rejected ones.
TEST(LocatorParse, WorkedExamplesAndRejections) {
    const ParseCase cases[] = {
        {"io91wm", FormatMaidenhead, true, 51.5228302228, -0.1210062211},
        {"IO91", FormatMaidenhead, true, 51.4811635561, -1.0376728877},
        // IO is filled to IO55LL55LL55.
        {"IO", FormatMaidenhead, true,
         50.0 + 5.0 + 11.0 / 24 + 5.0 / 240 + 11.0 / 5760 + 5.0 / 57600 + 0.5 / 1382400,
         -20.0 + 10.0 + 11 * 2.0 / 24 + 5 * 2.0 / 240 + 11 * 2.0 / 5760 + 5 * 2.0 / 57600 +
             1.0 / 1382400},
        {"IO91W", FormatMaidenhead, false, 0, 0},          // odd length
        {"IS91", FormatMaidenhead, false, 0, 0},           // latitude letter beyond R
        {"IO9AWM", FormatMaidenhead, false, 0, 0},         // letter where a digit belongs
        {"IO91WM55LL55AA", FormatMaidenhead, false, 0, 0}, // 14 characters
        {"", FormatMaidenhead, false, 0, 0},
        {"51.5 N 0.12 E", FormatDegrees, true, 51.5, 0.12},
        {"51.5N 0.12E", FormatDegrees, true, 51.5, 0.12},
        {"51.5 s 0.12 w", FormatDegrees, true, -51.5, -0.12},
        {"+51.5 N 0.12 E", FormatDegrees, true, 51.5, 0.12},
        {"51.5 N 0.12 X", FormatDegrees, false, 0, 0},
        {"-51.5 N 0.12 E", FormatDegrees, false, 0, 0},
        {"91 N 0 E", FormatDegrees, false, 0, 0},
        {"51.5 N 180.5 E", FormatDegrees, false, 0, 0},
        {"NAN N 0 E", FormatDegrees, false, 0, 0},
        {"51.5 N", FormatDegrees, false, 0, 0},
        {"51 15 27 N 0 7 30 W", FormatDMS, true, 51.2575, -0.125},
        {"51 N 0 W", FormatDMS, true, 51.0, 0.0},
        {"51 30 15 N 0 7 W", FormatDMS, true, 51.50416666666667, -7.0 / 60.0},
        {"33 52 8 s 151 12 33 e", FormatDMS, true, -(33 + 52 / 60.0 + 8 / 3600.0),
         151 + 12 / 60.0 + 33 / 3600.0},
        {"51 15 27 0 7 30 W", FormatDMS, false, 0, 0}, // no N or S
        {"51 15 27 N 0 7 30", FormatDMS, false, 0, 0}, // no E or W
        {"200 0 0 N 0 0 0 E", FormatDMS, false, 0, 0}, // off the globe
        {"SU374616", 7, false, 0, 0},                  // unknown format
        // Garbage after the last hemisphere letter or inside the numbers.
        {"51.5 N 0.12 W extra", FormatDegrees, false, 0, 0},
        {"51.5 N 0.12 E 7", FormatDegrees, false, 0, 0},
        {"7S6~", FormatDegrees, false, 0, 0}, // "~" is no east letter (a fuzzer's finding)
        {"51.5 N 0.12 W  ", FormatDegrees, true, 51.5, -0.12}, // trailing blanks
        {"25abcdefS", FormatDMS, false, 0, 0},
        {"51 N 1 W extra", FormatDMS, false, 0, 0}, // the E of "extra" is no hemisphere
        {"51 N 1 E W", FormatDMS, false, 0, 0},
        {"51 1x N 1 W", FormatDMS, false, 0, 0},
        {"51 N 1 2 3 4 W", FormatDMS, false, 0, 0}, // a fourth number
        {"51.5 N 0 W", FormatDMS, false, 0, 0},     // a fraction of whole degrees
        {"N 1 W", FormatDMS, false, 0, 0},          // no latitude
        {"51 N W", FormatDMS, false, 0, 0},         // no longitude
        {"51 N", FormatDMS, false, 0, 0},
        {"51 N 1 W \t", FormatDMS, true, 51.0, -1.0}, // trailing blanks
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\" format " + std::to_string(c.format));
        const CLocator location(c.text, c.format);
        ASSERT_EQ(location.IsValid(), c.valid);
        if (!c.valid) continue;
        EXPECT_NEAR(location.GetLatitude(), c.latitude, kDegTol);
        EXPECT_NEAR(location.GetLongitude(), c.longitude, kDegTol);
    }
}

TEST(LocatorParse, MaidenheadIsUpperCasedAndFilledTo12) {
    EXPECT_EQ(CLocator("io91wm", FormatMaidenhead).GetStoredText(), "IO91WM55LL55");
    EXPECT_EQ(CLocator("IO", FormatMaidenhead).GetStoredText(), "IO55LL55LL55");
    EXPECT_EQ(CLocator("51.5n 0.12e", FormatDegrees).GetStoredText(), "51.5N 0.12E");
}

TEST(LocatorParse, FailedParseKeepsConstructionDefaults) {
    const CLocator location("IS91", FormatMaidenhead);
    EXPECT_EQ(location.GetLatitude(), 0.0);
    EXPECT_EQ(location.GetLongitude(), 0.0);
}

struct FormatCase {
    double latitude;
    double longitude;
    int format;
    int precision;
    const char* expected;
};

TEST(LocatorFormat, TextsOfAPosition) {
    const FormatCase cases[] = {
        {51.5, -0.1, FormatMaidenhead, 12, "IO91WM80AA00"},
        {51.5, -0.1, FormatMaidenhead, 6, "IO91WM"},
        {51.5, -0.1, FormatMaidenhead, 0, "IO91WM80"},
        {51.5, -0.1, FormatMaidenhead, 7, "Invalid Length"},
        {-33.8688, 151.2093, FormatMaidenhead, 6, "QF56OD"},
        {51.5, -0.1, FormatDegrees, 7, "51.5000000 N   0.1000000 W"},
        {51.5, -0.1, FormatDegrees, 0, "51.5000000 N   0.1000000 W"},
        {-33.8688, 151.2093, FormatDegrees, 3, "33.869 S   151.209 E"},
        {51.2575, -0.125, FormatDMS, 3, "51 15 27.0 N   0 7 30.0 W"},
        {51.0 + 15 / 60.0 + 59.97 / 3600.0, 0.0, FormatDMS, 0, "51 15 60.0 N   0 0 0.0 E"},
        {-33.8688, 151.2093, FormatDMS, 0, "33 52 7.7 S   151 12 33.5 E"},
        {51.5, -0.1, 4, 0, "Invalid"},
        {51.5, -0.1, -1, 0, "Invalid"},
    };
    for (const FormatCase& c : cases) {
        CLocator location(c.latitude, c.longitude);
        EXPECT_EQ(location.GetText(c.format, c.precision), c.expected)
            << c.latitude << ", " << c.longitude << " format " << c.format << " precision "
            << c.precision;
    }
}

TEST(LocatorFormat, MaidenheadIsStoredAsText) {
    CLocator location(51.5, -0.1);
    location.GetMaidenhead(6);
    EXPECT_EQ(location.GetStoredText(), "IO91WM");
    location.GetMaidenhead(5);
    EXPECT_EQ(location.GetStoredText(), "Invalid Length");
}

TEST(LocatorNumbers, RangeCheckIsInclusiveAndValuesAreKept) {
    EXPECT_TRUE(CLocator(90.0, 180.0).IsValid());
    EXPECT_TRUE(CLocator(-90.0, -180.0).IsValid());
    const CLocator north(90.0001, 0.0);
    EXPECT_FALSE(north.IsValid());
    EXPECT_EQ(north.GetLatitude(), 90.0001);
    EXPECT_FALSE(CLocator(0.0, 180.5).IsValid());
    EXPECT_FALSE(CLocator(std::nan(""), 0.0).IsValid());

    CLocator location("IO91", FormatMaidenhead);
    EXPECT_EQ(location.SetLatLon(10.0, 200.0), 0);
    EXPECT_FALSE(location.IsValid());
    EXPECT_EQ(location.GetLongitude(), 200.0);
    EXPECT_EQ(location.GetFormat(), -1);
    EXPECT_TRUE(location.GetStoredText().empty());
    EXPECT_EQ(location.SetLatLon(10.0, 20.0), 1);
    EXPECT_TRUE(location.IsValid());
}

TEST(LocatorDestination, PointsAlongAGreatCircleOfTheWgs84Radius) {
    // Expected values from the spherical direct problem on radius 6378.137 km,
    // solved with the atan2 form of the longitude equation.
    struct Case {
        double lat, lon, range, bearing, latOut, lonOut;
    } cases[] = {
        {51.5, 0.0, 100.0, 45.0, 52.130702556960685, 1.0347815215691614},
        {51.5, 0.0, 100.0, 250.0, 51.18500462306373, -1.346797942843126},
        {51.5, 0.0, 0.0, 123.0, 51.5, 0.0},
    };
    for (const Case& c : cases) {
        double lat = 0;
        double lon = 0;
        ASSERT_TRUE(CLocator(c.lat, c.lon).DestinationPoint(lat, lon, c.range, c.bearing));
        EXPECT_NEAR(lat, c.latOut, 1e-9) << c.bearing;
        EXPECT_NEAR(lon, c.lonOut, 1e-9) << c.bearing;
    }
    double lat = 1;
    double lon = 1;
    EXPECT_FALSE(CLocator(95.0, 0.0).DestinationPoint(lat, lon, 10.0, 0.0));
    EXPECT_EQ(lat, 0.0);
    EXPECT_EQ(lon, 0.0);
    // From a pole every longitude is the same point: no NaN.
    ASSERT_TRUE(CLocator(90.0, 0.0).DestinationPoint(lat, lon, 100.0, 180.0));
    EXPECT_FALSE(std::isnan(lon));
}

// Text -> position -> text over random positions worldwide.
TEST(LocatorRoundTrip, RandomPositionsWorldwide) {
    std::mt19937 random(20261210);
    std::uniform_real_distribution<double> latitude(-89.9, 89.9);
    std::uniform_real_distribution<double> longitude(-179.9, 179.9);
    for (int i = 0; i < 2000; ++i) {
        CLocator position(latitude(random), longitude(random));
        SCOPED_TRACE(position.GetDegrees(9));

        const std::string locator = position.GetMaidenhead(12);
        CLocator fromLocator(locator, FormatMaidenhead);
        ASSERT_TRUE(fromLocator.IsValid()) << locator;
        EXPECT_EQ(fromLocator.GetMaidenhead(12), locator);
        EXPECT_NEAR(fromLocator.GetLongitude(), position.GetLongitude(), 2.0 / 57600);
        EXPECT_NEAR(fromLocator.GetLatitude(), position.GetLatitude(), 1.0 / 57600);

        const std::string degrees = position.GetDegrees(7);
        const CLocator fromDegrees(degrees, FormatDegrees);
        ASSERT_TRUE(fromDegrees.IsValid()) << degrees;
        // Seven significant digits of latitude, eight of longitude.
        EXPECT_NEAR(fromDegrees.GetLatitude(), position.GetLatitude(), 5.1e-6);
        EXPECT_NEAR(fromDegrees.GetLongitude(), position.GetLongitude(), 5.1e-6);

        const std::string dms = position.GetDMS();
        const CLocator fromDMS(dms, FormatDMS);
        ASSERT_TRUE(fromDMS.IsValid()) << dms;
        // 0.05 arc-seconds of printing plus single-precision seconds.
        EXPECT_NEAR(fromDMS.GetLatitude(), position.GetLatitude(), 0.051 / 3600);
        EXPECT_NEAR(fromDMS.GetLongitude(), position.GetLongitude(), 0.051 / 3600);
    }
}

} // namespace
} // namespace kestrova
