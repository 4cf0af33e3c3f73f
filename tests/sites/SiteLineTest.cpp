// The rules of one site-file line: fields, location shapes, units, the
// short-field rules and the last field's length, line ends included.
#include "sites/Sites.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrova {
namespace {

constexpr double none = -1.0;

struct LineCase {
    const char* line;
    bool accepted;
    const char* name;
    const char* location;
    int format;
    double mastHeight;  // m
    double frequency;   // GHz
    const char* reason; // part of the reason of a rejected line
};

// clang-format off
const LineCase lineCases[] = {
    // Windows line end: the last field is long enough with it and without it.
    {"Name~51.5 N 0.12 W~10m~2.4GHz\r\n", true, "Name", "51.5 N 0.12 W", 2, 10, 2.4, ""},
    {"Name~51.5 N 0.12 W~10m~2.4GHz", true, "Name", "51.5 N 0.12 W", 2, 10, 2.4, ""},
    // "2.4G" is 4 characters: too short at the end of a file, 5 with a line end.
    {"Name~51.5 N 0.12 W~10m~2.4G", true, "Name", "51.5 N 0.12 W", 2, 10, none, ""},
    {"Name~51.5 N 0.12 W~10m~2.4G\n", true, "Name", "51.5 N 0.12 W", 2, 10, 2.4, ""},
    {"Name~51.5 N 0.12 W~10m~2.4G\r", true, "Name", "51.5 N 0.12 W", 2, 10, 2.4, ""},
    // The length counts before trimming: a leading blank makes five.
    {"Name~IO91WM~10m~ 2.4G", true, "Name", "IO91WM", 0, 10, 2.4, ""},
    // Degrees, minutes and seconds; feet.
    {"Name~51 30 15 N 0 7 30 W~30f~\n", true, "Name", "51 30 15 N 0 7 30 W", 3, 9.144, none, ""},
    // Grid references: the fifth character is a digit.
    {"Name~SU374616~15m~\n", true, "Name", "SU374616", 1, 15, none, ""},
    {"Name~SU3746~15m", true, "Name", "SU3746", 1, 15, none, ""},
    {"Name~su3740061600~15m", true, "Name", "SU3740061600", 1, 15, none, ""},
    // Letters in any case, in the location and in the units.
    {"Name~io91wm~10M~1.3ghz\n", true, "Name", "IO91WM", 0, 10, 1.3, ""},
    // The location is only its letters and digits; blanks around fields go.
    {"  Mast on the hill ~  IO91WM south side ~ 25m ~ 1.297GHz ", true, "  Mast on the hill ",
     "IO91WM", 0, 25, 1.297, ""},
    {"~IO91WM~25m", true, "", "IO91WM", 0, 25, none, ""},
    {"Name~IO91WM", true, "Name", "IO91WM", 0, none, none, ""},
    // An empty height field: no height, and the frequency is not read.
    {"Name~IO91WM47XX99~~2.4GHz\n", true, "Name", "IO91WM47XX99", 0, none, none, ""},
    {"Name~IO91WM~5~1.3GHz\n", true, "Name", "IO91WM", 0, none, none, ""},
    // A height without unit, or without digits, is none; the frequency stays.
    {"Name~IO91WM~10~1.3GHz\n", true, "Name", "IO91WM", 0, none, 1.3, ""},
    {"Name~IO91WM~.m~1.3GHz\n", true, "Name", "IO91WM", 0, none, 1.3, ""},
    {"Name~IO91WM~10m~1.3MHz\n", true, "Name", "IO91WM", 0, 10, none, ""},
    // Right shape, but no locator a position can be taken from: the reader
    // skips it (14 and 16 characters).
    {"Name~IO91WM47XX99AB~10m", true, "Name", "IO91WM47XX99AB", 0, 10, none, ""},
    {"Name~IO91WM47XX99AB12~10m", true, "Name", "IO91WM47XX99AB12", 0, 10, none, ""},
    // Rejected lines.
    {"Name~IO91~10m", false, "", "", -1, none, none, "shorter than 6 characters"},
    {"Name~IO91WMAB~10m", false, "", "", -1, none, none, "not a Maidenhead locator"},
    {"Name~IS91WM~10m", false, "", "", -1, none, none, "not a Maidenhead locator"},
    {"Name~IO91WM4~10m", false, "", "", -1, none, none, "has 7 letters and digits"},
    {"Name~IO91WM47XX99AB12CD~10m", false, "", "", -1, none, none, "has 18 letters and digits"},
    {"Name~AU374616~10m", false, "", "", -1, none, none, "not an OSGB grid reference"},
    {"Name~SI374616~10m", false, "", "", -1, none, none, "not an OSGB grid reference"},
    {"Name~SU37406160012~10m", false, "", "", -1, none, none, "has 13 letters and digits"},
    {"Name~SU374006160012~10m", false, "", "", -1, none, none, "not an OSGB grid reference"},
    {"Name~IO-91WM~10m", false, "", "", -1, none, none, "does not begin with 6 letters"},
    {"# a comment line\n", false, "", "", -1, none, none, "no \"~\""},
    {"Name~Locator~Height~Frequency\n", false, "", "", -1, none, none, "has 7 letters"},
};
// clang-format on

TEST(SiteLine, EveryOutputOfTheRules) {
    for (const LineCase& c : lineCases) {
        SCOPED_TRACE(c.line);
        SiteLine out;
        out.name = "stale";
        ASSERT_EQ(CSites::ParseLine(c.line, out), c.accepted) << out.reason;
        if (c.accepted) {
            EXPECT_EQ(out.name, c.name);
            EXPECT_EQ(out.location, c.location);
            EXPECT_EQ(out.format, c.format);
            EXPECT_NEAR(out.mastHeight, c.mastHeight, 1e-9);
            EXPECT_NEAR(out.frequency, c.frequency, 1e-12);
            EXPECT_EQ(out.reason, "");
        } else {
            EXPECT_NE(out.reason.find(c.reason), std::string::npos) << out.reason;
        }
    }
}

TEST(SiteLine, ReasonsShowTheTextSafely) {
    SiteLine out;
    ASSERT_FALSE(CSites::ParseLine(std::string("Name~IO\x01\x1b[2J", 12) + "~10m", out));
    EXPECT_EQ(out.reason.find('\x1b'), std::string::npos) << out.reason;
    EXPECT_NE(out.reason.find("\"IO??[2J\""), std::string::npos) << out.reason;

    ASSERT_FALSE(CSites::ParseLine("Name~" + std::string(500, '-') + "~10m", out));
    EXPECT_LT(out.reason.size(), 100u) << out.reason;
}

} // namespace
} // namespace kestrova
