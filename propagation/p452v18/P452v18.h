// The clear-air basic transmission loss of ITU-R P.452-18 (08/2023), Annex 1
// sections 3 to 4.5 with Attachments 2 and 3: line of sight, delta-Bullington
// diffraction, troposcatter, ducting and layer reflection and their blend,
// each mechanism with the gaseous absorption of ITU-R P.676-11 inside it.
//
// Pure functions of their inputs: any number of threads may run calculations
// at once, each with a workspace of its own (or none: one is then made for the
// calculation).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kestrova::p452v18 {

enum class Polarisation { Horizontal, Vertical };

// The radio-climatic zone codes of the engine's profiles.
inline constexpr std::int8_t zoneSea = 1;    // B
inline constexpr std::int8_t zoneInland = 3; // A2; any other code is coastal land, A1

// Points 0 … n of a path profile: d km from the transmitter (d0 = 0, never
// decreasing), h terrain heights m amsl, the zone of each point, and the
// representative clutter height R of each point in m (empty: none).
struct Profile {
    std::span<const double> d;
    std::span<const double> h;
    std::span<const std::int8_t> zone;
    std::span<const double> clutter;
};

struct Inputs {
    double f = 1.0;    // GHz, 0.1 … 50
    double p = 50.0;   // % of time not exceeded, 0.001 … 50
    double htg = 10.0; // m above ground
    double hrg = 10.0; // m above ground
    double gt = 0.0;   // dBi, transmitting antenna towards the horizon
    double gr = 0.0;   // dBi, receiving antenna
    Polarisation polarisation = Polarisation::Vertical;
    double phi = 0.0;          // path-centre latitude, degrees
    double deltaN = 45.0;      // N-units/km
    double n0 = 320.0;         // N-units
    std::optional<double> dct; // km over land from each terminal to the coast;
    std::optional<double> dcr; // empty: derived from the profile's zones
    double pressure = 1013.25; // dry-air pressure, hPa
    double temperature = 15.0; // °C
    bool gas = true;           // false: every gaseous term is zero
};

struct Result {
    // Losses in dB, gaseous absorption included as the edition defines.
    double lbfsg = 0.0, lb0p = 0.0, lb0b = 0.0;
    double ldsph = 0.0; // spherical-Earth diffraction at ae
    double ld50 = 0.0, ldp = 0.0, lbd50 = 0.0, lbd = 0.0;
    double lbs = 0.0, lba = 0.0, lb = 0.0;
    // Path parameters.
    double d = 0.0;     // km
    double ae = 0.0;    // km
    double beta0 = 0.0; // %
    double theta = 0.0; // mrad
    double thetaT = 0.0, thetaR = 0.0;
    double dlt = 0.0, dlr = 0.0;   // km
    double hts = 0.0, hrs = 0.0;   // m amsl
    double hte = 0.0, hre = 0.0;   // m, ducting effective heights
    double hstd = 0.0, hsrd = 0.0; // m, smooth-surface heights for diffraction
    double hst = 0.0, hsr = 0.0;   // m, smooth-surface heights for ducting
    double hm = 0.0;               // m, terrain roughness
    double omega = 0.0, dtm = 0.0, dlm = 0.0, dct = 0.0, dcr = 0.0;
    bool lineOfSight = false;
};

// The gaseous attenuation rates of the last calculation, kept by a caller
// that runs many calculations in the same weather (a coverage map): the
// line-by-line sums of P.676-11 are then computed once per weather and sea
// fraction, not once per path.
struct GasCache {
    bool known = false;
    double f = 0.0, pressure = 0.0, temperature = 0.0;
    double gammaScatter = 0.0; // ρ = 3 g/m³
    double omega = -1.0;       // of gammaLos
    double gammaLos = 0.0;     // ρ = 7.5 + 2.5ω
};

// The scratch of a calculation, kept by a caller that runs many (one for each
// thread): the gaseous rates of its weather and, for each profile point, the
// reciprocals the maxima of the path analysis and of diffraction share.
struct Workspace {
    GasCache gas;
    std::vector<double> invD;     // 1 / di
    std::vector<double> invDr;    // 1 / (d - di)
    std::vector<double> q;        // di (d - di)
    std::vector<double> rootInvQ; // 1 / √(di (d - di))
};

// "" when the inputs lie within the edition's limits, else why not.
std::string InputProblem(const Profile& profile, const Inputs& inputs);

// The whole prediction. Returns "" on success, else why the calculation
// cannot be made (the inputs outside the limits of InputProblem, or a figure
// that is not a finite number); `result` is then unspecified.
std::string Calculate(const Profile& profile, const Inputs& inputs, Result& result,
                      Workspace* workspace = nullptr);

// The path centre of the edition: the point at half the profile length dKm
// along the great circle from (latT, lonT) towards (latR, lonR), degrees.
struct LatLon {
    double lat = 0.0;
    double lon = 0.0;
};
LatLon PathCentre(double latT, double lonT, double latR, double lonR, double dKm);

} // namespace kestrova::p452v18
