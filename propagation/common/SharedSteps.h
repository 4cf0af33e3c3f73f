// The steps of ITU-R P.452 that the 2009 (-14) and 2023 (-18) editions share,
// with the equation numbers of each edition where they differ: β0, the
// interpolation factor Fi with its inverse normal I(x), and the ducting and
// layer-reflection loss.
#pragma once

namespace kestrova::p452 {

// τ from the longest inland section dlm km, eq. (3a) of both editions.
double Tau(double dlm);

// β0 %, from the longest land section dtm km, τ and the path-centre
// latitude in degrees, eqs. (2)–(4) of both editions.
double Beta0(double dtm, double tau, double latitudeDeg);

// I(x): the inverse complementary cumulative normal distribution by the
// rational approximation of Attachment 3 (-18 eq. (158)), with the sign
// convention of the 2009 text; only ratios of it are used.
double InverseCumulativeNormal(double x);

// Fi for p % and β0 %: 0 above 50 %, 1 at or below β0, else I(p)/I(β0)
// (-14 eqs. (31a)–(31c), -18 eqs. (41a), (41b)).
double InterpolationFactor(double percent, double beta0);

// The geometry the ducting loss reads.
struct DuctingPath {
    double f = 0.0;   // GHz
    double d = 0.0;   // km
    double p = 0.0;   // %
    double ae = 0.0;  // km
    double hts = 0.0; // m amsl, antenna
    double hrs = 0.0;
    double thetaT = 0.0; // mrad
    double thetaR = 0.0;
    double dlt = 0.0; // km
    double dlr = 0.0;
    double dct = 0.0; // km
    double dcr = 0.0;
    double omega = 0.0;
    double hte = 0.0; // m, ducting effective heights
    double hre = 0.0;
    double hm = 0.0; // m
    double tau = 0.0;
    double beta0 = 0.0; // %
};

// Lba = Af + Ad(p), dB, without gaseous absorption: -14 eqs. (36)–(46a),
// -18 eqs. (46)–(57), the small-angle correction Alf of -18 eq. (47a) given
// (0 for -14).
double DuctingLoss(const DuctingPath& path, double Alf);

} // namespace kestrova::p452
