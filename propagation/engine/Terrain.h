// CTerrain: the point-to-point prediction of ITU-R P.452-14 (10/2009) over
// a sampled terrain profile. One object is reused for every calculation; it
// allocates nothing per calculation. The results never include gaseous
// absorption: callers add the specific attenuation of ITU-R P.676 times the
// path length.
//
// An object is used by one thread at a time; give each worker its own.
#pragma once

#include "geo/Locator.h"
#include "geo/Path.h"
#include "geo/PathWalk.h"
#include "propagation/p452v18/P452v18.h"
#include "terrain/LandCover.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kestrova {

class CSRTM;
class CZONES;

// The sampled profile and the display data of the profile chart. Only the
// first `count` samples belong to the last calculation.
struct TerrainProfile {
    static constexpr int capacity = 1000;
    int count = 0;                             // n
    std::array<double, capacity> distance{};   // km from the transmitter
    std::array<double, capacity> height{};     // m a.s.l.; the ends include the antennas
    std::array<std::int8_t, capacity> zone{};  // 1 sea, 3 inland, anything else land
    std::array<double, capacity> earthBulge{}; // m above the chord between the ends
    std::array<int, capacity> hullIndex;       // samples of the taut line over obstacles
    int hullCount = 0;
    std::array<double, capacity> rayHeight{};     // m, the taut line
    std::array<double, capacity> fresnelRadius{}; // m, first Fresnel zone
    double maxHeight = 0.0;
    double midPathBulge = 0.0;
    int zeroBulges = capacity; // earthBulge[0 .. zeroBulges) is known to be 0
    // Samples the terrain store had no height for (no tile for their
    // 1-degree cell, a void sample, no usable neighbour to interpolate):
    // their height is taken as 0 m, as the sea's. noTerrain marks them for
    // the link and the radial; a coverage cell only counts them.
    int missingCount = 0;
    std::array<std::uint8_t, capacity> noTerrain{};
    // The representative clutter height of each sample, m, from the land
    // cover of a P.452-18 calculation (hasClutter); unset otherwise.
    bool hasClutter = false;
    std::array<double, capacity> clutter{};

    // The share of the samples without terrain data, 0 to 1.
    double MissingFraction() const {
        return count > 0 ? static_cast<double>(missingCount) / count : 0.0;
    }

    TerrainProfile() { hullIndex.fill(-1); }
};

// The samples of a profile of L km: spacing s km and count n, the whole
// number of spacings in L. s is 0.025 km, or L / 20 under 2 km, widened by
// 0.025 km at a time until at most 250 spacings (a coverage cell) or 999 (a
// link or a radial) fit.
struct ProfileSpacing {
    double s = 0.0;
    int n = 0;
};
ProfileSpacing ProfileSpacingFor(double L, bool coverage);

// Loss figures of the last calculation, dB (theta in mrad), without gaseous
// absorption.
struct PathLossResult {
    double lbfsg = 0.0; // free space
    double lb0p = 0.0;  // line of sight with multipath and focusing, p %
    double lb0b = 0.0;  // the same for beta0 %
    double lbd50 = 0.0; // median diffraction
    double ldp = 0.0;   // diffraction excess, p %
    double lbd = 0.0;   // diffraction, p %
    double lbs = 0.0;   // troposcatter
    double lba = 0.0;   // ducting and layer reflection
    double theta = 0.0; // angular distance, mrad
    double lb = 0.0;    // overall
};

// One receiver position of the radial entry.
struct RadialRecord {
    double lbd = 0.0;
    double lba = 0.0;
    double lbs = 0.0;
    double lb = 0.0;
    double distance = 0.0; // km from the transmitter
};

// A surveyed profile point: distance km from the transmitter, ground height
// m above sea level, radio-climatic zone code.
struct ProfilePoint {
    double distance = 0.0;
    double height = 0.0;
    int zone = 3;
    double clutter = 0.0; // representative clutter height, m (P.452-18 only)
};

// The edition of ITU-R P.452 a calculation follows.
enum class Edition {
    P452_14, // 10/2009
    P452_18, // 08/2023
};

// Inputs of one calculation.
struct LinkInputs {
    double n0 = 320.0;         // sea-level surface refractivity, N-units
    double deltaN = 45.0;      // refractivity lapse rate, N-units/km
    double frequency = 10.368; // GHz
    double timePercent = 50.0; // %
    double htg = 10.0;         // m above ground
    double hrg = 10.0;         // m above ground
    Edition edition = Edition::P452_14;
    // P.452-18 only (P.452-14 reads none of these): the polarisation, the
    // antennas' gains in dBi, given distances to the coast in km (empty:
    // from the profile's zones), the dry-air pressure in hPa and the
    // temperature in °C of the gaseous absorption, which P.452-18 computes
    // inside each mechanism (false: none at all).
    p452v18::Polarisation polarisation = p452v18::Polarisation::Vertical;
    double txGain = 0.0;
    double rxGain = 0.0;
    std::optional<double> dct;
    std::optional<double> dcr;
    double pressure = 1013.25;
    double temperature = 15.0;
    bool gas = true;
    // The land cover whose classes give each sample its representative
    // clutter height (P.452-18 only; null: bare terrain).
    std::shared_ptr<const CLandCover> landCover;
};

class CTerrain {
public:
    CTerrain() = default;
    virtual ~CTerrain() = default;

    // The three entry points; each returns `valid`.
    bool CalculateLink(CSRTM& store, const CZONES& zones, const CLocator& txLocation,
                       const CLocator& rxLocation, bool interpolate, const LinkInputs& inputs);
    bool CalculateCoarse(CSRTM& store, const CZONES& zones, const CLocator& txLocation,
                         const CLocator& rxLocation, const LinkInputs& inputs);
    bool CalculateRadial(CSRTM& store, const CZONES& zones, const CLocator& txLocation,
                         const CLocator& rxLocation, bool interpolate, const LinkInputs& inputs,
                         int& radialCount,
                         std::array<RadialRecord, TerrainProfile::capacity>& records);
    // The link calculation over a given profile (at least 3 points, the first
    // at 0 km, distances increasing, or for P.452-18 never decreasing); the
    // path length is the last distance and midLatitude the path-centre
    // latitude. False (with `valid` false) when the profile cannot be used.
    // P.452-18 takes profiles of any length; the profile's display data are
    // then filled for at most TerrainProfile::capacity points.
    bool CalculateProfile(const std::vector<ProfilePoint>& points, double midLatitude,
                          const LinkInputs& inputs);

    // ITU-R P.452 helpers.
    static double KnifeEdgeLoss(double nu);
    double MultipathFocusing(double percent) const;
    static double InterpolationFactor(double percent, double beta0);
    static double InverseCumulativeNormal(double x);

    // --- Results, read by the window and the command-line tool ---
    // P.452-18 fills `loss` (gaseous absorption included) and the path
    // parameters below as P.452-14 does, and keeps every figure of the
    // edition in `result18`; `problem18` says why a P.452-18 calculation
    // failed.
    Edition edition = Edition::P452_14;
    p452v18::Result result18;
    std::string problem18;
    bool coverageMode = false;
    TerrainProfile profile;
    PathLossResult loss;
    double kMedian = 0.0;
    double kBeta = 3.0;
    double beta0 = 0.0;
    double surfaceN0 = 0.0;
    double deltaN = 0.0;
    double frequency = 0.0;
    double timePercent = 0.0;
    double pathLength = 0.0; // km
    bool valid = false;
    bool lineOfSight = false;
    int edgeMain = 0;
    int edgeRx = 0;
    int edgeTx = 0;
    double htg = 0.0;
    double hrg = 0.0;
    double hst = 0.0;
    double hsr = 0.0;
    double slope = 0.0; // m/km
    double hte = 0.0;
    double hre = 0.0;
    int ilt = 0;
    int ilr = 0;
    double dlt = 0.0;
    double dlr = 0.0;
    double hm = 0.0;
    double omega = 0.0;
    double dtm = 0.0;
    double dlm = 0.0;
    double tau = 0.0; // eq. (3a), from dlm
    double dct = -1.0;
    double dcr = -1.0;
    double midLatitude = 0.0;
    double thetaT = 0.0;
    double thetaR = 0.0;
    CPath path;
    CLocator tx;
    CLocator rx;

    // --- The steps, in the order the entry points run them ---
    bool SampleProfile(bool interpolate);
    bool ComputePathParameters();
    bool ComputeDiffraction();
    bool ComputeHorizons();
    bool FitSmoothEarth();
    int ComputeRayAndFresnel();
    bool ComputeRoughness();
    bool ComputeDucting();
    bool ComputeTroposcatter();
    bool CombineLosses();

private:
    void Prepare(CSRTM& store, const CZONES& zones, const CLocator& txLocation,
                 const CLocator& rxLocation, const LinkInputs& inputs, bool coverage);
    void SetInputs(const LinkInputs& inputs);
    void SetEnds(const CLocator& txLocation, const CLocator& rxLocation);
    void AddAntennaHeights();
    bool RunLinkSteps();
    // P.452-18 over the first `count` samples of the profile, the last one
    // taken at `length` km; the path-centre latitude phi.
    bool RunEdition18(int count, double length, double phi);
    // The clutter heights of the first n samples from the land cover (the
    // first `walked` at the walk's positions), when P.452-18 has one.
    void SampleClutter(int n, int walked);
    double PathCentreLatitude18(double length) const;
    // Copies a P.452-18 result into `loss` and the path parameters.
    bool RunEdition18Results(const p452v18::Result& r);
    bool RadialEdition18(int& radialCount,
                         std::array<RadialRecord, TerrainProfile::capacity>& records);
    bool ProfileEdition18(const std::vector<ProfilePoint>& points, double latitude);
    // The inputs of the last SetInputs that only P.452-18 reads.
    LinkInputs inputs18;
    p452v18::Workspace workspace18;

    // Sampling scratch: the walk's points and what the look-ups made of them.
    std::array<double, TerrainProfile::capacity> walkLat, walkLon, walkLatErr, walkLonErr;
    std::array<int, TerrainProfile::capacity> walkZones;
    std::array<short, TerrainProfile::capacity> walkHeights;
    std::array<double, TerrainProfile::capacity> scratch; // one value a sample
    ClutterLookup clutterLookup;

    // Set by ComputeHorizons: it ran for the current calculation, and the
    // line-of-sight decision of its horizon test.
    bool horizonsKnown = false;
    bool horizonLineOfSight = false;

    CSRTM* terrainStore = nullptr;
    const CZONES* zoneMap = nullptr;
};

} // namespace kestrova
