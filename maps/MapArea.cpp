// Geometry and colours of the terrain and zone maps (see MapArea.h).
#include "maps/MapArea.h"

#include "geo/NumberFormat.h"
#include "geo/Units.h"
#include "maps/Palette.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kestrova {
namespace {

// Far enough outside any bitmap for a line towards it to leave at the
// right angle, near enough for the drawing code's arithmetic.
constexpr int farPixel = 1000000;

int TruncatedPixel(double value) {
    if (!(value > -farPixel)) return -farPixel; // also NaN
    if (!(value < farPixel)) return farPixel;
    return static_cast<int>(value);
}

std::int16_t Short(int value) {
    return static_cast<std::int16_t>(std::clamp(value, -32768, 32767));
}

} // namespace

MapFrame LinkMapFrame(double txLat, double txLon, double rxLat, double rxLon, int width,
                      int height) {
    MapFrame frame;
    frame.halfWidth = width / 2;
    frame.halfHeight = height / 2;
    const double dLat = std::fabs(txLat - rxLat) * 1.2;
    const double dLon = std::fabs(txLon - rxLon) * 1.2;
    frame.span = std::max(dLat, dLon);
    frame.scale = std::max(dLat / frame.halfHeight, dLon / frame.halfWidth);
    frame.centreLat = (txLat + rxLat) / 2.0;
    frame.centreLon = (txLon + rxLon) / 2.0;
    frame.south = frame.centreLat - frame.span / 2.0;
    frame.west = frame.centreLon - frame.span / 2.0;
    return frame;
}

MapPixel PixelOf(const MapFrame& frame, double lat, double lon) {
    return {TruncatedPixel((lon - frame.west) / frame.scale * 2.0),
            TruncatedPixel((frame.halfHeight - (lat - frame.south) / frame.scale) * 2.0)};
}

void PositionOfPixel(double south, double west, double span, int width, int height, int x, int y,
                     double& lat, double& lon) {
    const double perPixel = span / std::max({width, height, 1});
    lon = x * perPixel + west;
    lat = (height - y) * perPixel + south;
}

AreaRequest SquareArea(double centreLat, double centreLon, double side, int width, int height,
                       int g) {
    AreaRequest request;
    request.south = centreLat - side / 2.0;
    request.west = centreLon - side / 2.0;
    if (g < 1) return request; // no cells
    request.cols = width / g;
    request.rows = height / g;
    const int larger = std::max(request.cols, request.rows);
    request.step = larger > 0 ? side / larger : 0.0;
    return request;
}

ColourGrid TerrainColours(const CHeightGrid& area, const CPalette& palette, int maxH, int minH,
                          int noData, int voidValue, VoidPaint voidPaint) {
    ColourGrid colours{area.Rows(), area.Cols(), {}};
    colours.cells.reserve(static_cast<std::size_t>(area.Rows()) *
                          static_cast<std::size_t>(area.Cols()));
    const Colour voidColour = voidPaint == VoidPaint::Red ? voidRed : navy;
    const std::int16_t top = Short(maxH);
    const std::int16_t bottom = Short(minH);
    for (int i = 0; i < area.Rows(); ++i) {
        const short* row = area[i];
        for (int j = 0; j < area.Cols(); ++j) {
            const int h = row[j];
            if (h == noData)
                colours.cells.push_back(navy);
            else if (h == voidValue)
                colours.cells.push_back(voidColour);
            else
                colours.cells.push_back(palette.HeightColour(Short(h), 0, top, bottom));
        }
    }
    return colours;
}

void ReplaceVoids(CHeightGrid& area, int noData, int voidValue) {
    for (int i = 0; i < area.Rows(); ++i) {
        short* row = area[i];
        for (int j = 0; j < area.Cols(); ++j)
            if (row[j] == voidValue) row[j] = static_cast<short>(noData);
    }
}

Colour ZoneColour(int code) {
    switch (code) {
    case 1:
        return navy;
    case 2:
        return zoneCoastal;
    case 3:
        return zoneInland;
    default:
        return black;
    }
}

ColourGrid ZoneColours(const CZoneGrid& area) {
    ColourGrid colours{area.Rows(), area.Cols(), {}};
    colours.cells.reserve(static_cast<std::size_t>(area.Rows()) *
                          static_cast<std::size_t>(area.Cols()));
    for (int i = 0; i < area.Rows(); ++i)
        for (int j = 0; j < area.Cols(); ++j)
            colours.cells.push_back(ZoneColour(area[i][j]));
    return colours;
}

std::vector<int> ContourLevels(int minH, int maxH, int spacing) {
    std::vector<int> levels;
    if (spacing <= 0) return levels;
    const int lo = (minH / spacing) * spacing;
    const int hi = (maxH / spacing) * spacing;
    for (int level = lo; level <= hi; level += spacing)
        levels.push_back(level);
    return levels;
}

std::string MapHeightsText(int maxH, int minH) {
    return "Map heights - maximum " + std::to_string(maxH) + "m,  minimum " + std::to_string(minH) +
           "m";
}

std::string LocalAreaText(const std::string& end, double latitude, double side, int maxH, int minH,
                          bool metric) {
    constexpr double milesPerDegree = 69.0;
    constexpr double degToRad = 0.017453292519943295;
    const double perDegree = metric ? milesPerDegree * kmPerMile : milesPerDegree;
    const double eastWest = std::cos(latitude * degToRad) * side * perDegree;
    const double northSouth = side * perDegree;
    return end + " Area: " + FormatFixed(eastWest, 2, 1) + " X " + FormatFixed(northSouth, 2, 1) +
           (metric ? " km  (max " : " miles  (max ") + std::to_string(maxH) + "m,  min " +
           std::to_string(minH) + "m)";
}

} // namespace kestrova
