// Field strength from basic transmission loss, the one formula of the site
// evaluation, the coverage map and the window's received power. For a
// transmitter of EIRP in dBW, frequency f and total loss Lt (basic
// transmission loss plus gaseous loss), after ITU-R P.525:
//
//     E = EIRP + 107.2 + 20 log10 f(MHz) - Lt    dB(µV/m)
//       = EIRP + 167.2 + 20 log10 f(GHz) - Lt  = K - Lt
//
// (1 kW EIRP, 30 dBW, gives the coverage map's 197.2 + 20 log10 f - Lt.)
#pragma once

namespace kestrova {

// The gaseous loss Ag = γ d, dB, of a path of d km at γ dB/km (ITU-R P.452-14
// eq. (9)), which the P.452-14 engine's figures leave out.
inline double GaseousLossDb(double gammaDbPerKm, double distanceKm) {
    return gammaDbPerKm * distanceKm;
}

// The total loss Lt = Lb + Ag, dB, of a loss Lb without gaseous absorption.
inline double TotalLossDb(double lossDb, double gaseousLossDb) {
    return lossDb + gaseousLossDb;
}

// The EIRP in dBW of powerW watts into an antenna of gainDbi: 10 log10 P + G.
double EirpDbw(double powerW, double gainDbi);

// K = EIRP + 167.2 + 20 log10 f, f in GHz.
double FieldStrengthConstant(double eirpDbw, double frequencyGHz);

// E = K - Lt, dB(µV/m).
double FieldStrengthDbuVm(double K, double totalLossDb);

// The power an antenna of gainDbi receives in a field of fieldStrength
// dB(µV/m) at frequencyGHz, in dBm (ITU-R P.525, with f in GHz):
//
//     Pr = E + Gr - 20 log10 f - 167.2   dBW  = E + Gr - 20 log10 f - 137.2  dBm
double ReceivedPowerDbm(double fieldStrength, double frequencyGHz, double rxGainDbi);

} // namespace kestrova
