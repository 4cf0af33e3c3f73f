// Tile files of every size and content: plain files of near-tile sizes,
// zipped tiles (garbage or real archives), odd upper-case names. Loading
// and looking up heights must never crash, and a cell whose file is not a
// tile must read as void.
#include "terrain/SRTM.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

namespace {

namespace fs = std::filesystem;

// A directory of the run's own, removed when the fuzzer exits.
class FuzzDirectory {
public:
    FuzzDirectory() {
        const fs::path base =
            fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        path_ = base / ("kestrova-tile-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(path_);
    }
    ~FuzzDirectory() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    std::string Dir() const { return path_.string() + "/"; }

private:
    fs::path path_;
};

void Write(const std::string& path, std::span<const std::uint8_t> bytes, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    // The payload repeated (or cut) to the chosen size.
    std::string block(bytes.begin(), bytes.end());
    if (block.empty()) block.assign(1, '\0');
    for (std::size_t done = 0; done < size; done += block.size())
        out.write(block.data(), static_cast<std::streamsize>(std::min(block.size(), size - done)));
}

bool IsTileSize(std::size_t size) {
    return size == 2884802 || size == 25934402;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const FuzzDirectory directory;
    const std::string dir = directory.Dir();
    for (const char* name : {"n00e000.hgt", "n00e000.hgt.zip", "N00E000.HGT"})
        std::remove((dir + name).c_str());

    const std::span<const std::uint8_t> payload(data + 1, size - 1);
    static const std::size_t sizes[] = {0, 1, 2884800, 2884801, 2884802, 2884803, 2884804};
    bool mustBeVoid = false;
    switch (data[0] % 4) {
    case 0: { // a plain file of a size near a tile's
        const std::size_t bytes = sizes[(payload.empty() ? 0 : payload[0]) % std::size(sizes)];
        Write(dir + "n00e000.hgt", payload, bytes);
        mustBeVoid = !IsTileSize(bytes);
        break;
    }
    case 1: // the payload as a zipped tile
        Write(dir + "n00e000.hgt.zip", payload, payload.size());
        break;
    case 2: // the payload as an upper-case plain file of its own size
        Write(dir + "N00E000.HGT", payload, payload.size());
        mustBeVoid = !IsTileSize(payload.size());
        break;
    default: // no file at all
        mustBeVoid = true;
        break;
    }

    kestrova::CSRTM store(2, dir);
    double probes[][2] = {{0.5, 0.5}, {0.0, 0.0}, {0.99999, 0.99999}, {1.0, 1.0}, {-1e-300, 0.5},
                          {0.5, 0.0}, {NAN, 0.5}, {0.5, INFINITY},    {0.0, 0.0}};
    if (payload.size() >= 16) {
        std::memcpy(&probes[8][0], payload.data(), 8);
        std::memcpy(&probes[8][1], payload.data() + 8, 8);
    }
    for (const auto& probe : probes)
        for (bool interpolate : {false, true}) {
            const int height = store.GetHeight(probe[0], probe[1], interpolate);
            if (height < -32767 || height > 32767) std::abort();
            const bool inCell = probe[0] >= 0 && probe[0] < 1 && probe[1] >= 0 && probe[1] < 1;
            if (mustBeVoid && inCell && !interpolate && height != -32767) std::abort();
        }
    store.GetArea(-0.1, -0.1, 6, 5, 0.25, data[0] & 0x10);
    return 0;
}
