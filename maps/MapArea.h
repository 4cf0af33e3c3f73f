// The geometry and colours of the terrain and zone maps, without drawing:
// the square area of a link with its 20 % margin and the pixel of a
// position on it, the grid request behind a square map, the colour of every
// cell of a height or zone grid, the contour levels of a height range, and
// the texts shown beside the maps. maps/image turns these into bitmaps.
#pragma once

#include "maps/Colour.h"
#include "terrain/Grid.h"

#include <string>
#include <vector>

namespace kestrova {

class CPalette;

// The frame of a link map: the square area of both ends with a 20 % margin
// on the larger of the two spans, in degrees.
struct MapFrame {
    double south = 0.0; // the south-west corner
    double west = 0.0;
    double span = 0.0;  // the side of the square
    double scale = 0.0; // degrees per two pixels
    double centreLat = 0.0;
    double centreLon = 0.0;
    int halfWidth = 0; // W / 2 and H / 2 of the bitmap
    int halfHeight = 0;
};

// The frame of a width x height map of the link between the two ends.
MapFrame LinkMapFrame(double txLat, double txLon, double rxLat, double rxLon, int width,
                      int height);

struct MapPixel {
    int x = 0;
    int y = 0;
};

// The pixel of a position on the frame's bitmap: x = (lon - west) / scale * 2
// and y = (halfHeight - (lat - south) / scale) * 2, both truncated (and
// limited to +-10^6, far outside any bitmap).
MapPixel PixelOf(const MapFrame& frame, double lat, double lon);

// The position under pixel (x, y) of a map of the given size whose square
// area of side span degrees has its south-west corner at (south, west):
// span / max(width, height) degrees a pixel, counted from the west edge and
// from the bottom.
void PositionOfPixel(double south, double west, double span, int width, int height, int x, int y,
                     double& lat, double& lon);

// The grid behind a square map of side degrees around a centre at g pixels
// a cell: cols = width / g, rows = height / g, step = side / max(cols, rows).
struct AreaRequest {
    double south = 0.0;
    double west = 0.0;
    int cols = 0;
    int rows = 0;
    double step = 0.0;
};
AreaRequest SquareArea(double centreLat, double centreLon, double side, int width, int height,
                       int g);

// The colours of a grid, row 0 the northern one.
struct ColourGrid {
    int rows = 0;
    int cols = 0;
    std::vector<Colour> cells;

    const Colour& At(int row, int col) const {
        return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(cols) +
                     static_cast<std::size_t>(col)];
    }
};

// How a terrain map paints a void sample (no tile): navy on the link map,
// red on the local maps and the coverage page's terrain.
enum class VoidPaint { Navy, Red };

inline constexpr Colour voidRed{255, 0, 0};

// Colour of every height: navy for noData (sea), voidPaint for voidValue,
// else the palette's HeightColour(h, 0, maxH, minH).
ColourGrid TerrainColours(const CHeightGrid& area, const CPalette& palette, int maxH, int minH,
                          int noData, int voidValue, VoidPaint voidPaint);

// Sets every void sample to noData, so that contours take it as sea level.
void ReplaceVoids(CHeightGrid& area, int noData, int voidValue);

// Zone colours: 1 sea navy, 2 coastal land aqua, 3 inland green, any other
// code (no zone, outside the map) black.
inline constexpr Colour zoneCoastal{0, 255, 255};
inline constexpr Colour zoneInland{0, 128, 0};
Colour ZoneColour(int code);
ColourGrid ZoneColours(const CZoneGrid& area);

// Contour levels of a height range at spacing metres: from min and up to
// max, each truncated toward zero to a multiple of the spacing; none for a
// spacing <= 0.
std::vector<int> ContourLevels(int minH, int maxH, int spacing);

// "Map heights - maximum 245m,  minimum 0m".
std::string MapHeightsText(int maxH, int minH);
// "TX Area: 4.2 X 6.9 miles  (max 245m,  min 0m)": the east-west and
// north-south size (69 miles a degree) of a local map of side degrees at
// the given latitude, and its height range; with metric, the size in km
// ("TX Area: 6.8 X 11.1 km ...").
std::string LocalAreaText(const std::string& end, double latitude, double side, int maxH, int minH,
                          bool metric = false);

} // namespace kestrova
