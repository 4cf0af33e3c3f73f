// P.452-18 path analysis: zones (section 3.2.1 and the note under Table 2),
// the horizons of Attachment 2 (136)–(145) and the smooth-Earth surfaces
// (146)–(157). Every quantity here reads the terrain heights hi, never the
// clutter.
#include "propagation/p452v18/Steps.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kestrova::p452v18 {

Interior InteriorPoints(std::span<const double> d, Workspace& w) {
    const int n = static_cast<int>(d.size()) - 1;
    const double D = d[n];
    Interior in{1, n - 1};
    while (in.first <= in.last && !(d[in.first] > 0.0))
        ++in.first;
    while (in.last >= in.first && !(d[in.last] < D))
        --in.last;
    for (auto* v : {&w.invD, &w.invDr, &w.q, &w.rootInvQ})
        if (v->size() < d.size()) v->resize(d.size());
    for (int i = in.first; i <= in.last; ++i) {
        const double q = d[i] * (D - d[i]);
        w.invD[i] = 1.0 / d[i];
        w.invDr[i] = 1.0 / (D - d[i]);
        w.q[i] = q;
        w.rootInvQ[i] = 1.0 / std::sqrt(q);
    }
    in.invD = w.invD.data();
    in.invDr = w.invDr.data();
    in.q = w.q.data();
    in.rootInvQ = w.rootInvQ.data();
    return in;
}

// Each sample stands for half the interval to each neighbour it has, so a
// run of samples of one class reaches half-way to the next class.
ZoneRuns ComputeZoneRuns(const Profile& profile) {
    const auto& d = profile.d;
    const auto& zone = profile.zone;
    const int n = static_cast<int>(d.size()) - 1;
    ZoneRuns runs;
    double sea = 0.0;
    double land = 0.0;
    double inland = 0.0;
    for (int i = 0; i <= n; ++i) {
        const double share =
            (i > 0 ? (d[i] - d[i - 1]) / 2.0 : 0.0) + (i < n ? (d[i + 1] - d[i]) / 2.0 : 0.0);
        if (zone[i] == zoneSea) {
            sea += share;
            land = 0.0;
        } else {
            land += share;
            runs.dtm = std::max(runs.dtm, land);
        }
        inland = zone[i] == zoneInland ? inland + share : 0.0;
        runs.dlm = std::max(runs.dlm, inland);
    }
    runs.omega = sea / d[n]; // eq. (7)
    return runs;
}

Coasts ComputeCoasts(const Profile& profile) {
    const auto& d = profile.d;
    const auto& zone = profile.zone;
    const int n = static_cast<int>(d.size()) - 1;
    int first = -1;
    int last = -1;
    for (int i = 0; i <= n; ++i)
        if (zone[i] == zoneSea) {
            if (first < 0) first = i;
            last = i;
        }
    if (first < 0) return {};
    Coasts c;
    c.dct = first == 0 ? 0.0 : (d[first - 1] + d[first]) / 2.0;
    c.dcr = last == n ? 0.0 : d[n] - (d[last] + d[last + 1]) / 2.0;
    return c;
}

Horizons ComputeHorizons(const Profile& profile, const Interior& in, double hts, double hrs,
                         double ae) {
    const auto& d = profile.d;
    const auto& h = profile.h;
    const int n = static_cast<int>(d.size()) - 1;
    const double D = d[n];
    constexpr double lowest = -std::numeric_limits<double>::infinity();
    Horizons r;

    // arctan rises with its argument: the largest elevation is the arctan of
    // the largest argument, found first.
    const double halfCe = 0.5 / ae;
    double xMax = lowest;
    int iMax = 0;
    for (int i = in.first; i <= in.last; ++i) {
        const double x = (h[i] - hts) * 1e-3 * in.invD[i] - d[i] * halfCe; // eq. (138)
        if (x > xMax) { // the point nearest the transmitter among equals
            xMax = x;
            iMax = i;
        }
    }
    const double thetaMax = 1000.0 * std::atan(xMax); // eq. (137)
    const double thetaTd = 1000.0 * std::atan((hrs - hts) / (1e3 * D) - D / (2.0 * ae)); // (139)
    const double thetaRd = 1000.0 * std::atan((hts - hrs) / (1e3 * D) - D / (2.0 * ae)); // (142a)
    r.lineOfSight = !(thetaMax > thetaTd); // eq. (136)

    if (!r.lineOfSight) {
        r.thetaT = thetaMax; // eq. (140)
        r.dlt = d[iMax];     // eq. (141)
        r.ilt = iMax;
        double xr = lowest;
        int jMax = 0;
        for (int j = in.first; j <= in.last; ++j) {
            const double x = (h[j] - hrs) * 1e-3 * in.invDr[j] - (D - d[j]) * halfCe; // (143)
            if (x >= xr) { // the point nearest the receiver among equals
                xr = x;
                jMax = j;
            }
        }
        r.thetaR = std::max(1000.0 * std::atan(xr), thetaRd); // eq. (142b)
        r.dlr = D - d[jMax];                                  // eq. (144)
        r.ilr = jMax;
    } else {
        r.thetaT = thetaTd; // eq. (140)
        r.thetaR = thetaRd; // eq. (142a)
        // νi of eq. (141a) over its positive factor √(0.002 d / λ), which
        // leaves the largest where it is.
        const double bulge = 500.0 / ae;
        const double slope = (hrs - hts) / D;
        double nuMax = lowest;
        int iNu = 0;
        for (int i = in.first; i <= in.last; ++i) {
            const double nu = (h[i] + bulge * in.q[i] - (hts + slope * d[i])) * in.rootInvQ[i];
            if (nu >= nuMax) { // the point farthest from the transmitter among equals
                nuMax = nu;
                iNu = i;
            }
        }
        r.dlt = d[iNu];
        r.dlr = D - r.dlt; // eq. (144a)
        r.ilt = r.ilr = iNu;
    }
    r.theta = 1e3 * D / ae + r.thetaT + r.thetaR; // eq. (145)
    return r;
}

SmoothEarth ComputeSmoothEarth(const Profile& profile, const Interior& in, double hts, double hrs,
                               double htg, double hrg, const Horizons& horizons) {
    const auto& d = profile.d;
    const auto& h = profile.h;
    const int n = static_cast<int>(d.size()) - 1;
    const double D = d[n];
    constexpr double lowest = -std::numeric_limits<double>::infinity();

    double v1 = 0.0;
    double v2 = 0.0;
    for (int i = 1; i <= n; ++i) {
        const double step = d[i] - d[i - 1];
        v1 += step * (h[i] + h[i - 1]);                                                     // (147)
        v2 += step * (h[i] * (2.0 * d[i] + d[i - 1]) + h[i - 1] * (d[i] + 2.0 * d[i - 1])); // (148)
    }
    const double hst = (2.0 * v1 * D - v2) / (D * D); // eq. (149)
    const double hsr = (v2 - v1 * D) / (D * D);       // eq. (150)

    double hobs = lowest;
    double alphaObt = lowest;
    double alphaObr = lowest;
    const double slope = (hrs - hts) / D;
    for (int i = in.first; i <= in.last; ++i) {
        const double H = h[i] - (hts + slope * d[i]);   // eq. (151d)
        hobs = std::max(hobs, H);                       // eq. (151a)
        alphaObt = std::max(alphaObt, H * in.invD[i]);  // eq. (151b)
        alphaObr = std::max(alphaObr, H * in.invDr[i]); // eq. (151c)
    }
    double hstp = hst; // eqs. (152a), (152b)
    double hsrp = hsr;
    if (hobs > 0.0) {
        const double gt = alphaObt / (alphaObt + alphaObr); // eq. (152e)
        const double gr = alphaObr / (alphaObt + alphaObr); // eq. (152f)
        hstp = hst - hobs * gt;                             // eq. (152c)
        hsrp = hsr - hobs * gr;                             // eq. (152d)
    }
    SmoothEarth s;
    s.hstd = hstp > h[0] ? h[0] : hstp; // eqs. (153a), (153b)
    s.hsrd = hsrp > h[n] ? h[n] : hsrp; // eqs. (153c), (153d)

    s.hst = std::min(hst, h[0]);          // eq. (154a)
    s.hsr = std::min(hsr, h[n]);          // eq. (154b)
    const double m = (s.hsr - s.hst) / D; // eq. (155)
    s.hte = htg + h[0] - s.hst;           // eq. (156)
    s.hre = hrg + h[n] - s.hsr;
    double hm = lowest;
    for (int i = horizons.ilt; i <= horizons.ilr; ++i)
        hm = std::max(hm, h[i] - (s.hst + m * d[i])); // eq. (157)
    s.hm = hm == lowest ? 0.0 : hm;
    return s;
}

} // namespace kestrova::p452v18
