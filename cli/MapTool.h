// The commands that draw images (coverage, coverage-batch, merge,
// terrain-map, zone-map) run in kestrova-cli-maps, the same tool linked with
// QtGui, installed beside kestrova-cli. kestrova-cli replaces itself by it
// for them, so that the other commands start without loading Qt and its
// libraries.
#pragma once

#include "cli/Commands.h"

#include <ostream>

namespace kestrova::cli {

inline constexpr const char* mapToolName = "kestrova-cli-maps";

// Runs "kestrova-cli-maps command words..." in place of this process (its
// exit status becomes this one's); returns only by throwing InputError when
// the tool cannot be started.
int RunInMapTool(const char* command, const Words& words, std::ostream& out);

} // namespace kestrova::cli
