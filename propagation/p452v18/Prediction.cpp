// The P.452-18 prediction, section 4: line of sight (8)–(12), diffraction
// (41)–(44), troposcatter (45), ducting (46)–(57) and the overall blend
// (58)–(64), over the path analysis of Attachment 2.
#include "propagation/common/KFactor.h"
#include "propagation/common/SharedSteps.h"
#include "propagation/p452v18/P676v11.h"
#include "propagation/p452v18/Steps.h"

#include <cmath>
#include <numbers>

namespace kestrova::p452v18 {
namespace {

constexpr double earthRadius = 6371.0; // km

struct Diffraction {
    double ldsph = 0.0, ld50 = 0.0, ldp = 0.0;
};

Diffraction ComputeDiffraction(const Profile& profile, const Interior& in, const Inputs& x,
                               double hts, double hrs, const SmoothEarth& s, double ae,
                               double omega, double beta0) {
    Diffraction r;
    r.ld50 = DeltaBullington(profile, in, hts, hrs, s.hstd, s.hsrd, ae, x.f, omega, // (41)
                             x.polarisation, r.ldsph);
    if (x.p == 50.0) {
        r.ldp = r.ld50;
        return r;
    }
    double ldsphBeta = 0.0;
    const double ldBeta = DeltaBullington(profile, in, hts, hrs, s.hstd, s.hsrd, // eq. (6b)
                                          3.0 * earthRadius, x.f, omega, x.polarisation, ldsphBeta);
    const double Fi = p452::InterpolationFactor(x.p, beta0); // eqs. (41a), (41b)
    r.ldp = r.ld50 + Fi * (ldBeta - r.ld50);                 // eq. (42)
    return r;
}

// Eq. (61) in the form that cannot overflow: η ln(e^(a/η) + e^(b/η)).
double SmoothMaximum(double a, double b) {
    constexpr double eta = 2.5;
    return std::max(a, b) + eta * std::log1p(std::exp(-std::fabs(a - b) / eta));
}

} // namespace

double GasRate(const Inputs& inputs, double rho) {
    if (!inputs.gas) return 0.0;
    return P676v11::SpecificAttenuation(inputs.f, inputs.pressure, inputs.temperature, rho).Total();
}

double SmallAngleCorrection(double f) {
    return f < 0.5 ? 45.375 - 137.0 * f + 92.5 * f * f : 0.0; // eq. (47a)
}

std::string InputProblem(const Profile& profile, const Inputs& x) {
    if (!(x.f >= 0.1 && x.f <= 50.0))
        return "ITU-R P.452-18 holds for frequencies from 0.1 to 50 GHz";
    if (!(x.p >= 0.001 && x.p <= 50.0))
        return "ITU-R P.452-18 holds for time percentages from 0.001 to 50 %";
    const std::size_t count = profile.d.size();
    if (count < 3 || profile.h.size() != count || profile.zone.size() != count ||
        (!profile.clutter.empty() && profile.clutter.size() != count))
        return "The profile needs at least 3 points, each with a height and a zone";
    if (profile.d[0] != 0.0) return "The profile must start at 0 km";
    for (std::size_t i = 1; i < count; ++i)
        if (!(profile.d[i] >= profile.d[i - 1])) return "The profile's distances must not decrease";
    if (!(profile.d.back() > 0.0)) return "The profile has no length";
    if ((x.dct && !(*x.dct >= 0.0)) || (x.dcr && !(*x.dcr >= 0.0)))
        return "The distances to the coast must not be negative";
    if (!(x.deltaN < 157.0)) return "The refractivity lapse rate must be below 157 N-units/km";
    return {};
}

// The two rates of a calculation, from the cache when its weather is the same.
static void GasRates(const Inputs& x, double omega, GasCache* cache, double& gammaLos,
                     double& gammaScatter) {
    if (!cache) {
        gammaLos = GasRate(x, 7.5 + 2.5 * omega);
        gammaScatter = GasRate(x, 3.0);
        return;
    }
    const bool gas = x.gas;
    const double f = gas ? x.f : 0.0;
    if (!cache->known || cache->f != f || cache->pressure != x.pressure ||
        cache->temperature != x.temperature) {
        *cache = GasCache{true, f, x.pressure, x.temperature, GasRate(x, 3.0), -1.0, 0.0};
    }
    if (cache->omega != omega) {
        cache->omega = omega;
        cache->gammaLos = GasRate(x, 7.5 + 2.5 * omega);
    }
    gammaLos = cache->gammaLos;
    gammaScatter = cache->gammaScatter;
}

std::string Calculate(const Profile& profile, const Inputs& x, Result& r, Workspace* workspace) {
    if (std::string problem = InputProblem(profile, x); !problem.empty()) return problem;
    Workspace own;
    Workspace& w = workspace ? *workspace : own;
    GasCache* cache = workspace ? &workspace->gas : nullptr;
    const int n = static_cast<int>(profile.d.size()) - 1;
    const double D = profile.d[n];
    const double f = x.f;
    const double p = x.p;
    const Interior in = InteriorPoints(profile.d, w);

    r = Result{};
    r.d = D;
    r.ae = earthRadius * p452::KFactor(x.deltaN); // eqs. (5), (6a)
    r.hts = profile.h[0] + x.htg;
    r.hrs = profile.h[n] + x.hrg;

    const ZoneRuns runs = ComputeZoneRuns(profile);
    r.dtm = runs.dtm;
    r.dlm = runs.dlm;
    r.omega = runs.omega;
    const Coasts coasts = ComputeCoasts(profile);
    r.dct = x.dct.value_or(coasts.dct);
    r.dcr = x.dcr.value_or(coasts.dcr);
    const double tau = p452::Tau(r.dlm);      // eq. (3a)
    r.beta0 = p452::Beta0(r.dtm, tau, x.phi); // eqs. (2)–(4)

    const Horizons hz = ComputeHorizons(profile, in, r.hts, r.hrs, r.ae);
    r.lineOfSight = hz.lineOfSight;
    r.thetaT = hz.thetaT;
    r.thetaR = hz.thetaR;
    r.dlt = hz.dlt;
    r.dlr = hz.dlr;
    r.theta = hz.theta;
    const SmoothEarth s = ComputeSmoothEarth(profile, in, r.hts, r.hrs, x.htg, x.hrg, hz);
    r.hstd = s.hstd;
    r.hsrd = s.hsrd;
    r.hst = s.hst;
    r.hsr = s.hsr;
    r.hte = s.hte;
    r.hre = s.hre;
    r.hm = s.hm;

    // Gaseous absorption: ρ = 7.5 + 2.5ω for line of sight and ducting (9a),
    // 3 g/m³ for troposcatter (45).
    double gammaLos = 0.0;
    double gammaScatter = 0.0;
    GasRates(x, r.omega, cache, gammaLos, gammaScatter);

    // Line of sight, section 4.1.
    const double dh = (r.hts - r.hrs) / 1000.0;
    const double dfs = std::sqrt(D * D + dh * dh);                                   // (8a)
    r.lbfsg = 92.4 + 20.0 * std::log10(f) + 20.0 * std::log10(dfs) + gammaLos * dfs; // (8), (9)
    const double multipath = 2.6 * (1.0 - std::exp(-0.1 * (r.dlt + r.dlr)));
    r.lb0p = r.lbfsg + multipath * std::log10(p / 50.0);       // eqs. (10a), (11)
    r.lb0b = r.lbfsg + multipath * std::log10(r.beta0 / 50.0); // eqs. (10b), (12)

    // Diffraction, section 4.2.
    const Diffraction dif =
        ComputeDiffraction(profile, in, x, r.hts, r.hrs, s, r.ae, r.omega, r.beta0);
    r.ldsph = dif.ldsph;
    r.ld50 = dif.ld50;
    r.ldp = dif.ldp;
    r.lbd50 = r.lbfsg + r.ld50; // eq. (43)
    r.lbd = r.lb0p + r.ldp;     // eq. (44)

    // Troposcatter, section 4.3.
    const double logHalfF = std::log10(f / 2.0);
    const double Lf = 25.0 * std::log10(f) - 2.5 * logHalfF * logHalfF;              // eq. (45a)
    const double Lc = 0.051 * std::exp(0.055 * (x.gt + x.gr));                       // eq. (45b)
    r.lbs = 190.0 + Lf + 20.0 * std::log10(D) + 0.573 * r.theta - 0.15 * x.n0 + Lc + // (45)
            gammaScatter * D - 10.1 * std::pow(-std::log10(p / 50.0), 0.7);

    // Ducting and layer reflection, section 4.4.
    p452::DuctingPath duct{f,     D,     p,     r.ae,    r.hts, r.hrs, r.thetaT, r.thetaR, r.dlt,
                           r.dlr, r.dct, r.dcr, r.omega, r.hte, r.hre, r.hm,     tau,      r.beta0};
    r.lba = p452::DuctingLoss(duct, SmallAngleCorrection(f)) + gammaLos * D; // eq. (46)

    // The overall prediction, section 4.5.
    const Slopes sl = TerminalSlopes(profile, in, false, r.hts, r.hrs, r.ae);
    const double Fj = 1.0 - 0.5 * (1.0 + std::tanh(3.0 * 0.8 * (sl.stim - sl.str) / 0.3)); // (58)
    const double Fk = 1.0 - 0.5 * (1.0 + std::tanh(3.0 * 0.5 * (D - 20.0) / 20.0));        // (59)
    const double Fi = p452::InterpolationFactor(p, r.beta0);
    const double Lminb0p = p < r.beta0
                               ? r.lb0p + (1.0 - r.omega) * r.ldp // eq. (60)
                               : r.lbd50 + (r.lb0b + (1.0 - r.omega) * r.ldp - r.lbd50) * Fi;
    const double Lminbap = SmoothMaximum(r.lba, r.lb0p);                            // eq. (61)
    const double Lbda = Lminbap > r.lbd ? r.lbd : Lminbap + (r.lbd - Lminbap) * Fk; // eq. (62)
    const double Lbam = Lbda + (Lminb0p - Lbda) * Fj;                               // eq. (63)
    r.lb = -5.0 * std::log10(std::pow(10.0, -0.2 * r.lbs) + std::pow(10.0, -0.2 * Lbam)); // (64)

    for (const double v : {r.lbfsg, r.lb0p, r.lb0b, r.ldsph, r.ld50, r.ldp, r.lbd50, r.lbd, r.lbs,
                           r.lba, r.lb, r.beta0, r.theta})
        if (!std::isfinite(v)) return "Calculation failed: a loss figure is not a finite number";
    return {};
}

LatLon PathCentre(double latT, double lonT, double latR, double lonR, double dKm) {
    constexpr double rad = std::numbers::pi / 180.0;
    const double phit = latT * rad;
    const double phir = latR * rad;
    const double dpsi = (lonR - lonT) * rad;
    const double cosDelta =
        std::sin(phit) * std::sin(phir) + std::cos(phit) * std::cos(phir) * std::cos(dpsi);
    const double y0 = std::cos(phit) * std::cos(phir) * std::sin(dpsi);
    const double x0 = std::sin(phir) - cosDelta * std::sin(phit);
    // The bearing from the transmitter; coincident points take the
    // receiver's longitude, as the reference implementation does.
    const double B = std::fabs(x0) < 1e-9 && std::fabs(y0) < 1e-9 ? lonR * rad : std::atan2(y0, x0);
    const double dp = dKm / 2.0 / earthRadius;
    const double s = std::sin(phit) * std::cos(dp) + std::cos(phit) * std::sin(dp) * std::cos(B);
    const double y = std::cos(phit) * std::sin(dp) * std::sin(B);
    const double xx = std::cos(dp) - s * std::sin(phit);
    LatLon c;
    c.lat = std::asin(s) / rad;
    c.lon = xx < 1e-9 && y < 1e-9 ? B / rad : lonT + std::atan2(y, xx) / rad;
    return c;
}

} // namespace kestrova::p452v18
