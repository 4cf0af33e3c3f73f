// The engine's entry points: the link, the coarse (coverage) and the radial
// calculation, and the link calculation over a given profile (the procedure
// of ITU-R P.452-14, 10/2009, Annex 1 sections 3 and 4).
#include "propagation/common/KFactor.h"
#include "propagation/engine/EarthGeometry.h"
#include "propagation/engine/Terrain.h"

#include <algorithm>
#include <cmath>

namespace kestrova {

void CTerrain::SetInputs(const LinkInputs& inputs) {
    profile.maxHeight = 0.0;
    profile.midPathBulge = 0.0;
    profile.count = 0;
    profile.hullCount = 0;
    profile.missingCount = 0;
    profile.hasClutter = false;
    kBeta = 3.0;
    surfaceN0 = inputs.n0;
    deltaN = inputs.deltaN;
    kMedian = p452::KFactor(deltaN); // eq. (5)
    frequency = inputs.frequency;
    timePercent = inputs.timePercent;
    htg = inputs.htg;
    hrg = inputs.hrg;
    edition = inputs.edition;
    inputs18 = inputs;
    problem18.clear();
}

void CTerrain::SetEnds(const CLocator& txLocation, const CLocator& rxLocation) {
    path.SetPath(txLocation, rxLocation);
    // Positions only: copying the location texts could allocate.
    tx.SetLatLon(txLocation.GetLatitude(), txLocation.GetLongitude());
    rx.SetLatLon(rxLocation.GetLatitude(), rxLocation.GetLongitude());
    midLatitude = (txLocation.GetLatitude() + rxLocation.GetLatitude()) / 2.0;
}

void CTerrain::AddAntennaHeights() {
    profile.height[0] += htg;
    profile.height[profile.count - 1] += hrg;
}

// Every step after sampling, in the link order.
bool CTerrain::RunLinkSteps() {
    AddAntennaHeights();
    if (!(valid = ComputePathParameters())) return false;
    if (!(valid = ComputeDiffraction())) return false;
    if (!(valid = FitSmoothEarth())) return false;
    profile.hullCount = ComputeRayAndFresnel();
    if (!(valid = ComputeRoughness())) return false;
    if (!(valid = ComputeDucting())) return false;
    if (!(valid = ComputeTroposcatter())) return false;
    return valid = CombineLosses();
}

// The set-up every entry point shares.
void CTerrain::Prepare(CSRTM& store, const CZONES& zones, const CLocator& txLocation,
                       const CLocator& rxLocation, const LinkInputs& inputs, bool coverage) {
    coverageMode = coverage;
    horizonsKnown = false;
    SetEnds(txLocation, rxLocation);
    SetInputs(inputs);
    terrainStore = &store;
    zoneMap = &zones;
}

bool CTerrain::CalculateLink(CSRTM& store, const CZONES& zones, const CLocator& txLocation,
                             const CLocator& rxLocation, bool interpolate,
                             const LinkInputs& inputs) {
    Prepare(store, zones, txLocation, rxLocation, inputs, false);
    if (!(valid = SampleProfile(interpolate))) return false;
    if (edition == Edition::P452_18) {
        // The edition's figures over the ground alone; then the display data
        // (chart line, Fresnel zone) of the common steps, and its figures.
        const int n = profile.count;
        const double L = pathLength;
        if (!RunEdition18(n, L, PathCentreLatitude18(L))) return false;
        const p452v18::Result r = result18;
        if (!RunLinkSteps()) return false;
        return valid = RunEdition18Results(r);
    }
    return RunLinkSteps();
}

// One coverage cell: at most 250 samples, no interpolation, no display data.
// Line of sight, and with it the roughness and the ducting loss, follow the
// horizon test rather than the diffraction step's decision. The horizons
// depend only on the profile, the path length, k50 and the principal edge,
// none of which the diffraction step changes after finding them, so a
// second run would repeat the first one's figures: its test is taken over.
bool CTerrain::CalculateCoarse(CSRTM& store, const CZONES& zones, const CLocator& txLocation,
                               const CLocator& rxLocation, const LinkInputs& inputs) {
    Prepare(store, zones, txLocation, rxLocation, inputs, true);
    if (!(valid = SampleProfile(false))) return false;
    if (edition == Edition::P452_18)
        return RunEdition18(profile.count, pathLength, PathCentreLatitude18(pathLength));
    AddAntennaHeights();
    if (!(valid = ComputePathParameters())) return false;
    if (!(valid = ComputeDiffraction())) return false;
    if (horizonsKnown)
        lineOfSight = horizonLineOfSight;
    else if (!(valid = ComputeHorizons()))
        return false;
    if (!(valid = FitSmoothEarth())) return false;
    if (!(valid = ComputeRoughness())) return false;
    if (!(valid = ComputeDucting())) return false;
    if (!(valid = ComputeTroposcatter())) return false;
    return valid = CombineLosses();
}

// The loss at every sample along the path, the receiver moving from the far
// end towards the transmitter; the path parameters stay those of the full
// path. Records 0 and 1 are not written.
bool CTerrain::CalculateRadial(CSRTM& store, const CZONES& zones, const CLocator& txLocation,
                               const CLocator& rxLocation, bool interpolate,
                               const LinkInputs& inputs, int& radialCount,
                               std::array<RadialRecord, TerrainProfile::capacity>& records) {
    Prepare(store, zones, txLocation, rxLocation, inputs, false);
    if (!(valid = SampleProfile(interpolate))) return false;
    if (edition == Edition::P452_18) return RadialEdition18(radialCount, records);
    if (!(valid = ComputePathParameters())) return false;
    profile.height[0] += htg;
    const int N = profile.count;
    radialCount = N;
    const double fullLength = pathLength;
    for (int j = N - 1; j >= 2; --j) {
        profile.count = j + 1;
        profile.height[j] += hrg;
        pathLength = (j + 1.0) / N * fullLength;
        if (!(valid = ComputeDiffraction()) || !(valid = FitSmoothEarth())) break;
        profile.hullCount = ComputeRayAndFresnel();
        if (!(valid = ComputeRoughness()) || !(valid = ComputeDucting()) ||
            !(valid = ComputeTroposcatter()) || !(valid = CombineLosses()))
            break;
        records[j] = {loss.lbd, loss.lba, loss.lbs, loss.lb, pathLength};
    }
    profile.count = N;
    return valid;
}

bool CTerrain::CalculateProfile(const std::vector<ProfilePoint>& points, double latitude,
                                const LinkInputs& inputs) {
    coverageMode = false;
    valid = false;
    if (inputs.edition == Edition::P452_18) {
        SetInputs(inputs);
        return ProfileEdition18(points, latitude);
    }
    const int n = static_cast<int>(points.size());
    if (n < 3 || n > 999 || points.front().distance != 0.0) return false;
    for (int i = 1; i < n; ++i)
        if (!(points[i].distance > points[i - 1].distance)) return false;

    SetInputs(inputs);
    tx = rx = CLocator();
    midLatitude = latitude;
    pathLength = points.back().distance;
    profile.count = n;
    if (pathLength < 0.1) return false;
    const EarthBulge bulge(EffectiveRadiusKm(kMedian), pathLength);
    profile.maxHeight = -9999.0;
    for (int i = 0; i < n; ++i) {
        const double d = points[i].distance;
        profile.distance[i] = d;
        profile.height[i] = points[i].height;
        profile.zone[i] = static_cast<std::int8_t>(points[i].zone);
        profile.earthBulge[i] = i == 0 || i == n - 1 ? 0.0 : bulge.At(d);
        profile.noTerrain[i] = 0; // a surveyed profile has every height
        profile.maxHeight = std::max(profile.maxHeight, points[i].height);
    }
    profile.midPathBulge = bulge.MidPath();
    profile.zeroBulges = 0;
    return RunLinkSteps();
}

} // namespace kestrova
