// Maidenhead locator, decimal-degree and degrees-minutes-seconds texts.
#include "geo/Locator.h"
#include "geo/NumberFormat.h"
#include "geo/TextScan.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace kestrova {
namespace {

bool IsEvenLength(size_t length) {
    return length >= 2 && length <= 12 && length % 2 == 0;
}

bool InRange(double lat, double lon) {
    return lat >= -90.0 && lat <= 90.0 && lon >= -180.0 && lon <= 180.0;
}

// Whole cells of extent step in x, as a character offset. Out-of-range
// positions give nonsense characters but never an out-of-range conversion.
int CellIndex(double x, double step) {
    const double q = std::clamp(std::trunc(x / step), -1.0, 60.0);
    return std::isnan(q) ? 0 : static_cast<int>(q);
}

// One part of a degrees-minutes-seconds text, scanned as "%d %d %f": the
// fields the scan does not reach are zero. False unless the part holds at
// least the degrees and nothing after its numbers but blanks: a letter
// inside the numbers, or a decimal point where whole degrees or minutes
// belong, is no position.
bool ScanDMSPart(std::string_view part, double& value) {
    int degrees = 0;
    int minutes = 0;
    float seconds = 0.0f;
    if (!scan::Int(part, degrees)) return false;
    if (scan::Int(part, minutes)) scan::Float(part, seconds);
    scan::SkipBlanks(part);
    if (!part.empty()) return false;
    value = degrees + minutes / 60.0 + seconds / 3600.0;
    return true;
}

// True when nothing but blanks is left.
bool AllBlank(std::string_view rest) {
    scan::SkipBlanks(rest);
    return rest.empty();
}

std::string DMSText(double value, int degreePrecision) {
    const double d = std::floor(value);
    const double m = std::floor((value - d) * 60.0);
    const double s = (value - d - m / 60.0) * 3600.0;
    return FormatFixed(d, degreePrecision, 0) + " " + FormatFixed(m, 2, 0) + " " +
           FormatFixed(s, 3, 1);
}

} // namespace

int CLocator::ParseMaidenhead() {
    scan::UpperCase(text);
    if (!IsEvenLength(text.size())) return 0;
    while (text.size() < 12)
        text += (text.size() == 4 || text.size() == 8) ? "LL" : "55";

    // Characters 1-2 A..R, then alternately digit pairs and A..X pairs.
    static constexpr char first[12] = {'A', 'A', '0', '0', 'A', 'A', '0', '0', 'A', 'A', '0', '0'};
    static constexpr char last[12] = {'R', 'R', '9', '9', 'X', 'X', '9', '9', 'X', 'X', '9', '9'};
    for (size_t i = 0; i < 12; ++i)
        if (text[i] < first[i] || text[i] > last[i]) return 0;

    const MaidenheadSteps& step = Steps();
    auto value = [&](size_t i) { return static_cast<double>(text[i] - first[i]); };
    longitude = value(0) * 20.0 - 180.0 + value(2) * step.lon[2] + value(4) * step.lon[3] +
                value(6) * step.lon[4] + value(8) * step.lon[5] + value(10) * step.lon[6] +
                step.lon[7] / 2.0;
    latitude = value(1) * 10.0 - 90.0 + value(3) * step.lat[2] + value(5) * step.lat[3] +
               value(7) * step.lat[4] + value(9) * step.lat[5] + value(11) * step.lat[6] +
               step.lat[7] / 2.0;
    return 1;
}

std::string CLocator::GetMaidenhead() {
    return GetMaidenhead(8);
}

std::string CLocator::GetMaidenhead(int length) {
    if (length == 0) length = 8;
    if (length < 0 || !IsEvenLength(static_cast<size_t>(length))) {
        text = "Invalid Length";
        return text;
    }
    std::string locator = "AA00AA00AA00";
    const MaidenheadSteps& step = Steps();
    double x = longitude + 180.0;
    double y = latitude + 90.0;
    for (int level = 1; level <= 6; ++level) {
        const int i = CellIndex(x, step.lon[level]);
        const int j = CellIndex(y, step.lat[level]);
        locator[static_cast<size_t>(2 * level - 2)] += static_cast<char>(i);
        locator[static_cast<size_t>(2 * level - 1)] += static_cast<char>(j);
        x -= i * step.lon[level];
        y -= j * step.lat[level];
    }
    text = locator.substr(0, static_cast<size_t>(length));
    return text;
}

// Decimal degrees such as "51.5 N 0.12 E". Every "E" is read as "~" while
// scanning so that the east letter is not taken as an exponent.
int CLocator::ParseDegrees() {
    scan::UpperCase(text);
    // "~" stands for the east letter while scanning: typed, it is none.
    if (text.find('~') != std::string::npos) return 0;
    std::string scanned = text;
    std::replace(scanned.begin(), scanned.end(), 'E', '~');
    std::string_view rest = scanned;
    char latLetter = 0;
    char lonLetter = 0;
    if (scan::Double(rest, latitude) && scan::Char(rest, latLetter) &&
        scan::Double(rest, longitude))
        scan::Char(rest, lonLetter);

    if (latLetter != 'N' && latLetter != 'S') return 0;
    if (lonLetter != '~' && lonLetter != 'W') return 0;
    // Anything after the longitude's letter makes the text no position.
    if (!AllBlank(rest)) return 0;
    if (!(latitude >= 0.0 && latitude <= 90.0 && longitude >= 0.0 && longitude <= 180.0)) return 0;
    if (latLetter == 'S') latitude = -latitude;
    if (lonLetter == 'W') longitude = -longitude;
    return 1;
}

std::string CLocator::GetDegrees() const {
    return GetDegrees(7);
}

std::string CLocator::GetDegrees(int decimals) const {
    if (decimals == 0) decimals = 7;
    return FormatFixed(std::fabs(latitude), 7, decimals) + (latitude < 0 ? " S   " : " N   ") +
           FormatFixed(std::fabs(longitude), 8, decimals) + (longitude < 0 ? " W" : " E");
}

// Degrees, minutes and seconds such as "51 15 27 N 0 7 30 W". The latitude
// is the text before the first N (or S), the longitude the text after it up
// to the E (or W) that ends the text; each holds one to three numbers and
// nothing else.
int CLocator::ParseDMS() {
    scan::UpperCase(text);
    const std::string_view whole = text;
    const size_t latLetter = whole.find_first_of("NS");
    if (latLetter == std::string_view::npos) return 0;
    size_t lonLetter = whole.size();
    while (lonLetter > latLetter + 1 && AllBlank(whole.substr(lonLetter - 1, 1)))
        --lonLetter;
    if (lonLetter <= latLetter + 1) return 0;
    --lonLetter;
    if (whole[lonLetter] != 'E' && whole[lonLetter] != 'W') return 0;

    double lat = 0.0;
    double lon = 0.0;
    if (!ScanDMSPart(whole.substr(0, latLetter), lat) ||
        !ScanDMSPart(whole.substr(latLetter + 1, lonLetter - latLetter - 1), lon))
        return 0;
    if (whole[latLetter] != 'N') lat = -lat;
    if (whole[lonLetter] != 'E') lon = -lon;
    // A position off the globe (or not a number) is no position at all.
    if (!InRange(lat, lon)) return 0;
    latitude = lat;
    longitude = lon;
    return 1;
}

std::string CLocator::GetDMS() const {
    return DMSText(std::fabs(latitude), 2) + (latitude < 0 ? " S   " : " N   ") +
           DMSText(std::fabs(longitude), 3) + (longitude < 0 ? " W" : " E");
}

} // namespace kestrova
