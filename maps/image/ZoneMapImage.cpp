// The zone map (see ZoneMapImage.h).
#include "maps/image/ZoneMapImage.h"

#include "maps/image/MapImage.h"
#include "terrain/Zones.h"

namespace kestrova {

RenderedZones RenderZoneArea(CZONES& zones, double centreLat, double centreLon, double side,
                             int width, int height) {
    RenderedZones result;
    const AreaRequest request = SquareArea(centreLat, centreLon, side, width, height, 2);
    const CZoneGrid* area =
        zones.GetArea(request.west, request.south, request.cols, request.rows, request.step);
    if (!area) return result;
    result.bitmap = ImageFromColours(ZoneColours(*area), 2);
    result.imageFailed = result.bitmap.isNull();
    zones.FreeArea();
    return result;
}

ZoneMapImage DrawZoneMap(CZONES& zones, double txLat, double txLon, double rxLat, double rxLon,
                         int width, int height) {
    ZoneMapImage result;
    result.frame = LinkMapFrame(txLat, txLon, rxLat, rxLon, width, height);
    const MapFrame& f = result.frame;
    result.map = RenderZoneArea(zones, f.centreLat, f.centreLon, f.span, width, height);
    DrawLinkPath(result.map.bitmap, f, txLat, txLon, rxLat, rxLon);
    return result;
}

} // namespace kestrova
