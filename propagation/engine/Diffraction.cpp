// Diffraction after ITU-R P.452-14 (10/2009), section 4.2: the principal
// edge and up to one secondary edge on each side (Deygout) with the
// empirical correction, for the median effective Earth radius and for
// k = 3, blended with the interpolation factor Fi; the free-space and
// line-of-sight losses of section 4.1 with multipath and focusing (Esp).
// The free-space constant is 92.44 (20 log10(4 pi 10^12 / c)) where
// eq. (8) rounds it to 92.5, and gaseous absorption is left to the callers.
#include "geo/LastValue.h"
#include "geo/VectorClones.h"
#include "propagation/common/SharedSteps.h"
#include "propagation/engine/EarthGeometry.h"
#include "propagation/engine/Largest.h"
#include "propagation/engine/Terrain.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kestrova {

// J(nu), the knife-edge loss, dB.
double CTerrain::KnifeEdgeLoss(double nu) {
    if (nu <= -0.78) return 0.0;
    return 6.9 + 20.0 * std::log10(std::sqrt((nu - 0.1) * (nu - 0.1) + 1.0) + nu - 0.1); // (13)
}

// Esp, the multipath and focusing correction for p %, dB.
double CTerrain::MultipathFocusing(double percent) const {
    const double p = std::clamp(percent, 0.0001, 100.0);
    return 2.6 * (1.0 - std::exp(-0.1 * (dlt + dlr))) * std::log10(p / 50.0); // eq. (10a)
}

// Fi, the interpolation factor between the median and the beta0 figures.
double CTerrain::InterpolationFactor(double percent, double beta) {
    return p452::InterpolationFactor(percent, beta); // eqs. (31a)-(31c)
}

double CTerrain::InverseCumulativeNormal(double x) {
    return p452::InverseCumulativeNormal(x);
}

namespace {

// The chord from (da, ha) to (db, hb) (distances km from the transmitter,
// heights m) for an Earth-radius factor k, with the cosine of its
// elevation, by which heights above it are scaled: ζ of eqs. (14), (17),
// (20).
struct Chord {
    double da, ha, db, hb, k, lambda, C;
    Chord(double da_, double ha_, double db_, double hb_, double k_, double lambda_)
        : da(da_), ha(ha_), db(db_), hb(hb_), k(k_), lambda(lambda_),
          C(std::cos(std::atan2((hb_ - ha_) / 1000.0, db_ - da_))) {}
};

// nu of sample i: its height above the chord, with the Earth's curvature
// (H of eqs. (15a), (18a), (21a), and for aβ (24a), (26a), (28a)), and nu
// itself (eqs. (15), (18), (21), (24), (26), (28)).
double EdgeNu(const TerrainProfile& p, int i, const Chord& c) {
    const double di = p.distance[i];
    const double h = 1000.0 * (di - c.da) * (c.db - di) / (2.0 * EffectiveRadiusKm(c.k)) +
                     p.height[i] - (c.ha * (c.db - di) + c.hb * (di - c.da)) / (c.db - c.da);
    return c.C * h * std::sqrt(0.002 * (c.db - c.da) / (c.lambda * (di - c.da) * (c.db - di)));
}

// The sample of first..last with the largest nu (a later one must be
// strictly larger to replace an earlier one); -1 when the range is empty.
//
// Without computing every nu: with S(x) = x |x|, which keeps order,
// nu = C h sqrt(G / (a b)) (G = 0.002 (db - da) / lambda, a = di - da,
// b = db - di) has S(nu) = C^2 G S(h) / (a b). h is bounded above by hU,
// its height above the chord estimated with reciprocals (good to a few
// 1e-16 of its terms) plus 1e-12 of them, so est = C^2 G S(hU) / (a b),
// raised by 1e-9 of itself, bounds S(nu) from above with room far beyond
// the rounding of EdgeNu's own figure (about 1e-15). The sample with the
// largest est gets its exact nu first; then, in order, only samples whose
// est reaches S of the largest nu so far (lowered by 1e-9 of itself) get
// theirs. Samples passed over are below the largest nu, so the result is
// that of evaluating every sample; which sample goes first changes only
// how many get their exact nu. The estimates are made in a loop of
// their own, which the compiler runs on two samples at a time; est: room
// for one value a sample.
KESTROVA_VECTOR_CLONES int HighestEdge(const TerrainProfile& p, int first, int last, const Chord& c,
                                       double start, double& nuMax, double* __restrict est) {
    constexpr double kRoom = 1e-9;
    nuMax = start;
    if (first > last) return -1;
    const double perCurvature = 1000.0 / (2.0 * EffectiveRadiusKm(c.k));
    const double perSpan = 1.0 / (c.db - c.da);
    const double C2G = c.C * c.C * (0.002 * (c.db - c.da) / c.lambda);
    for (int i = first; i <= last; ++i) {
        const double a = p.distance[i] - c.da;
        const double b = c.db - p.distance[i];
        const double bulge = a * b * perCurvature;
        const double chord = (c.ha * b + c.hb * a) * perSpan;
        const double eh = 1e-12 * (std::fabs(bulge) + std::fabs(p.height[i]) + std::fabs(chord));
        const double hU = bulge + p.height[i] - chord + eh;
        const double q = C2G * hU * std::fabs(hU) / (a * b);
        est[i] = q + kRoom * std::fabs(q);
    }
    int likely = FirstEqual(est, first, last,
                            LargestOf(est, first, last, -std::numeric_limits<double>::infinity()));
    if (likely < 0) likely = first;
    const double nuLikely = EdgeNu(p, likely, c);
    // S of a nu lowered by kRoom of itself.
    auto lowered = [](double nu) {
        return nu * std::fabs(nu) * (nu >= 0.0 ? 1.0 - kRoom : 1.0 + kRoom);
    };
    double T = lowered(std::max(nuLikely, nuMax));
    int edge = -1;
    for (int i = first; i <= last; ++i) {
        // Four samples at a time while none of them can beat the largest.
        while (i + 3 <= last &&
               ((est[i] < T) & (est[i + 1] < T) & (est[i + 2] < T) & (est[i + 3] < T)))
            i += 4;
        if (i > last) break;
        if (est[i] < T) continue;
        const double nu = i == likely ? nuLikely : EdgeNu(p, i, c);
        if (nu > nuMax) {
            nuMax = nu;
            edge = i;
            T = lowered(std::max(nuLikely, nuMax));
        }
    }
    return edge;
}

} // namespace

bool CTerrain::ComputeDiffraction() {
    const double f = frequency;
    const double p = timePercent;
    const double L = pathLength;
    const int n = profile.count;
    const double lambda = 0.3 / f;
    const double hts = profile.height[0];
    const double hrs = profile.height[n - 1];
    const double d = profile.distance[n - 1] - profile.distance[0];

    static thread_local LastValue frequencyTerm; // a map's cells share the frequency
    const double Lf = frequencyTerm(f, [](double fGHz) { return 92.44 + 20.0 * std::log10(fGHz); });
    loss.lbfsg = L > 0.0 ? Lf + 20.0 * std::log10(L) : 0.0; // eq. (8)
    if (n < 2 || d < 0.1) {
        lineOfSight = true;
        loss.lbd = loss.lbd50 = loss.lb0p = loss.lb0b = loss.lbfsg;
        loss.ldp = 0.0;
        return true;
    }

    // Principal edge, median radius.
    double nuM = 0.0;
    edgeMain = std::max(HighestEdge(profile, 1, n - 2, Chord(0.0, hts, d, hrs, kMedian, lambda),
                                    -99999.0, nuM, scratch.data()),
                        0);
    const double Lm = KnifeEdgeLoss(nuM); // eq. (16)
    const double dp = profile.distance[edgeMain];
    const double hp = profile.height[edgeMain];

    if (!ComputeHorizons()) return false;

    if (Lm == 0.0) {
        lineOfSight = true;
        edgeTx = edgeRx = edgeMain;
        loss.lbd50 = loss.lbfsg + MultipathFocusing(50.0);
        loss.lb0b = loss.lbfsg + MultipathFocusing(beta0); // eqs. (10b), (12)
        loss.lb0p = loss.lbfsg + MultipathFocusing(p);     // eq. (11)
        loss.ldp = 0.0;
        loss.lbd = loss.lb0p;
        return true;
    }
    lineOfSight = false;

    // Secondary edges on each side of the principal edge, median radius.
    double Lt = 0.0;
    edgeTx = edgeMain;
    if (edgeMain != 1) {
        double nuT = 0.0;
        const int edge =
            HighestEdge(profile, 1, edgeMain - 1, Chord(0.0, hts, dp, hp, kMedian, lambda),
                        -99999.0, nuT, scratch.data());
        Lt = KnifeEdgeLoss(nuT); // eq. (19)
        if (Lt > 0.0) edgeTx = edge;
    }
    double Lr = 0.0;
    edgeRx = edgeMain;
    if (edgeMain != n - 2) {
        double nuR = 0.0;
        const int edge =
            HighestEdge(profile, edgeMain + 1, n - 2, Chord(dp, hp, d, hrs, kMedian, lambda),
                        -99990.0, nuR, scratch.data());
        Lr = KnifeEdgeLoss(nuR); // eq. (22)
        if (Lr > 0.0) edgeRx = edge;
    }

    loss.lb0p = loss.lbfsg + MultipathFocusing(p);     // eqs. (10a), (11)
    loss.lb0b = loss.lbfsg + MultipathFocusing(beta0); // eqs. (10b), (12)
    const double Ld50 = Lm + (1.0 - std::exp(-Lm / 6.0)) * (Lt + Lr + 10.0 + 0.04 * d); // (23)
    loss.lbd50 = loss.lbfsg + Ld50;                                                     // eq. (33)
    if (p == 50.0) {
        loss.ldp = Ld50;
        loss.lbd = loss.lbd50;
        return true;
    }

    // The same edges for the Earth-radius factor exceeded for beta0 % of time.
    const double nuMb = EdgeNu(profile, edgeMain, Chord(0.0, hts, d, hrs, kBeta, lambda));
    const double Lmb = KnifeEdgeLoss(nuMb); // eq. (25)
    const double Ltb =                      // eq. (27)
        (Lt > 0.0 && edgeTx > 0)
            ? KnifeEdgeLoss(EdgeNu(profile, edgeTx, Chord(0.0, hts, dp, hp, kBeta, lambda)))
            : 0.0;
    const double Lrb = // eq. (29)
        (Lr > 0.0 && edgeRx > 0)
            ? KnifeEdgeLoss(EdgeNu(profile, edgeRx, Chord(dp, hp, d, hrs, kBeta, lambda)))
            : 0.0;
    const double Ldb = // eq. (30)
        nuMb > -0.78 ? Lmb + (1.0 - std::exp(-Lmb / 6.0)) * (Ltb + Lrb + 10.0 + 0.04 * d) : 0.0;

    const double Fi = InterpolationFactor(p, beta0);
    loss.ldp = Ld50 + Fi * (Ldb - Ld50); // eq. (32)
    loss.lbd = loss.lb0p + loss.ldp;     // eq. (34)
    return true;
}

} // namespace kestrova
