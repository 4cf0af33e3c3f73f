// Files written by the command-line tool: to a temporary file beside the
// target, then renamed over it, so a failure never leaves half a file.
#pragma once

#include <string>

namespace kestrova::cli {

// Throws InputError naming the file when it cannot be written.
void WriteFileSafely(const std::string& path, const std::string& content);

} // namespace kestrova::cli
