// classify_zones LEVEL LARGE_LAKES OUT: reads the two masks written by
// make-zones.sh (one byte a cell, 10800 rows of 21600, north row first) and
// writes zones01.dem (see ZoneRule.h for the rule).
#include "ZoneRule.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr int kRows = 10800;
constexpr int kCols = 21600;

bool ReadMask(const char* path, std::vector<std::uint8_t>& mask) {
    std::ifstream in(path, std::ios::binary);
    mask.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return mask.size() == static_cast<std::size_t>(kRows) * kCols;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: classify_zones LEVEL LARGE_LAKES OUT\n");
        return 1;
    }
    std::vector<std::uint8_t> level;
    std::vector<std::uint8_t> largeLake;
    if (!ReadMask(argv[1], level) || !ReadMask(argv[2], largeLake)) {
        std::fprintf(stderr, "classify_zones: each mask must hold %d x %d bytes\n", kRows, kCols);
        return 1;
    }
    kestrova::zones::ZoneInput input{kRows, kCols, level.data(), largeLake.data()};
    const auto codes = kestrova::zones::ClassifyZones(input);
    const auto packed = kestrova::zones::PackZones(codes, kRows, kCols);
    std::ofstream out(argv[3], std::ios::binary);
    out.write(reinterpret_cast<const char*>(packed.data()),
              static_cast<std::streamsize>(packed.size()));
    if (!out) {
        std::fprintf(stderr, "classify_zones: cannot write %s\n", argv[3]);
        return 1;
    }
    std::size_t counts[4] = {};
    for (std::uint8_t code : codes)
        ++counts[code & 3];
    std::printf("sea %zu, coastal %zu, inland %zu cells\n", counts[1], counts[2], counts[3]);
    return 0;
}
