// kestrova-cli link --batch LINKS.csv: a header row naming columns after
// link's long options without dashes (tx, rx, format, freq, percent,
// tx-height, ...), then one link a row. A row's cell wins over the command
// line's option; an empty cell or a missing column leaves the command
// line's. The results go out in the rows' order: a CSV (row, path length
// and losses in dB), or with --json one object a line holding "row" and the
// keys of link --json. A row that cannot be read is named on the error
// stream and skipped (exit status 2 at the end); a calculation that fails
// is named too (status 3, and a line with "valid": false in JSON).
#pragma once

#include "cli/Args.h"

#include <ostream>

namespace kestrova::cli {

int RunLinkBatch(const Args& args, std::ostream& out);

} // namespace kestrova::cli
