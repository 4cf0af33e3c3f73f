#include "terrain/TileZip.h"

#include "terrain/TileFile.h"

#include <unzip.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <new>

namespace kestrova {

namespace {

struct ZipCloser {
    void operator()(void* zip) const { unzClose(zip); }
};
using ZipHandle = std::unique_ptr<void, ZipCloser>;

bool NamesATile(const char* name) {
    std::string text(name);
    if (text.size() < 4) return false;
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text.compare(text.size() - 4, 4, ".hgt") == 0;
}

// The current entry, read in full and checked; empty on any failure.
std::vector<std::uint8_t> ReadEntry(unzFile zip, std::uint64_t size) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return {};
    }
    if (unzOpenCurrentFile(zip) != UNZ_OK) return {};
    std::size_t done = 0;
    while (done < bytes.size()) {
        const unsigned chunk =
            static_cast<unsigned>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        const int got = unzReadCurrentFile(zip, bytes.data() + done, chunk);
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    // One more byte than announced means the header lied; the close
    // reports a CRC mismatch once the whole entry has been read.
    std::uint8_t extra = 0;
    const bool longer = done == bytes.size() && unzReadCurrentFile(zip, &extra, 1) > 0;
    const bool checked = unzCloseCurrentFile(zip) == UNZ_OK;
    if (done != bytes.size() || longer || !checked) return {};
    return bytes;
}

} // namespace

std::vector<std::uint8_t> ReadZippedTile(const std::string& path) {
    const ZipHandle zip(unzOpen64(path.c_str()));
    if (!zip) return {};
    for (int status = unzGoToFirstFile(zip.get()); status == UNZ_OK;
         status = unzGoToNextFile(zip.get())) {
        unz_file_info64 info{};
        char name[256] = {};
        if (unzGetCurrentFileInfo64(zip.get(), &info, name, sizeof name - 1, nullptr, 0, nullptr,
                                    0) != UNZ_OK)
            return {};
        if (NamesATile(name) && TileSizeForBytes(info.uncompressed_size) != 0)
            return ReadEntry(zip.get(), info.uncompressed_size);
    }
    return {};
}

} // namespace kestrova
