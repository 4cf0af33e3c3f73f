#include "coverage/Kml.h"

#include "coverage/Coverage.h"
#include "geo/NumberFormat.h"

namespace kestrova {
namespace {

std::string G(double value) {
    return FormatGeneral(value, 6);
}

std::string OverlayPart(const KmlOverlay& o) {
    std::string text = "<GroundOverlay><name>Coverage overlay on terrain</name>\n";
    text += "<description>Results from the Kestrova Package</description>\n";
    text += "<color>aaffffff</color>\n";
    text += std::string("<Icon><href>") + kmlImageName + "</href></Icon>\n";
    text += "<LatLonBox><north>" + G(o.north) + "</north>";
    text += "<south>" + G(o.south) + "</south>";
    text += "<east>" + G(o.east) + "</east>";
    text += "<west>" + G(o.west) + "</west>\n";
    text += "</LatLonBox> \n</GroundOverlay>\n";
    return text;
}

std::string PlacemarkPart(const KmlOverlay& o) {
    std::string text = "<Placemark>\n<name>Transmitter</name>\n";
    text += "<visibility>1</visibility>\n";
    text += "<description>Location of transmitter for coverage plot</description>";
    text += "<LookAt>\n";
    text += "<longitude>" + G(o.txLongitude) + "</longitude>\n";
    text += "<latitude>" + G(o.txLatitude) + "</latitude>\n";
    text += "<altitude>50</altitude>\n<heading>0</heading>\n<tilt>45</tilt>\n<range>50</range>\n";
    text += "<altitudeMode>relativeToGround</altitudeMode>\n</LookAt>\n";
    text += "<Style>\n<IconStyle>\n<Icon>\n";
    text += std::string("<href>") + kmlIconName + "</href>\n";
    text += "</Icon>\n</IconStyle>\n<LineStyle>\n<width>2</width>\n</LineStyle>\n</Style>\n";
    text += "<Point>\n<extrude>1</extrude>\n<altitudeMode>relativeToGround</altitudeMode>\n";
    text += "<coordinates>" + G(o.txLongitude) + "," + G(o.txLatitude) + "," + G(o.txHeight) +
            "</coordinates>\n";
    text += "</Point>\n</Placemark>\n";
    return text;
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            // Control characters have no place in XML 1.0 text.
            out += static_cast<unsigned char>(c) < 0x20 && c != '\t' ? ' ' : c;
        }
    }
    return out;
}

std::string Hex(unsigned int value, int digits) {
    static const char* const hex = "0123456789abcdef";
    std::string text(static_cast<size_t>(digits), '0');
    for (int k = digits - 1; k >= 0; --k, value >>= 4)
        text[static_cast<size_t>(k)] = hex[value & 0xFu];
    return text;
}

// KML colours are aabbggrr.
std::string KmlColour(unsigned int rgb) {
    return "ff" + Hex(((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu), 6);
}

std::string SiteLabel(size_t k, const KmlSite& site) {
    return std::to_string(k + 1) + " " + site.name;
}

} // namespace

std::string BestServerKmlDocument(const KmlOverlay& box, const std::vector<KmlSite>& sites) {
    std::string legend = "<table>";
    for (size_t k = 0; k < sites.size(); ++k)
        legend += "<tr><td style=\"background-color:#" + Hex(sites[k].colour, 6) +
                  "\">&#160;&#160;&#160;&#160;</td><td>" + Escaped(SiteLabel(k, sites[k])) +
                  "</td></tr>";
    legend += "</table>";
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                       "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n";
    text += "<Folder>\n<name>Best server</name>\n<description>Results from "
            "Kestrova</description>\n";
    text += "<GroundOverlay><name>Best server: the site of the strongest field</name>\n";
    text += "<description>" + Escaped(legend) + "</description>\n";
    text += "<color>aaffffff</color>\n";
    text += std::string("<Icon><href>") + kmlBestServerImageName + "</href></Icon>\n";
    text += "<LatLonBox><north>" + G(box.north) + "</north>";
    text += "<south>" + G(box.south) + "</south>";
    text += "<east>" + G(box.east) + "</east>";
    text += "<west>" + G(box.west) + "</west>\n";
    text += "</LatLonBox> \n</GroundOverlay>\n";
    text += "<Folder>\n<name>Legend</name>\n";
    for (size_t k = 0; k < sites.size(); ++k) {
        const KmlSite& site = sites[k];
        const std::string colour = KmlColour(site.colour);
        text += "<Placemark>\n<name>" + Escaped(SiteLabel(k, site)) + "</name>\n";
        text += "<description>site " + std::to_string(k + 1) + ", colour #" + Hex(site.colour, 6) +
                "</description>\n";
        text += "<Style>\n<IconStyle>\n<color>" + colour + "</color>\n<Icon>\n";
        text += std::string("<href>") + kmlIconName + "</href>\n</Icon>\n</IconStyle>\n";
        text += "<LabelStyle>\n<color>" + colour + "</color>\n</LabelStyle>\n</Style>\n";
        text += "<Point>\n<altitudeMode>relativeToGround</altitudeMode>\n";
        text += "<coordinates>" + G(site.longitude) + "," + G(site.latitude) + "," +
                G(site.height) + "</coordinates>\n";
        text += "</Point>\n</Placemark>\n";
    }
    text += "</Folder>\n</Folder>\n</kml>\n";
    return text;
}

KmlOverlay CoverageOverlay(const CoverageArea& area, double txLatitude, double txLongitude,
                           double txHeight) {
    KmlOverlay overlay;
    overlay.north = area.north + area.step / 2.0;
    overlay.west = area.west - area.step / 2.0;
    overlay.south = overlay.north - area.n * area.step;
    overlay.east = overlay.west + area.n * area.step;
    overlay.txLatitude = txLatitude;
    overlay.txLongitude = txLongitude;
    overlay.txHeight = txHeight;
    return overlay;
}

std::string KmlDocument(const KmlOverlay& overlay) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                       "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n";
    text += "<Folder>\n<name>Path Plots</name>\n<description>Results from "
            "Kestrova</description>\n";
    text += OverlayPart(overlay);
    text += PlacemarkPart(overlay);
    text += "</Folder>\n</kml>\n";
    return text;
}

} // namespace kestrova
