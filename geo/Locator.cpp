#include "geo/Locator.h"

#include <algorithm>
#include <cmath>

namespace kestrova {

namespace {
bool InRange(double lat, double lon) {
    return lat >= -90.0 && lat <= 90.0 && lon >= -180.0 && lon <= 180.0;
}
} // namespace

const CLocator::MaidenheadSteps& CLocator::Steps() {
    static const MaidenheadSteps steps = [] {
        MaidenheadSteps s{};
        s.lon[1] = 20.0;
        s.lat[1] = 10.0;
        const double divisor[8] = {0, 0, 10, 24, 10, 24, 10, 24};
        for (int level = 2; level <= 7; ++level) {
            s.lon[level] = s.lon[level - 1] / divisor[level];
            s.lat[level] = s.lat[level - 1] / divisor[level];
        }
        return s;
    }();
    return steps;
}

CLocator::CLocator(Degrees, double lat, double lon)
    : latitude(lat), longitude(lon), valid(InRange(lat, lon)) {}

CLocator::CLocator(std::string locatorText, int locatorFormat)
    : text(std::move(locatorText)), format(locatorFormat) {
    int parsed = 0;
    switch (locatorFormat) {
    case FormatMaidenhead:
        parsed = ParseMaidenhead();
        break;
    case FormatNGR:
        parsed = ParseNGR();
        break;
    case FormatDegrees:
        parsed = ParseDegrees();
        break;
    case FormatDMS:
        parsed = ParseDMS();
        break;
    default:
        break;
    }
    valid = parsed != 0;
}

int CLocator::SetLatLon(double lat, double lon) {
    text.clear();
    latitude = lat;
    longitude = lon;
    format = -1;
    valid = InRange(lat, lon);
    return valid ? 1 : 0;
}

std::string CLocator::GetText(int textFormat) {
    return GetText(textFormat, 0);
}

std::string CLocator::GetText(int textFormat, int precision) {
    switch (textFormat) {
    case FormatMaidenhead:
        return GetMaidenhead(precision);
    case FormatNGR:
        return GetNGR(precision);
    case FormatDegrees:
        return GetDegrees(precision);
    case FormatDMS:
        return GetDMS();
    default:
        return "Invalid";
    }
}

bool CLocator::DestinationPoint(double& latOut, double& lonOut, double rangeKm,
                                double bearingDeg) const {
    if (!valid) {
        latOut = 0.0;
        lonOut = 0.0;
        return false;
    }
    const double delta = rangeKm * 1000.0 / wgsA;
    const double phi1 = latitude * degToRad;
    const double lambda1 = longitude * degToRad;
    const double theta = bearingDeg * degToRad;
    const double phi2 = std::asin(std::cos(theta) * std::sin(delta) * std::cos(phi1) +
                                  std::cos(delta) * std::sin(phi1));
    // At a pole the quotient is 0/0; any longitude is the same point there.
    const double c =
        (std::cos(delta) - std::sin(phi1) * std::sin(phi2)) / (std::cos(phi2) * std::cos(phi1));
    const double dLambda = std::isnan(c) ? 0.0 : std::acos(std::clamp(c, -1.0, 1.0));
    latOut = phi2 * radToDeg;
    lonOut = (bearingDeg >= 0.0 && bearingDeg < 180.0 ? lambda1 + dLambda : lambda1 - dLambda) *
             radToDeg;
    return true;
}

} // namespace kestrova
