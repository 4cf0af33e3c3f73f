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

} // namespace

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
