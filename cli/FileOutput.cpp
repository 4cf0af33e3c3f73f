#include "cli/FileOutput.h"

#include "cli/Args.h"

namespace kestrova::cli {

void Check(const WriteOutcome& outcome) {
    if (!outcome) throw InputError(outcome.message);
}

void WriteFileSafely(const std::string& path, std::string_view content) {
    Check(WriteFileAtomically(path, content));
}

} // namespace kestrova::cli
