// Writing a file that a library writes by name (the zip writer, GDAL):
// the writer fills a fresh temporary file beside the target, which then
// replaces the target in one rename. A failed write leaves no half-written
// file and any earlier file whole.
#pragma once

#include <functional>
#include <string>

namespace kestrova {

// write(temporaryPath) returns an empty string on success, else what went
// wrong. Returns an empty string when the target was replaced, else a
// message naming the target.
std::string WriteReplacing(const std::string& target,
                           const std::function<std::string(const std::string&)>& write);

} // namespace kestrova
