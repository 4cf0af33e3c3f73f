// The KMZ export: unzipped again, the archive holds the document, the
// 500 x 500 JPEG and the icon, in this order, deflated and freshly dated;
// no working file is left anywhere the user looks, and a failed export
// leaves the earlier archive whole.
#include "coverage/KmzExport.h"

#include "coverage/CoverageRaster.h"

#include "TempDir.h"
#include "ZipReader.h"

#include <QByteArray>
#include <QImage>

#include <gtest/gtest.h>
#include <zlib.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace kestrova {
namespace {

// Runs the test body in an empty working directory, as a user's would be.
class KmzExport : public ::testing::Test {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(cwd.Path());
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    static int FilesIn(const std::filesystem::path& dir) {
        return static_cast<int>(std::distance(std::filesystem::directory_iterator(dir),
                                              std::filesystem::directory_iterator()));
    }
    static std::string Read(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }

    test::TempDir cwd;
    test::TempDir target;
    std::filesystem::path previous;
};

KmlOverlay Overlay() {
    return {52.0714177, 50.6330867, -0.7451634, -2.1834944, 51.35225176, -1.46432955, 12.5};
}

// The DOS date and time of now, local, to the minute.
std::uint32_t DosMinute(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    return static_cast<std::uint32_t>((local.tm_year - 80) << 25 | (local.tm_mon + 1) << 21 |
                                      local.tm_mday << 16 | local.tm_hour << 11 |
                                      local.tm_min << 5);
}

TEST_F(KmzExport, ArchiveHoldsDocumentImageAndIcon) {
    QImage image = BlankCoverageImage();
    image.fill(QColor(0, 128, 255));
    const std::string archive = target.Path("coverage.kmz");
    const std::time_t before = std::time(nullptr);
    ASSERT_EQ(ExportKMZ(archive, image, Overlay()), "");
    const std::time_t after = std::time(nullptr);

    const auto entries = test::ReadZip(archive);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "doc.kml");
    EXPECT_EQ(entries[1].name, "KestrovaImage.jpg");
    EXPECT_EQ(entries[2].name, "Triangle.png");
    for (const auto& entry : entries) {
        EXPECT_EQ(entry.method, Z_DEFLATED) << entry.name;
        const std::uint32_t minute = entry.dosDate & ~0x1Fu; // seconds dropped
        EXPECT_TRUE(minute == DosMinute(before) || minute == DosMinute(after)) << entry.name;
    }
    EXPECT_EQ(entries[0].content, KmlDocument(Overlay()));
    EXPECT_NE(entries[0].content.find("<href>Triangle.png</href>"), std::string::npos);

    QImage jpeg;
    ASSERT_TRUE(jpeg.loadFromData(QByteArray::fromStdString(entries[1].content), "JPG"));
    EXPECT_EQ(jpeg.size(), QSize(500, 500));
    const QColor centre = jpeg.pixelColor(100, 100);
    EXPECT_NEAR(centre.red(), 0, 8);
    EXPECT_NEAR(centre.green(), 128, 8);
    EXPECT_NEAR(centre.blue(), 255, 8);
    QImage icon;
    ASSERT_TRUE(icon.loadFromData(QByteArray::fromStdString(entries[2].content), "PNG"));
    EXPECT_FALSE(icon.isNull());

    // No working file in the working directory, none beside the archive.
    EXPECT_EQ(FilesIn(cwd.Path()), 0);
    EXPECT_EQ(FilesIn(target.Path()), 1);
}

TEST_F(KmzExport, ReplacesAnEarlierArchiveAndKeepsTheUsersOwnFiles) {
    cwd.Write("doc.kml", "the user's own document");
    const std::string archive = target.Path("coverage.kmz");
    target.Write("coverage.kmz", "an earlier archive");
    ASSERT_EQ(ExportKMZ(archive, BlankCoverageImage(), KmlOverlay{}), "");
    const auto entries = test::ReadZip(archive);
    ASSERT_EQ(entries.size(), 3u);
    // Before any computation: a black image and a box of zeros.
    EXPECT_NE(entries[0].content.find("<north>0</north><south>0</south>"), std::string::npos);
    EXPECT_EQ(Read(cwd.Path("doc.kml")), "the user's own document");
}

TEST_F(KmzExport, AFailedExportLeavesTheEarlierArchiveWhole) {
    const std::string earlier = "an earlier archive";
    // No image to encode.
    target.Write("coverage.kmz", earlier);
    const std::string archive = target.Path("coverage.kmz");
    EXPECT_NE(ExportKMZ(archive, QImage(), Overlay()).find("KestrovaImage.jpg"), std::string::npos);
    EXPECT_EQ(Read(archive), earlier);
    // A read-only archive is refused, naming it and not the temporary.
    const std::string name = "read-only.kmz";
    target.Write(name, earlier);
    std::filesystem::permissions(target.Path(name), std::filesystem::perms::owner_read);
    const std::string error = ExportKMZ(target.Path(name), BlankCoverageImage(), Overlay());
    EXPECT_EQ(error, "could not write \"" + target.Path(name) + "\": the file is read-only");
    EXPECT_EQ(Read(target.Path(name)), earlier);
    // A directory that does not exist.
    EXPECT_NE(ExportKMZ(target.Path("missing/coverage.kmz"), BlankCoverageImage(), Overlay()), "");
    EXPECT_EQ(FilesIn(target.Path()), 2); // the two earlier archives, nothing else
    EXPECT_EQ(FilesIn(cwd.Path()), 0);
}

} // namespace
} // namespace kestrova
