// The words for terrain the store had no heights for, shared by the window
// and kestrova-cli so that both say the same. Where a sample (a point of a
// link's or a radial's profile, a coverage cell's own grid point) has no
// terrain data, the engine takes the ground as 0 m, as over the sea: the
// figures are still computed, but they do not stand on real heights there.
#pragma once

#include <string>
#include <vector>

namespace kestrova {

// A share 0..1 as a percentage that never reads 0 or 100 for a share
// strictly between: "37 %", "4.5 %", "under 0.1 %", "over 99.9 %".
std::string ShareText(double fraction);

// "no terrain data for 37 % of the path: the ground there is taken as 0 m";
// "" for a share of 0. what: "the path", "the radial", "the area".
std::string MissingTerrainText(double fraction, const std::string& what);

struct TerrainProfile;

// A run of neighbouring profile samples without terrain data, km from the
// transmitter: from the first sample of the run to its last (equal for a
// run of one sample).
struct NoTerrainStretch {
    double from = 0.0;
    double to = 0.0;
};

// The runs of the profile's first `count` samples marked noTerrain, in
// order; none for a profile with every height.
std::vector<NoTerrainStretch> NoTerrainStretches(const TerrainProfile& profile);

} // namespace kestrova
