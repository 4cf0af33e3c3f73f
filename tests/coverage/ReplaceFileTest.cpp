// Files written by name through a temporary beside them: a writer that
// fails half-way leaves the earlier file whole and no temporary behind.
#include "coverage/ReplaceFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kestrova {
namespace {

std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

int FilesIn(const test::TempDir& dir) {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(dir.Path()),
                                          std::filesystem::directory_iterator()));
}

TEST(WriteReplacing, AFailedWriterLeavesTheEarlierFile) {
    const test::TempDir dir;
    const std::string target = dir.Path("coverage.kmz");
    dir.Write("coverage.kmz", "earlier");
    const std::string error = WriteReplacing(target, [&](const std::string& temporary) {
        EXPECT_EQ(std::filesystem::path(temporary).parent_path(), dir.Path());
        std::ofstream(temporary) << "half a fi";
        return std::string("error in writing doc.kml in the zipfile");
    });
    EXPECT_EQ(error, "could not write \"" + target + "\": error in writing doc.kml in the zipfile");
    EXPECT_EQ(Read(target), "earlier");
    EXPECT_EQ(FilesIn(dir), 1);
}

TEST(WriteReplacing, ASuccessfulWriterReplacesTheFile) {
    const test::TempDir dir;
    const std::string target = dir.Path("coverage.tif");
    dir.Write("coverage.tif", "earlier");
    EXPECT_EQ(WriteReplacing(target,
                             [](const std::string& temporary) {
                                 std::ofstream(temporary) << "new";
                                 return std::string();
                             }),
              "");
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(FilesIn(dir), 1);
    // A target in a directory that does not exist: the writer never runs.
    bool ran = false;
    EXPECT_NE(WriteReplacing(dir.Path("missing/coverage.tif"),
                             [&](const std::string&) {
                                 ran = true;
                                 return std::string();
                             }),
              "");
    EXPECT_FALSE(ran);
}

} // namespace
} // namespace kestrova
