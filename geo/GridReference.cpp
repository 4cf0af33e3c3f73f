// OSGB national grid references: WGS84 <-> OSGB36 by a seven-parameter
// Helmert transformation, Transverse Mercator on Airy 1830, and the grid
// letters of the 100 km squares (Ordnance Survey, "A guide to coordinate
// systems in Great Britain").
#include "geo/Locator.h"
#include "geo/TextScan.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace kestrova {
namespace {

// The 100 km squares of a 500 km square, from the south-west corner, five
// to a row, west to east, rows south to north (no "I").
constexpr char squareLetters[] = "VWXYZQRSTULMNOPFGHJKABCDE";

struct HelmertParameters {
    double tx, ty, tz; // m
    double scale;      // 1 + s
    double rx, ry, rz; // arc-seconds
};
constexpr HelmertParameters osgbToWgs{446.448, -125.157, 542.06, 1.0 - 20.4894e-6,
                                      0.1502,  0.247,    0.8421};
constexpr HelmertParameters wgsToOsgb{-446.448, 125.157, -542.06, 1.0 + 20.4894e-6,
                                      -0.1502,  -0.247,  -0.8421};

struct Ellipsoid {
    double a;
    double e2;
};
constexpr Ellipsoid airy{CLocator::airyA, CLocator::airyE2};
constexpr Ellipsoid wgs84{CLocator::wgsA, CLocator::wgsE2};

// Geodetic (height 0) -> Cartesian -> Helmert -> geodetic on the target.
void Helmert(double& lat, double& lon, const Ellipsoid& source, const Ellipsoid& target,
             const HelmertParameters& p) {
    const double phi = lat * CLocator::degToRad;
    const double lambda = lon * CLocator::degToRad;
    const double nu = source.a / std::sqrt(1.0 - source.e2 * std::sin(phi) * std::sin(phi));
    const double x = nu * std::cos(phi) * std::cos(lambda);
    const double y = nu * std::cos(phi) * std::sin(lambda);
    const double z = nu * (1.0 - source.e2) * std::sin(phi);

    const double rx = p.rx * CLocator::degToRad / 3600.0;
    const double ry = p.ry * CLocator::degToRad / 3600.0;
    const double rz = p.rz * CLocator::degToRad / 3600.0;
    const double x2 = p.tx + p.scale * x - rz * y + ry * z;
    const double y2 = p.ty + rz * x + p.scale * y - rx * z;
    const double z2 = p.tz - ry * x + rx * y + p.scale * z;

    const double lambda2 = std::atan2(y2, x2);
    const double pxy = std::sqrt(x2 * x2 + y2 * y2);
    double phi2 = std::atan2(z2, pxy * (1.0 - target.e2));
    double phiNext = phi2;
    // Converges in a few rounds for any real position; the cap only stops a
    // position that is not a number from looping for ever.
    for (int round = 0; round < 100; ++round) {
        const double nu2 = target.a / std::sqrt(1.0 - target.e2 * std::sin(phi2) * std::sin(phi2));
        phiNext = std::atan2(z2 + target.e2 * nu2 * std::sin(phi2), pxy);
        if (std::fabs(phi2 - phiNext) <= 1e-8) break;
        phi2 = phiNext;
    }
    lat = phiNext * CLocator::radToDeg;
    lon = lambda2 * CLocator::radToDeg;
}

// Meridional arc from the equator, the series shared by both projections.
double MeridionalFactor0() {
    constexpr double e2 = CLocator::airyE2;
    constexpr double e4 = e2 * e2;
    constexpr double e6 = e4 * e2;
    return 1.0 - e2 / 4.0 - 3.0 * e4 / 64.0 - 5.0 * e6 / 256.0;
}

} // namespace

void CLocator::OSGB36ToWGS84(double lat, double lon, double& latOut, double& lonOut) {
    Helmert(lat, lon, airy, wgs84, osgbToWgs);
    latOut = lat;
    lonOut = lon;
}
void CLocator::OSGB36ToWGS84(double& lat, double& lon) {
    OSGB36ToWGS84(lat, lon, lat, lon);
}

void CLocator::WGS84ToOSGB36(double lat, double lon, double& latOut, double& lonOut) {
    Helmert(lat, lon, wgs84, airy, wgsToOsgb);
    latOut = lat;
    lonOut = lon;
}
void CLocator::WGS84ToOSGB36(double& lat, double& lon) {
    WGS84ToOSGB36(lat, lon, lat, lon);
}

int CLocator::LatLonToGrid(double lat, double lon, int& eastRem, int& northRem, char letters[3]) {
    if (!(lat >= 45.0 && lat <= 65.0 && lon >= -15.0 && lon <= 5.0)) return 0;
    WGS84ToOSGB36(lat, lon);

    constexpr double a = airyA;
    constexpr double e2 = airyE2;
    constexpr double e4 = e2 * e2;
    constexpr double e6 = e4 * e2;
    constexpr double ep2 = airyEp2;
    const double phi = lat * degToRad;
    const double lambda = lon * degToRad;
    const double sinPhi = std::sin(phi);
    const double nu = a / std::sqrt(1.0 - e2 * sinPhi * sinPhi);
    const double T = std::tan(phi) * std::tan(phi);
    const double C = ep2 * std::cos(phi) * std::cos(phi);
    const double A = std::cos(phi) * (lambda - lon0Rad);
    const double M =
        a * (MeridionalFactor0() * phi -
             (3.0 * e2 / 8.0 + 3.0 * e4 / 32.0 + 45.0 * e6 / 1024.0) * std::sin(2 * phi) +
             (15.0 * e4 / 256.0 + 45.0 * e6 / 1024.0) * std::sin(4 * phi) -
             (35.0 * e6 / 3072.0) * std::sin(6 * phi));
    const double A2 = A * A;
    const double E = F0 * nu *
                         (A + (1 - T + C) * A2 * A / 6.0 +
                          (5 - 18 * T + T * T + 72 * C - 58 * ep2) * A2 * A2 * A / 120.0) +
                     400000.0;
    const double N =
        F0 * (M - M0 +
              nu * std::tan(phi) *
                  (A2 / 2.0 + (5 - T + 9 * C + 4 * C * C) * A2 * A2 / 24.0 +
                   (61 - 58 * T + T * T + 600 * C - 330 * ep2) * A2 * A2 * A2 / 720.0)) -
        100000.0;
    if (!(E >= 0.0 && E <= 700000.0 && N >= 0.0 && N <= 1300000.0)) return 0;
    GridToSquare(E, N, letters, eastRem, northRem);
    return 1;
}

void CLocator::GridToSquare(double easting, double northing, char letters[3], int& eastRem,
                            int& northRem) {
    const int Ei = static_cast<int>(easting + 0.5);
    const int Ni = static_cast<int>(northing + 0.5);
    letters[0] = squareLetters[Ei / 500000 + 5 * (Ni / 500000) + 7];
    letters[1] = squareLetters[(Ei % 500000) / 100000 + 5 * ((Ni % 500000) / 100000)];
    letters[2] = '\0';
    eastRem = Ei % 100000;
    northRem = Ni % 100000;
}

void CLocator::SquareToGrid(const char* letters, int& easting0, int& northing0) {
    easting0 = 0;
    northing0 = 0;
    switch (letters[0]) {
    case 'T':
        easting0 = 500000;
        break;
    case 'N':
        northing0 = 500000;
        break;
    case 'O':
        easting0 = 500000, northing0 = 500000;
        break;
    case 'H':
        northing0 = 1000000;
        break;
    case 'J':
        easting0 = 500000, northing0 = 1000000;
        break;
    default:
        break; // 'S'
    }
    const char* found = letters[1] ? std::strchr(squareLetters, letters[1]) : nullptr;
    if (!found) return;
    const int i = static_cast<int>(found - squareLetters);
    easting0 += (i % 5) * 100000;
    northing0 += (i / 5) * 100000;
}

// Inverse Transverse Mercator by the footpoint latitude.
void CLocator::GridToLatLon(double northRem, double eastRem, const char* letters, double& lat,
                            double& lon) {
    int easting0 = 0;
    int northing0 = 0;
    SquareToGrid(letters, easting0, northing0);
    const double E = eastRem + easting0 - 400000.0;
    const double N = northRem + northing0 + 100000.0;

    constexpr double a = airyA;
    constexpr double e2 = airyE2;
    constexpr double ep2 = airyEp2;
    constexpr double n = airyN;
    const double mu = (N / F0 + M0) / (a * MeridionalFactor0());
    const double phi1 = mu + (3 * n / 2 - 27 * n * n * n / 32) * std::sin(2 * mu) +
                        (21 * n * n / 16 - 55 * n * n * n * n / 32) * std::sin(4 * mu) +
                        (151 * n * n * n / 96) * std::sin(6 * mu);
    const double sinPhi1 = std::sin(phi1);
    const double nu1 = a / std::sqrt(1 - e2 * sinPhi1 * sinPhi1);
    const double T1 = std::tan(phi1) * std::tan(phi1);
    const double C1 = ep2 * std::cos(phi1) * std::cos(phi1);
    const double rho1 = a * (1 - e2) / std::pow(1 - e2 * sinPhi1 * sinPhi1, 1.5);
    const double D = E / (nu1 * F0);
    const double D2 = D * D;
    const double phi =
        phi1 - (nu1 * std::tan(phi1) / rho1) *
                   (D2 / 2 - (5 + 3 * T1 + 10 * C1 - 4 * C1 * C1 - 9 * ep2) * D2 * D2 / 24 +
                    (61 + 90 * T1 + 298 * C1 + 45 * T1 * T1 - 252 * ep2 - 3 * C1 * C1) * D2 * D2 *
                        D2 / 720);
    const double lambda =
        (D - (1 + 2 * T1 + C1) * D2 * D / 6 +
         (5 - 2 * C1 + 28 * T1 - 3 * C1 * C1 + 8 * ep2 + 24 * T1 * T1) * D2 * D2 * D / 120) /
        std::cos(phi1);
    double outLat = phi * radToDeg;
    double outLon = lambda * radToDeg + lon0Deg;
    OSGB36ToWGS84(outLat, outLon);
    lat = outLat;
    lon = outLon;
}

int CLocator::ParseNGR() {
    scan::UpperCase(text);
    const size_t length = text.size();
    if (length < 4 || length > 12 || length % 2 != 0) return 0;
    if (!std::strchr("STNHOJ", text[0]) || !std::strchr("ABCDEFGHJKLMNOPQRSTUVWXYZ", text[1]))
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (text[i] < '0' || text[i] > '9') return 0;

    const size_t k = (length - 2) / 2;
    const double unit = std::pow(10.0, 5.0 - static_cast<double>(k));
    auto number = [&](size_t first) {
        double value = 0.0;
        for (size_t i = first; i < first + k; ++i)
            value = value * 10.0 + (text[i] - '0');
        return value;
    };
    const double eastRem = number(2) * unit;
    const double northRem = number(2 + k) * unit;
    const char letters[3] = {text[0], text[1], '\0'};
    GridToLatLon(northRem, eastRem, letters, latitude, longitude);
    return 1;
}

std::string CLocator::GetNGR() const {
    return GetNGR(6);
}

std::string CLocator::GetNGR(int digits) const {
    if (digits == 0) digits = 8;
    if (digits < 2 || digits > 10 || digits % 2 != 0) return "Invalid";
    int eastRem = 0;
    int northRem = 0;
    char letters[3] = {};
    if (!LatLonToGrid(latitude, longitude, eastRem, northRem, letters)) return "Invalid";
    char east[16];
    char north[16];
    std::snprintf(east, sizeof east, "%05d", eastRem);
    std::snprintf(north, sizeof north, "%05d", northRem);
    const size_t half = static_cast<size_t>(digits / 2);
    return std::string(letters) + std::string(east, half) + std::string(north, half);
}

int CLocator::GetGridEN(int& easting, int& northing) const {
    int eastRem = 0;
    int northRem = 0;
    char letters[3] = {};
    if (!LatLonToGrid(latitude, longitude, eastRem, northRem, letters)) return 0;
    int easting0 = 0;
    int northing0 = 0;
    SquareToGrid(letters, easting0, northing0);
    easting = easting0 + eastRem;
    northing = northing0 + northRem;
    return 1;
}

int CLocator::GetEasting() const {
    int easting = 0;
    int northing = 0;
    return GetGridEN(easting, northing) ? easting : 0;
}

int CLocator::GetNorthing() const {
    int easting = 0;
    int northing = 0;
    return GetGridEN(easting, northing) ? northing : 0;
}

} // namespace kestrova
