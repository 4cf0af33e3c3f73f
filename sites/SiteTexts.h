// What the site list shows of a site: its list row, the seven lines of its
// summary, its location in a chosen format, and what copying it to an end
// of the link sets.
#pragma once

#include "inputs/InputLimits.h"
#include "sites/Site.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrova {

class CSRTM;

struct SiteListRow {
    std::string name;
    std::string locator;   // 6-character Maidenhead locator
    std::string height;    // mast height "25 m", empty when none
    std::string frequency; // "1.297 GHz", empty when none
};
SiteListRow SiteListColumns(const CSite& site);

// The summary of a site, seven lines (the labels keep their trailing
// blanks): name, terrain height (terrainHeight in m, or -32767 for none),
// mast height, frequency, 6-digit grid reference, 8-character locator,
// degrees-minutes-seconds.
std::vector<std::string> SiteInfoLines(const CSite& site, int terrainHeight);
// The same with the terrain height read from store, uninterpolated.
std::vector<std::string> SiteInfoLines(const CSite& site, CSRTM& store);

// The site's location as the link's location field takes it in format:
// 8-character locator, 8-digit grid reference, decimal degrees with 7
// decimals, or degrees-minutes-seconds.
std::string SiteLocationText(const CSite& site, int format);

// "12 Sites", or "12 Sites (3 lines skipped)" when lines were skipped.
std::string SiteCountText(int sites, int skippedLines);

// What copying a site to one end of the link sets: the location text, and
// the antenna height and frequency when the site has them within the
// fields' limits, inclusive (none otherwise: the field keeps its value).
// antennaHeight is the limit of TX_H or RX_H, frequency that of FREQ.
struct SiteCopy {
    std::string location;
    std::optional<double> antennaHeight;
    std::optional<double> frequency;
};
SiteCopy CopySite(const CSite& site, int format, const InputLimit& antennaHeight,
                  const InputLimit& frequency);

} // namespace kestrova
