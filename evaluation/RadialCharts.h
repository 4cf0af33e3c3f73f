// The data of the site evaluation's two charts, built from the engine's
// results: the terrain profile of the radial over the Earth bulge, and the
// field strength at each receiver position along it.
#pragma once

#include "propagation/engine/MissingTerrain.h"
#include "propagation/engine/Terrain.h"

#include <array>
#include <vector>

namespace kestrova {

struct ChartPoint {
    double x = 0.0; // km from the transmitter
    double y = 0.0;
};

struct ProfileChart {
    std::vector<ChartPoint> terrain; // ground height plus bulge, m
    std::vector<ChartPoint> bulge;   // Earth bulge, m (all 0 on a flat earth)
    // The line of sight between the antennas and the first Fresnel zone's
    // edges about it, m, over the same bulge.
    std::vector<ChartPoint> lineOfSight;
    std::vector<ChartPoint> fresnelLower;
    std::vector<ChartPoint> fresnelUpper;
    double heightAxisMaximum = 0.0; // the height axis runs from 0 to here
    // The share of the samples without terrain data (drawn at 0 m) and
    // where they lie.
    double terrainMissing = 0.0;
    std::vector<NoTerrainStretch> noTerrain;
};

// From the profile of a link calculation whose ends include the antenna
// heights htg and hrg: the ground at every sample (whole metres, the
// antennas taken off again at the ends) over the bulge, and an axis top of
// 1.5 x the highest of the two ends and the profile's maximum, plus the
// mid-path bulge unless the earth is drawn flat; the line of sight and the
// first Fresnel zone from the profile's ray heights and zone radii.
ProfileChart MakeProfileChart(const TerrainProfile& profile, double htg, double hrg,
                              bool flatEarth);

// One receiver position of the field-strength chart.
struct FieldPoint {
    double distance = 0.0;      // km
    double fieldStrength = 0.0; // dB(µV/m)
    double gasLoss = 0.0;       // dB over distance
    RadialRecord record;        // the engine's losses, dB, without gas
};

// The plotted records of a radial of N samples: 2 .. N-2 (the full radial,
// N-1, is not drawn), E = K - (lb + distance gamma), gamma in dB/km.
std::vector<FieldPoint>
MakeFieldPoints(const std::array<RadialRecord, TerrainProfile::capacity>& records, int N, double K,
                double gamma);

} // namespace kestrova
