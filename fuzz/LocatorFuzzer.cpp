// Location texts in all four formats: no crash, no undefined behaviour, and
// a text that parses is a place and nothing else:
// - it holds only the characters of its format (garbage around or inside
//   the numbers is no place, so a text accepted with it is a finding);
// - the place is on the globe, and its texts in every format can be made;
// - its texts in Maidenhead, decimal degrees and degrees-minutes-seconds
//   parse back to the same place within each text's precision.
#include "geo/Locator.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The characters an accepted text of the format may hold, blanks aside.
const char* Alphabet(int format) {
    switch (format) {
    case kestrova::FormatMaidenhead:
    case kestrova::FormatNGR:
        return "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    default: // decimal degrees, degrees-minutes-seconds
        return "0123456789.+-NSEWnsew";
    }
}

bool OnlyAlphabet(const std::string& text, int format) {
    for (char c : text)
        if (!std::strchr(" \t\n\v\f\r", c) && !std::strchr(Alphabet(format), c)) return false;
    return true;
}

// How far a text printed at full precision may lie from its place, in
// degrees: a 12-character Maidenhead cell's centre, seven significant digits
// of a degree, a tenth of a second of arc rounded (plus single-precision
// seconds).
double Tolerance(int format) {
    switch (format) {
    case kestrova::FormatMaidenhead:
        return 2.0 / 57600;
    case kestrova::FormatDegrees:
        return 5.1e-6;
    default:
        return 0.051 / 3600;
    }
}

// The place's text in format parses back to the same place. A format that
// cannot show the place (Maidenhead at latitude 90 or longitude 180) gives
// an invalid text, which only the degree formats must never do.
void CheckRoundTrip(kestrova::CLocator place, int format) {
    const std::string text = place.GetText(format, format == kestrova::FormatMaidenhead ? 12 : 7);
    const kestrova::CLocator back(text, format);
    if (!back.IsValid()) {
        if (format != kestrova::FormatMaidenhead) std::abort();
        return;
    }
    if (!(std::fabs(back.GetLatitude() - place.GetLatitude()) <= Tolerance(format))) std::abort();
    // Longitude is free at the poles, and 180 W is 180 E.
    if (std::fabs(place.GetLatitude()) < 89.99 &&
        !(std::fabs(std::remainder(back.GetLongitude() - place.GetLongitude(), 360.0)) <=
          Tolerance(format)))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte picks the format (an out-of-range one now and then) and
    // whether the text is lower-cased first, to try the upper-casing.
    const int format = data[0] % 5;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 0x80)
        for (char& c : text)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');

    kestrova::CLocator location(text, format);
    if (!location.IsValid()) return 0;
    if (!OnlyAlphabet(text, format)) std::abort();
    const double lat = location.GetLatitude();
    const double lon = location.GetLongitude();
    if (!(lat >= -90.0 && lat <= 90.0 && lon >= -180.0 && lon <= 180.0)) std::abort();
    for (int f = -1; f <= 4; ++f)
        for (int precision : {0, 2, 3, 7, 10, 12})
            if (location.GetText(f, precision).empty()) std::abort();
    // Grid references are left out: the grid's own round trip is not exact
    // to the metre, and a place off the grid has no reference.
    for (int f : {kestrova::FormatMaidenhead, kestrova::FormatDegrees, kestrova::FormatDMS})
        CheckRoundTrip(location, f);
    double latOut = 0;
    double lonOut = 0;
    location.DestinationPoint(latOut, lonOut, 100.0, static_cast<double>(data[0]));
    return 0;
}
