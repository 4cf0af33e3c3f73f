// Reading a site file whole: sites in file order, skipped lines with their
// numbers and reasons, any line end, any line length, and files that cannot
// be read.
#include "sites/SiteTexts.h"
#include "sites/Sites.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include <string>
#include <vector>

namespace kestrova {
namespace {

// Lines of a small site file, without line ends; the last one is written
// without a line end.
const std::vector<std::string> fixtureLines = {
    "Site list of the Thames valley group", // 1: no "~"
    "Name~Locator~Height~Frequency",        // 2: header
    "Hilltop repeater~IO91WM~25m~1.297GHz", // site 0
    "",                                     // 4: blank, passed over
    "Beacon~51.5 N 0.12 W~10m~2.4GHz",      // site 1
    "Walbury~SU374616~15m~",                // site 2
    "Far locator~IO91WM47XX99AB~10m",       // 7: cannot be placed
    "Short~IO91~10m",                       // 8: too short
    "Hill fort~51 30 15 N 0 7 30 W~30f~",   // site 3
    "Last~io91wm~10m~2.4G",                 // site 4: no line end, so no frequency
};

std::string Joined(const std::string& lineEnd) {
    std::string text;
    for (size_t i = 0; i < fixtureLines.size(); ++i)
        text += fixtureLines[i] + (i + 1 < fixtureLines.size() ? lineEnd : "");
    return text;
}

void ExpectFixture(const CSites& sites) {
    ASSERT_TRUE(sites.WasRead()) << sites.GetError();
    ASSERT_TRUE(sites.IsLoaded());
    ASSERT_EQ(sites.GetCount(), 5);
    const char* names[] = {"Hilltop repeater", "Beacon", "Walbury", "Hill fort", "Last"};
    const int formats[] = {0, 2, 1, 3, 0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(sites.GetSite(i).GetName(), names[i]);
        EXPECT_EQ(sites.GetSite(i).GetFormat(), formats[i]);
    }
    EXPECT_NEAR(sites.GetSite(0).GetLatitude(), 51.5228302228, 1e-9);
    EXPECT_NEAR(sites.GetSite(0).GetLongitude(), -0.1210062211, 1e-9);
    EXPECT_DOUBLE_EQ(sites.GetSite(0).GetMastHeight(), 25.0);
    EXPECT_DOUBLE_EQ(sites.GetSite(0).GetFrequency(), 1.297);
    EXPECT_DOUBLE_EQ(sites.GetSite(1).GetLatitude(), 51.5);
    EXPECT_DOUBLE_EQ(sites.GetSite(1).GetLongitude(), -0.12);
    EXPECT_DOUBLE_EQ(sites.GetSite(1).GetFrequency(), 2.4);
    EXPECT_NEAR(sites.GetSite(3).GetMastHeight(), 9.144, 1e-12);
    EXPECT_EQ(sites.GetSite(3).GetFrequency(), -1.0);
    EXPECT_EQ(sites.GetSite(4).GetFrequency(), -1.0);

    const auto& skipped = sites.GetSkipped();
    ASSERT_EQ(skipped.size(), 4u);
    const int lines[] = {1, 2, 7, 8};
    const char* reasons[] = {"no \"~\" after the name",
                             "location \"LOCATOR\" has 7 letters and digits",
                             "location \"IO91WM47XX99AB\" is longer than the 12 characters",
                             "location \"IO91\" is shorter than 6 characters"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(skipped[i].line, lines[i]);
        EXPECT_EQ(skipped[i].reason.rfind(reasons[i], 0), 0u) << skipped[i].reason;
    }
    EXPECT_EQ(SiteCountText(sites.GetCount(), sites.GetSkippedCount()),
              "5 Sites (4 lines skipped)");
}

TEST(SiteFile, FixtureWithEveryKindOfLineEnd) {
    for (const char* lineEnd : {"\n", "\r\n", "\r"}) {
        SCOPED_TRACE(testing::PrintToString(lineEnd));
        test::TempDir dir;
        dir.Write("sites.dat", Joined(lineEnd));
        const CSites sites(dir.Path("sites.dat"));
        EXPECT_EQ(sites.GetFileName(), dir.Path("sites.dat"));
        ExpectFixture(sites);
        ExpectFixture(CSites::FromText(Joined(lineEnd)));
    }
}

TEST(SiteFile, LongLinesStayWhole) {
    const std::string longName(300, 'n'); // longer than one 253-character read
    const std::string tooLong(CSites::maxLineLength + 10, 'x');
    const std::string text = longName + "~IO91WM~10m~1.3GHz\n" + tooLong + "~IO91WM~10m\n" +
                             std::string("Na\0me", 5) + "~IO91WM~10m\n";
    const CSites sites = CSites::FromText(text);
    ASSERT_EQ(sites.GetCount(), 2);
    EXPECT_EQ(sites.GetSite(0).GetName(), longName);
    EXPECT_DOUBLE_EQ(sites.GetSite(0).GetFrequency(), 1.3);
    EXPECT_EQ(sites.GetSite(1).GetName(), std::string("Na\0me", 5));
    ASSERT_EQ(sites.GetSkippedCount(), 1);
    EXPECT_EQ(sites.GetSkipped()[0].line, 2);
    EXPECT_EQ(sites.GetSkipped()[0].reason, "line longer than 65536 characters");
}

// A "\r\n" split by the end of the reader's 64 KiB buffer is one line end.
TEST(SiteFile, LineEndAcrossTheReadBuffer) {
    std::string text = std::string(18, 'F') + "~IO91WM~10m~1.3GHz\r\n";
    for (int i = 0; i < 3200; ++i)
        text += "A~IO91WM~10m~1.3GHz\r\n";
    text += "bad\r\n";
    ASSERT_EQ(text.substr(65535, 2), "\r\n");
    test::TempDir dir;
    dir.Write("sites.dat", text);
    const CSites sites(dir.Path("sites.dat"));
    EXPECT_EQ(sites.GetCount(), 3201);
    ASSERT_EQ(sites.GetSkippedCount(), 1);
    EXPECT_EQ(sites.GetSkipped()[0].line, 3202);
}

TEST(SiteFile, FilesThatCannotBeReadSaySo) {
    test::TempDir dir;
    ASSERT_EQ(mkfifo(dir.Path("fifo.dat").c_str(), 0600), 0);
    dir.Write("comments.dat", "# nothing but\n# comments\n");
    struct Case {
        std::string fileName;
        const char* error;
    } cases[] = {
        {"", "No site file given"},
        {dir.Path("missing.dat"), "does not exist"},
        {dir.String(), "not a regular file"},
        {dir.Path("fifo.dat"), "not a regular file"}, // refused, never opened: no hang
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        const CSites sites(c.fileName);
        EXPECT_FALSE(sites.WasRead());
        EXPECT_NE(sites.GetError().find(c.error), std::string::npos) << sites.GetError();
        EXPECT_FALSE(sites.IsLoaded());
        EXPECT_EQ(sites.GetCount(), 0);
    }
    // Read, but without a site: empty, and not an error.
    const CSites comments(dir.Path("comments.dat"));
    EXPECT_TRUE(comments.WasRead());
    EXPECT_FALSE(comments.IsLoaded());
    EXPECT_EQ(comments.GetSkippedCount(), 2);
}

// Encodings: a UTF-8 byte-order mark is dropped (it stayed in the first
// site's name); a UTF-16 file, with its mark or without, is refused with a
// message that says what to do, not a reason on every line.
TEST(SiteFile, ByteOrderMarkAndUtf16) {
    const std::string line = "Hilltop~IO91WM~25m~1.297GHz\n";
    const auto utf16 = [&](bool little, bool mark) {
        std::string text = mark ? (little ? "\xFF\xFE" : "\xFE\xFF") : "";
        for (char c : line)
            text += little ? std::string{c, '\0'} : std::string{'\0', c};
        return text;
    };
    struct Case {
        const char* name;
        std::string bytes;
        const char* error; // "" when read
    };
    const Case cases[] = {
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + line + line, ""},
        {"UTF-8 without a mark", line + line, ""},
        {"UTF-16 LE with a mark", utf16(true, true), "this file is UTF-16; save it as UTF-8"},
        {"UTF-16 BE with a mark", utf16(false, true), "this file is UTF-16; save it as UTF-8"},
        {"UTF-16 LE without a mark", utf16(true, false), "this file is UTF-16"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        dir.Write("sites.txt", c.bytes);
        for (const CSites& sites : {CSites(dir.Path("sites.txt")), CSites::FromText(c.bytes)}) {
            if (*c.error) {
                EXPECT_FALSE(sites.WasRead());
                EXPECT_NE(sites.GetError().find(c.error), std::string::npos) << sites.GetError();
                EXPECT_EQ(sites.GetCount(), 0);
                EXPECT_EQ(sites.GetSkippedCount(), 0);
            } else {
                ASSERT_TRUE(sites.WasRead()) << sites.GetError();
                ASSERT_EQ(sites.GetCount(), 2);
                EXPECT_EQ(sites.GetSite(0).GetName(), "Hilltop");
                EXPECT_EQ(sites.GetSkippedCount(), 0);
            }
        }
    }
}

// Zero bytes alone do not make a text UTF-16: only a zero in every pair,
// always on the same side (a fuzzer's finding).
TEST(SiteFile, ZeroBytesAloneAreNotUtf16) {
    const std::string binary("\x07\x00#WM~10\x0f\x00\x00\x00\x00\x00\x00\x00m~1.3G@z\n", 25);
    const CSites sites = CSites::FromText(binary);
    EXPECT_TRUE(sites.WasRead()) << sites.GetError();
    EXPECT_EQ(sites.GetSkippedCount(), 1);
}

// A file that keeps growing while it is read is read up to the size it had
// when it was opened: the reading ends.
TEST(SiteFile, GrowingFileIsReadToItsSizeAtOpening) {
    test::TempDir dir;
    const std::string line = "S~IO91WM~25m~1.297GHz\n";
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += line;
    dir.Write("g.txt", text);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        // Starts once the file is open, then adds lines much faster than
        // they are read, up to 50 MB.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::ofstream out(dir.Path("g.txt"), std::ios::app | std::ios::binary);
        for (std::size_t written = 0; !done && written < 50000000; written += text.size()) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            out.flush();
        }
    });
    const CSites sites(dir.Path("g.txt"));
    done = true;
    writer.join();
    EXPECT_TRUE(sites.WasRead());
    EXPECT_EQ(sites.GetCount(), 200000);
}

} // namespace
} // namespace kestrova
