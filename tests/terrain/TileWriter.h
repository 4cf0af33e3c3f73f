// Helpers for the terrain tests: a temporary directory, made-up tiles and
// zone files written into it.
#pragma once

#include "TempDir.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kestrova::test {

using SampleFunction = std::function<int(int row, int col)>;

// The bytes of a size x size tile, big-endian, sample(row, col) each.
std::vector<std::uint8_t> TileBytes(int size, const SampleFunction& sample);
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
void WriteTile(const std::string& path, int size, const SampleFunction& sample);
// A zip archive holding one entry, stored (level 0) or deflated.
void WriteZip(const std::string& path, const std::string& entryName,
              const std::vector<std::uint8_t>& bytes, bool deflate = true);

// A zip archive of several deflated entries, in the order given.
void WriteZipEntries(const std::string& path,
                     const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& entries);

// A pattern whose neighbouring samples all differ: 37 per row, 11 per column.
int Pattern(int row, int col);

} // namespace kestrova::test
