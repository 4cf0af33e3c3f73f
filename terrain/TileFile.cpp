#include "terrain/TileFile.h"

#include "files/InputFile.h"
#include "geo/FileLocations.h"
#include "terrain/TileZip.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>

namespace kestrova {

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The tile's bytes from a plain file (at most a tile's worth), or empty,
// with problem set, when it is not a regular file, of a size no tile has,
// or cannot be read in full. Nothing is allocated before the size is known.
std::vector<std::uint8_t> ReadTileBytes(const std::string& path, std::string& problem) {
    InputFile file;
    if (!file.Open(path)) {
        problem = file.Problem();
        return {};
    }
    const int size = TileSizeForBytes(file.Size());
    if (size == 0) {
        problem = "is " + std::to_string(file.Size()) +
                  " bytes long, not the 2884802 of a 1201 x 1201 tile nor the 25934402 of a "
                  "3601 x 3601 one";
        return {};
    }
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(TileBytesFor(size)));
    } catch (const std::bad_alloc&) {
        problem = "is too large for the memory available";
        return {};
    }
    if (file.Read(bytes.data(), bytes.size()) != static_cast<long long>(bytes.size())) {
        problem = std::string("cannot be read: ") + std::strerror(errno);
        return {};
    }
    return bytes;
}

// True when every sample is void: such a file holds no terrain at all, and
// is more likely a damaged download than a real tile.
bool AllVoid(const TileSamples& tile) {
    return std::all_of(tile.heights.begin(), tile.heights.end(),
                       [](int16_t h) { return h <= -32767; });
}

// The entry of directory named name, ignoring letter case, whatever its
// kind (a dangling link too); "" when there is none.
std::string FindEntryIgnoringCase(const std::string& directory, const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path base = directory.empty() ? fs::path(".") : fs::path(directory);
    std::error_code error;
    if (fs::exists(fs::symlink_status(base / name, error))) return (base / name).string();
    const auto lower = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    const std::string wanted = lower(name);
    for (fs::directory_iterator it(base, error), end; !error && it != end; it.increment(error))
        if (lower(it->path().filename().string()) == wanted) return it->path().string();
    return {};
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
    for (int size : {kTileSize1, kTileSize3})
        if (bytes == TileBytesFor(size) || bytes == TileBytesFor(size) + 1) return size;
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
    std::string problem;
    return ReadTileFile(path, problem);
}

std::shared_ptr<const TileSamples> ReadTileFile(const std::string& path, std::string& problem) {
    problem.clear();
    const bool zipped = EndsWith(path, ".zip") || EndsWith(path, ".ZIP");
    const std::vector<std::uint8_t> bytes =
        zipped ? ReadZippedTile(path, TileNameOf(path), problem) : ReadTileBytes(path, problem);
    if (bytes.empty()) return nullptr;
    auto tile = TileFromBytes(bytes);
    if (!tile)
        problem = "is too large for the memory available";
    else if (AllVoid(*tile)) {
        problem = "holds no heights: every sample is void";
        tile.reset();
    }
    return tile;
}

bool IsRasterFileName(const std::string& name) {
    std::string lower = name;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto dot = lower.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string extension = lower.substr(dot + 1);
    for (const char* known : {"tif", "tiff", "vrt", "img", "dt0", "dt1", "dt2", "asc", "bil", "flt",
                              "bt", "ers", "nc", "grd", "gpkg", "jp2"})
        if (extension == known) return true;
    return false;
}

bool DirectoryHoldsTiles(const std::string& location) {
    namespace fs = std::filesystem;
    const auto holds = [](std::string name) {
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return EndsWith(name, ".hgt") || EndsWith(name, ".hgt.zip") || IsRasterFileName(name);
    };
    std::error_code error;
    std::string text = location;
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    if (!text.empty() && fs::is_regular_file(text, error))
        return holds(fs::path(text).filename().string());
    for (fs::directory_iterator it(text.empty() ? fs::path(".") : fs::path(text), error), end;
         !error && it != end; it.increment(error))
        if (holds(it->path().filename().string())) return true;
    return false;
}

std::string DemoTileDirectory() {
    const std::string path = FindProgramDataFile(demoTileName);
    return path.empty() ? path : path.substr(0, path.rfind('/') + 1);
}

std::shared_ptr<const TileSamples> ReadTile(const std::string& directory, const std::string& name) {
    return ReadTileChecked(directory, name).samples;
}

TileRead ReadTileChecked(const std::string& directory, const std::string& name) {
    TileRead read;
    for (const char* extension : {".hgt", ".hgt.zip"}) {
        const std::string path = FindEntryIgnoringCase(directory, name + extension);
        if (path.empty()) continue;
        std::string problem;
        read.samples = ReadTileFile(path, problem);
        if (read.samples) {
            read.problem.clear(); // a usable zipped tile beside a damaged plain one
            return read;
        }
        if (read.problem.empty()) read.problem = path + " " + problem;
    }
    return read;
}

} // namespace kestrova
