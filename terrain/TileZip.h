// Zipped SRTM tiles as the usual download sites serve them (n51w002.hgt.zip
// holding n51w002.hgt), read with minizip.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrova {

// The bytes of the first entry of the archive whose name ends in ".hgt"
// (any letter case) and whose size is a tile's size, checked against its
// CRC; empty when there is none or the archive is damaged.
std::vector<std::uint8_t> ReadZippedTile(const std::string& path);

} // namespace kestrova
