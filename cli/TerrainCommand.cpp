// kestrova-cli height and zone: the terrain store's and the zone map's
// answer at one position.
#include "cli/Args.h"
#include "cli/Commands.h"
#include "geo/FileLocations.h"
#include "terrain/SRTM.h"
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

// The tile directory with a trailing separator; the working directory when
// none is given.
std::string TileDirectory(const Args& args) {
    std::string directory = args.Value("tiles").value_or("");
    if (directory.empty()) return directory;
    std::error_code error;
    if (!std::filesystem::is_directory(directory, error))
        throw InputError("tile directory \"" + directory + "\" does not exist");
    if (directory.back() != '/') directory += '/';
    return directory;
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

} // namespace

int RunHeight(const Words& words, std::ostream& out) {
    const Args args(words, {"tiles"}, {"interpolate", "json"});
    const Position position = ReadPosition(args);
    CSRTM store(1, TileDirectory(args));
    const int height = store.GetHeight(position.lat, position.lon, args.Flag("interpolate"));
    if (args.Flag("json"))
        out << nlohmann::json{{"height", height}}.dump() << "\n";
    else
        out << HeightText(height) << "\n";
    return 0;
}

int RunZone(const Words& words, std::ostream& out) {
    const Args args(words, {"zones"}, {"json"});
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
