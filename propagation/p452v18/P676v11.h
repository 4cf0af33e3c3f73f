// Specific attenuation of dry air and water vapour by the line-by-line
// method of ITU-R P.676-11 Annex 1, as ITU-R P.452-18 applies it: the given
// pressure is the dry-air pressure, the water-vapour density is an input
// (P.452-18 fixes it), the oxygen sum runs over all 44 lines at every
// frequency.
//
// Pure functions over constant tables: any number of threads may call them.
#pragma once

namespace kestrova::P676v11 {

struct Attenuation {
    double gamma0 = 0.0; // dry air (oxygen lines and dry continuum), dB/km
    double gammaW = 0.0; // water vapour, dB/km
    double Total() const { return gamma0 + gammaW; }
};

// f frequency in GHz, pDry dry-air pressure in hPa, t temperature in °C,
// rho water-vapour density in g/m³.
Attenuation SpecificAttenuation(double f, double pDry, double t, double rho);

} // namespace kestrova::P676v11
