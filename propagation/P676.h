// Specific attenuation of the atmosphere's gases by the line-by-line method
// of ITU-R P.676 Annex 1 (44 oxygen lines, 35 water-vapour lines and the dry
// continuum), and the water-vapour density from relative humidity with the
// saturation vapour pressure of ITU-R P.453.
//
// Every function is pure: the line tables are constants, nothing is
// allocated, and any number of threads may call them at once. No input is
// checked; callers limit frequency, pressure and temperature to sensible
// ranges (the window's fields and kestrova-cli do).
#pragma once

namespace kestrova::P676 {

// Frequency from which the 60 GHz oxygen complex (lines 0..36) is left out
// of the oxygen sum.
inline constexpr double oxygenComplexCutoffGHz = 118.750343;

// γ in dB/km. f frequency in GHz, p total barometric pressure in hPa, t
// temperature in °C, rho water-vapour density in g/m³. The oxygen-line,
// water-vapour-line and dry-continuum parts, each in dB/km, are written to
// the out-parameters; γ is their sum.
double SpecificAttenuation(double f, double p, double t, double rho, double& gammaOxygen,
                           double& gammaWater, double& gammaDry);

// γ in dB/km, as SpecificAttenuation without its parts.
double GaseousAttenuation(double f, double p, double t, double rho);

// The dry continuum N''D(f) (pressure-induced nitrogen absorption and the
// Debye spectrum of oxygen below 10 GHz). pDry dry-air pressure and e
// water-vapour partial pressure in hPa, t in °C.
double DryContinuum(double f, double pDry, double e, double t);

// ρ in g/m³ from relative humidity rh in % (taken as 0..100) and
// temperature t in °C, with the saturation vapour pressure over water
// (overWater) or over ice. 0 below -20 °C over water and -50 °C over ice.
double WaterVapourDensity(double rh, double t, bool overWater);

} // namespace kestrova::P676
