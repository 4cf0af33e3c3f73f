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

namespace {

std::string HeaderLine(const CoverageArea& a, const CoverageHeader& h) {
    std::string text = "Top Left Location " + PrintfFixed(a.north, 8, 5) + " " +
                       PrintfFixed(a.west, 8, 5) +
                       ", Increment = " + PrintfFixed(a.resolution, 5, 0) +
                       " arcsec, Steps = " + std::to_string(a.n) + ",";
    text += "Tx location = " + PrintfFixed(h.txLatitude, 8, 5) + " " +
            PrintfFixed(h.txLongitude, 8, 5) + ", Freq = " + PrintfFixed(h.frequency, 3, 3) +
            " GHz, txh = " + PrintfFixed(h.txHeight, 3, 1) +
            " m, rxh = " + PrintfFixed(h.rxHeight, 3, 1) + " m, " + PrintfFixed(h.percent, 3, 1) +
            " % Time,";
    text += "Temperature " + PrintfFixed(h.temperature, 3, 1) + " C, Pressure " +
            PrintfFixed(h.pressure, 4, 1) + " mB, Humidity " + PrintfFixed(h.humidity, 3, 1) +
            " %\n";
    return text;
}

// Row i of the grid as one line, west to east.
void AppendRow(std::string& text, const CoverageField& field, int i) {
    const int n = field.Area().n;
    for (int j = 0; j < n; ++j) {
        text += PrintfFixed(field.GridAt(i, j) / 100.0, 4, 1);
        text += j + 1 < n ? ',' : '\n';
    }
}

} // namespace

std::string CoverageFileText(const CoverageField& field, const CoverageHeader& h,
                             bool withHeader) {
    const CoverageArea& a = field.Area();
    std::string text;
    text.reserve(static_cast<size_t>(a.n) * static_cast<size_t>(a.n) * 6 + 256);
    if (withHeader) text += HeaderLine(a, h);
    for (int i = a.n - 1; i >= 0; --i)
        AppendRow(text, field, i);
    return text;
}

WriteOutcome WriteCoverageFile(const std::string& path, const CoverageField& field,
                               const CoverageHeader& header, bool withHeader) {
    AtomicFileWriter writer(path);
    if (withHeader) writer.Write(HeaderLine(field.Area(), header));
    std::string row;
    for (int i = field.Area().n - 1; i >= 0 && writer.Outcome(); --i) {
        row.clear();
        AppendRow(row, field, i);
        writer.Write(row);
    }
    return writer.Commit();
}

} // namespace kestrova
