// The coverage file's layout.
#include "coverage/CoverageFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>

namespace kestrova {
namespace {

TEST(CoverageFile, PrintfFieldWidths) {
    EXPECT_EQ(PrintfFixed(51.5, 8, 5), "51.50000");
    EXPECT_EQ(PrintfFixed(-1.2, 8, 5), "-1.20000");
    EXPECT_EQ(PrintfFixed(0.5, 8, 5), " 0.50000");
    EXPECT_EQ(PrintfFixed(30, 5, 0), "   30");
    EXPECT_EQ(PrintfFixed(-12.12, 4, 1), "-12.1");
    EXPECT_EQ(PrintfFixed(1.5, 4, 1), " 1.5");
}

// A small grid over no terrain data (flat ground, no zones).
class CoverageFileOfAGrid : public ::testing::Test {
protected:
    void SetUp() override {
        CoverageInputs inputs;
        inputs.tx = CLocator(51.0, -1.0);
        inputs.link.frequency = 1.0;
        inputs.tileDirectory = "/nonexistent-kestrova/";
        inputs.zoneDirectory = "/nonexistent-kestrova/";
        area = *CoverageAreaAround(inputs.tx, 3.0, 60);
        job = std::make_unique<CoverageJob>(area, inputs);
        job->Start();
        ASSERT_TRUE(job->Wait());
    }
    CoverageArea area;
    std::unique_ptr<CoverageJob> job;
};

TEST_F(CoverageFileOfAGrid, HeaderThenRowsFromSouthToNorth) {
    CoverageHeader header;
    header.txLatitude = 51.0;
    header.txLongitude = -1.0;
    header.frequency = 1.0;
    header.txHeight = 10;
    header.rxHeight = 10;
    header.percent = 50;
    header.temperature = 20;
    header.pressure = 1000;
    header.humidity = 50;
    const JobField field(*job);
    const std::string text = CoverageFileText(field, header, true);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    std::istringstream lines(text);
    std::string first;
    std::getline(lines, first);
    EXPECT_EQ(first, "Top Left Location " + PrintfFixed(area.north, 8, 5) + " " +
                         PrintfFixed(area.west, 8, 5) +
                         ", Increment =    60 arcsec, Steps = " + std::to_string(area.n) +
                         ",Tx location = 51.00000 -1.00000, Freq = 1.000 GHz, txh = 10.0 m, "
                         "rxh = 10.0 m, 50.0 % Time,Temperature 20.0 C, Pressure 1000.0 mB, "
                         "Humidity 50.0 %");
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);)
        rows.push_back(line);
    ASSERT_EQ(static_cast<int>(rows.size()), area.n);
    for (const std::string& row : rows)
        EXPECT_EQ(std::count(row.begin(), row.end(), ','), area.n - 1);
    // First line: the southern row (i = n - 1), west to east.
    std::string firstValue = rows.front().substr(0, rows.front().find(','));
    EXPECT_EQ(firstValue, PrintfFixed(job->GridAt(area.n - 1, 0) / 100.0, 4, 1));
    std::string lastValue = rows.back().substr(rows.back().rfind(',') + 1);
    EXPECT_EQ(lastValue, PrintfFixed(job->GridAt(0, area.n - 1) / 100.0, 4, 1));

    const std::string bare = CoverageFileText(field, header, false);
    EXPECT_EQ(bare, text.substr(text.find('\n') + 1));
}

} // namespace
} // namespace kestrova
