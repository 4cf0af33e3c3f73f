// kestrova-cli height and zone: the terrain store's and the zone map's
// answer at one position.
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/LinkOptions.h"
#include "geo/FileLocations.h"
#include "terrain/SRTM.h"
#include "terrain/TerrainSources.h"
#include "terrain/Zones.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <ostream>

namespace kestrova::cli {

namespace {

struct Position {
    double lat;
    double lon;
};

Position ReadPosition(const Args& args) {
    const auto& words = args.Positional();
    if (words.size() != 2) throw UsageError("give a latitude and a longitude in decimal degrees");
    const auto lat = ParseNumber(words[0]);
    const auto lon = ParseNumber(words[1]);
    if (!lat) throw UsageError("\"" + words[0] + "\" is not a latitude in degrees");
    if (!lon) throw UsageError("\"" + words[1] + "\" is not a longitude in degrees");
    return {*lat, *lon};
}

// The terrain location of --tiles (see CheckedTerrainLocation); the working
// directory when none is given.
std::string TileDirectory(const Args& args) {
    const std::string location = args.Value("tiles").value_or("");
    return location.empty() ? location : CheckedTerrainLocation(location);
}

std::string HeightText(int height) {
    if (height == -32767) return "-32767 (void: no tile or no sample)";
    if (height == 0) return "0 m (sea or no data)";
    return std::to_string(height) + " m";
}

const char* ZoneName(int zone) {
    switch (zone) {
    case 1:
        return "sea";
    case 2:
        return "coastal land";
    case 3:
        return "inland";
    case 255:
        return "outside the grid";
    default:
        return "no zone";
    }
}

void DeclareTiles(OptionList& options) {
    options.Value("tiles", "DIR|FILE",
                  "Directory of SRTM tiles or elevation rasters, or one raster file (default the "
                  "working directory)");
}

} // namespace

void DeclareHeight(OptionList& options) {
    DeclareTiles(options);
    options.Flag("interpolate", "Interpolate between the tile's points");
    options.Flag("json", "Write the result as JSON");
    options.Positional("LAT LON",
                       "Latitude and longitude in decimal degrees (south and west negative)");
}

int RunHeight(const Args& args, std::ostream& out) {
    const Position position = ReadPosition(args);
    CSRTM store(1, TileDirectory(args));
    const int height = store.GetHeight(position.lat, position.lon, args.Flag("interpolate"));
    WarnAboutTiles(store.TileProblems());
    if (args.Flag("json"))
        out << nlohmann::json{{"height", height}}.dump() << "\n";
    else
        out << HeightText(height) << "\n";
    return 0;
}

void DeclareTerrainSources(OptionList& options) {
    DeclareTiles(options);
    options.Flag("json", "Write the result as JSON");
}

int RunTerrainSources(const Args& args, std::ostream& out) {
    const std::string location = TileDirectory(args);
    const TerrainSummary summary = SummariseTerrain(location);
    if (args.Flag("json")) {
        nlohmann::json rasters = nlohmann::json::array();
        for (const TerrainRaster& raster : summary.rasters)
            rasters.push_back({{"path", raster.path},
                               {"driver", raster.info.driver},
                               {"crs", raster.info.crs},
                               {"width", raster.info.width},
                               {"height", raster.info.height},
                               {"resolutionArcsec", raster.info.resolution * 3600},
                               {"latticeArcsec", raster.latticeSize == kTileSize1 ? 1 : 3},
                               {"south", raster.info.south},
                               {"north", raster.info.north},
                               {"west", raster.info.west},
                               {"east", raster.info.east}});
        out << nlohmann::json{{"location", location.empty() ? "." : location},
                              {"srtmTiles", summary.tiles},
                              {"rasters", rasters},
                              {"problems", summary.problems}}
                   .dump()
            << "\n";
    } else {
        for (const std::string& line : DescribeTerrain(summary))
            out << line << "\n";
    }
    WarnAboutTiles(summary.problems);
    return summary.tiles == 0 && summary.rasters.empty() ? 1 : 0;
}

void DeclareZone(OptionList& options) {
    options.Value("zones", "FILE", "Radio-climatic zone map (default zones01.dem where found)");
    options.Flag("json", "Write the result as JSON");
    options.Positional("LAT LON",
                       "Latitude and longitude in decimal degrees (south and west negative)");
}

int RunZone(const Args& args, std::ostream& out) {
    const Position position = ReadPosition(args);
    const auto file = args.Value("zones");
    const std::string found = FindProgramDataFile("zones01.dem");
    const std::filesystem::path path =
        file ? *file : (found.empty() ? ExecutableDirectory() + "zones01.dem" : found);
    std::string directory = path.parent_path().string();
    if (!directory.empty()) directory += '/';
    const CZONES zones(directory, path.filename().string());
    if (zones.OutOfMemory())
        throw InputError("zone file \"" + path.string() +
                         "\" cannot be mapped: not enough memory or address space (ulimit -v)");
    if (!zones.IsUsable())
        throw InputError("zone file \"" + path.string() +
                         "\" is missing, not a regular file, or not " +
                         std::to_string(CZONES::kFileBytes) + " bytes long");
    const int zone = zones.GetZone(position.lat, position.lon);
    if (args.Flag("json"))
        out << nlohmann::json{{"zone", zone}}.dump() << "\n";
    else
        out << zone << " " << ZoneName(zone) << "\n";
    return 0;
}

} // namespace kestrova::cli
