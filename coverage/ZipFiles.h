// A zip archive of whole files through minizip's zip writer, each entry
// deflated by zlib and dated with its file's modification time.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace kestrova {

// Packs the files names (read from directory) into a new archive, in the
// order given, each entry named after its file. An existing archive is
// replaced. Returns 0 on success, else the failing minizip code or -1, and
// says on diagnostics which file failed ("error in opening doc.kml for
// reading").
int ZipFiles(const std::string& archive, const std::string& directory,
             const std::vector<std::string>& names, std::ostream& diagnostics);

// A file's last-write time in local time as an MS-DOS date (high word) and
// time (low word), times before 1980 as 1 January 1980; nullopt-like false
// when the file cannot be found, dosDateTime then being 0.
bool GetFileDosTime(const std::string& path, std::uint32_t& dosDateTime);

} // namespace kestrova
