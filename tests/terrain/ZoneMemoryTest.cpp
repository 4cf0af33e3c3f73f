// A zone map that is there but cannot be mapped for lack of address space
// is not a missing map: the store says so, and the commands refuse to go on
// with zone 0 everywhere.
#include "CliRun.h"
#include "TempDir.h"
#include "terrain/Zones.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrova {
namespace {

// Runs check in a child process whose address space may grow by room bytes
// at most; its exit status (0 when check held), or -1 when it could not run.
int UnderAddressSpaceLimit(std::uint64_t room, const std::function<bool()>& check) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        std::ifstream status("/proc/self/status");
        std::string line;
        std::uint64_t used = 0;
        while (std::getline(status, line))
            if (line.rfind("VmSize:", 0) == 0) used = std::stoull(line.substr(7)) * 1024;
        const rlimit limit{used + room, RLIM_INFINITY};
        if (used == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TEST(ZoneMapMemory, AMapThatCannotBeMappedIsAnError) {
    test::TempDir dir;
    // A zone map of the right size (all zone 0), made sparse.
    { std::ofstream(dir.Path("zones01.dem")); }
    std::filesystem::resize_file(dir.Path("zones01.dem"), CZONES::kFileBytes);

    EXPECT_EQ(UnderAddressSpaceLimit(1u << 30,
                                     [&] {
                                         const CZONES zones(dir.Dir());
                                         return zones.IsUsable() && !zones.OutOfMemory();
                                     }),
              0);
    // 16 MB of room: the 58 MB map cannot be mapped.
    EXPECT_EQ(UnderAddressSpaceLimit(16u << 20,
                                     [&] {
                                         const CZONES zones(dir.Dir());
                                         return !zones.IsUsable() && zones.OutOfMemory();
                                     }),
              0);
    // A missing map is not short of memory.
    const CZONES missing(dir.Path("none") + "/");
    EXPECT_FALSE(missing.IsUsable());
    EXPECT_FALSE(missing.OutOfMemory());

    EXPECT_EQ(UnderAddressSpaceLimit(
                  16u << 20,
                  [&] {
                      const cli::CliRun run =
                          cli::Cli({"zone", "51.5", "-1.5", "--zones", dir.Path("zones01.dem")});
                      return run.status == 2 && run.err.find("cannot be mapped: not enough "
                                                             "memory") != std::string::npos;
                  }),
              0);
}

} // namespace
} // namespace kestrova
