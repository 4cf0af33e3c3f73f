// The field-strength grid as a GeoTIFF for GIS programs: one Float32 band
// in dB(µV/m) for 1 kW EIRP, EPSG:4326, north up, one pixel per grid cell
// centred on its grid point, nodata where a cell was not computed or has no
// terrain under it (so that GIS programs show those cells as empty), and
// the link's frequency, heights and time percentage in the metadata, with
// TERRAIN_MISSING (the share of the cells without terrain, 0..1) when
// there are such cells.
#pragma once

#include "coverage/CoverageField.h"
#include "coverage/CoverageSites.h"

#include <string>
#include <vector>

namespace kestrova {

// The band's value for a cell that was not computed.
inline constexpr double geoTiffNoData = -9999.0;

struct GeoTiffLink {
    double frequency = 0.0;   // GHz
    double txHeight = 0.0;    // m above ground
    double rxHeight = 0.0;    // m above ground
    double percent = 0.0;     // % of time
    double txLatitude = 0.0;  // degrees
    double txLongitude = 0.0; // degrees
};

// Writes the file through a temporary beside it (an earlier file stays
// whole on failure). Returns an empty string on success, else what went
// wrong.
std::string WriteCoverageGeoTiff(const std::string& path, const CoverageField& field,
                                 const GeoTiffLink& link);

// The composite of many sites' maps on the same grid: band 1 the strongest
// field strength, band 2 the number of the site that gives it (1 for the
// first of siteNames), both Float32 and geoTiffNoData where no site
// reaches or the cell has no terrain; each site's name in the metadata as SITE_1, SITE_2, ...
std::string WriteBestServerGeoTiff(const std::string& path, const BestServer& composite,
                                   const std::vector<std::string>& siteNames);

} // namespace kestrova
