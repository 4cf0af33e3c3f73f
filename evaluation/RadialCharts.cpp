#include "evaluation/RadialCharts.h"
#include "propagation/FieldStrength.h"

#include <algorithm>
#include <cmath>

namespace kestrova {

ProfileChart MakeProfileChart(const TerrainProfile& profile, double htg, double hrg,
                              bool flatEarth) {
    ProfileChart chart;
    const int n = std::clamp(profile.count, 0, TerrainProfile::capacity);
    if (n == 0) return chart;
    const auto last = static_cast<size_t>(n - 1);
    double top = std::max({profile.height[0], profile.height[last], profile.maxHeight});
    if (!flatEarth) top += profile.midPathBulge;
    chart.heightAxisMaximum = 1.5 * top;

    for (std::vector<ChartPoint>* series : {&chart.terrain, &chart.bulge, &chart.lineOfSight,
                                            &chart.fresnelLower, &chart.fresnelUpper})
        series->reserve(last + 1);
    for (size_t i = 0; i <= last; ++i) {
        double ground = std::trunc(profile.height[i]);
        if (i == 0) ground = std::trunc(ground - htg);
        if (i == last) ground = std::trunc(ground - hrg);
        const double bulge = flatEarth ? 0.0 : profile.earthBulge[i];
        chart.terrain.push_back({profile.distance[i], ground + bulge});
        chart.bulge.push_back({profile.distance[i], bulge});
        const double ray = bulge + profile.rayHeight[i];
        chart.lineOfSight.push_back({profile.distance[i], ray});
        chart.fresnelLower.push_back({profile.distance[i], ray - profile.fresnelRadius[i]});
        chart.fresnelUpper.push_back({profile.distance[i], ray + profile.fresnelRadius[i]});
    }
    chart.terrainMissing = profile.MissingFraction();
    chart.noTerrain = NoTerrainStretches(profile);
    return chart;
}

std::vector<FieldPoint>
MakeFieldPoints(const std::array<RadialRecord, TerrainProfile::capacity>& records, int N, double K,
                double gamma) {
    std::vector<FieldPoint> points;
    const int lastPlotted = std::min(N, TerrainProfile::capacity) - 2;
    for (int j = 2; j <= lastPlotted; ++j) {
        const RadialRecord& record = records[static_cast<size_t>(j)];
        const double Ag = GaseousLossDb(gamma, record.distance);
        points.push_back(
            {record.distance, FieldStrengthDbuVm(K, TotalLossDb(record.lb, Ag)), Ag, record});
    }
    return points;
}

} // namespace kestrova
