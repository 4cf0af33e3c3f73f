// kestrova-cli gas and climate.
#include "cli/Args.h"
#include "cli/Commands.h"

namespace kestrova::cli {

int RunGas(const Words&, std::ostream&) {
    throw InputError("not available yet");
}
int RunClimate(const Words&, std::ostream&) {
    throw InputError("not available yet");
}

} // namespace kestrova::cli
