// ITU-R's validation examples of P.452-18 ($KESTROVA_DATA/itu-p452-18): the
// profiles and their result rows, read as they stand.
#pragma once

#include "propagation/p452v18/P452v18.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kestrova::test {

struct ItuProfile {
    std::vector<double> d, h, clutter;
    std::vector<std::int8_t> zone; // the engine's codes: 1 sea, 2 coastal, 3 inland
    p452v18::Profile View() const { return {d, h, zone, clutter}; }
};

// One result row: its columns by header name (text as written).
using ItuRow = std::map<std::string, std::string>;

std::string ItuDirectory();
ItuProfile ReadItuProfile(const std::string& name);
std::vector<ItuRow> ReadItuResults(const std::string& name);
double Number(const ItuRow& row, const std::string& column);

// The row's inputs: ΔN from the ae column, N0 from its own, the path-centre
// latitude from the great-circle point half the profile length along.
p452v18::Inputs ItuInputs(const ItuRow& row);

// The names of the 17 profiles, as in test_profile_<name>.csv.
const std::vector<std::string>& ItuProfileNames();

} // namespace kestrova::test
