// The steps of the P.452-18 prediction, each a function of what it reads and
// returning what it computes, in the order Calculate runs them.
#pragma once

#include "propagation/p452v18/P452v18.h"

namespace kestrova::p452v18 {

// The wavelength of the edition's reference implementation, m.
inline double Wavelength(double f) {
    return 0.2998 / f;
}

// The intermediate points with 0 < di < d: [first, last], both included
// (first > last when there are none), and for each of them the reciprocals
// every maximum below multiplies by (indexed as the profile). Points at the
// ends' distances would make the terms of those maxima infinite or
// undefined; they are skipped.
struct Interior {
    int first = 1;
    int last = 0;
    const double* invD = nullptr;     // 1 / di
    const double* invDr = nullptr;    // 1 / (d - di)
    const double* q = nullptr;        // di (d - di)
    const double* rootInvQ = nullptr; // 1 / √(di (d - di))
};
Interior InteriorPoints(std::span<const double> d, Workspace& workspace);

// Section 3.2 of Annex 1: the longest land and inland sections and the sea
// fraction (7), a zone change lying half-way between two samples.
struct ZoneRuns {
    double dtm = 0.0;
    double dlm = 0.0;
    double omega = 0.0;
};
ZoneRuns ComputeZoneRuns(const Profile& profile);

// The distances over land from each terminal to the coast along the path:
// the coast lies half-way between the last land and the first sea sample,
// 0 for a terminal on a sea sample, -1 for a path with no sea.
struct Coasts {
    double dct = -1.0;
    double dcr = -1.0;
};
Coasts ComputeCoasts(const Profile& profile);

// Attachment 2, eqs. (136)–(145): the path's classification, horizon angles
// and distances.
struct Horizons {
    bool lineOfSight = false;
    double thetaT = 0.0, thetaR = 0.0; // mrad
    double dlt = 0.0, dlr = 0.0;       // km
    int ilt = 0, ilr = 0;              // the horizon points' indices
    double theta = 0.0;                // eq. (145), mrad
};
Horizons ComputeHorizons(const Profile& profile, const Interior& in, double hts, double hrs,
                         double ae);

// Eqs. (146)–(157): the smooth-Earth surface, its diffraction variant and
// the ducting heights and roughness.
struct SmoothEarth {
    double hstd = 0.0, hsrd = 0.0; // (153)
    double hst = 0.0, hsr = 0.0;   // (154)
    double hte = 0.0, hre = 0.0;   // (156)
    double hm = 0.0;               // (157)
};
SmoothEarth ComputeSmoothEarth(const Profile& profile, const Interior& in, double hts, double hrs,
                               double htg, double hrg, const Horizons& horizons);

// Eq. (13): the knife-edge loss J(ν).
double KnifeEdge(double nu);

// Eqs. (14) and (15) over the heights h (clutter added when given) with
// Ce = 1/ap.
struct Slopes {
    double stim = 0.0;
    double str = 0.0;
};
Slopes TerminalSlopes(const Profile& profile, const Interior& in, bool withClutter, double hts,
                      double hrs, double ap);

// Eqs. (14)–(22): the Bullington loss over the profile's terrain (plus its
// clutter, as (6c)–(6e) define gi) for the terminal heights hts, hrs.
double BullingtonLoss(const Profile& profile, const Interior& in, double hts, double hrs, double ap,
                      double lambda);

// The same over a flat profile (every yi = 0), as the second term of
// delta-Bullington needs it.
double SmoothBullingtonLoss(const Profile& profile, const Interior& in, double hts, double hrs,
                            double ap, double lambda);

// Eqs. (29)–(37): the first-term spherical-Earth loss for the radius adft,
// land and sea blended by omega.
double FirstTermLoss(double d, double hte, double hre, double adft, double f, double omega,
                     Polarisation polarisation);

// Eqs. (23)–(28): the spherical-Earth diffraction loss.
double SphericalEarthLoss(double d, double hte, double hre, double ap, double f, double omega,
                          Polarisation polarisation, double lambda);

// Eqs. (38)–(40): delta-Bullington for the radius ap; ldsph receives the
// spherical-Earth term.
double DeltaBullington(const Profile& profile, const Interior& in, double hts, double hrs,
                       double hstd, double hsrd, double ap, double f, double omega,
                       Polarisation polarisation, double& ldsph);

// The gaseous attenuation, dB/km, at the water-vapour density rho, g/m³.
double GasRate(const Inputs& inputs, double rho);

// Eq. (47a): the small-angle correction of ducting below 0.5 GHz.
double SmallAngleCorrection(double f);

} // namespace kestrova::p452v18
