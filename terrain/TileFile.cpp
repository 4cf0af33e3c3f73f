#include "terrain/TileFile.h"

#include "files/InputFile.h"
#include "geo/FileLocations.h"
#include "terrain/TileZip.h"

#include <cctype>
#include <filesystem>
#include <new>

namespace kestrova {

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The tile's bytes from a plain file (at most a tile's worth), or empty
// when it is not a regular file, too short, or cannot be read in full.
// Nothing is allocated before the size is known.
std::vector<std::uint8_t> ReadTileBytes(const std::string& path) {
    InputFile file;
    if (!file.Open(path)) return {};
    const int size = TileSizeForBytes(file.Size());
    if (size == 0) return {};
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(TileBytesFor(size)));
    } catch (const std::bad_alloc&) {
        return {};
    }
    if (file.Read(bytes.data(), bytes.size()) != static_cast<long long>(bytes.size())) return {};
    return bytes;
}

// "n51w002" from ".../N51W002.hgt.zip".
std::string TileNameOf(const std::string& path) {
    std::string name = path.substr(path.rfind('/') + 1);
    return name.substr(0, name.find('.'));
}

} // namespace

std::uint64_t TileBytesFor(int size) {
    return static_cast<std::uint64_t>(size) * static_cast<std::uint64_t>(size) * 2u;
}

int TileSizeForBytes(std::uint64_t bytes) {
    if (bytes >= TileBytesFor(kTileSize1)) return kTileSize1;
    if (bytes >= TileBytesFor(kTileSize3)) return kTileSize3;
    return 0;
}

std::shared_ptr<const TileSamples> TileFromBytes(std::span<const std::uint8_t> bytes) {
    const int size = TileSizeForBytes(bytes.size());
    if (size == 0) return nullptr;
    try {
        auto tile = std::make_shared<TileSamples>();
        tile->size = size;
        tile->heights.resize(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
        // Big-endian to host order; bytes beyond the tile's are ignored.
        const std::uint8_t* in = bytes.data();
        int16_t* out = tile->heights.data();
        const std::size_t count = tile->heights.size();
        for (std::size_t i = 0; i < count; ++i)
            out[i] =
                static_cast<int16_t>(static_cast<std::uint16_t>(in[2 * i] << 8 | in[2 * i + 1]));
        return tile;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::shared_ptr<const TileSamples> ReadTileFile(const std::string& path) {
    if (EndsWith(path, ".zip") || EndsWith(path, ".ZIP"))
        return TileFromBytes(ReadZippedTile(path, TileNameOf(path)));
    return TileFromBytes(ReadTileBytes(path));
}

bool DirectoryHoldsTiles(const std::string& directory) {
    namespace fs = std::filesystem;
    std::error_code error;
    for (fs::directory_iterator it(directory.empty() ? fs::path(".") : fs::path(directory), error),
         end;
         !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (EndsWith(name, ".hgt") || EndsWith(name, ".hgt.zip")) return true;
    }
    return false;
}

std::string DemoTileDirectory() {
    const std::string path = FindProgramDataFile(demoTileName);
    return path.empty() ? path : path.substr(0, path.rfind('/') + 1);
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
