// Data files are read only when they are regular files: a FIFO or a
// directory is refused at once, never waited on.
#include "files/InputFile.h"

#include "TempDir.h"
#include "Timeout.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace kestrova {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(InputFile, OnlyRegularFilesOpen) {
    TempDir dir;
    dir.Write("file", "12345");
    fs::create_directory(dir.Path("folder"));
    ASSERT_EQ(mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    fs::create_symlink("file", dir.Path("link"));
    fs::create_symlink("fifo", dir.Path("fifo-link"));
    struct Case {
        const char* name;
        const char* problem; // "" opens
    } cases[] = {{"file", ""},
                 {"link", ""},
                 {"missing", "does not exist"},
                 {"folder", "is not a regular file"},
                 {"fifo", "is not a regular file"},
                 {"fifo-link", "is not a regular file"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.Path(c.name);
        EXPECT_EQ(RegularFileProblem(path), c.problem);
        EXPECT_TRUE(test::FinishesWithin(5, [&] {
            InputFile file;
            const bool open = file.Open(path);
            return open == (*c.problem == 0) && file.Problem() == c.problem;
        }));
    }
}

TEST(ReadWholeFile, ReadsUpToItsLimit) {
    TempDir dir;
    dir.Write("file", "12345");
    std::string bytes;
    std::string problem;
    ASSERT_TRUE(ReadWholeFile(dir.Path("file"), 5, bytes, problem));
    EXPECT_EQ(bytes, "12345");
    EXPECT_FALSE(ReadWholeFile(dir.Path("file"), 4, bytes, problem));
    EXPECT_EQ(problem, "is larger than 4 bytes");
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(ReadWholeFile(dir.Path("missing"), 4, bytes, problem));
    EXPECT_EQ(problem, "does not exist");
}

} // namespace
} // namespace kestrova
