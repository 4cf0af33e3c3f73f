#include "evaluation/RadialControls.h"
#include "geo/Units.h"

#include <algorithm>

namespace kestrova {

double BearingUp(double bearingDeg) {
    return bearingDeg < 359.0 ? bearingDeg + 1.0 : bearingDeg - 359.0;
}

double BearingDown(double bearingDeg) {
    return bearingDeg > 1.0 ? bearingDeg - 1.0 : bearingDeg + 359.0;
}

double EvalRangeKm(double linkRange, bool metric) {
    const double km = metric ? linkRange : linkRange * kmPerMile;
    return std::clamp(km, 0.1, 3000.0);
}

std::string EvalLocationText(const std::string& startLocation) {
    return "TX from " + startLocation;
}

std::string ProfileRangeTitle(const std::string& bearing, const std::string& startLocation) {
    return "Range (km) on bearing " + bearing + " from " + startLocation;
}

std::string FieldRangeTitle(const std::string& bearing, const std::string& startLocation) {
    return "Range (km), on bearing " + bearing + " from " + startLocation;
}

} // namespace kestrova
