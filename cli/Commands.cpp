#include "cli/Commands.h"

#include "Version.h"
#include "propagation/engine/MissingTerrain.h"

#include <iostream>
#include <ostream>

namespace kestrova::cli {

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {"convert", "convert a location text to all four formats",
         "[--format loc|ngr|deg|dms|0-3] [--json] TEXT", DeclareConvert, RunConvert},
        {"height", "terrain height at a position",
         "LAT LON [--interpolate] [--tiles DIR|FILE] [--json]", DeclareHeight, RunHeight},
        {"terrain-sources", "the SRTM tiles and elevation rasters found and the area each covers",
         "[--tiles DIR|FILE] [--json]", DeclareTerrainSources, RunTerrainSources},
        {"zone", "radio-climatic zone at a position", "LAT LON [--zones FILE] [--json]",
         DeclareZone, RunZone},
        {"gas", "gaseous attenuation after ITU-R P.676",
         "--freq GHZ [--pressure HPA] [--temperature C] [--humidity PCT] [--json]", DeclareGas,
         RunGas},
        {"climate", "radio-meteorological data at a position", "LAT LON [--interpolate] [--json]",
         DeclareClimate, RunClimate},
        {"link", "basic transmission loss of a link after ITU-R P.452",
         "(--tx TEXT --rx TEXT [--format F] | --profile FILE.csv --latitude DEG) --freq GHZ "
         "--percent P --tx-height M --rx-height M [--temperature C] [--pressure HPA] "
         "[--humidity PCT] [--k-factor K] [--n0 N] [--delta-n D] [--interpolate] [--tiles DIR] "
         "[--zones FILE] [--profile-out FILE] [--edition 14|18] [--polarisation h|v] "
         "[--tx-gain DBI] [--rx-gain DBI] [--dct KM] [--dcr KM] [--no-gas] "
         "[--land-cover FILE [--land-cover-classes worldcover|corine] [--clutter-table FILE]] "
         "[--json] | "
         "--batch LINKS.csv [--threads N] and the options above for every row",
         DeclareLink, RunLink},
        {"radial", "terrain, loss and field strength along a radial from the transmitter",
         "--tx TEXT [--format F] --range KM --bearing DEG [--power W] [--gain DBI] "
         "[--receiver-gain DBI (received power, dBm, in --json)] [--flat-earth] and the options "
         "of link",
         DeclareRadial, RunRadial},
        {"coverage",
         "field-strength map around a transmitter (1 kW EIRP): CSV, image, scale, KMZ, GeoTIFF",
         "--tx TEXT [--format F] --range KM [--resolution ARCSEC] --freq GHZ --percent P "
         "--tx-height M --rx-height M [weather, --k-factor, --n0, --delta-n, --tiles, --zones, "
         "--edition and its options, --land-cover as for link] [--threads N] [--csv FILE] "
         "[--header|--no-header] "
         "[--image FILE] "
         "[--scale FILE] [--kmz FILE] [--geotiff FILE] [--png FILE] [--mode terrain|colour|mono] "
         "[--contours] [--max-fs DB] [--min-fs DB] [--max-height M] [--min-height M] "
         "[--palette hsv|dem|jet|dem15|ncar|schwarzwald] [--block I/N --piece FILE] [--plan] "
         "[--json]",
         DeclareCoverage, RunCoverage},
        {"merge", "the pieces of a map computed in blocks, written as the map's files",
         "PIECE... [--csv FILE] [--header|--no-header] [--image FILE] [--scale FILE] [--kmz FILE] "
         "[--geotiff FILE] [--png FILE] [--tiles DIR] [--interpolate] [--json] and the display "
         "options of coverage",
         DeclareMerge, RunMerge},
        {"coverage-batch",
         "the map of every site of a site file on one grid, and the best-server composite",
         "SITES_FILE --range KM [--resolution ARCSEC] [--out-dir DIR] [--site K | "
         "--composite-only] [--plan [--json]] [--threads N] and the options of coverage",
         DeclareCoverageBatch, RunCoverageBatch},
        {"terrain-map", "terrain map of a link's area and of its two ends as PNG images",
         "--tx TEXT --rx TEXT [--format F] [--palette 0..5] [--contours M] [--local-contours] "
         "[--interpolate] [--tiles DIR] --png FILE [--tx-png FILE] [--rx-png FILE] [--json]",
         DeclareTerrainMap, RunTerrainMap},
        {"zone-map", "radio-climatic zones of a link's area as a PNG image",
         "--tx TEXT --rx TEXT [--format F] [--zones FILE] --png FILE", DeclareZoneMap, RunZoneMap},
        {"mechanisms", "loss of each mechanism against the percentage of time",
         "--tx TEXT --rx TEXT [--format F] and the options of link", DeclareMechanisms,
         RunMechanisms},
        {"sites", "the sites of a site file and the lines that are not sites", "FILE [--json]",
         DeclareSites, RunSites},
    };
    return commands;
}

namespace {
std::ostream* warningStream = nullptr;
} // namespace

WarningsTo::WarningsTo(std::ostream& stream) : previous(warningStream) {
    warningStream = &stream;
}

WarningsTo::~WarningsTo() {
    warningStream = previous;
}

std::ostream& Warnings() {
    return warningStream ? *warningStream : std::cerr;
}

std::vector<std::string> TileWarnings(const std::vector<std::string>& problems) {
    std::vector<std::string> texts;
    for (const std::string& problem : problems)
        texts.push_back(problem.rfind("raster ", 0) == 0
                            ? "terrain " + problem + ": it is skipped"
                            : "terrain tile " + problem + ": its cell is read as missing terrain");
    return texts;
}

void WarnAboutTiles(const std::vector<std::string>& problems) {
    for (const std::string& text : TileWarnings(problems))
        Warnings() << "warning: " << text << "\n";
}

void WarnAboutMissingTerrain(double fraction, const std::string& what) {
    if (const std::string text = MissingTerrainText(fraction, what); !text.empty())
        Warnings() << "warning: " << text << "\n";
}

std::string VersionText() {
    return std::string("kestrova-cli ") + KESTROVA_VERSION;
}

} // namespace kestrova::cli
