// The zone map: the radio-climatic zones (sea, coastal land, inland) of a
// link's area in three colours with the path and its end discs.
#pragma once

#include "maps/MapArea.h"

#include <QImage>

namespace kestrova {

class CZONES;

struct RenderedZones {
    QImage bitmap;            // null: no map (the zone map gave no grid)
    bool imageFailed = false; // a grid, but no bitmap could be made
};

// The zones of the square area of side degrees around the centre, one zone
// every two pixels (cols = width / 2, rows = height / 2).
RenderedZones RenderZoneArea(CZONES& zones, double centreLat, double centreLon, double side,
                             int width, int height);

// The zone map of the link between the two ends: the frame of the terrain
// map (20 % margin, square in degrees) with the path drawn on it.
struct ZoneMapImage {
    RenderedZones map;
    MapFrame frame;
};
ZoneMapImage DrawZoneMap(CZONES& zones, double txLat, double txLon, double rxLat, double rxLon,
                         int width, int height);

} // namespace kestrova
