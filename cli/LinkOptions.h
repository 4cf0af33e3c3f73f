// Options shared by the commands that run the engine (link, radial,
// coverage): radio and weather inputs with the limits and defaults of the
// one table of inputs, and the data locations.
#pragma once

#include "cli/Args.h"
#include "inputs/InputLimits.h"
#include "propagation/engine/EngineInputs.h"
#include "terrain/Zones.h"

#include <memory>
#include <optional>
#include <string>

namespace kestrova::cli {

struct LinkOptions {
    CalculationSettings settings;
    bool interpolate = false;
    std::string tiles;    // directory with a trailing '/', a raster file, "" the working directory
    std::string zoneFile; // the zone map, as given by --zones or found
};

// The radio and weather options ReadLinkSettings reads (each numeric one
// under its row of the table of inputs), --edition, --polarisation and
// --no-gas.
void DeclareLinkSettings(OptionList& options);
// The settings, the data locations (--tiles, --zones, the land cover),
// --interpolate and --json: what ReadLinkOptions reads.
void DeclareLinkOptions(OptionList& options);
// --tx, --rx and --format: a link's two ends.
void DeclareEnds(OptionList& options);
// --edition 14|18 (14 when absent); UsageError otherwise.
Edition ReadEdition(const Args& args);
// "P.452-14" or "P.452-18", as the JSON names it.
const char* EditionName(Edition edition);

// Every option checked against its limits (UsageError naming it), and the
// land cover opened (LandCoverOptions.h). With
// needsTiles, --tiles must name a directory holding tiles (InputError);
// without --tiles the working directory is used, or the demo tile when it
// holds none.
LinkOptions ReadLinkOptions(const Args& args, bool needsTiles = true);
// The radio and weather options alone (no data locations, no file system).
CalculationSettings ReadLinkSettings(const Args& args);

// The terrain location of --tiles: a directory (given a trailing '/')
// holding SRTM tiles or elevation rasters, or one raster file. InputError
// when it does not exist or holds no terrain.
std::string CheckedTerrainLocation(std::string path);

// The number option of a row of the table of inputs (limit.option) within
// the row's limits; the row's initial value when the option is absent.
// UsageError naming the option otherwise.
double LimitedNumber(const Args& args, const InputLimit& limit);
std::optional<double> OptionalLimitedNumber(const Args& args, const InputLimit& limit);

// A location option in the given format; InputError naming the end ("TX",
// "RX") when the text is not valid.
CLocator ReadEnd(const Args& args, const char* option, int format, const char* end);

// The inputs of a calculation (BuildCalculationInputs with the maps found
// where the program looks and the default fallback); InputError when they
// cannot be used.
CalculationInputs InputsFor(const LinkOptions& options, const CLocator* tx, const CLocator* rx,
                            RefractivitySource source);

// The same from maps already open, without the note: for many links.
CalculationInputs InputsFrom(const CRefractivity& maps, const LinkOptions& options,
                             const CLocator* tx, const CLocator* rx, RefractivitySource source);

// A note on the warning stream when N0 and ΔN are defaults or a map file
// could not be used: each such file with its reason, and the values in use.
void NoteUnusableMaps(const CalculationInputs& inputs);
// The note's text ("" when the maps served), one line.
std::string UnusableMapsNote(const CalculationInputs& inputs);

// The zone map of the options. When it cannot be read a warning says so and
// every position reads as zone 0 (land that is not inland).
std::unique_ptr<CZONES> OpenZoneMap(const LinkOptions& options);

} // namespace kestrova::cli
