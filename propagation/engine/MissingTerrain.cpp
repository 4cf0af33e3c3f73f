#include "propagation/engine/MissingTerrain.h"

#include "geo/NumberFormat.h"
#include "propagation/engine/Terrain.h"

#include <algorithm>

#include <cmath>

namespace kestrova {

std::string ShareText(double fraction) {
    const double percent = 100.0 * fraction;
    if (!(percent > 0.0)) return "0 %";
    if (percent >= 100.0) return "100 %";
    if (percent < 0.1) return "under 0.1 %";
    if (percent > 99.9) return "over 99.9 %";
    // Whole percents between 10 and 99, one decimal outside them (where a
    // whole number could round a small share to 0 or a large one to 100).
    const bool whole = percent >= 10.0 && percent < 99.0;
    return FormatFixed(percent, 4, whole ? 0 : 1) + " %";
}

std::string MissingTerrainText(double fraction, const std::string& what) {
    if (!(fraction > 0.0)) return {};
    return "no terrain data for " + ShareText(fraction) + " of " + what +
           ": the ground there is taken as 0 m";
}

std::vector<NoTerrainStretch> NoTerrainStretches(const TerrainProfile& profile) {
    std::vector<NoTerrainStretch> stretches;
    if (profile.missingCount == 0) return stretches;
    const int n = std::clamp(profile.count, 0, TerrainProfile::capacity);
    for (int i = 0; i < n; ++i) {
        if (!profile.noTerrain[i]) continue;
        const bool continues = i > 0 && profile.noTerrain[i - 1] && !stretches.empty();
        if (continues)
            stretches.back().to = profile.distance[i];
        else
            stretches.push_back({profile.distance[i], profile.distance[i]});
    }
    return stretches;
}

} // namespace kestrova
