// OSGB national grid references of CLocator.
#include "geo/Locator.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace kestrova {
namespace {

// Positions quoted to six decimals: half a unit of the last place.
constexpr double kQuotedTol = 5e-7;

TEST(GridReferenceParse, WorkedExamples) {
    struct Case {
        const char* text;
        double latitude;
        double longitude;
        int easting;
        int northing;
    } cases[] = {
        {"SU374616", 51.352252, -1.464330, 437400, 161600},
        {"su37", 51.428217, -1.569881, 430000, 170000}, // south-west corner of the 10 km square
        {"TQ3000080000", 51.503991, -0.128354, 530000, 180000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const CLocator location(c.text, FormatNGR);
        ASSERT_TRUE(location.IsValid());
        EXPECT_NEAR(location.GetLatitude(), c.latitude, kQuotedTol);
        EXPECT_NEAR(location.GetLongitude(), c.longitude, kQuotedTol);
        int easting = 0;
        int northing = 0;
        ASSERT_EQ(location.GetGridEN(easting, northing), 1);
        EXPECT_EQ(easting, c.easting);
        EXPECT_EQ(northing, c.northing);
    }
    CLocator location("SU374616", FormatNGR);
    EXPECT_EQ(location.GetText(FormatNGR, 6), "SU374616");
}

TEST(GridReferenceParse, Rejections) {
    for (const char* text : {"SU", "SU3746161", "AU374616", "SI374616", "SU37A616", "S", "",
                             "SU37461612345", "SU 374616"}) {
        const CLocator location(text, FormatNGR);
        EXPECT_FALSE(location.IsValid()) << text;
        EXPECT_EQ(location.GetLatitude(), 0.0) << text;
    }
}

TEST(GridReferenceFormat, DigitsAndLimits) {
    const CLocator london(51.5, -0.1);
    EXPECT_EQ(london.GetNGR(10), "TQ3197979607");
    EXPECT_EQ(london.GetNGR(6), "TQ319796");
    EXPECT_EQ(london.GetNGR(), "TQ319796");
    EXPECT_EQ(london.GetNGR(0), "TQ31977960");
    EXPECT_EQ(london.GetNGR(2), "TQ37");
    EXPECT_EQ(london.GetNGR(12), "Invalid");
    EXPECT_EQ(london.GetNGR(5), "Invalid");
    EXPECT_EQ(london.GetEasting(), 531979);
    EXPECT_EQ(london.GetNorthing(), 179607);

    const CLocator south(44.9, -1.0);
    EXPECT_EQ(south.GetNGR(8), "Invalid");
    int easting = -1;
    int northing = -1;
    EXPECT_EQ(south.GetGridEN(easting, northing), 0);
    EXPECT_EQ(easting, -1); // untouched
    EXPECT_EQ(south.GetEasting(), 0);
    EXPECT_EQ(south.GetNorthing(), 0);

    EXPECT_EQ(CLocator(50.0, -6.5).GetNGR(2).substr(0, 2), "SV");
    EXPECT_EQ(CLocator(60.0, 20.0).GetNGR(8), "Invalid"); // beyond 5°E
}

TEST(GridReferenceDatum, HelmertShiftBothWays) {
    double lat = 0;
    double lon = 0;
    CLocator::OSGB36ToWGS84(51.5, -0.1, lat, lon);
    EXPECT_NEAR(lat, 51.500512, 1e-6);
    EXPECT_NEAR(lon, -0.101609, 1e-6);
    CLocator::WGS84ToOSGB36(51.5, -0.1, lat, lon);
    EXPECT_NEAR(lat, 51.499488, 1e-6);
    EXPECT_NEAR(lon, -0.098391, 1e-6);
    lat = 51.5;
    lon = -0.1;
    CLocator::WGS84ToOSGB36(lat, lon);
    CLocator::OSGB36ToWGS84(lat, lon);
    EXPECT_NEAR(lat, 51.5, 1e-6); // the two shifts are inverse to about a metre
    EXPECT_NEAR(lon, -0.1, 2e-5);
}

TEST(GridReferenceSquares, LettersAndOrigins) {
    struct Case {
        const char* letters;
        int easting0;
        int northing0;
    } cases[] = {{"SV", 0, 0},           {"SU", 400000, 100000},  {"TQ", 500000, 100000},
                 {"NN", 200000, 700000}, {"HU", 400000, 1100000}, {"JM", 600000, 1200000}};
    for (const Case& c : cases) {
        int easting0 = 0;
        int northing0 = 0;
        CLocator::SquareToGrid(c.letters, easting0, northing0);
        EXPECT_EQ(easting0, c.easting0) << c.letters;
        EXPECT_EQ(northing0, c.northing0) << c.letters;
        char letters[3] = {};
        int eastRem = -1;
        int northRem = -1;
        CLocator::GridToSquare(c.easting0 + 1234.4, c.northing0 + 5678.5, letters, eastRem,
                               northRem);
        EXPECT_STREQ(letters, c.letters);
        EXPECT_EQ(eastRem, 1234);
        EXPECT_EQ(northRem, 5679);
    }
}

// Grid reference -> position -> grid reference, over Great Britain and its
// waters: the projection and its inverse agree to well under a metre.
TEST(GridReferenceRoundTrip, RandomReferencesInAndAroundBritain) {
    std::mt19937 random(1936);
    std::uniform_int_distribution<int> easting(0, 699999);
    std::uniform_int_distribution<int> northing(0, 1249999);
    for (int i = 0; i < 3000; ++i) {
        char letters[3] = {};
        int eastRem = 0;
        int northRem = 0;
        CLocator::GridToSquare(easting(random), northing(random), letters, eastRem, northRem);
        char text[16];
        std::snprintf(text, sizeof text, "%s%05d%05d", letters, eastRem, northRem);
        const CLocator location(text, FormatNGR);
        ASSERT_TRUE(location.IsValid()) << text;
        if (location.GetLongitude() < -15.0 || location.GetLongitude() > 5.0) continue;
        EXPECT_EQ(location.GetNGR(10), text);
        const std::string six = location.GetNGR(6);
        EXPECT_EQ(six, std::string(text, 5) + std::string(text + 7, 3)) << "digits are dropped";
    }
}

} // namespace
} // namespace kestrova
