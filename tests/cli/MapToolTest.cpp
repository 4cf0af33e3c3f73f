// kestrova-cli starts without Qt and hands the commands that draw to
// kestrova-cli-maps, whose results are those of the commands run in one
// process.
#include "CliRun.h"
#include "TempDir.h"
#include "geo/FileLocations.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace kestrova::cli {
namespace {

struct ShellRun {
    int status = -1;
    std::string out; // standard output and error together
};

ShellRun Shell(const std::string& command) {
    ShellRun run;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Tool() {
    return "'" + ExecutableDirectory() + "kestrova-cli'";
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(MapTool, TheToolLoadsNoQt) {
    // The loader lists the libraries a program needs, and runs nothing.
    const ShellRun libraries = Shell("LD_TRACE_LOADED_OBJECTS=1 " + Tool());
    ASSERT_EQ(libraries.status, 0) << libraries.out;
    EXPECT_NE(libraries.out.find("libc.so"), std::string::npos) << libraries.out;
    EXPECT_EQ(libraries.out.find("libQt6"), std::string::npos) << libraries.out;
    EXPECT_EQ(libraries.out.find("libgdal"), std::string::npos) << libraries.out;
}

TEST(MapTool, MapCommandsGiveTheSameFilesAndMistakes) {
    test::TempDir dir;
    const std::string tiles = ExecutableDirectory();
    const Words coverage = {"coverage",         "--tx", "SU374616", "--range", "5",
                            "--resolution",     "30",   "--tiles",  tiles,     "--csv",
                            dir.Path("one.csv")};
    const CliRun inProcess = Cli(coverage);
    ASSERT_EQ(inProcess.status, 0) << inProcess.err;
    const ShellRun tool = Shell(Tool() + " coverage --tx SU374616 --range 5 --resolution 30 --tiles '" +
                           tiles + "' --csv '" + dir.Path("two.csv") + "'");
    ASSERT_EQ(tool.status, 0) << tool.out;
    EXPECT_EQ(Contents(dir.Path("one.csv")), Contents(dir.Path("two.csv")));

    const ShellRun mistake = Shell(Tool() + " zone-map --bogus");
    EXPECT_EQ(mistake.status, 1);
    EXPECT_NE(mistake.out.find("kestrova-cli zone-map: unknown option --bogus"), std::string::npos)
        << mistake.out;
    const ShellRun help = Shell(Tool() + " terrain-map --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: kestrova-cli terrain-map"), std::string::npos) << help.out;
}

} // namespace
} // namespace kestrova::cli
