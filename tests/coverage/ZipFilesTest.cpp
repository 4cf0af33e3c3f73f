// The zip writer: entries in the order given, deflated, dated with their
// files' modification times; a missing file or an archive that cannot be
// created is a failure that names the file.
#include "coverage/ZipFiles.h"

#include "TempDir.h"
#include "ZipReader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <ctime>
#include <sstream>
#include <utime.h>

namespace kestrova {
namespace {

// Sets a file's modification time to the given local time.
void Touch(const std::string& path, int year, int month, int day, int hour, int minute,
           int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const utimbuf times{std::mktime(&local), std::mktime(&local)};
    ASSERT_EQ(utime(path.c_str(), &times), 0) << path;
}

TEST(ZipFiles, EntriesInOrderDeflatedWithTheirFilesTimes) {
    const test::TempDir dir;
    const std::string text(5000, 'k'); // compresses well
    dir.Write("b.txt", text);
    dir.Write("a.bin", std::string("\x00\x01\x02\xff", 4));
    Touch(dir.Path("b.txt"), 2001, 2, 3, 4, 5, 6);
    Touch(dir.Path("a.bin"), 2019, 12, 31, 23, 59, 58);
    std::ostringstream diagnostics;
    ASSERT_EQ(ZipFiles(dir.Path("out.zip"), dir.String(), {"b.txt", "a.bin"}, diagnostics), 0)
        << diagnostics.str();
    EXPECT_EQ(diagnostics.str(), "");

    const auto entries = test::ReadZip(dir.Path("out.zip"));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "b.txt");
    EXPECT_EQ(entries[1].name, "a.bin");
    EXPECT_EQ(entries[0].content, text);
    EXPECT_EQ(entries[1].content, std::string("\x00\x01\x02\xff", 4));
    for (const auto& entry : entries)
        EXPECT_EQ(entry.method, Z_DEFLATED) << entry.name;
    // MS-DOS times keep even seconds.
    EXPECT_EQ(entries[0].dosDate, (21u << 9 | 2u << 5 | 3u) << 16 | (4u << 11 | 5u << 5 | 3u));
    EXPECT_EQ(entries[1].date.tm_year, 2019u);
    EXPECT_EQ(entries[1].date.tm_mon, 11u); // months from 0
    EXPECT_EQ(entries[1].date.tm_mday, 31u);
    EXPECT_EQ(entries[1].date.tm_sec, 58u);
}

TEST(ZipFiles, FailuresNameTheFile) {
    const test::TempDir dir;
    dir.Write("doc.kml", "<kml/>");
    std::ostringstream missing;
    EXPECT_NE(ZipFiles(dir.Path("out.zip"), dir.String(), {"doc.kml", "Triangle.png"}, missing), 0);
    EXPECT_EQ(missing.str(), "error in opening Triangle.png for reading\n");

    std::ostringstream uncreatable;
    EXPECT_NE(ZipFiles(dir.Path("no/such/dir/out.zip"), dir.String(), {"doc.kml"}, uncreatable), 0);
    EXPECT_NE(uncreatable.str().find("no/such/dir/out.zip"), std::string::npos);
}

TEST(ZipFiles, DosTimeOfAFile) {
    const test::TempDir dir;
    dir.Write("old", "x");
    std::uint32_t dos = 1;
    EXPECT_FALSE(GetFileDosTime(dir.Path("absent"), dos));
    EXPECT_EQ(dos, 0u);
    Touch(dir.Path("old"), 1975, 6, 1, 12, 0, 0); // before MS-DOS dates begin
    ASSERT_TRUE(GetFileDosTime(dir.Path("old"), dos));
    EXPECT_EQ(dos, (1u << 5 | 1u) << 16); // 1 January 1980, 00:00
}

} // namespace
} // namespace kestrova
