// The terrain maps (see TerrainMapImage.h).
#include "maps/image/TerrainMapImage.h"

#include "maps/image/MapImage.h"
#include "terrain/SRTM.h"

#include <algorithm>
#include <optional>

namespace kestrova {
namespace {

// The bitmap of the colours and the contours of the grid over it.
void Paint(RenderedTerrain& result, const ColourGrid& colours, const CHeightGrid& area, int maxH,
           int minH, int g, int spacing) {
    result.bitmap = ImageFromColours(colours, g);
    result.imageFailed = result.bitmap.isNull();
    const std::vector<int> levels = ContourLevels(minH, maxH, spacing);
    if (!levels.empty())
        result.contourSegments = DrawContours(result.bitmap, ContourGrid::Of(area), g,
                                              static_cast<int>(levels.size()), levels.data());
}

const CHeightGrid* Extract(const TerrainSource& source, double centreLat, double centreLon,
                           double side, int width, int height, int g) {
    const AreaRequest request = SquareArea(centreLat, centreLon, side, width, height, g);
    return source.store.GetArea(request.west, request.south, request.cols, request.rows,
                                request.step, source.interpolate);
}

} // namespace

RenderedTerrain RenderLinkArea(const TerrainSource& source, double centreLat, double centreLon,
                               double side, int width, int height, int g, int spacing) {
    RenderedTerrain result;
    const CHeightGrid* area = Extract(source, centreLat, centreLon, side, width, height, g);
    result.maxHeight = source.store.GetMaxHeight();
    result.minHeight = source.store.GetMinHeight();
    if (!area) return result;
    const ColourGrid colours =
        TerrainColours(*area, source.palette, result.maxHeight, result.minHeight,
                       source.store.GetNoDataValue(), source.store.GetVoidValue(), VoidPaint::Navy);
    Paint(result, colours, *area, result.maxHeight, result.minHeight, g, spacing);
    source.store.FreeArea();
    return result;
}

RenderedTerrain RenderTerrainArea(const TerrainSource& source, double centreLat, double centreLon,
                                  double side, int maxH, int minH, int width, int height, int g,
                                  int spacing) {
    RenderedTerrain result;
    const CHeightGrid* extracted = Extract(source, centreLat, centreLon, side, width, height, g);
    result.maxHeight = source.store.GetMaxHeight();
    result.minHeight = source.store.GetMinHeight();
    if (!extracted) return result;
    // Colours from the grid as it came; contours over a copy whose voids are
    // sea level (the store's grid stays as the store made it).
    std::optional<CHeightGrid> area;
    try {
        area.emplace(*extracted);
    } catch (const std::exception&) {
        result.imageFailed = true;
        source.store.FreeArea();
        return result;
    }
    source.store.FreeArea();
    const ColourGrid colours =
        TerrainColours(*area, source.palette, maxH, minH, source.store.GetNoDataValue(),
                       source.store.GetVoidValue(), VoidPaint::Red);
    ReplaceVoids(*area, source.store.GetNoDataValue(), source.store.GetVoidValue());
    Paint(result, colours, *area, maxH, minH, g, spacing);
    return result;
}

LinkMapImage DrawLinkMap(const TerrainSource& source, double txLat, double txLon, double rxLat,
                         double rxLon, int width, int height, int spacing) {
    LinkMapImage result;
    result.frame = LinkMapFrame(txLat, txLon, rxLat, rxLon, width, height);
    const MapFrame& f = result.frame;
    result.map =
        RenderLinkArea(source, f.centreLat, f.centreLon, f.span, width, height, 2, spacing);
    DrawLinkPath(result.map.bitmap, f, txLat, txLon, rxLat, rxLon);
    return result;
}

LocalMapImage DrawLocalMap(const TerrainSource& source, const std::string& end, double lat,
                           double lon, int maxH, int minH, int width, int height, int spacing,
                           const QColor& marker) {
    LocalMapImage result;
    const int s = std::max(width, height);
    result.side = s * source.store.GetLatStep() / 2.0;
    result.map =
        RenderTerrainArea(source, lat, lon, result.side, maxH, minH, width, height, 2, spacing);
    DrawEndDisc(result.map.bitmap, width / 2, height / 2, marker, Qt::black);
    result.areaText =
        LocalAreaText(end, lat, result.side, result.map.maxHeight, result.map.minHeight);
    return result;
}

} // namespace kestrova
