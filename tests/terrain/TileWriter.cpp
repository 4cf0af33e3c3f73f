#include "TileWriter.h"

#include <zip.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

namespace kestrova::test {

namespace fs = std::filesystem;

std::vector<std::uint8_t> TileBytes(int size, const SampleFunction& sample) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size) * size * 2);
    std::size_t i = 0;
    for (int row = 0; row < size; ++row)
        for (int col = 0; col < size; ++col) {
            const auto value = static_cast<std::uint16_t>(sample(row, col));
            bytes[i++] = static_cast<std::uint8_t>(value >> 8);
            bytes[i++] = static_cast<std::uint8_t>(value & 0xff);
        }
    return bytes;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

void WriteTile(const std::string& path, int size, const SampleFunction& sample) {
    WriteFile(path, TileBytes(size, sample));
}

void WriteZip(const std::string& path, const std::string& entryName,
              const std::vector<std::uint8_t>& bytes, bool deflate) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) throw std::runtime_error("cannot create " + path);
    zip_fileinfo info{};
    zipOpenNewFileInZip64(zip, entryName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                          deflate ? Z_DEFLATED : 0, deflate ? 6 : 0, 0);
    zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size()));
    zipCloseFileInZip(zip);
    zipClose(zip, nullptr);
}

void WriteZipEntries(
    const std::string& path,
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& entries) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) throw std::runtime_error("cannot create " + path);
    for (const auto& [name, bytes] : entries) {
        zip_fileinfo info{};
        zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                              6, 0);
        zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
}

int Pattern(int row, int col) {
    return (row * 37 + col * 11) % 30000;
}

} // namespace kestrova::test
