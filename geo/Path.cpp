#include "geo/Path.h"

#include "geo/LastValue.h"

#include <algorithm>
#include <cmath>

namespace kestrova {

void CPath::SetStart(const CLocator& start) {
    SetStart(start.GetLatitude(), start.GetLongitude());
}

// Range and bearing keep the values of the last SetPath; the start's own
// sine and cosine follow the new start so that PointAt is right from it.
void CPath::SetStart(double lat, double lon) {
    lat1 = lat * degToRad;
    lon1 = lon * degToRad;
    sinLat1 = std::sin(lat1);
    cosLat1 = std::cos(lat1);
    valid = true;
}

void CPath::SetPath(const CLocator& start, const CLocator& end) {
    SetPath(start.GetLatitude(), start.GetLongitude(), end.GetLatitude(), end.GetLongitude());
}

void CPath::SetPath(const CLocator& start, double lat2Deg, double lon2Deg) {
    SetPath(start.GetLatitude(), start.GetLongitude(), lat2Deg, lon2Deg);
}

void CPath::SetPath(double lat1Deg, double lon1Deg, const CLocator& end) {
    SetPath(lat1Deg, lon1Deg, end.GetLatitude(), end.GetLongitude());
}

void CPath::SetPath(double lat1Deg, double lon1Deg, double lat2Deg, double lon2Deg) {
    lat1 = lat1Deg * degToRad;
    lon1 = lon1Deg * degToRad;
    lat2 = lat2Deg * degToRad;
    lon2 = lon2Deg * degToRad;
    Compute();
    valid = true;
}

void CPath::Compute() {
    // Paths from one start (a map's cells) share its sine and cosine.
    static thread_local LastValue startSine;
    static thread_local LastValue startCosine;
    sinLat2 = std::sin(lat2);
    sinLat1 = startSine(lat1, [](double x) { return std::sin(x); });
    cosLat1 = startCosine(lat1, [](double x) { return std::cos(x); });
    cosLat2 = std::cos(lat2);
    // Rounding can put the argument just outside [-1, 1] for coincident or
    // antipodal points.
    distance = std::acos(
        std::clamp(std::cos(lon2 - lon1) * cosLat1 * cosLat2 + sinLat1 * sinLat2, -1.0, 1.0));

    bearing = 0.0;
    if (distance > 1e-6) {
        const double x = (sinLat2 - std::cos(distance) * sinLat1) / (std::sin(distance) * cosLat1);
        if (x > -1.0 && x < 1.0)
            bearing = std::acos(x);
        else if (x <= -1.0)
            bearing = pi;
    }
    // West of the start when the longitude difference, brought into
    // -180..180, is negative.
    const double dLon = std::remainder(lon2 - lon1, twoPi);
    if (dLon < 0.0) bearing = twoPi - bearing;
}

void CPath::GetRangeBearing(double& rangeKm, double& bearingDeg) const {
    rangeKm = distance * earthRadiusKm;
    bearingDeg = bearing * radToDeg;
}

void CPath::PointAtRange(double rangeKm, double& lat, double& lon) const {
    PointAt(bearing * radToDeg, rangeKm, lat, lon);
}

void CPath::PointAt(double bearingDeg, double rangeKm, double& lat, double& lon) const {
    const double delta = rangeKm / earthRadiusKm;
    const double theta = bearingDeg * degToRad;
    const double phi =
        std::asin(std::cos(theta) * std::sin(delta) * cosLat1 + std::cos(delta) * sinLat1);
    const double x = (std::cos(delta) - std::sin(phi) * sinLat1) / (std::cos(phi) * cosLat1);
    double dLambda = 0.0;
    if (x < -1.0)
        dLambda = pi;
    else if (x <= 1.0)
        dLambda = std::acos(x);
    lat = phi * radToDeg;
    lon = (bearingDeg >= 0.0 && bearingDeg < 180.0 ? lon1 + dLambda : lon1 - dLambda) * radToDeg;
}

CLocator EndPointFromRangeBearing(const CLocator& start, double rangeKm, double bearingDeg) {
    if (!start.IsValid()) return CLocator();
    double lat = 0.0;
    double lon = 0.0;
    start.DestinationPoint(lat, lon, rangeKm, bearingDeg);
    // The end lies at most 180 degrees of longitude from the start.
    if (lon < -180.0) lon += 360.0;
    if (lon > 180.0) lon -= 360.0;
    return CLocator(lat, lon);
}

} // namespace kestrova
