// P.452-18 diffraction, section 4.2: delta-Bullington, the Bullington loss
// over the terrain with its clutter (14)–(22) corrected by the spherical-Earth
// loss (23)–(37) less the Bullington loss of the smooth surface (38)–(40).
#include "propagation/p452v18/Steps.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace kestrova::p452v18 {
namespace {

constexpr double lowest = -std::numeric_limits<double>::infinity();

// Eqs. (14)–(22) for the heights y(i) of the intermediate points. The
// quotients of (14), (16) and (18) multiply by the interior's reciprocals;
// νmax is the largest of (16) over its positive factor √(0.002 d / λ), times
// that factor.
template <class Heights>
double Bullington(std::span<const double> d, const Interior& in, const Heights& y, double hts,
                  double hrs, double ap, double lambda) {
    const double D = d.back();
    const double bulge = 500.0 / ap; // 500 Ce
    double stim = lowest;
    for (int i = in.first; i <= in.last; ++i)
        stim = std::max(stim, (y(i) + bulge * in.q[i] - hts) * in.invD[i]); // eq. (14)
    const double str = (hrs - hts) / D;                                     // eq. (15)
    double luc = 0.0;
    if (stim < str) {
        const double slope = (hrs - hts) / D;
        double top = lowest;
        for (int i = in.first; i <= in.last; ++i)
            top = std::max(top, (y(i) + bulge * in.q[i] - (hts + slope * d[i])) * in.rootInvQ[i]);
        luc = KnifeEdge(top * std::sqrt(0.002 * D / lambda)); // eqs. (16), (17)
    } else {
        double srim = lowest;
        for (int i = in.first; i <= in.last; ++i)
            srim = std::max(srim, (y(i) + bulge * in.q[i] - hrs) * in.invDr[i]);    // eq. (18)
        const double dbp = (hrs - hts + srim * D) / (stim + srim);                  // eq. (19)
        const double nub = (hts + stim * dbp - (hts * (D - dbp) + hrs * dbp) / D) * // eq. (20)
                           std::sqrt(0.002 * D / (lambda * dbp * (D - dbp)));
        luc = KnifeEdge(nub); // eq. (21)
    }
    return luc + (1.0 - std::exp(-luc / 6.0)) * (10.0 + 0.02 * D); // eq. (22)
}

// F(X), eq. (34).
double DistanceTerm(double X) {
    return X >= 1.6 ? 11.0 + 10.0 * std::log10(X) - 17.6 * X
                    : -20.0 * std::log10(X) - 5.6488 * std::pow(X, 1.425);
}

// G(Y) with its floor, eqs. (35), (36).
double HeightGain(double Y, double beta, double K) {
    const double B = beta * Y; // eq. (36)
    const double G = B > 2.0 ? 17.6 * std::sqrt(B - 1.1) - 5.0 * std::log10(B - 1.1) - 8.0
                             : 20.0 * std::log10(B + 0.1 * B * B * B);
    return std::max(G, 2.0 + 20.0 * std::log10(K));
}

// Ldft for one kind of ground, eqs. (30a)–(37).
double FirstTermOneSurface(double d, double hte, double hre, double adft, double f, double er,
                           double sigma, Polarisation polarisation) {
    const double s = 18.0 * sigma / f;
    const double KH = 0.036 * std::pow(adft * f, -1.0 / 3.0) * // eq. (30a)
                      std::pow((er - 1.0) * (er - 1.0) + s * s, -0.25);
    const double K = polarisation == Polarisation::Horizontal
                         ? KH
                         : KH * std::sqrt(er * er + s * s); // eq. (30b)
    const double K2 = K * K;
    const double K4 = K2 * K2;
    const double beta = (1.0 + 1.6 * K2 + 0.67 * K4) / (1.0 + 4.5 * K2 + 1.53 * K4); // eq. (31)
    const double X = 21.88 * beta * std::cbrt(f / (adft * adft)) * d;                // eq. (32)
    const double heightScale = 0.9575 * beta * std::cbrt(f * f / adft);              // eq. (33)
    return -DistanceTerm(X) - HeightGain(heightScale * hte, beta, K) -               // eq. (37)
           HeightGain(heightScale * hre, beta, K);
}

} // namespace

double KnifeEdge(double nu) {
    if (!(nu > -0.78)) return 0.0;
    return 6.9 + 20.0 * std::log10(std::sqrt((nu - 0.1) * (nu - 0.1) + 1.0) + nu - 0.1); // (13)
}

Slopes TerminalSlopes(const Profile& profile, const Interior& in, bool withClutter, double hts,
                      double hrs, double ap) {
    const auto& d = profile.d;
    const auto& h = profile.h;
    const double D = d.back();
    const double Ce = 1.0 / ap;
    const bool clutter = withClutter && !profile.clutter.empty();
    Slopes s{lowest, (hrs - hts) / D}; // eq. (15)
    for (int i = in.first; i <= in.last; ++i) {
        const double g =
            clutter && d[i] >= 0.05 && d[i] <= D - 0.05 ? h[i] + profile.clutter[i] : h[i];
        s.stim = std::max(s.stim, (g + 500.0 * Ce * d[i] * (D - d[i]) - hts) / d[i]); // eq. (14)
    }
    return s;
}

double BullingtonLoss(const Profile& profile, const Interior& in, double hts, double hrs, double ap,
                      double lambda) {
    const auto& d = profile.d;
    const auto& h = profile.h;
    if (profile.clutter.empty())
        return Bullington(
            d, in, [&](int i) { return h[i]; }, hts, hrs, ap, lambda);
    // gi = hi + Ri, but for points within 50 m of either terminal, eqs. (6c)–(6e).
    const double D = d.back();
    const auto& R = profile.clutter;
    return Bullington(
        d, in, [&](int i) { return d[i] < 0.05 || d[i] > D - 0.05 ? h[i] : h[i] + R[i]; }, hts, hrs,
        ap, lambda);
}

double SmoothBullingtonLoss(const Profile& profile, const Interior& in, double hts, double hrs,
                            double ap, double lambda) {
    return Bullington(
        profile.d, in, [](int) { return 0.0; }, hts, hrs, ap, lambda);
}

double FirstTermLoss(double d, double hte, double hre, double adft, double f, double omega,
                     Polarisation polarisation) {
    const double land = FirstTermOneSurface(d, hte, hre, adft, f, 22.0, 0.003, polarisation);
    const double sea = FirstTermOneSurface(d, hte, hre, adft, f, 80.0, 5.0, polarisation);
    return omega * sea + (1.0 - omega) * land; // eq. (29)
}

double SphericalEarthLoss(double d, double hte, double hre, double ap, double f, double omega,
                          Polarisation polarisation, double lambda) {
    const double dlos =
        std::sqrt(2.0 * ap) * (std::sqrt(0.001 * hte) + std::sqrt(0.001 * hre)); // (23)
    if (d >= dlos) return FirstTermLoss(d, hte, hre, ap, f, omega, polarisation);
    const double c = (hte - hre) / (hte + hre);          // eq. (25d)
    const double m = 250.0 * d * d / (ap * (hte + hre)); // eq. (25e)
    const double b =
        2.0 * std::sqrt((m + 1.0) / (3.0 * m)) * // eq. (25c)
        std::cos(std::numbers::pi / 3.0 +
                 std::acos(1.5 * c * std::sqrt(3.0 * m / ((m + 1.0) * (m + 1.0) * (m + 1.0)))) /
                     3.0);
    const double dse1 = d / 2.0 * (1.0 + b);                      // eq. (25a)
    const double dse2 = d - dse1;                                 // eq. (25b)
    const double hse = ((hte - 500.0 * dse1 * dse1 / ap) * dse2 + // eq. (24)
                        (hre - 500.0 * dse2 * dse2 / ap) * dse1) /
                       d;
    const double hreq = 17.456 * std::sqrt(dse1 * dse2 * lambda / d); // eq. (26)
    if (hse > hreq) return 0.0;
    const double rootSum = std::sqrt(hte) + std::sqrt(hre);
    const double aem = 500.0 * (d / rootSum) * (d / rootSum); // eq. (27)
    const double ldft = FirstTermLoss(d, hte, hre, aem, f, omega, polarisation);
    return ldft < 0.0 ? 0.0 : (1.0 - hse / hreq) * ldft; // eq. (28)
}

double DeltaBullington(const Profile& profile, const Interior& in, double hts, double hrs,
                       double hstd, double hsrd, double ap, double f, double omega,
                       Polarisation polarisation, double& ldsph) {
    const double lambda = Wavelength(f);
    const double D = profile.d.back();
    const double Lbulla = BullingtonLoss(profile, in, hts, hrs, ap, lambda);
    const double htsp = hts - hstd; // eq. (38a)
    const double hrsp = hrs - hsrd; // eq. (38b)
    const double Lbulls = SmoothBullingtonLoss(profile, in, htsp, hrsp, ap, lambda);
    ldsph = SphericalEarthLoss(D, htsp, hrsp, ap, f, omega, polarisation, lambda); // (39)
    return Lbulla + std::max(ldsph - Lbulls, 0.0);                                 // eq. (40)
}

} // namespace kestrova::p452v18
