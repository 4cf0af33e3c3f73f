// The site evaluation page's small rules: the bearing arrows, the range
// taken over from the link, and the texts around the charts.
#pragma once

#include <string>

namespace kestrova {

// The arrows step the bearing by 1 degree and wrap: Up from 359 gives 0,
// Down from 1 gives 360 (each side keeps its own end of the circle).
double BearingUp(double bearingDeg);
double BearingDown(double bearingDeg);

// The link's range in the evaluation's kilometres: miles (kmPerMile) with
// the imperial unit system, kept within the evaluation's 0.1 .. 3000 km.
double EvalRangeKm(double linkRange, bool metric);

// "TX from " + the start location's text.
std::string EvalLocationText(const std::string& startLocation);
// The bottom axes: "Range (km) on bearing B from S" under the profile,
// "Range (km), on bearing B from S" under the field strength.
std::string ProfileRangeTitle(const std::string& bearing, const std::string& startLocation);
std::string FieldRangeTitle(const std::string& bearing, const std::string& startLocation);

} // namespace kestrova
