// The steps both editions of ITU-R P.452 share (see SharedSteps.h).
#include "propagation/common/SharedSteps.h"

#include "geo/LastValue.h"

#include <algorithm>
#include <cmath>

namespace kestrova::p452 {
namespace {

// The cube root and 20 log10 of the frequency, kept from path to path (a
// map's cells share the frequency).
double CubeRoot(double f) {
    static thread_local LastValue cubeRoot;
    return cubeRoot(f, [](double x) { return std::cbrt(x); });
}

double TwentyLog(double f) {
    static thread_local LastValue twentyLog;
    return twentyLog(f, [](double x) { return 20.0 * std::log10(x); });
}

// Site-shielding loss Ast or Asr: -14 eq. (38), -18 eq. (48).
double SiteShielding(double thetaPP, double f, double dl) {
    if (thetaPP <= 0.0) return 0.0;
    return 20.0 * std::log10(1.0 + 0.361 * thetaPP * std::sqrt(f * dl)) +
           0.264 * thetaPP * CubeRoot(f);
}

// Over-sea surface-duct coupling correction Act or Acr: -14 eq. (39),
// -18 eqs. (49), (49a).
double SeaCoupling(double omega, double dc, double dl, double hs) {
    if (!(omega >= 0.75 && dc <= dl && dc <= 5.0)) return 0.0;
    return -3.0 * std::exp(-0.25 * dc * dc) * (1.0 + std::tanh(0.07 * (50.0 - hs)));
}

} // namespace

double Tau(double dlm) {
    return 1.0 - std::exp(-0.000412 * std::pow(dlm, 2.41)); // eq. (3a)
}

double Beta0(double dtm, double tau, double latitudeDeg) {
    const double mu1 = std::min(1.0, std::pow(std::pow(10.0, -dtm / (16.0 - 6.6 * tau)) + // (3)
                                                  std::pow(10.0, -5.0 * (0.496 + 0.354 * tau)),
                                              0.2));
    const double phi = std::fabs(latitudeDeg);
    if (phi > 70.0) return 4.17 * mu1 * std::pow(mu1, 0.3); // eqs. (2), (4)
    const double mu4 = std::pow(mu1, 0.0176 * phi - 0.935); // eq. (4)
    return std::pow(10.0, 1.67 - 0.015 * phi) * mu1 * mu4;  // eq. (2)
}

double InverseCumulativeNormal(double x) {
    auto xi = [](double T) { // -18 eq. (158b)
        return ((0.010328 * T + 0.802853) * T + 2.515516698) /
               (((0.001308 * T + 0.189269) * T + 1.432788) * T + 1.0);
    };
    if (x <= 0.5) {
        const double T = std::sqrt(-2.0 * std::log(x)); // eq. (158a)
        return T - xi(T);                               // eq. (158)
    }
    const double T = std::sqrt(-2.0 * std::log(1.0 - x));
    return -(T - xi(T));
}

double InterpolationFactor(double percent, double beta0) {
    if (percent > 50.0) return 0.0;
    if (percent <= beta0) return 1.0;
    static thread_local LastValue percentTerm; // a map's cells share the percentage
    return percentTerm(percent / 100.0, InverseCumulativeNormal) /
           InverseCumulativeNormal(beta0 / 100.0);
}

double DuctingLoss(const DuctingPath& x, double Alf) {
    const double f = x.f;
    const double L = x.d;
    const double Ast = SiteShielding(x.thetaT - 0.1 * x.dlt, f, x.dlt); // θ″, -18 eq. (48a)
    const double Asr = SiteShielding(x.thetaR - 0.1 * x.dlr, f, x.dlr);
    const double Act = SeaCoupling(x.omega, x.dct, x.dlt, x.hts);
    const double Acr = SeaCoupling(x.omega, x.dcr, x.dlr, x.hrs);
    const double Af = // -14 eq. (37), -18 eq. (47)
        102.45 + TwentyLog(f) + 20.0 * std::log10(x.dlt + x.dlr) + Alf + Ast + Asr + Act + Acr;

    const double alpha = std::max(-3.4, -0.6 - 3.5e-9 * std::pow(L, 3.1) * x.tau); // -18 (55a)
    const double sqrtSum = std::sqrt(x.hte) + std::sqrt(x.hre);
    const double mu2 = // -18 eq. (55)
        std::min(1.0, std::pow((500.0 / x.ae) * L * L / (sqrtSum * sqrtSum), alpha));
    const double dI = std::min(L - x.dlt - x.dlr, 40.0); // -18 eq. (57)
    const double mu3 =                                   // -18 eq. (56)
        x.hm > 10.0 ? std::exp(-4.6e-5 * (x.hm - 10.0) * (43.0 + 6.0 * dI)) : 1.0;
    const double beta = x.beta0 * mu2 * mu3; // -18 eq. (54)

    const double thetaTp = x.thetaT <= 0.1 * x.dlt ? x.thetaT : 0.1 * x.dlt; // -18 eq. (52a)
    const double thetaRp = x.thetaR <= 0.1 * x.dlr ? x.thetaR : 0.1 * x.dlr;
    const double thetaP = 1000.0 * L / x.ae + thetaTp + thetaRp; // -18 eq. (52)

    const double logBeta = std::log10(beta);
    const double Gamma = // -18 eq. (53a)
        1.076 / std::pow(2.0058 - logBeta, 1.012) *
        std::exp(-(9.51 - 4.8 * logBeta + 0.198 * logBeta * logBeta) * 1e-6 * std::pow(L, 1.13));
    const double Ap = // -18 eq. (53)
        -12.0 + (1.2 + 0.0037 * L) * std::log10(x.p / beta) + 12.0 * std::pow(x.p / beta, Gamma);
    const double gammaD = 5e-5 * x.ae * CubeRoot(f); // -18 eq. (51)
    return Af + gammaD * thetaP + Ap;                // -18 eqs. (50), (46)
}

} // namespace kestrova::p452
