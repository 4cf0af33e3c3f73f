// Zipped SRTM tiles as the usual download sites serve them (n51w002.hgt.zip
// holding n51w002.hgt), read with minizip from memory.
//
// The entry used is the one named after the tile itself (any letter case,
// in any folder of the archive); failing that, the archive's only ".hgt"
// entry, unless that one is named after another tile. An archive whose tile
// entry belongs to another cell (n51w002.hgt.zip holding n10e010.hgt) is
// not the tile of this cell.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kestrova {

// The bytes of the tile entry of an archive held in memory, for the tile
// called name (e.g. "n51w002"), checked against the entry's CRC; empty when
// there is no such entry, it is not tile-sized, or the archive is damaged.
std::vector<std::uint8_t> UnzipTile(std::span<const std::uint8_t> archive, const std::string& name);

// The same from the archive file at path (a regular file only).
std::vector<std::uint8_t> ReadZippedTile(const std::string& path, const std::string& name);
// The same, with problem set to why the archive gives no tile (empty when
// it gives one).
std::vector<std::uint8_t> ReadZippedTile(const std::string& path, const std::string& name,
                                         std::string& problem);

} // namespace kestrova
