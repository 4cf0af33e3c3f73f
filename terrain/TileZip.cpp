#include "terrain/TileZip.h"

#include "files/InputFile.h"
#include "terrain/TileFile.h"

#include <unzip.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <new>

namespace kestrova {

namespace {

// No zipped tile is larger than this, compressed or not: a 1 arc-second
// tile is 25,934,402 bytes.
constexpr std::uint64_t maxArchiveBytes = 64ull * 1024 * 1024;
constexpr std::uint64_t maxEntryBytes = 64ull * 1024 * 1024;

// minizip's file functions over an archive in memory.
struct MemoryArchive {
    std::span<const std::uint8_t> bytes;
    std::uint64_t position = 0;
};

voidpf ZCALLBACK OpenMemory(voidpf opaque, const void*, int) {
    return opaque;
}

uLong ZCALLBACK ReadMemory(voidpf, voidpf stream, void* buffer, uLong size) {
    auto& archive = *static_cast<MemoryArchive*>(stream);
    const std::uint64_t left =
        archive.bytes.size() - std::min<std::uint64_t>(archive.position, archive.bytes.size());
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(size, left));
    if (count > 0) std::memcpy(buffer, archive.bytes.data() + archive.position, count);
    archive.position += count;
    return static_cast<uLong>(count);
}

uLong ZCALLBACK WriteMemory(voidpf, voidpf, const void*, uLong) {
    return 0;
}

ZPOS64_T ZCALLBACK TellMemory(voidpf, voidpf stream) {
    return static_cast<MemoryArchive*>(stream)->position;
}

long ZCALLBACK SeekMemory(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto& archive = *static_cast<MemoryArchive*>(stream);
    std::uint64_t base = 0;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR)
        base = archive.position;
    else if (origin == ZLIB_FILEFUNC_SEEK_END)
        base = archive.bytes.size();
    else if (origin != ZLIB_FILEFUNC_SEEK_SET)
        return -1;
    if (offset > archive.bytes.size() || base > archive.bytes.size() - offset) return -1;
    archive.position = base + offset;
    return 0;
}

int ZCALLBACK CloseMemory(voidpf, voidpf) {
    return 0;
}

int ZCALLBACK ErrorMemory(voidpf, voidpf) {
    return 0;
}

struct ZipCloser {
    void operator()(void* zip) const { unzClose(zip); }
};
using ZipHandle = std::unique_ptr<void, ZipCloser>;

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The part of an entry's name after its last folder, in lower case.
std::string BaseName(const char* entry) {
    std::string name(entry);
    const std::size_t slash = name.find_last_of("/\\");
    return Lower(slash == std::string::npos ? name : name.substr(slash + 1));
}

bool EndsWithHgt(const std::string& name) {
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".hgt") == 0;
}

// "n51w002.hgt", "s34e151.hgt": a name the tile-name pattern makes.
bool IsTileName(const std::string& name) {
    if (name.size() != 11 || !EndsWithHgt(name)) return false;
    const auto digit = [&](std::size_t i) {
        return std::isdigit(static_cast<unsigned char>(name[i]));
    };
    return (name[0] == 'n' || name[0] == 's') && digit(1) && digit(2) &&
           (name[3] == 'e' || name[3] == 'w') && digit(4) && digit(5) && digit(6);
}

struct Entry {
    bool found = false;
    ZPOS64_T offset = 0; // unzGetOffset64, to come back to it
    std::uint64_t size = 0;
};

// The entry to read for the tile called name (see the header).
Entry ChooseEntry(unzFile zip, const std::string& name) {
    const std::string own = Lower(name) + ".hgt";
    Entry match;
    Entry only;
    int hgtEntries = 0;
    for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
        unz_file_info64 info{};
        char entryName[256] = {};
        if (unzGetCurrentFileInfo64(zip, &info, entryName, sizeof entryName - 1, nullptr, 0,
                                    nullptr, 0) != UNZ_OK)
            return {};
        const std::string base = BaseName(entryName);
        if (!EndsWithHgt(base)) continue;
        ++hgtEntries;
        const Entry entry{true, unzGetOffset64(zip), info.uncompressed_size};
        if (base == own) {
            match = entry;
            break;
        }
        if (!IsTileName(base)) only = entry;
    }
    if (match.found) return match;
    return hgtEntries == 1 ? only : Entry{};
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

std::vector<std::uint8_t> UnzipTile(std::span<const std::uint8_t> archive,
                                    const std::string& name) {
    MemoryArchive memory{archive};
    zlib_filefunc64_def functions{OpenMemory, ReadMemory,  WriteMemory, TellMemory,
                                  SeekMemory, CloseMemory, ErrorMemory, &memory};
    const ZipHandle zip(unzOpen2_64("memory", &functions));
    if (!zip) return {};
    const Entry entry = ChooseEntry(zip.get(), name);
    if (!entry.found || TileSizeForBytes(entry.size) == 0 || entry.size > maxEntryBytes) return {};
    if (unzSetOffset64(zip.get(), entry.offset) != UNZ_OK) return {};
    return ReadEntry(zip.get(), entry.size);
}

std::vector<std::uint8_t> ReadZippedTile(const std::string& path, const std::string& name) {
    std::string problem;
    return ReadZippedTile(path, name, problem);
}

std::vector<std::uint8_t> ReadZippedTile(const std::string& path, const std::string& name,
                                         std::string& problem) {
    std::string bytes;
    problem.clear();
    if (!ReadWholeFile(path, maxArchiveBytes, bytes, problem)) return {};
    auto tile = UnzipTile(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), name);
    if (tile.empty())
        problem =
            "is not a zip archive holding a whole " + name + ".hgt tile (damaged, or cut short)";
    return tile;
}

} // namespace kestrova
