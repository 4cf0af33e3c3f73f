// The KML 2.2 document of a coverage export: the coverage image as a
// two-thirds opaque ground overlay on the area's latitude/longitude box,
// and a placemark at the transmitter.
#pragma once

#include <string>
#include <vector>

namespace kestrova {

// Names of the files inside the archive.
inline constexpr const char* kmlDocumentName = "doc.kml";
inline constexpr const char* kmlImageName = "KestrovaImage.jpg";
inline constexpr const char* kmlIconName = "Triangle.png";

struct KmlOverlay {
    double north = 0.0; // degrees, the box of the overlay
    double south = 0.0;
    double east = 0.0;
    double west = 0.0;
    double txLatitude = 0.0; // degrees
    double txLongitude = 0.0;
    double txHeight = 0.0; // m above ground
};

// The overlay of a coverage area: the box is the outer edge of the outer
// cells (each grid point is a cell's centre), the GeoTIFF's bounds.
struct CoverageArea;
KmlOverlay CoverageOverlay(const CoverageArea& area, double txLatitude, double txLongitude,
                           double txHeight);

// The document, "\n" line ends, numbers in printf's %g (six significant
// digits). The placemark's icon is the archive's own icon file.
std::string KmlDocument(const KmlOverlay& overlay);

// The best-server image inside the composite's archive.
inline constexpr const char* kmlBestServerImageName = "BestServer.png";

struct KmlSite {
    std::string name;
    double latitude = 0.0; // degrees
    double longitude = 0.0;
    double height = 0.0;     // m above ground
    unsigned int colour = 0; // 0xRRGGBB
};

// The document of the composite of many sites' maps: the best-server image
// as a ground overlay on box (its transmitter fields unused), whose
// description is the legend (a table of the sites' colours and names), and
// a "Legend" folder with a placemark at each site drawn and labelled in the
// site's colour. Names are escaped for XML.
std::string BestServerKmlDocument(const KmlOverlay& box, const std::vector<KmlSite>& sites);

} // namespace kestrova
