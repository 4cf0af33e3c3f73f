// Sampling of the terrain profile along the great circle: heights from the
// terrain store, zones from the zone map, and the Earth bulge (the path
// profile of ITU-R P.452-14, 10/2009, section 4 and Appendix 2 to Annex 1).
#include "propagation/engine/EarthGeometry.h"
#include "propagation/engine/Terrain.h"
#include "terrain/SRTM.h"
#include "terrain/WalkLookup.h"
#include "terrain/Zones.h"

#include <algorithm>
#include <cmath>

namespace kestrova {
namespace {

// The largest of h[0..n-1] (n >= 1), along four runs that do not wait for
// one another; the largest of whole numbers of metres is the same in any
// order.
double HighestOf(const double* h, int n) {
    double top[4] = {h[0], h[0], h[0], h[0]};
    int i = 0;
    for (; i + 4 <= n; i += 4)
        for (int k = 0; k < 4; ++k)
            top[k] = std::max(top[k], h[i + k]);
    for (; i < n; ++i)
        top[0] = std::max(top[0], h[i]);
    return std::max(std::max(top[0], top[1]), std::max(top[2], top[3]));
}

// Whether the walk's look-up answered for each of the n samples.
bool AllSure(const short* heights, const int* zones, int n) {
    int unsure = 0;
    for (int i = 0; i < n; ++i)
        unsure |= (zones[i] < 0) | (heights[i] == kWalkUnsure);
    return unsure == 0;
}

} // namespace

ProfileSpacing ProfileSpacingFor(double L, bool coverage) {
    const int limit = coverage ? 250 : 999;
    double s = 0.025;
    if (L < 2.0) s = L / 20.0;
    while (L / s > limit)
        s += 0.025;
    // L / s is a whole number of spacings up to rounding (L / (L / 20) may
    // come out a hair below 20): the tolerance keeps such a sample.
    return {s, static_cast<int>(std::floor(L / s + 1e-9))};
}

void CTerrain::SampleClutter(int n, int walked) {
    profile.hasClutter = edition == Edition::P452_18 && inputs18.landCover;
    if (!profile.hasClutter) return;
    const CLandCover& cover = *inputs18.landCover;
    for (int i = 0; i < n; ++i) {
        double lat = 0.0;
        double lon = 0.0;
        if (i < walked) {
            lat = walkLat[i];
            lon = walkLon[i];
        } else {
            path.PointAtRange(profile.distance[i], lat, lon);
        }
        profile.clutter[i] = clutterLookup.At(cover, lat, lon);
    }
}

bool CTerrain::SampleProfile(bool interpolate) {
    if (!terrainStore || !zoneMap) return false;
    double L = 0.0;
    double bearing = 0.0;
    path.GetRangeBearing(L, bearing);
    if (!(L >= 0.1)) return false;
    pathLength = L;

    const auto [s, n] = ProfileSpacingFor(L, coverageMode);
    profile.count = n;

    const EarthBulge bulge(EffectiveRadiusKm(kMedian), L); // ae of eq. (6a)
    profile.maxHeight = -9999.0;
    const int noData = terrainStore->GetNoDataValue();
    const int voidValue = terrainStore->GetVoidValue();
    const bool interpolated = interpolate && !coverageMode;
    // Without interpolation a look-up depends only on the cell a sample
    // falls in: the walk's positions serve wherever they are sure to be in
    // the same cells as PointAtRange's (see PathWalk.h); PointAtRange gives
    // the others.
    const WalkPoints points{walkLat.data(), walkLon.data(), walkLatErr.data(), walkLonErr.data()};
    const int walked = interpolated ? 0 : WalkGreatCircle(path, s, n, points);
    terrainStore->HeightsAlong(points, walked, *zoneMap, walkHeights.data(), walkZones.data());
    auto& distance = profile.distance;
    auto& height = profile.height;
    for (int i = 0; i < n; ++i)
        distance[i] = i * s;
    // Where the walk answered for every sample (the usual case), a loop
    // without branches; PointAtRange for the samples it left.
    const bool allSure = walked == n && AllSure(walkHeights.data(), walkZones.data(), n);
    int missing = 0;
    if (allSure) {
        const short* hw = walkHeights.data();
        const int* zw = walkZones.data();
        std::int8_t* zone = profile.zone.data();
        double* h = height.data();
        for (int i = 0; i < n; ++i) {
            zone[i] = static_cast<std::int8_t>(zw[i]);
            missing += hw[i] == voidValue;
            h[i] = hw[i] == noData || hw[i] == voidValue ? 0 : hw[i];
        }
        // The chart's marks: a link or a radial only, never a map's cell.
        if (!coverageMode)
            for (int i = 0; i < n; ++i)
                profile.noTerrain[i] = hw[i] == voidValue;
    }
    for (int i = 0; i < n && !allSure; ++i) {
        int zone = i < walked ? walkZones[i] : -1;
        int h = i < walked ? walkHeights[i] : kWalkUnsure;
        if (zone < 0 || h == kWalkUnsure) {
            double lat = 0.0;
            double lon = 0.0;
            path.PointAtRange(distance[i], lat, lon);
            zone = zoneMap->GetZone(lat, lon);
            h = terrainStore->GetHeight(lat, lon, interpolated);
        }
        profile.zone[i] = static_cast<std::int8_t>(zone);
        missing += h == voidValue;
        profile.noTerrain[i] = h == voidValue;
        height[i] = h == noData || h == voidValue ? 0 : h;
    }
    profile.missingCount = missing;
    SampleClutter(n, walked);
    profile.maxHeight = std::max(profile.maxHeight, HighestOf(height.data(), n));
    if (coverageMode) {
        // Cell after cell of a map: only the samples not yet cleared.
        if (profile.zeroBulges < n)
            std::fill(profile.earthBulge.begin() + profile.zeroBulges,
                      profile.earthBulge.begin() + n, 0.0);
        profile.zeroBulges = std::max(profile.zeroBulges, n);
    } else {
        for (int i = 0; i < n; ++i)
            profile.earthBulge[i] = i == 0 || i == n - 1 ? 0.0 : bulge.At(distance[i]);
        profile.zeroBulges = 0;
    }
    if (!coverageMode) profile.midPathBulge = bulge.MidPath();
    return true;
}

} // namespace kestrova
