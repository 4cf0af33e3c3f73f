// ITU-R P.676-11 Annex 1, Section 1: specific attenuation from the sum of
// the individual spectral lines. Equation numbers below are that section's.
#include "propagation/P676.h"

#include "propagation/P676Lines.h"

#include <algorithm>
#include <cmath>

namespace kestrova::P676 {
namespace {

// The atmosphere of one call: dry pressure p and water-vapour partial
// pressure e in hPa, θ = 300 / T.
struct Atmosphere {
    double p;
    double e;
    double theta;
};

Atmosphere AtmosphereOf(double pTotal, double t, double rho) {
    const double T = t + 273.15;
    const double e = rho * T / 216.7; // Equation (4)
    return {pTotal - e, e, 300.0 / T};
}

// Line shape factor, Equation (5); δ = 0 for the water-vapour lines.
double LineShape(double f, double f0, double deltaF, double delta) {
    const double below = (deltaF - delta * (f0 - f)) / ((f0 - f) * (f0 - f) + deltaF * deltaF);
    const double above = (deltaF - delta * (f0 + f)) / ((f0 + f) * (f0 + f) + deltaF * deltaF);
    return f / f0 * (below + above);
}

double OxygenLineTerm(const OxygenLine& line, double f, const Atmosphere& air) {
    const double theta = air.theta;
    const double S = line.a1 * 1e-7 * air.p * std::pow(theta, 3.0) *
                     std::exp(line.a2 * (1.0 - theta)); // Equation (3)
    double deltaF =
        line.a3 * 1e-4 * (air.p * std::pow(theta, 0.8 - line.a4) + 1.1 * air.e * theta); // (6a)
    deltaF = std::sqrt(deltaF * deltaF + 2.25e-6); // Equation (6b), Zeeman splitting
    const double delta =
        (line.a5 + line.a6 * theta) * 1e-4 * (air.p + air.e) * std::pow(theta, 0.8); // (7)
    return S * LineShape(f, line.f0, deltaF, delta);
}

double WaterVapourLineTerm(const WaterVapourLine& line, double f, const Atmosphere& air) {
    const double theta = air.theta;
    const double S = line.b1 * 1e-1 * air.e * std::pow(theta, 3.5) *
                     std::exp(line.b2 * (1.0 - theta)); // Equation (3)
    double deltaF = line.b3 * 1e-4 *
                    (air.p * std::pow(theta, line.b4) +
                     line.b5 * air.e * std::pow(theta, line.b6)); // Equation (6a)
    deltaF = 0.535 * deltaF + std::sqrt(0.217 * deltaF * deltaF +
                                        2.1316e-12 * line.f0 * line.f0 / theta); // (6b), Doppler
    return S * LineShape(f, line.f0, deltaF, 0.0);
}

// Σ Si Fi over the oxygen lines (Equation (2a) without N''D). From
// 118.750343 GHz on, the lines of the 60 GHz complex are left out.
double OxygenLineSum(double f, const Atmosphere& air) {
    const auto first = f < oxygenComplexCutoffGHz
                           ? oxygenLines.begin()
                           : oxygenLines.begin() + firstOxygenLineAbove60GHzComplex;
    double sum = 0.0;
    for (auto line = first; line != oxygenLines.end(); ++line)
        sum += OxygenLineTerm(*line, f, air);
    return sum;
}

// Σ Si Fi over the water-vapour lines, Equation (2b).
double WaterVapourLineSum(double f, const Atmosphere& air) {
    double sum = 0.0;
    for (const WaterVapourLine& line : waterVapourLines)
        sum += WaterVapourLineTerm(line, f, air);
    return sum;
}

} // namespace

double SpecificAttenuation(double f, double p, double t, double rho, double& gammaOxygen,
                           double& gammaWater, double& gammaDry) {
    const Atmosphere air = AtmosphereOf(p, t, rho);
    const double sumOxygen = OxygenLineSum(f, air);
    const double sumWater = WaterVapourLineSum(f, air);
    const double NppD = DryContinuum(f, air.p, air.e, t); // N''D(f)
    gammaOxygen = 0.182 * f * sumOxygen;
    gammaWater = 0.182 * f * sumWater;
    gammaDry = 0.182 * f * NppD;
    return 0.182 * f * (NppD + sumOxygen + sumWater); // Equation (1)
}

double GaseousAttenuation(double f, double p, double t, double rho) {
    double gammaOxygen = 0.0;
    double gammaWater = 0.0;
    double gammaDry = 0.0;
    return SpecificAttenuation(f, p, t, rho, gammaOxygen, gammaWater, gammaDry);
}

double DryContinuum(double f, double pDry, double e, double t) {
    const double theta = 300.0 / (t + 273.15);
    const double d = 5.6e-4 * (pDry + e) * std::pow(theta, 0.8); // Equation (9)
    const double debye = 6.14e-5 / (d * (1.0 + (f / d) * (f / d)));
    const double nitrogen =
        1.4e-12 * pDry * std::pow(theta, 1.5) / (1.0 + 1.9e-5 * std::pow(f, 1.5));
    return f * pDry * theta * theta * (debye + nitrogen); // Equation (8)
}

// ITU-R P.453-11 Equations (9) and (10) for the saturation vapour pressure,
// Equation (8) for the density.
double WaterVapourDensity(double rh, double t, bool overWater) {
    if (rh <= 0.0) return 0.0;
    rh = std::min(rh, 100.0);
    if (t <= (overWater ? -20.0 : -50.0)) return 0.0;
    const double a = overWater ? 6.1121 : 6.1115;
    const double b = overWater ? 17.502 : 22.452;
    const double c = overWater ? 240.9 : 272.55;
    const double es = a * std::exp(b * t / (t + c));
    const double ev = es * rh / 100.0;
    return 216.7 * ev / (t + 273.1);
}

} // namespace kestrova::P676
