#include "coverage/CoverageFile.h"

#include <array>
#include <charconv>
#include <string>

namespace kestrova {

std::string PrintfFixed(double value, int width, int decimals) {
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    std::string text(buffer.data(), result.ptr);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<size_t>(width) - text.size(), ' ');
    return text;
}

std::string CoverageFileText(const CoverageField& field, const CoverageHeader& h, bool withHeader) {
    const CoverageArea& a = field.Area();
    std::string text;
    text.reserve(static_cast<size_t>(a.n) * static_cast<size_t>(a.n) * 6 + 256);
    if (withHeader) {
        text += "Top Left Location " + PrintfFixed(a.north, 8, 5) + " " +
                PrintfFixed(a.west, 8, 5) + ", Increment = " + PrintfFixed(a.resolution, 5, 0) +
                " arcsec, Steps = " + std::to_string(a.n) + ",";
        text += "Tx location = " + PrintfFixed(h.txLatitude, 8, 5) + " " +
                PrintfFixed(h.txLongitude, 8, 5) + ", Freq = " + PrintfFixed(h.frequency, 3, 3) +
                " GHz, txh = " + PrintfFixed(h.txHeight, 3, 1) +
                " m, rxh = " + PrintfFixed(h.rxHeight, 3, 1) + " m, " +
                PrintfFixed(h.percent, 3, 1) + " % Time,";
        text += "Temperature " + PrintfFixed(h.temperature, 3, 1) + " C, Pressure " +
                PrintfFixed(h.pressure, 4, 1) + " mB, Humidity " + PrintfFixed(h.humidity, 3, 1) +
                " %\n";
    }
    for (int i = a.n - 1; i >= 0; --i) {
        for (int j = 0; j < a.n; ++j) {
            text += PrintfFixed(field.GridAt(i, j) / 100.0, 4, 1);
            text += j + 1 < a.n ? ',' : '\n';
        }
    }
    return text;
}

} // namespace kestrova
