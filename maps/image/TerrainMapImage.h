// The terrain maps: the map of a link's area with the path, the local maps
// around each end, and the terrain of any square area (also the coverage
// page's background), each coloured with a palette and optionally with
// height contours.
#pragma once

#include "maps/MapArea.h"

#include <QColor>
#include <QImage>

#include <string>

namespace kestrova {

class CPalette;
class CSRTM;

// Where the heights and colours come from.
struct TerrainSource {
    CSRTM& store;
    const CPalette& palette;
    bool interpolate = false;
};

struct RenderedTerrain {
    QImage bitmap;            // null: no map (the store gave no grid)
    bool imageFailed = false; // a grid, but no bitmap could be made
    int maxHeight = 0;        // the store's range after this extraction
    int minHeight = 0;
    int contourSegments = 0;
};

// The terrain of the square area of side degrees around the centre at g
// pixels a height (cols = width / g, rows = height / g). RenderLinkArea
// colours with the extracted grid's own height range and paints voids
// navy; RenderTerrainArea colours with maxH and minH and paints voids red,
// treating them as sea level for its contours. Contours at spacing metres
// when spacing > 0 (levels from the range, see ContourLevels).
RenderedTerrain RenderLinkArea(const TerrainSource& source, double centreLat, double centreLon,
                               double side, int width, int height, int g, int spacing);
RenderedTerrain RenderTerrainArea(const TerrainSource& source, double centreLat, double centreLon,
                                  double side, int maxH, int minH, int width, int height, int g,
                                  int spacing);

// The map of the link area: the frame of both ends with its margin,
// rendered at two pixels a height, with the path and its end discs.
struct LinkMapImage {
    RenderedTerrain map;
    MapFrame frame;
};
LinkMapImage DrawLinkMap(const TerrainSource& source, double txLat, double txLon, double rxLat,
                         double rxLon, int width, int height, int spacing);

// The local map of one end: a square of max(width, height) x latStep / 2
// degrees (one height every two pixels) coloured with the link map's range
// maxH, minH, with a disc of the marker colour (black outline) at its
// centre, and its text "<end> Area: ...".
struct LocalMapImage {
    RenderedTerrain map;
    double side = 0.0; // degrees
    std::string areaText;
};
LocalMapImage DrawLocalMap(const TerrainSource& source, const std::string& end, double lat,
                           double lon, int maxH, int minH, int width, int height, int spacing,
                           const QColor& marker);

} // namespace kestrova
