// Whole site files: no crash, no undefined behaviour; every site read lies
// on the globe with a height and frequency that are -1 or a figure, every
// skipped line has a number in order and a reason, and the list texts of
// every site can be made.
//
// An input that starts with "#repeat\n" is its short remainder repeated to
// 1000 lines, one that starts with "#wide\n" its remainder repeated to a
// line of 70 000 characters: long files and long lines without a large
// corpus. A file of 100 000 lines is read once at start-up (under the
// sanitizers such a file takes half a second, too long for every input).
#include "sites/SiteTexts.h"
#include "sites/Sites.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view repeatMark = "#repeat\n";
constexpr std::string_view wideMark = "#wide\n";

std::string Input(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    const bool repeat = text.rfind(repeatMark, 0) == 0;
    const bool wide = text.rfind(wideMark, 0) == 0;
    if (!repeat && !wide) return text;
    const std::string unit = text.substr(repeat ? repeatMark.size() : wideMark.size());
    const auto ends =
        std::count_if(unit.begin(), unit.end(), [](char c) { return c == '\n' || c == '\r'; });
    if (unit.empty() || unit.size() > 64 || (repeat && ends == 0)) return text;
    std::string repeated;
    if (repeat)
        for (long lines = 0; lines < 1000; lines += ends)
            repeated += unit;
    else
        while (repeated.size() < 70000)
            repeated += unit;
    return repeated;
}

bool NoneOrFigure(double value) {
    return value == -1.0 || (value >= 0.0 && std::isfinite(value));
}

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckSites(const std::string& text) {
    const kestrova::CSites sites = kestrova::CSites::FromText(text);
    // Only a text that looks like UTF-16 is refused, and says so.
    Check(sites.WasRead() || sites.GetError().find("UTF-16") != std::string::npos);
    Check(sites.IsLoaded() == (sites.GetCount() > 0));
    for (int i = 0; i < sites.GetCount(); ++i) {
        const kestrova::CSite& site = sites.GetSite(i);
        Check(site.GetLatitude() >= -90.0 && site.GetLatitude() <= 90.0);
        Check(site.GetLongitude() >= -180.0 && site.GetLongitude() <= 180.0);
        Check(NoneOrFigure(site.GetMastHeight()) && NoneOrFigure(site.GetFrequency()));
        Check(site.GetFormat() >= 0 && site.GetFormat() <= 3);
        if (i >= 10) continue; // the texts of a few sites are enough
        Check(kestrova::SiteInfoLines(site, 0).size() == 7);
        Check(!kestrova::SiteListColumns(site).locator.empty());
        for (int format = 0; format <= 3; ++format)
            Check(!kestrova::SiteLocationText(site, format).empty());
    }
    int previous = 0;
    for (const kestrova::SkippedLine& line : sites.GetSkipped()) {
        Check(line.line > previous && !line.reason.empty());
        previous = line.line;
    }
    kestrova::SiteLine whole;
    Check(kestrova::CSites::ParseLine(text, whole) == whole.reason.empty());
}

} // namespace

// 100 000 lines: 25 000 of each of four kinds, with all three line ends.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string text;
    for (int i = 0; i < 25000; ++i)
        text += "Repeater~IO91WM~25m~1.297GHz\nBeacon~SU374616~10f~2.4G\r\n"
                "Short~IO91~10m\r~51 30 15 N 0 7 30 W~~\n";
    CheckSites(text);
    const kestrova::CSites sites = kestrova::CSites::FromText(text);
    Check(sites.GetCount() == 75000 && sites.GetSkippedCount() == 25000);
    Check(sites.GetSkipped().back().line == 99999);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckSites(Input(data, size));
    return 0;
}
