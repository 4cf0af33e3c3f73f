// Ducting and layer reflection after ITU-R P.452-14 (10/2009), section
// 4.4: fixed coupling losses plus the time-percentage and angular-distance
// dependent loss, without the small-angle correction Alf of eq. (37a) and
// without gaseous absorption, which the callers add.
#include "propagation/engine/EarthGeometry.h"
#include "propagation/engine/Terrain.h"

#include <algorithm>
#include <cmath>

namespace kestrova {
namespace {

// Site-shielding loss Ast or Asr.
double SiteShielding(double thetaPP, double f, double dl) {
    if (thetaPP <= 0.0) return 0.0;
    return 20.0 * std::log10(1.0 + 0.361 * thetaPP * std::sqrt(f * dl)) + // eq. (38)
           0.264 * thetaPP * std::cbrt(f);
}

// Over-sea surface-duct coupling correction Act or Acr.
double SeaCoupling(double omega, double dc, double dl, double hs) {
    if (!(omega >= 0.75 && dc <= dl && dc <= 5.0)) return 0.0;
    return -3.0 * std::exp(-0.25 * dc * dc) * (1.0 + std::tanh(0.07 * (50.0 - hs))); // (39)
}

} // namespace

bool CTerrain::ComputeDucting() {
    const double f = frequency;
    const double L = pathLength;
    const double p = timePercent;
    const double ae = EffectiveRadiusKm(kMedian);
    const double hts = profile.height[0];
    const double hrs = profile.height[profile.count - 1];

    const double Ast = SiteShielding(thetaT - 0.1 * dlt, f, dlt); // θ″ of eq. (38a)
    const double Asr = SiteShielding(thetaR - 0.1 * dlr, f, dlr);
    const double Act = SeaCoupling(omega, dct, dlt, hts);
    const double Acr = SeaCoupling(omega, dcr, dlr, hrs);
    const double Af = // eq. (37)
        102.45 + 20.0 * std::log10(f) + 20.0 * std::log10(dlt + dlr) + Ast + Asr + Act + Acr;

    const double alpha = std::max(-3.4, -0.6 - 3.5e-9 * std::pow(L, 3.1) * tau); // eq. (45a)
    const double sqrtSum = std::sqrt(hte) + std::sqrt(hre);
    const double mu2 = // eq. (45)
        std::min(1.0, std::pow((500.0 / ae) * L * L / (sqrtSum * sqrtSum), alpha));
    const double dI = std::min(L - dlt - dlr, 40.0); // eq. (46a)
    const double mu3 =                               // eq. (46)
        hm > 10.0 ? std::exp(-4.6e-5 * (hm - 10.0) * (43.0 + 6.0 * dI)) : 1.0;
    const double beta = beta0 * mu2 * mu3; // eq. (44)

    const double thetaTp = thetaT <= 0.1 * dlt ? thetaT : 0.1 * dlt; // eq. (42a)
    const double thetaRp = thetaR <= 0.1 * dlr ? thetaR : 0.1 * dlr;
    const double thetaP = 1000.0 * L / ae + thetaTp + thetaRp; // eq. (42)

    const double logBeta = std::log10(beta);
    const double Gamma = // eq. (43a)
        1.076 / std::pow(2.0058 - logBeta, 1.012) *
        std::exp(-(9.51 - 4.8 * logBeta + 0.198 * logBeta * logBeta) * 1e-6 * std::pow(L, 1.13));
    const double Ap = // eq. (43)
        -12.0 + (1.2 + 0.0037 * L) * std::log10(p / beta) + 12.0 * std::pow(p / beta, Gamma);
    const double gammaD = 5e-5 * ae * std::cbrt(f); // eq. (41)
    loss.lba = Af + gammaD * thetaP + Ap;           // eqs. (40), (36)
    return true;
}

} // namespace kestrova
