// What the site list shows: the summary lines with their labels, the list
// row, the count, and what copying a site to an end of the link sets.
#include "sites/SiteTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrova {
namespace {

CSite Site(double mastHeight, double frequency) {
    CSite site;
    site.SetName("Beacon");
    site.SetLatitude(51.5);
    site.SetLongitude(-0.12);
    site.SetMastHeight(mastHeight);
    site.SetFrequency(frequency);
    return site;
}

TEST(SiteInfo, SevenLinesWithTheirLabels) {
    const std::vector<std::string> full = {
        "Beacon",
        "Height    23 m",
        "Mast Height 25 m",
        "Frequency   1.297 GHz",
        "NGR       TQ305795",
        "Locator   IO91WM50",
        "Lat/Long 51 30 0.0 N   0 7 12.0 W",
    };
    EXPECT_EQ(SiteInfoLines(Site(25, 1.297), 23), full);

    // Nothing given, sea, and no terrain data.
    const std::vector<std::string> bare = SiteInfoLines(Site(-1, -1), 0);
    EXPECT_EQ(bare[1], "Height    0 m");
    EXPECT_EQ(bare[2], "No mast height data");
    EXPECT_EQ(bare[3], "No frequency data");
    EXPECT_EQ(SiteInfoLines(Site(-1, -1), -32767)[1], "Height - No data");
    EXPECT_EQ(SiteInfoLines(Site(-1, -1), -32766)[1], "Height - No data");
    EXPECT_EQ(SiteInfoLines(Site(-1, -1), -32765)[1], "Height    -32765 m");

    // Rounding of the figures; a position off the national grid.
    CSite far = Site(9.144, 1234.5678);
    far.SetLatitude(40.0);
    far.SetLongitude(10.0);
    const std::vector<std::string> lines = SiteInfoLines(far, 1234);
    EXPECT_EQ(lines[1], "Height    1234 m");
    EXPECT_EQ(lines[2], "Mast Height 9 m");
    EXPECT_EQ(lines[3], "Frequency   1234.570 GHz");
    EXPECT_EQ(lines[4], "NGR       Invalid");
}

TEST(SiteList, RowAndCount) {
    const SiteListRow row = SiteListColumns(Site(25.4, 1.3));
    EXPECT_EQ(row.name, "Beacon");
    EXPECT_EQ(row.locator, "IO91WM");
    EXPECT_EQ(row.height, "25 m");
    EXPECT_EQ(SiteListColumns(Site(-1, 1.3)).height, "");
    EXPECT_EQ(row.frequency, "1.300 GHz");
    EXPECT_EQ(SiteListColumns(Site(25.4, -1)).frequency, "");

    EXPECT_EQ(SiteCountText(12, 3), "12 Sites (3 lines skipped)");
    EXPECT_EQ(SiteCountText(12, 1), "12 Sites (1 line skipped)");
    EXPECT_EQ(SiteCountText(12, 0), "12 Sites");
    EXPECT_EQ(SiteCountText(0, 0), "0 Sites");
}

TEST(SiteCopy, LocationInTheChosenFormatAndValuesWithinLimits) {
    const InputLimit& txHeight = limits::txHeight;   // 1 .. 10000 m
    const InputLimit& frequency = limits::frequency; // 0.025 .. 300 GHz
    const char* texts[] = {"IO91WM50", "TQ30597957", "51.5000000 N   0.1200000 W",
                           "51 30 0.0 N   0 7 12.0 W"};
    for (int format = 0; format < 4; ++format)
        EXPECT_EQ(CopySite(Site(25, 1.3), format, txHeight, frequency).location, texts[format]);

    struct Case {
        double mastHeight;
        double frequency;
        std::optional<double> copiedHeight;
        std::optional<double> copiedFrequency;
    } cases[] = {
        {25, 1.3, 25, 1.3},
        {-1, -1, std::nullopt, std::nullopt}, // none: the fields keep their values
        {1, 0.025, 1, 0.025},                 // limits are inclusive
        {10000, 300, 10000, 300},
        {0.5, 0.02, std::nullopt, std::nullopt},
        {10001, 301, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mastHeight);
        const SiteCopy copy = CopySite(Site(c.mastHeight, c.frequency), 0, txHeight, frequency);
        EXPECT_EQ(copy.antennaHeight, c.copiedHeight);
        EXPECT_EQ(copy.frequency, c.copiedFrequency);
    }
}

} // namespace
} // namespace kestrova
