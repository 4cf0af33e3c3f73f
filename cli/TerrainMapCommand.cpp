// kestrova-cli terrain-map: the terrain map of a link's area (480 x 480)
// and the local maps around its ends (240 x 240), drawn as the window's
// "Terrain Map" page draws them.
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/FileOutput.h"
#include "cli/ImageOutput.h"
#include "cli/LinkOptions.h"
#include "maps/Palette.h"
#include "maps/image/TerrainMapImage.h"
#include "terrain/SRTM.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <ostream>

namespace kestrova::cli {
namespace {

constexpr int linkMapSide = 480;
constexpr int localMapSide = 240;

int Palette(const Args& args) {
    const int type = args.Integer("palette").value_or(PaletteHSV);
    if (type < PaletteHSV || type > PaletteSchwarzwald)
        throw UsageError("option --palette must be one of 0 (HSV), 1 (DEM), 2 (JET), 3 "
                         "(discrete DEM), 4 (NCAR), 5 (Schwarzwald)");
    return type;
}

// The window's contour spacing field: whole metres, 10 to 1000; 0 (no
// contours) without the option.
int Spacing(const Args& args) {
    const auto spacing = args.Number("contours");
    if (!spacing) return 0;
    if (!limits::contourSpacing.Contains(*spacing))
        throw UsageError("option --contours " + limits::contourSpacing.RangeText());
    if (*spacing != std::floor(*spacing))
        throw UsageError("option --contours needs a whole number of metres");
    return static_cast<int>(*spacing);
}

} // namespace

void DeclareTerrainMap(OptionList& options) {
    DeclareEnds(options);
    options.Value("palette", "0..5",
                  "Colours of the heights: 0 HSV, 1 DEM, 2 JET, 3 discrete DEM, 4 NCAR, "
                  "5 Schwarzwald (default 0)");
    options.Value("contours", "INT",
                  NumberHelp(limits::contourSpacing, "default none: no contour lines"));
    options.Flag("local-contours", "Contour lines on the maps of the two ends only");
    options.Value("tiles", "DIR|FILE",
                  "Directory of SRTM tiles or elevation rasters, or one raster file (default the "
                  "working directory, else the demo tile)");
    options.Flag("interpolate", "Interpolate the terrain heights between the tiles' points");
    options.Value("png", "FILE", "The PNG image of the link's area to write (required)");
    options.Value("tx-png", "FILE", "PNG image of the transmitter's surroundings");
    options.Value("rx-png", "FILE", "PNG image of the receiver's surroundings");
    options.Flag("json", "Write a summary as JSON");
}

int RunTerrainMap(const Args& args, std::ostream& out) {
    const LinkOptions options = ReadLinkOptions(args); // the tiles and interpolation
    const CPalette palette(Palette(args));
    const int spacing = Spacing(args);
    const std::string png = args.Required("png");
    std::vector<OutputTarget> targets{{"png", png}};
    for (const char* option : {"tx-png", "rx-png"})
        if (const auto path = args.Value(option)) targets.push_back({option, *path});
    CheckOutputTargets(targets);
    const int format = ParseLocatorFormat(args.Value("format").value_or("ngr"));
    const CLocator tx = ReadEnd(args, "tx", format, "TX");
    const CLocator rx = ReadEnd(args, "rx", format, "RX");

    CSRTM store(CSRTM::kTilesPerStore, options.tiles);
    const TerrainSource source{store, palette, options.interpolate};
    const LinkMapImage link = DrawLinkMap(source, tx.GetLatitude(), tx.GetLongitude(),
                                          rx.GetLatitude(), rx.GetLongitude(), linkMapSide,
                                          linkMapSide, args.Flag("local-contours") ? 0 : spacing);
    if (link.map.bitmap.isNull())
        throw InputError(link.map.imageFailed ? "could not make the map's bitmap"
                                              : "no map: the two ends are at the same place");
    WriteBatch batch; // the three images or none
    WriteImage(png, link.map.bitmap);

    // The local maps share the link map's colour range.
    const int maxH = link.map.maxHeight;
    const int minH = link.map.minHeight;
    const LocalMapImage txLocal =
        DrawLocalMap(source, "TX", tx.GetLatitude(), tx.GetLongitude(), maxH, minH, localMapSide,
                     localMapSide, spacing, QColor(255, 0, 0));
    const LocalMapImage rxLocal =
        DrawLocalMap(source, "RX", rx.GetLatitude(), rx.GetLongitude(), maxH, minH, localMapSide,
                     localMapSide, spacing, QColor(0, 0, 255));
    if (const auto file = args.Value("tx-png")) WriteImage(*file, txLocal.map.bitmap);
    if (const auto file = args.Value("rx-png")) WriteImage(*file, rxLocal.map.bitmap);
    Check(batch.Commit());
    const std::vector<std::string> tileProblems = store.TileProblems();
    WarnAboutTiles(tileProblems);

    if (args.Flag("json")) {
        nlohmann::ordered_json json{{"south", link.frame.south},
                                    {"west", link.frame.west},
                                    {"span", link.frame.span},
                                    {"scale", link.frame.scale},
                                    {"maxHeight", link.map.maxHeight},
                                    {"minHeight", link.map.minHeight},
                                    {"contourSegments", link.map.contourSegments}};
        if (!tileProblems.empty()) json["warnings"] = TileWarnings(tileProblems);
        out << json.dump() << "\n";
    } else {
        out << MapHeightsText(link.map.maxHeight, link.map.minHeight) << "\n"
            << txLocal.areaText << "\n"
            << rxLocal.areaText << "\n"
            << "Link map " << linkMapSide << " x " << linkMapSide << ": south-west corner "
            << link.frame.south << ", " << link.frame.west << ", side " << link.frame.span
            << " degrees, " << link.map.contourSegments << " contour segments\n";
    }
    return 0;
}

} // namespace kestrova::cli
