// The coverage file's layout, the image encoder and the coverage command.
#include "coverage/CoverageFile.h"
#include "cli/Commands.h"
#include "coverage/CoverageImage.h"
#include "coverage/PngWriter.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
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
    const std::string text = CoverageFileText(*job, header, true);
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

    const std::string bare = CoverageFileText(*job, header, false);
    EXPECT_EQ(bare, text.substr(text.find('\n') + 1));
}

TEST_F(CoverageFileOfAGrid, ColourImageIsAValidPng) {
    const auto pixels = CoverageColourPixels(*job, 100.0, -20.0);
    ASSERT_EQ(pixels.size(), static_cast<size_t>(area.n * area.n * 3));
    const std::string png = EncodePng(area.n, area.n, pixels);
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(static_cast<unsigned char>(png[19]),
              static_cast<unsigned>(area.n)); // width, low byte
    // The image data inflates to the pixels, one filter byte a row.
    const size_t idat = png.find("IDAT");
    const size_t length = (static_cast<unsigned char>(png[idat - 4]) << 24) |
                          (static_cast<unsigned char>(png[idat - 3]) << 16) |
                          (static_cast<unsigned char>(png[idat - 2]) << 8) |
                          static_cast<unsigned char>(png[idat - 1]);
    std::vector<unsigned char> raw(static_cast<size_t>(area.n) * (area.n * 3 + 1));
    uLongf rawSize = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &rawSize,
                         reinterpret_cast<const Bytef*>(png.data() + idat + 4), length),
              Z_OK);
    EXPECT_EQ(rawSize, raw.size());
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.begin() + area.n * 3, raw.begin() + 1));
    EXPECT_TRUE(EncodePng(2, 2, {1, 2, 3}).empty()); // too few pixels
}

TEST(CoverageColours, GreyAndRampEnds) {
    EXPECT_EQ(CoverageGrey(200.0, 100.0, -20.0), white);
    EXPECT_EQ(CoverageGrey(-50.0, 100.0, -20.0), black);
    EXPECT_EQ(CoverageGrey(0.0, 10.0, 10.0), white); // equal limits
    EXPECT_EQ(CoverageColour(200.0, 100.0, -20.0), (Colour{128, 0, 0}));
    EXPECT_EQ(CoverageColour(-50.0, 100.0, -20.0), navy);
}

TEST(CoverageCommand, WritesTheFileAndReports) {
    const auto dir = std::filesystem::temp_directory_path() / "kestrova-coverage-test";
    std::filesystem::create_directories(dir);
    const std::string csv = (dir / "coverage.csv").string();
    const std::string png = (dir / "coverage.png").string();
    std::filesystem::remove(csv);
    // A tile directory whose only tile lies far away: the area reads as sea.
    const std::string tiles = (dir / "tiles").string();
    std::filesystem::create_directories(tiles);
    std::ofstream(tiles + "/n00e000.hgt").put('\0');
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::RunCli({"coverage",
                                    "--tx",
                                    "51 0 0 N 1 0 0 W",
                                    "--format",
                                    "dms",
                                    "--range",
                                    "3",
                                    "--resolution",
                                    "60",
                                    "--freq",
                                    "1",
                                    "--tiles",
                                    tiles,
                                    "--zones",
                                    "/nonexistent-kestrova/zones01.dem",
                                    "--threads",
                                    "2",
                                    "--csv",
                                    csv,
                                    "--png",
                                    png,
                                    "--no-header"},
                                   out, err);
    ASSERT_EQ(status, 0) << err.str();
    EXPECT_NE(out.str().find("cells"), std::string::npos);
    std::ifstream file(csv);
    std::string line;
    int lines = 0;
    while (std::getline(file, line))
        ++lines;
    EXPECT_EQ(lines, CoverageAreaAround(CLocator(51.0, -1.0), 3.0, 60)->n); // no header line
    EXPECT_FALSE(std::filesystem::exists(csv + ".tmp"));
    EXPECT_TRUE(std::filesystem::exists(png));

    EXPECT_EQ(cli::RunCli({"coverage", "--tx", "SU374616", "--range", "1", "--resolution", "3600",
                           "--tiles", tiles, "--csv", csv},
                          out, err),
              2); // fewer than 5 x 5 cells
}

} // namespace
} // namespace kestrova
