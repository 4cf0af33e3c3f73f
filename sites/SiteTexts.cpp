#include "sites/SiteTexts.h"

#include "geo/Locator.h"
#include "geo/NumberFormat.h"
#include "terrain/SRTM.h"

namespace kestrova {
namespace {

CLocator Position(const CSite& site) {
    return CLocator(site.GetLatitude(), site.GetLongitude());
}

std::optional<double> Within(double value, const InputLimit& limit) {
    if (limit.Contains(value)) return value;
    return std::nullopt;
}

} // namespace

SiteListRow SiteListColumns(const CSite& site) {
    CLocator position = Position(site);
    return {site.GetName(), position.GetText(FormatMaidenhead, 6),
            site.HasMastHeight() ? FormatFixed(site.GetMastHeight(), 5, 0) + " m" : "",
            site.HasFrequency() ? FormatFixed(site.GetFrequency(), 6, 3) + " GHz" : ""};
}

std::vector<std::string> SiteInfoLines(const CSite& site, int terrainHeight) {
    CLocator position = Position(site);
    std::vector<std::string> lines;
    lines.push_back(site.GetName());
    lines.push_back(terrainHeight > -32766 ? "Height    " + FormatFixed(terrainHeight, 5, 0) + " m"
                                           : "Height - No data");
    lines.push_back(site.HasMastHeight()
                        ? "Mast Height " + FormatFixed(site.GetMastHeight(), 5, 0) + " m"
                        : "No mast height data");
    lines.push_back(site.HasFrequency()
                        ? "Frequency   " + FormatFixed(site.GetFrequency(), 6, 3) + " GHz"
                        : "No frequency data");
    lines.push_back("NGR       " + position.GetText(FormatNGR, 6));
    lines.push_back("Locator   " + position.GetText(FormatMaidenhead, 8));
    lines.push_back("Lat/Long " + position.GetText(FormatDMS));
    return lines;
}

std::vector<std::string> SiteInfoLines(const CSite& site, CSRTM& store) {
    return SiteInfoLines(site, store.GetHeight(site.GetLatitude(), site.GetLongitude(), false));
}

std::string SiteLocationText(const CSite& site, int format) {
    // Precision 0: 8 characters, 8 digits, 7 decimals.
    return Position(site).GetText(format);
}

std::string SiteCountText(int sites, int skippedLines) {
    std::string text = std::to_string(sites) + " Sites";
    if (skippedLines > 0)
        text += " (" + std::to_string(skippedLines) +
                (skippedLines == 1 ? " line skipped)" : " lines skipped)");
    return text;
}

SiteCopy CopySite(const CSite& site, int format, const InputLimit& antennaHeight,
                  const InputLimit& frequency) {
    return {SiteLocationText(site, format), Within(site.GetMastHeight(), antennaHeight),
            Within(site.GetFrequency(), frequency)};
}

} // namespace kestrova
