#include "terrain/TileFile.h"

#include "geo/FileLocations.h"
#include "terrain/TileZip.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>

namespace kestrova {

namespace {

constexpr std::uint64_t BytesOf(int size) {
    return static_cast<std::uint64_t>(size) * static_cast<std::uint64_t>(size) * 2u;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The whole file in one buffer, or empty when it is not tile-sized or
// cannot be read in full. The size is checked before anything is
// allocated, so an over-long file costs nothing.
std::vector<std::uint8_t> ReadTileBytes(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    std::vector<std::uint8_t> bytes;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        TileSizeForBytes(static_cast<std::uint64_t>(info.st_size)) != 0) {
        try {
            bytes.resize(static_cast<std::size_t>(info.st_size));
        } catch (const std::bad_alloc&) {
            bytes.clear();
        }
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (got <= 0) break;
            done += static_cast<std::size_t>(got);
        }
        if (done != bytes.size()) bytes.clear();
    }
    ::close(fd);
    return bytes;
}

} // namespace

int TileSizeForBytes(std::uint64_t bytes) {
    if (bytes == BytesOf(kTileSize3)) return kTileSize3;
    if (bytes == BytesOf(kTileSize1)) return kTileSize1;
    return 0;
}

std::shared_ptr<const TileSamples> TileFromBytes(std::span<const std::uint8_t> bytes) {
    const int size = TileSizeForBytes(bytes.size());
    if (size == 0) return nullptr;
    try {
        auto tile = std::make_shared<TileSamples>();
        tile->size = size;
        tile->heights.resize(bytes.size() / 2);
        // Big-endian to host order.
        for (std::size_t i = 0; i < tile->heights.size(); ++i)
            tile->heights[i] = static_cast<int16_t>(
                static_cast<std::uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]));
        return tile;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::shared_ptr<const TileSamples> ReadTileFile(const std::string& path) {
    if (EndsWith(path, ".zip") || EndsWith(path, ".ZIP"))
        return TileFromBytes(ReadZippedTile(path));
    return TileFromBytes(ReadTileBytes(path));
}

std::shared_ptr<const TileSamples> ReadTile(const std::string& directory, const std::string& name) {
    for (const char* extension : {".hgt", ".hgt.zip"}) {
        const std::string path = FindFileIgnoringCase(name + extension, {directory});
        if (path.empty()) continue;
        if (auto tile = ReadTileFile(path)) return tile;
    }
    return nullptr;
}

} // namespace kestrova
