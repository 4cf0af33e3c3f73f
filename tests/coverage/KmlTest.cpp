// The KML document of the KMZ export against a fixture written line by line
// from the document's definition, for a known box and transmitter.
#include "coverage/Kml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace kestrova {
namespace {

std::string Fixture(const char* name) {
    std::ifstream file(std::string(KESTROVA_COVERAGE_FIXTURES) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(KmlDocument, MatchesTheFixtureLineForLine) {
    KmlOverlay overlay;
    overlay.north = 52.0714177;
    overlay.south = 50.6330867;
    overlay.east = -0.7451634;
    overlay.west = -2.1834944;
    overlay.txLatitude = 51.35225176;
    overlay.txLongitude = -1.46432955;
    overlay.txHeight = 12.5;
    const std::string expected = Fixture("doc.kml");
    ASSERT_EQ(std::count(expected.begin(), expected.end(), '\n'), 41) << "fixture not loaded";

    std::istringstream actual(KmlDocument(overlay));
    std::istringstream wanted(expected);
    int line = 0;
    for (std::string a, w; std::getline(wanted, w);) {
        ++line;
        ASSERT_TRUE(std::getline(actual, a)) << "document ends before line " << line;
        EXPECT_EQ(a, w) << "line " << line;
    }
    EXPECT_EQ(KmlDocument(overlay), expected); // and nothing after the last line
}

TEST(KmlDocument, NumbersInGeneralFormWithSixDigits) {
    KmlOverlay overlay;
    overlay.north = 1e-05;
    overlay.south = 0.0;
    overlay.east = 123456789.0;
    overlay.west = -180.0;
    overlay.txHeight = 10.0;
    const std::string text = KmlDocument(overlay);
    EXPECT_NE(text.find("<north>1e-05</north><south>0</south><east>1.23457e+08</east>"
                        "<west>-180</west>\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("<coordinates>0,0,10</coordinates>"), std::string::npos);
}

} // namespace
} // namespace kestrova
