// Location texts in all four formats: no crash, no undefined behaviour, and
// a text that parses gives a position on the globe whose texts can be made.
#include "geo/Locator.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

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
    const double lat = location.GetLatitude();
    const double lon = location.GetLongitude();
    if (!(lat >= -90.0 && lat <= 90.0 && lon >= -180.0 && lon <= 180.0)) std::abort();
    for (int f = -1; f <= 4; ++f)
        for (int precision : {0, 2, 3, 7, 10, 12})
            if (location.GetText(f, precision).empty()) std::abort();
    double latOut = 0;
    double lonOut = 0;
    location.DestinationPoint(latOut, lonOut, 100.0, static_cast<double>(data[0]));
    return 0;
}
