// Surveyed profiles as CSV: a header line, then one point a line with the
// columns distance_km,height_m,zone (heights above sea level, ground only)
// and, optionally, clutter_m (the representative clutter height, m).
#pragma once

#include "propagation/engine/Terrain.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kestrova::cli {

inline constexpr std::size_t maxProfilePoints18 = 100000;

// What the edition of the calculation accepts: ITU-R P.452-14 takes at most
// 999 points with increasing distances, P.452-18 any number of points with
// distances that never decrease (a repeated distance is a zero-length step).
struct ProfileRules {
    std::size_t maxPoints = 999;
    bool repeatedDistances = false;
};
inline constexpr ProfileRules profileRules14{};
inline constexpr ProfileRules profileRules18{maxProfilePoints18, true};

// Throws InputError naming the line that cannot be used: fewer than three
// points, a field that is not a finite number, a zone outside 0..255, a
// clutter height outside 0..100 m, distances that do not start at 0 or do
// not increase (or, with repeatedDistances, decrease), a distance beyond
// 3000 km, a height outside -500..9000 m, more than maxPoints points.
std::vector<ProfilePoint> ParseProfileCsv(const std::string& text,
                                          const ProfileRules& rules = profileRules14);
// The file at path (a regular file of at most maxProfileBytes).
std::vector<ProfilePoint> ReadProfileCsv(const std::string& path,
                                         const ProfileRules& rules = profileRules14);
inline constexpr std::size_t maxProfileBytes = 16 * 1024 * 1024;

} // namespace kestrova::cli
