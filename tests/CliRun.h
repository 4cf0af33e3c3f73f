// Runs kestrova-cli in-process, as the tool's own command line would, and
// keeps what it printed.
#pragma once

#include "cli/Commands.h"

#include <sstream>
#include <string>

namespace kestrova::cli {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

inline CliRun Cli(const Words& words) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCli(words, out, err);
    return {status, out.str(), err.str()};
}

} // namespace kestrova::cli
