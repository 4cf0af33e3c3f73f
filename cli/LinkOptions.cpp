#include "cli/LinkOptions.h"

#include "cli/Commands.h"
#include "cli/LandCoverOptions.h"
#include "geo/FileLocations.h"
#include "geo/NumberFormat.h"
#include "propagation/Refractivity.h"
#include "terrain/TileFile.h"

#include <filesystem>
#include <ostream>

namespace kestrova::cli {
namespace {

// The settings given by a number option of the table of inputs: the
// option's name, help, limits and default all come from the row.
struct Setting {
    const InputLimit& limit;
    double CalculationSettings::*value;
};
// Those without a default: absent, they come from the maps or the path.
struct OptionalSetting {
    const InputLimit& limit;
    std::optional<double> CalculationSettings::*value;
};

const Setting kSettings[] = {
    {limits::frequency, &CalculationSettings::frequency},
    {limits::percent, &CalculationSettings::timePercent},
    {limits::txHeight, &CalculationSettings::htg},
    {limits::rxHeight, &CalculationSettings::hrg},
    {limits::temperature, &CalculationSettings::temperature},
    {limits::pressure, &CalculationSettings::pressure},
    {limits::humidity, &CalculationSettings::humidity},
    {limits::txGain, &CalculationSettings::txGain},
    {limits::rxGain, &CalculationSettings::rxGain},
};

const OptionalSetting kOptionalSettings[] = {
    {limits::kFactor, &CalculationSettings::forcedK}, {limits::n0, &CalculationSettings::n0},
    {limits::deltaN, &CalculationSettings::deltaN},   {limits::dct, &CalculationSettings::dct},
    {limits::dcr, &CalculationSettings::dcr},
};

// The tile directory of --tiles, checked; without it the working directory,
// or the demo tile's when the working directory holds no tiles.
std::string TileDirectory(const Args& args, bool needsTiles) {
    std::string directory = args.Value("tiles").value_or("");
    if (!needsTiles) return directory;
    if (!directory.empty()) return CheckedTerrainLocation(directory);
    if (DirectoryHoldsTiles("")) return directory;
    const std::string demo = DemoTileDirectory();
    if (demo.empty()) {
        Warnings() << "warning: no terrain tiles in the working directory and no --tiles: every "
                      "height reads as 0 (sea)\n";
        return directory;
    }
    Warnings() << "note: no terrain tiles in the working directory and no --tiles: using the "
               << demoTileDescription << " in " << demo << "\n";
    return demo;
}

std::string ZoneFile(const Args& args) {
    if (const auto file = args.Value("zones")) return *file;
    const std::string found = FindProgramDataFile("zones01.dem");
    return found.empty() ? ExecutableDirectory() + "zones01.dem" : found;
}

} // namespace

std::string CheckedTerrainLocation(std::string path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        throw InputError("terrain location \"" + path + "\" does not exist");
    if (std::filesystem::is_regular_file(path, error)) {
        if (!IsRasterFileName(path))
            throw InputError("terrain file \"" + path +
                             "\" is not an elevation raster (.tif, .vrt, .img, ...)");
        return path;
    }
    if (!std::filesystem::is_directory(path, error))
        throw InputError("terrain location \"" + path + "\" is neither a directory nor a file");
    if (path.back() != '/') path += '/';
    if (!DirectoryHoldsTiles(path))
        throw InputError("tile directory \"" + path +
                         "\" holds no terrain: no SRTM tiles (*.hgt, *.hgt.zip) and no elevation "
                         "rasters (*.tif, *.vrt, *.img, ...)");
    return path;
}

void DeclareLinkSettings(OptionList& options) {
    for (const Setting& setting : kSettings)
        options.Number(setting.limit);
    for (const OptionalSetting& setting : kOptionalSettings)
        options.Number(setting.limit);
    options.Value("edition", "14|18", "Edition of ITU-R P.452 followed (default 14)");
    options.Value("polarisation", "h|v",
                  "Polarisation: h horizontal, v vertical (P.452-18, default v)");
    options.Flag("no-gas", "Leave out the gaseous absorption");
}

void DeclareLinkOptions(OptionList& options) {
    DeclareLinkSettings(options);
    options.Value("tiles", "DIR|FILE",
                  "Directory of SRTM tiles or elevation rasters, or one raster file (default the "
                  "working directory, else the demo tile)");
    options.Value("zones", "FILE", "Radio-climatic zone map (default zones01.dem where found)");
    DeclareLandCoverOptions(options);
    options.Flag("interpolate", "Interpolate the terrain heights between the tiles' points");
    options.Flag("json", "Write the result as JSON");
}

void DeclareEnds(OptionList& options) {
    options.Value("tx", "TEXT", "Transmitter's location, in the notation of --format");
    options.Value("rx", "TEXT", "Receiver's location, in the notation of --format");
    DeclareFormat(options);
}

Edition ReadEdition(const Args& args) {
    const std::string text = args.Value("edition").value_or("14");
    if (text == "14") return Edition::P452_14;
    if (text == "18") return Edition::P452_18;
    throw UsageError("option --edition must be 14 (ITU-R P.452-14) or 18 (ITU-R P.452-18), not \"" +
                     text + "\"");
}

const char* EditionName(Edition edition) {
    return edition == Edition::P452_18 ? "P.452-18" : "P.452-14";
}

std::optional<double> OptionalLimitedNumber(const Args& args, const InputLimit& limit) {
    const std::optional<double> value = args.Number(limit.option);
    if (value && !limit.Contains(*value))
        throw UsageError("option --" + std::string(limit.option) + " " + limit.RangeText());
    return value;
}

double LimitedNumber(const Args& args, const InputLimit& limit) {
    return OptionalLimitedNumber(args, limit).value_or(limit.initial);
}

CalculationSettings ReadLinkSettings(const Args& args) {
    CalculationSettings s;
    for (const Setting& setting : kSettings)
        s.*setting.value = LimitedNumber(args, setting.limit);
    for (const OptionalSetting& setting : kOptionalSettings)
        s.*setting.value = OptionalLimitedNumber(args, setting.limit);
    s.edition = ReadEdition(args);
    const std::string polarisation = args.Value("polarisation").value_or("v");
    if (polarisation != "h" && polarisation != "v")
        throw UsageError("option --polarisation must be h (horizontal) or v (vertical), not \"" +
                         polarisation + "\"");
    s.polarisation =
        polarisation == "h" ? p452v18::Polarisation::Horizontal : p452v18::Polarisation::Vertical;
    s.gas = !args.Flag("no-gas");
    return s;
}

LinkOptions ReadLinkOptions(const Args& args, bool needsTiles) {
    LinkOptions options;
    options.settings = ReadLinkSettings(args);
    options.interpolate = args.Flag("interpolate");
    options.tiles = TileDirectory(args, needsTiles);
    options.zoneFile = ZoneFile(args);
    options.settings.landCover = ReadLandCover(args);
    return options;
}

CLocator ReadEnd(const Args& args, const char* option, int format, const char* end) {
    const std::string text = args.Required(option);
    CLocator location(text, format);
    if (!location.IsValid())
        throw InputError(std::string("Invalid ") + end + " Locator: \"" + text +
                         "\" is not a valid " + LocatorFormatName(format));
    return location;
}

CalculationInputs InputsFor(const LinkOptions& options, const CLocator* tx, const CLocator* rx,
                            RefractivitySource source) {
    const CRefractivity maps;
    CalculationInputs inputs = InputsFrom(maps, options, tx, rx, source);
    NoteUnusableMaps(inputs);
    return inputs;
}

CalculationInputs InputsFrom(const CRefractivity& maps, const LinkOptions& options,
                             const CLocator* tx, const CLocator* rx, RefractivitySource source) {
    CalculationInputs inputs =
        BuildCalculationInputs(options.settings, &maps, tx, rx, source, RefractivityFallback{});
    if (!inputs.Usable()) throw InputError(inputs.problem);
    return inputs;
}

std::string UnusableMapsNote(const CalculationInputs& inputs) {
    if (inputs.n0Source != N0Source::Default && inputs.unusableMaps.empty()) return {};
    std::string note = "note: ";
    for (const UnusableMap& map : inputs.unusableMaps)
        note += map.file + ": " + map.problem + "; ";
    if (inputs.n0Source == N0Source::Default)
        note += "defaults N0 " + FormatGeneral(inputs.link.n0, 6) + " N-units and delta N " +
                FormatGeneral(inputs.link.deltaN, 6) + " N/km in use";
    else
        note += "N0 and delta N not read from the maps";
    return note + "\n";
}

void NoteUnusableMaps(const CalculationInputs& inputs) {
    Warnings() << UnusableMapsNote(inputs);
}

std::unique_ptr<CZONES> OpenZoneMap(const LinkOptions& options) {
    const std::filesystem::path path(options.zoneFile);
    std::string directory = path.parent_path().string();
    if (!directory.empty()) directory += '/';
    auto zones = std::make_unique<CZONES>(directory, path.filename().string());
    if (zones->OutOfMemory())
        throw InputError("zone map \"" + options.zoneFile +
                         "\" cannot be mapped: not enough memory or address space (ulimit -v)");
    if (!zones->IsUsable())
        Warnings() << "warning: zone map \"" << options.zoneFile
                   << "\" cannot be read (missing, not a regular file, or not "
                   << CZONES::kFileBytes << " bytes): every point is taken as zone 0\n";
    return zones;
}

} // namespace kestrova::cli
