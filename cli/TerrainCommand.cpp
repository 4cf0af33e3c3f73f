// kestrova-cli height and zone.
#include "cli/Args.h"
#include "cli/Commands.h"

namespace kestrova::cli {

int RunHeight(const Words&, std::ostream&) {
    throw InputError("not available yet");
}
int RunZone(const Words&, std::ostream&) {
    throw InputError("not available yet");
}

} // namespace kestrova::cli
