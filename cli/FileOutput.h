// Files written by the command-line tool, through the one safe writer
// (files/SafeWrite.h): a temporary file beside the target renamed over it
// when complete, never over a directory, FIFO or device.
#pragma once

#include "files/SafeWrite.h"

#include <string>
#include <string_view>

namespace kestrova::cli {

// Throws InputError with the writer's message when the file cannot be
// written.
void WriteFileSafely(const std::string& path, std::string_view content);

// Throws InputError with the writer's message unless the outcome is ok.
void Check(const WriteOutcome& outcome);

} // namespace kestrova::cli
