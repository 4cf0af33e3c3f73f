#include "terrain/Position.h"

#include <cmath>

namespace kestrova {

bool NormaliseLatLon(double& lat, double& lon) {
    bool southPoleCrossed = false;
    while (lat > 90.0) {
        lat = 180.0 - lat;
        lon -= 180.0;
    }
    while (lat < -90.0) {
        lat = -lat - 180.0;
        lon -= 180.0;
        southPoleCrossed = true;
    }
    // std::fmod is exact, so it gives the same longitude as subtracting 360
    // until the value fits, without looping for ever on a huge or infinite
    // longitude (an infinite one becomes NaN).
    if (std::fabs(lon) > 540.0) lon = std::fmod(lon, 360.0);
    while (lon > 180.0)
        lon -= 360.0;
    while (lon < -180.0)
        lon += 360.0;
    return southPoleCrossed;
}

bool IsFinitePosition(double lat, double lon) {
    return std::isfinite(lat) && std::isfinite(lon);
}

} // namespace kestrova
