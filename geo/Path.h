// CPath: the great-circle path between two positions on a sphere of radius
// 6371 km; range, initial bearing and the point at any range along it.
//
// The side of the start that the end lies on is decided from the longitude
// difference brought into -180..180, so a path across the date line walks
// the short way. Longitudes returned by PointAt are not wrapped into ±180.
#pragma once

#include "geo/Locator.h"

namespace kestrova {

// The start of a path and its initial bearing, radians, with the sine and
// cosine of the start's latitude that every point along it uses.
struct PathStart {
    double lat = 0.0;
    double lon = 0.0;
    double sinLat = 0.0;
    double cosLat = 0.0;
    double bearing = 0.0; // 0..2π
};

class CPath {
public:
    static constexpr double earthRadiusKm = 6371.0;
    static constexpr double degToRad = 0.017453292519943295;
    static constexpr double radToDeg = 57.29577951308232;
    static constexpr double twoPi = 6.283185307179586;
    static constexpr double pi = 3.141592653589793;

    void SetStart(const CLocator& start);
    void SetStart(double lat, double lon);
    void SetPath(const CLocator& start, const CLocator& end);
    void SetPath(const CLocator& start, double lat2Deg, double lon2Deg);
    void SetPath(double lat1Deg, double lon1Deg, double lat2Deg, double lon2Deg);
    void SetPath(double lat1Deg, double lon1Deg, const CLocator& end);

    void GetRangeBearing(double& rangeKm, double& bearingDeg) const;
    void PointAtRange(double rangeKm, double& lat, double& lon) const;
    void PointAt(double bearingDeg, double rangeKm, double& lat, double& lon) const;

    bool IsValid() const { return valid; }
    // The cached start values PointAt steps from (WalkGreatCircle too).
    PathStart Start() const { return {lat1, lon1, sinLat1, cosLat1, bearing}; }

private:
    void Compute();

    double lat1 = 0.0;
    double lon1 = 0.0;
    double lat2 = 0.0;
    double lon2 = 0.0;
    double bearing = 0.0; // radians, 0..2π
    double sinLat1 = 0.0;
    double cosLat2 = 0.0;
    double cosLat1 = 0.0;
    double sinLat2 = 0.0;
    double distance = 0.0; // central angle, radians
    bool valid = false;
};

// The position rangeKm from start along the initial bearing bearingDeg (on
// the WGS84 semi-major axis sphere), its longitude brought into -180..180 so
// that a radial across the date line ends on the globe; invalid when the
// start is.
CLocator EndPointFromRangeBearing(const CLocator& start, double rangeKm, double bearingDeg);

} // namespace kestrova
