// The engine's entry points in ITU-R P.452-18 (08/2023): the sampled profile
// handed to the edition's prediction, its figures copied where the window
// and the command-line tool read those of P.452-14.
#include "propagation/engine/EarthGeometry.h"
#include "propagation/engine/Terrain.h"

#include <algorithm>
#include <span>

namespace kestrova {
namespace {

p452v18::Inputs EditionInputs(const LinkInputs& x, double phi) {
    p452v18::Inputs in;
    in.f = x.frequency;
    in.p = x.timePercent;
    in.htg = x.htg;
    in.hrg = x.hrg;
    in.gt = x.txGain;
    in.gr = x.rxGain;
    in.polarisation = x.polarisation;
    in.phi = phi;
    in.deltaN = x.deltaN;
    in.n0 = x.n0;
    in.dct = x.dct;
    in.dcr = x.dcr;
    in.pressure = x.pressure;
    in.temperature = x.temperature;
    in.gas = x.gas;
    return in;
}

} // namespace

// The great-circle point half the path's length from the transmitter.
double CTerrain::PathCentreLatitude18(double length) const {
    return p452v18::PathCentre(tx.GetLatitude(), tx.GetLongitude(), rx.GetLatitude(),
                               rx.GetLongitude(), length)
        .lat;
}

bool CTerrain::RunEdition18Results(const p452v18::Result& r) {
    result18 = r;
    loss.lbfsg = r.lbfsg;
    loss.lb0p = r.lb0p;
    loss.lb0b = r.lb0b;
    loss.lbd50 = r.lbd50;
    loss.ldp = r.ldp;
    loss.lbd = r.lbd;
    loss.lbs = r.lbs;
    loss.lba = r.lba;
    loss.theta = r.theta;
    loss.lb = r.lb;
    beta0 = r.beta0;
    omega = r.omega;
    dtm = r.dtm;
    dlm = r.dlm;
    dct = r.dct;
    dcr = r.dcr;
    thetaT = r.thetaT;
    thetaR = r.thetaR;
    dlt = r.dlt;
    dlr = r.dlr;
    hst = r.hst;
    hsr = r.hsr;
    hte = r.hte;
    hre = r.hre;
    hm = r.hm;
    lineOfSight = r.lineOfSight;
    return true;
}

// The samples' own distances, but the last, which is the receiver's: the
// sampling stops up to one spacing short of it.
bool CTerrain::RunEdition18(int count, double length, double phi) {
    double& last = profile.distance[count - 1];
    const double sampled = last;
    last = length;
    const p452v18::Profile view{std::span<const double>(profile.distance.data(), count),
                                std::span<const double>(profile.height.data(), count),
                                std::span<const std::int8_t>(profile.zone.data(), count),
                                profile.hasClutter
                                    ? std::span<const double>(profile.clutter.data(), count)
                                    : std::span<const double>()};
    problem18 = p452v18::Calculate(view, EditionInputs(inputs18, phi), result18, &workspace18);
    last = sampled;
    if (!problem18.empty()) return valid = false;
    return valid = RunEdition18Results(result18);
}

// The receiver moving from the far end towards the transmitter, as in
// P.452-14's radial: at sample j it stands (j + 1) / N of the path away.
bool CTerrain::RadialEdition18(int& radialCount,
                               std::array<RadialRecord, TerrainProfile::capacity>& records) {
    const int N = profile.count;
    radialCount = N;
    const double fullLength = pathLength;
    for (int j = N - 1; j >= 2; --j) {
        const double length = (j + 1.0) / N * fullLength;
        if (!RunEdition18(j + 1, length, PathCentreLatitude18(length))) break;
        records[j] = {loss.lbd, loss.lba, loss.lbs, loss.lb, length};
    }
    pathLength = fullLength;
    return valid;
}

bool CTerrain::ProfileEdition18(const std::vector<ProfilePoint>& points, double latitude) {
    const std::size_t n = points.size();
    std::vector<double> d(n), h(n), clutter(n);
    std::vector<std::int8_t> zone(n);
    for (std::size_t i = 0; i < n; ++i) {
        d[i] = points[i].distance;
        h[i] = points[i].height;
        clutter[i] = points[i].clutter;
        zone[i] = static_cast<std::int8_t>(points[i].zone);
    }
    tx = rx = CLocator();
    midLatitude = latitude;
    problem18 =
        p452v18::Calculate({d, h, zone, clutter}, EditionInputs(inputs18, latitude), result18);
    if (!problem18.empty()) return valid = false;
    pathLength = d.back();
    // The display data, for as many points as the profile holds.
    const int shown = static_cast<int>(std::min<std::size_t>(n, TerrainProfile::capacity));
    profile.count = shown;
    profile.hullCount = 0;
    const EarthBulge bulge(EffectiveRadiusKm(kMedian), pathLength);
    profile.maxHeight = -9999.0;
    for (int i = 0; i < shown; ++i) {
        profile.distance[i] = d[i];
        profile.height[i] = h[i];
        profile.zone[i] = zone[i];
        profile.noTerrain[i] = 0; // a surveyed profile has every height
        profile.earthBulge[i] = i == 0 || i == shown - 1 ? 0.0 : bulge.At(d[i]);
        profile.maxHeight = std::max(profile.maxHeight, h[i]);
    }
    profile.midPathBulge = bulge.MidPath();
    profile.zeroBulges = 0;
    return valid = RunEdition18Results(result18);
}

} // namespace kestrova
