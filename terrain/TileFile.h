// SRTM height tile files: one 1-degree cell of big-endian signed 16-bit
// heights, rows from north to south, columns from west to east, the edge
// rows and columns shared with the neighbouring cells. Two sizes exist:
// 3 arc-second tiles of 1201 x 1201 samples (2,884,802 bytes) and
// 1 arc-second tiles of 3601 x 3601 samples (25,934,402 bytes). The size
// of a tile is recognised from the size of its file: 25,934,402 bytes is a
// 1 arc-second tile and 2,884,802 bytes a 3 arc-second tile, each with one
// trailing byte tolerated (and ignored). A file of any other size is not a
// tile: a download cut short, or two files run together, would otherwise be
// read as a tile of the wrong spacing. Only regular files are read.
//
// A file found under a tile's name that cannot be used (not a regular file,
// unreadable, of a size no tile has, a damaged archive, or every sample
// void) is not silently taken for missing terrain: the reading says why, so
// that callers can name the file in a warning.
//
// TileSamples objects are immutable once made and may be shared and read
// by any number of threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace kestrova {

struct TileSamples {
    int size = 0;                 // samples per row and per column: 1201 or 3601
    std::vector<int16_t> heights; // size x size, host order, row-major from the north-west
};

constexpr int kTileSize3 = 1201;
constexpr int kTileSize1 = 3601;

// The samples per row of a tile file of the given size in bytes, or 0 when
// no tile has that size.
int TileSizeForBytes(std::uint64_t bytes);
// The bytes a tile of that many samples a row takes.
std::uint64_t TileBytesFor(int size);

// Samples from the bytes of a whole tile file; null when no tile has their
// size.
std::shared_ptr<const TileSamples> TileFromBytes(std::span<const std::uint8_t> bytes);

// The tile called name (without extension, e.g. "n51w002") in directory:
// name.hgt, found without regard to letter case (so N51W002.hgt too), or
// else the zipped download name.hgt.zip. Null when there is none or it
// cannot be read in full.
std::shared_ptr<const TileSamples> ReadTile(const std::string& directory, const std::string& name);

// The outcome of looking for one tile: its samples, or why a file found
// under its name gives none. Both empty: there is no such file at all.
struct TileRead {
    std::shared_ptr<const TileSamples> samples;
    std::string problem; // "<path> <reason>", e.g. "/t/n51w002.hgt is not a regular file"
};
// ReadTile, saying why a file named like the tile (of any kind: a
// directory, a FIFO or a dangling link too) cannot be used.
TileRead ReadTileChecked(const std::string& directory, const std::string& name);

// True when location holds terrain: a directory ("" the working directory)
// with at least one file named like a tile (*.hgt or *.hgt.zip, in any
// letter case) or an elevation raster (IsRasterFileName), or one such file.
bool DirectoryHoldsTiles(const std::string& location);
// True for the names of raster files GDAL may read as terrain (.tif, .vrt,
// .img, ...), compared without regard to letter case.
bool IsRasterFileName(const std::string& name);

// The demo tile shipped with the program (n51w002.hgt.zip, NASA SRTM, in
// the program's data directory), used until the user chooses a terrain
// directory; its directory with a trailing '/', or "" when it is missing.
std::string DemoTileDirectory();
inline constexpr const char* demoTileName = "n51w002.hgt.zip";
inline constexpr const char* demoTileDescription = "demo tile (51–52 N, 2–1 W)";

// One tile file, plain or zipped (by its ".zip" ending); a zipped file is
// the tile named by the file's own name (n51w002.hgt.zip: n51w002).
std::shared_ptr<const TileSamples> ReadTileFile(const std::string& path);
// The same, with problem set to why the file gives no tile ("" when it does).
std::shared_ptr<const TileSamples> ReadTileFile(const std::string& path, std::string& problem);

} // namespace kestrova
