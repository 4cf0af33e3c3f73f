// Files written by the command-line tool, through the one safe writer
// (files/SafeWrite.h): a temporary file beside the target renamed over it
// when complete, never over a directory, FIFO or device.
#pragma once

#include "files/SafeWrite.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrova::cli {

// Throws InputError with the writer's message when the file cannot be
// written.
void WriteFileSafely(const std::string& path, std::string_view content);

// Throws InputError with the writer's message unless the outcome is ok.
void Check(const WriteOutcome& outcome);

// An output file named by an option ("csv" for --csv).
struct OutputTarget {
    std::string option;
    std::string path;
};

// The outputs of a command, checked before its work so that a long run
// never ends in a refusal, nor one output silently over another: throws
// UsageError when two options name the same file (through links too), and
// InputError with the writer's message for the first target that could not
// be written (see WriteTargetProblem). Targets absent from the list are
// options not given.
void CheckOutputTargets(const std::vector<OutputTarget>& targets);

} // namespace kestrova::cli
