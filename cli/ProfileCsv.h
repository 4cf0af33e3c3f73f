// Surveyed profiles as CSV: a header line, then one point a line with the
// columns distance_km,height_m,zone (heights above sea level, ground only).
#pragma once

#include "propagation/engine/Terrain.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kestrova::cli {

// Throws InputError naming the line that cannot be used: fewer than three
// points, a field that is not a finite number, a zone outside 0..255,
// distances that do not start at 0 or do not increase, a distance beyond
// 3000 km, a height outside -500..9000 m, more than 999 points.
std::vector<ProfilePoint> ParseProfileCsv(const std::string& text);
// The file at path (a regular file of at most maxProfileBytes).
std::vector<ProfilePoint> ReadProfileCsv(const std::string& path);
inline constexpr std::size_t maxProfileBytes = 16 * 1024 * 1024;

} // namespace kestrova::cli
