// Reads a zip archive back with minizip's unzip side: each entry's name,
// compression method, MS-DOS date and time, and inflated content.
#pragma once

#include <unzip.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kestrova::test {

struct ZipEntry {
    std::string name;
    int method = -1;
    std::uint32_t dosDate = 0;
    tm_unz date{};
    std::string content;
};

// The entries in archive order; empty when the archive cannot be read.
inline std::vector<ZipEntry> ReadZip(const std::string& path) {
    std::vector<ZipEntry> entries;
    unzFile zip = unzOpen(path.c_str());
    if (zip == nullptr) return entries;
    for (int more = unzGoToFirstFile(zip); more == UNZ_OK; more = unzGoToNextFile(zip)) {
        unz_file_info info{};
        char name[512] = {};
        if (unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
            break;
        ZipEntry entry;
        entry.name = name;
        entry.method = static_cast<int>(info.compression_method);
        entry.dosDate = static_cast<std::uint32_t>(info.dosDate);
        entry.date = info.tmu_date;
        if (unzOpenCurrentFile(zip) != UNZ_OK) break;
        entry.content.resize(info.uncompressed_size);
        const int read = unzReadCurrentFile(zip, entry.content.data(),
                                            static_cast<unsigned>(entry.content.size()));
        // unzCloseCurrentFile checks the CRC-32 of what was read.
        const bool crcOk = unzCloseCurrentFile(zip) == UNZ_OK;
        if (read != static_cast<int>(entry.content.size()) || !crcOk) break;
        entries.push_back(entry);
    }
    unzClose(zip);
    return entries;
}

} // namespace kestrova::test
