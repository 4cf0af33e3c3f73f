// The zone map read from a file of fuzzed content: a file of the zone map's
// size gives codes 0..3 inside the grid (the two bits the file holds for the
// nearest cell) and 255 outside; a file of any other size gives 0 for every
// position; GetArea never reads outside the map.
//
// Input: byte 0 chooses a file of another size (multiple of 4) or bytes
// written into a zone map of the right size; then the offset or size, the
// positions (pairs of doubles) and the payload.
#include "terrain/Zones.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using kestrova::CZONES;

// A zone file of the right size, sparse (all sea-less zeros) until written.
class ZoneFile {
public:
    ZoneFile() {
        const fs::path base =
            fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        directory = (base / ("kestrova-zone-fuzz-" + std::to_string(::getpid()))).string() + "/";
        fs::create_directories(directory);
        fd = ::open((directory + "zones01.dem").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        Resize(CZONES::kFileBytes);
    }
    ~ZoneFile() {
        ::close(fd);
        std::error_code error;
        fs::remove_all(directory, error);
    }
    void Resize(std::uint64_t bytes) const {
        if (::ftruncate(fd, static_cast<off_t>(bytes)) != 0) std::abort();
    }
    void Write(std::uint64_t offset, const std::uint8_t* bytes, std::size_t count) const {
        if (::pwrite(fd, bytes, count, static_cast<off_t>(offset)) != static_cast<ssize_t>(count))
            std::abort();
    }
    std::uint8_t At(std::uint64_t offset) const {
        std::uint8_t byte = 0;
        if (::pread(fd, &byte, 1, static_cast<off_t>(offset)) != 1) std::abort();
        return byte;
    }

    std::string directory;
    int fd = -1;
};

std::uint64_t Word(const std::uint8_t* data) {
    std::uint64_t value = 0;
    std::memcpy(&value, data, sizeof value);
    return value;
}

double Double(const std::uint8_t* data) {
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    return value;
}

// The code the file holds for the cell nearest a position on the grid, or
// 255 off it (the layout of the zone file, independently of the reader).
int Expected(const ZoneFile& file, double lat, double lon) {
    CZONES::NormalisePosition(lat, lon);
    const double row = std::trunc((90.0 - 1.0 / 120.0 - lat) * 60.0 + 0.5);
    const double col = std::trunc((lon + 180.0 - 1.0 / 120.0) * 60.0 + 0.5);
    if (!(row >= 0 && row < CZONES::kGridRows && col >= 0 && col < CZONES::kGridCols)) return 255;
    const auto c = static_cast<std::uint64_t>(col);
    const std::uint8_t byte =
        file.At(static_cast<std::uint64_t>(row) * CZONES::kBytesPerRow + c / 4);
    return (byte >> (6 - 2 * (c % 4))) & 3;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 + 8 + 32) return 0;
    static const ZoneFile file;
    const bool otherSize = data[0] % 4 == 0;
    const std::uint64_t length = otherSize
                                     ? Word(data + 1) % (2 * CZONES::kFileBytes) & ~std::uint64_t{3}
                                     : CZONES::kFileBytes;
    const std::uint64_t offset = Word(data + 1) % CZONES::kFileBytes;
    const std::uint8_t* payload = data + 41;
    const std::size_t payloadSize = std::min<std::size_t>(size - 41, CZONES::kFileBytes - offset);
    if (otherSize)
        file.Resize(length);
    else
        file.Write(offset, payload, payloadSize);

    {
        const CZONES zones(file.directory);
        const bool usable = zones.IsUsable();
        if (usable != (length == CZONES::kFileBytes)) std::abort();
        for (int p = 0; p < 2; ++p) {
            const double lat = Double(data + 9 + 16 * p);
            const double lon = Double(data + 17 + 16 * p);
            const int zone = zones.GetZone(lat, lon);
            if (zone != (usable ? Expected(file, lat, lon) : 0)) std::abort();
        }
        CZONES areaZones(file.directory);
        const double lonWest = std::fmod(Double(data + 9), 400.0);
        const double latSouth = std::fmod(Double(data + 17), 200.0);
        const double step = Double(data + 25);
        const kestrova::CZoneGrid* grid =
            areaZones.GetArea(lonWest, latSouth, data[0] % 7, data[0] / 7 % 7, step);
        if (grid)
            for (int i = 0; i < grid->Rows(); ++i)
                for (int j = 0; j < grid->Cols(); ++j)
                    if ((*grid)[i][j] > 3 && (*grid)[i][j] != 255) std::abort();
    }

    // Back to a zone map of zeros for the next run.
    if (otherSize) {
        file.Resize(0);
        file.Resize(CZONES::kFileBytes);
    } else {
        static const std::uint8_t zeros[4096] = {};
        for (std::size_t done = 0; done < payloadSize; done += sizeof zeros)
            file.Write(offset + done, zeros, std::min(sizeof zeros, payloadSize - done));
    }
    return 0;
}
