// What a coverage map will take, known before it starts: areas that cannot
// be mapped, the cell count, memory and time, and the thread cap.
#include "coverage/CoveragePlan.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrova {
namespace {

TEST(CoveragePlan, AreasThatCannotBeMapped) {
    struct Case {
        const char* name;
        CLocator tx;
        double rangeKm;
        int resolution;
        const char* problem; // "" for an area that can be mapped
    } cases[] = {
        {"the default map", CLocator(51.35, -1.46), 50, 30, ""},
        {"over the North Pole", CLocator(89, 0), 3000, 3600, "reaches beyond the North Pole"},
        {"just past the North Pole", CLocator(89.5, 10), 60, 30, "beyond the North Pole"},
        {"over the South Pole", CLocator(-60, 0), 3000, 60, "beyond the South Pole"},
        {"too few cells", CLocator(51, 0), 1, 3600, "fewer than 5 x 5 cells"},
        {"too many cells", CLocator(0, 0), 3000, 1, "more than 16384 cells a side"},
        {"a square too wide for its latitude", CLocator(52, 0), 3000, 60, "beyond the North Pole"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string problem = CoverageAreaProblem(c.tx, c.rangeKm, c.resolution);
        if (*c.problem == 0) {
            EXPECT_EQ(problem, "");
            EXPECT_TRUE(CoverageAreaAround(c.tx, c.rangeKm, c.resolution));
        } else {
            EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
            EXPECT_FALSE(CoverageAreaAround(c.tx, c.rangeKm, c.resolution));
        }
    }
}

// A 150 km map at 1 arc-second near 51 N: about 240 million cells, each
// held in the grid's two bytes (and nine more while an image is made).
TEST(CoveragePlan, EstimateOfALargeMap) {
    const auto area = CoverageAreaAround(CLocator(51.35, -1.46), 150, 1);
    ASSERT_TRUE(area);
    const CoverageEstimate plain = EstimateCoverage(*area, 2, false);
    EXPECT_EQ(plain.cells, static_cast<long long>(area->n) * area->n);
    EXPECT_GT(plain.cells, 200'000'000);
    EXPECT_GT(plain.cells, coverageCellsToConfirm);
    EXPECT_GE(plain.bytes, 2u * static_cast<std::uint64_t>(plain.cells));
    EXPECT_LT(plain.bytes, 3u * static_cast<std::uint64_t>(plain.cells));
    EXPECT_GT(plain.seconds, 600.0); // minutes on two cores
    const CoverageEstimate image = EstimateCoverage(*area, 2, true);
    EXPECT_GE(image.bytes, 11u * static_cast<std::uint64_t>(plain.cells));
    EXPECT_NE(DescribeEstimate(plain, area->n)
                  .find(std::to_string(area->n) + " x " + std::to_string(area->n) + " = "),
              std::string::npos);
}

TEST(CoveragePlan, ThreadsAreCappedAtFourPerCore) {
    const auto area = CoverageAreaAround(CLocator(51.35, -1.46), 50, 30);
    ASSERT_TRUE(area);
    const int cores = CoreCount();
    CoverageInputs inputs;
    inputs.zoneDirectory = "/nonexistent-kestrova/";
    inputs.threads = 1'000'000'000;
    const CoverageJob job(*area, inputs); // never started
    EXPECT_EQ(job.ThreadCount(), std::min(4 * cores, area->n));
    EXPECT_EQ(EstimateCoverage(*area, inputs.threads, false).threads, job.ThreadCount());
}

TEST(CoveragePlan, AvailableMemoryIsKnown) {
    EXPECT_GT(AvailableMemoryBytes(), 0u); // Linux says it in /proc/meminfo
}

// Under an address-space limit (ulimit -v) the memory available is the room
// left below it, however much the machine has free: a plan that counted only
// MemAvailable went on to fail with "std::bad_alloc".
TEST(CoveragePlan, AvailableMemoryCountsTheAddressSpaceLimit) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::ifstream status("/proc/self/status");
        std::string line;
        std::uint64_t used = 0;
        while (std::getline(status, line))
            if (line.rfind("VmSize:", 0) == 0) used = std::stoull(line.substr(7)) * 1024;
        const std::uint64_t room = 64u << 20;
        const rlimit limit{used + room, RLIM_INFINITY};
        if (used == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(2);
        const std::uint64_t available = AvailableMemoryBytes();
        ::_exit(available > 0 && available <= room ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the limit not counted, 2: no limit could be set";
}

} // namespace
} // namespace kestrova
