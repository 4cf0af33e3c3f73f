// The settings reader: iniparser's rules line by line, a bad line skipped
// with the rest still read, hostile files refused by size, and the change
// of one value that keeps every other line.
#include "settings/SettingsFile.h"

#include "TempDir.h"
#include "Timeout.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace kestrova {
namespace {

using test::TempDir;

// Values as the program writes them, and as people edit them.
TEST(SettingsFile, ValuesByIniparsersRules) {
    const SettingsFile ini = SettingsFile::FromText("#\n"
                                                    "# comment\n"
                                                    "; another\n"
                                                    "top = before any section\n"
                                                    "[LinkData]\n"
                                                    "Frequency = 10.368000; # Frequency in GHz\n"
                                                    "TX_Height=12.5\n"
                                                    "  Percent   =   0.5   # spaces and a comment\n"
                                                    "[ Locator ]\n"
                                                    "StartLocator = SU374616; \n"
                                                    "EndLocator = \"IO91 ; IO\"  trailing ignored\n"
                                                    "Quoted = 'single'\n"
                                                    "Empty = \"\"\n"
                                                    "Nothing =\n"
                                                    "Continued = first \\\n"
                                                    "  second\n"
                                                    "Hex = 0x10\n"
                                                    "Octal = 010\n"
                                                    "[Misc]\r\n"
                                                    "PaletteFormat = 4;\r\n");
    ASSERT_TRUE(ini.IsLoaded());
    EXPECT_TRUE(ini.Skipped().empty());
    EXPECT_EQ(ini.GetString(":top", "-"), "before any section");
    EXPECT_DOUBLE_EQ(ini.GetReal("LINKDATA:FREQUENCY", 0), 10.368);
    EXPECT_DOUBLE_EQ(ini.GetReal("linkdata:tx_height", 0), 12.5);
    EXPECT_DOUBLE_EQ(ini.GetReal("LinkData:Percent", 0), 0.5);
    EXPECT_EQ(ini.GetString("Locator:StartLocator", "-"), "SU374616");
    EXPECT_EQ(ini.GetString("Locator:EndLocator", "-"), "IO91 ; IO");
    EXPECT_EQ(ini.GetString("Locator:Quoted", "-"), "single");
    EXPECT_EQ(ini.GetString("Locator:Empty", "-"), "");
    EXPECT_EQ(ini.GetString("Locator:Nothing", "-"), "");
    EXPECT_EQ(ini.GetString("Locator:Continued", "-"), "first second");
    EXPECT_EQ(ini.GetInt("Locator:Hex", 0), 16);
    EXPECT_DOUBLE_EQ(ini.GetReal("Locator:Hex", 1), 0); // a real stops at the x
    EXPECT_EQ(ini.GetInt("Locator:Octal", 0), 8);
    EXPECT_EQ(ini.GetInt("Misc:PaletteFormat", 0), 4);
    EXPECT_EQ(ini.GetInt("Misc:Missing", 7), 7);
}

// A line the library cannot parse no longer loses the whole file.
TEST(SettingsFile, ABadLineIsSkippedAndTheRestRead) {
    const SettingsFile ini =
        SettingsFile::FromText("[LinkData]\n"
                               "Frequency = 2.4;\n"
                               "this line has no equals sign\n"
                               "= no key\n"
                               "[Unclosed\n" +
                               std::string(2000, 'x') + "=long\n" + "Percent = 1;\n");
    ASSERT_TRUE(ini.IsLoaded());
    EXPECT_DOUBLE_EQ(ini.GetReal("LinkData:Frequency", 0), 2.4);
    EXPECT_DOUBLE_EQ(ini.GetReal("LinkData:Percent", 0), 1);
    EXPECT_EQ(ini.Skipped(),
              (std::vector<std::string>{"line 3: cannot be parsed", "line 4: cannot be parsed",
                                        "line 5: cannot be parsed",
                                        "line 6: longer than 1024 characters"}));
}

TEST(SettingsFile, KeysBeyondTheLimitAreSkipped) {
    std::string text = "[s]\n";
    for (std::size_t i = 0; i < SettingsFile::maxKeys + 2; ++i)
        text += "k" + std::to_string(i) + " = " + std::to_string(i) + "\n";
    text += "k0 = last\n"; // a key already held takes its new value
    const SettingsFile ini = SettingsFile::FromText(text);
    EXPECT_EQ(ini.GetString("s:k0", "-"), "last");
    EXPECT_EQ(ini.GetInt("s:k4095", -1), 4095);
    EXPECT_EQ(ini.GetInt("s:k4096", -1), -1);
    EXPECT_EQ(ini.Skipped().size(), 2u);
}

// Files that are not read: every value is its default, and the reason is
// known for the status bar.
TEST(SettingsFile, HostileFilesAreNotRead) {
    TempDir dir;
    const std::string path = dir.Path("profile.ini");

    const SettingsFile absent(path);
    EXPECT_FALSE(absent.IsLoaded());
    EXPECT_EQ(absent.Problem(), "");
    EXPECT_EQ(SettingsFileProblem(path), "");

    {
        std::ofstream big(path);
        big << "[LinkData]\nFrequency = 2.4;\n";
        for (int i = 0; i < 200000; ++i)
            big << "[s" << i << "]\n";
    }
    const SettingsFile tooBig(path);
    EXPECT_FALSE(tooBig.IsLoaded());
    EXPECT_DOUBLE_EQ(tooBig.GetReal("LinkData:Frequency", 1.42), 1.42);
    EXPECT_NE(tooBig.Problem().find("is above 1 MB and was not read"), std::string::npos);
    EXPECT_EQ(SettingsFileProblem(path), "profile.ini is above 1 MB and was not read");

    std::filesystem::remove(path);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    EXPECT_TRUE(test::FinishesWithin(5, [&] {
        const SettingsFile fifo(path);
        return !fifo.IsLoaded() &&
               fifo.Problem().find("is not a regular file") != std::string::npos;
    }));
    EXPECT_EQ(SettingsFileProblem(path), "profile.ini is not a regular file and was not read");
}

// The dictionary keeps C strings: a key with a NUL byte in it would pass for
// the key it begins with.
TEST(SettingsFile, ANulByteMakesALineBad) {
    using namespace std::string_literals;
    const SettingsFile ini =
        SettingsFile::FromText("[FilePaths]\nMapDirectory = /t/\nMapDirectory\0x = old\n"s);
    EXPECT_EQ(ini.GetString("FilePaths:MapDirectory", "-"), "/t/");
    EXPECT_EQ(ini.Skipped(), std::vector<std::string>{"line 3: cannot be parsed"});
}

// One value changed in place; every other line, comments and unknown keys
// included, stays as it was.
TEST(WithSettingsValue, ChangesOnlyItsLine) {
    struct Case {
        const char* name;
        std::string before;
        std::string value;
        std::string after;
    };
    const Case cases[] = {
        {"empty file", "", "/tiles/", "[FilePaths]\nMapDirectory = /tiles/; \n"},
        {"replaced where it stands",
         "# mine\n[FilePaths]\nmapdirectory = /old/; # note\nOther = 1\n[Misc]\nA = 1\n", "/new/",
         "# mine\n[FilePaths]\nMapDirectory = /new/; \nOther = 1\n[Misc]\nA = 1\n"},
        {"added at the end of its section", "[FilePaths]\nOther = 1\n\n# comment\n[Misc]\nA = 1",
         "/t/", "[FilePaths]\nOther = 1\nMapDirectory = /t/; \n\n# comment\n[Misc]\nA = 1\n"},
        {"a new section", "[Misc]\nA = 1\n", "/t/",
         "[Misc]\nA = 1\n[FilePaths]\nMapDirectory = /t/; \n"},
        {"quoted when it holds a comment character", "", "/a;b#c/",
         "[FilePaths]\nMapDirectory = \"/a;b#c/\"; \n"},
        {"single quotes around a double quote", "", "/a\"b;c/",
         "[FilePaths]\nMapDirectory = '/a\"b;c/'; \n"},
        {"quoted when it ends in a blank", "", "/maps/ ",
         "[FilePaths]\nMapDirectory = \"/maps/ \"; \n"},
        {"quoted when it begins with a blank", "", " maps/",
         "[FilePaths]\nMapDirectory = \" maps/\"; \n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string after = WithSettingsValue(c.before, "FilePaths", "MapDirectory", c.value);
        EXPECT_EQ(after, c.after);
        EXPECT_EQ(SettingsFile::FromText(after).GetString("FilePaths:MapDirectory", "-"), c.value);
    }
}

TEST(StoreSettingsValue, WritesThroughTheSafeWriter) {
    TempDir dir;
    const std::string path = dir.Path("profile.ini");
    ASSERT_TRUE(StoreSettingsValue(path, "FilePaths", "MapDirectory", "/tiles/"));
    EXPECT_EQ(SettingsFile(path).GetString("FilePaths:MapDirectory", "-"), "/tiles/");

    // A file that is not read is not rewritten either.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_FALSE(StoreSettingsValue(path, "FilePaths", "MapDirectory", "/tiles/"));
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

// Values with limits: a plain number within them is taken; anything else
// gives the default and a note naming the key, the value and the default.
TEST(SettingsFile, LimitedValuesGiveWayToDefaults) {
    struct Case {
        const char* value;
        double expected;
        const char* note; // "" for none
    };
    const Case cases[] = {
        {"2.4", 2.4, ""},
        {" -1.5 ", -1.5, ""},
        {"+3", 3, ""},
        {"1e1", 10, ""},
        {"1e308", 1.42, "Link:F = 1e308 is not between -2 and 300; the default 1.42 is used"},
        {"-300", 1.42, "Link:F = -300 is not between -2 and 300"},
        {"0x10", 1.42, "Link:F = 0x10 is not a number; the default 1.42 is used"},
        {"--5", 1.42, "is not a number"},
        {".", 1.42, "is not a number"},
        {"inf", 1.42, "is not a number"},
        {"nan", 1.42, "is not a number"},
        {"10 GHz", 1.42, "is not a number"},
        {"''", 1.42, "is not a number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const auto ini = SettingsFile::FromText(std::string("[Link]\nF = ") + c.value + "\n");
        std::vector<std::string> notes;
        EXPECT_EQ(ini.GetLimitedReal("Link:F", -2, 300, 1.42, notes), c.expected);
        if (*c.note) {
            ASSERT_EQ(notes.size(), 1u);
            EXPECT_NE(notes[0].find(c.note), std::string::npos) << notes[0];
        } else {
            EXPECT_TRUE(notes.empty()) << notes[0];
        }
    }
    std::vector<std::string> notes;
    const auto ini = SettingsFile::FromText("[L]\nA = 99\nB = 0x2\nC = 2.5\nD = 3\n");
    EXPECT_EQ(ini.GetLimitedInt("L:A", 0, 3, 0, notes), 0);
    EXPECT_EQ(ini.GetLimitedInt("L:B", 0, 3, 0, notes), 2); // as iniparser reads integers
    EXPECT_EQ(ini.GetLimitedInt("L:C", 0, 3, 1, notes), 1);
    EXPECT_EQ(ini.GetLimitedInt("L:D", 0, 3, 0, notes), 3);
    EXPECT_EQ(ini.GetLimitedInt("L:Missing", 0, 3, 2, notes), 2);
    EXPECT_EQ(notes,
              (std::vector<std::string>{"L:A = 99 is not between 0 and 3; the default 0 is used",
                                        "L:C = 2.5 is not a whole number; the default 1 is used"}));
}

} // namespace
} // namespace kestrova
