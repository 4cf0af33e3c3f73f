// kestrova-cli link: one point-to-point prediction, between two locations
// over the terrain tiles, or over a surveyed profile given as CSV.
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/FileOutput.h"
#include "cli/LandCoverOptions.h"
#include "cli/LinkBatch.h"
#include "cli/LinkJson.h"
#include "cli/LinkOptions.h"
#include "cli/ProfileCsv.h"
#include "geo/NumberFormat.h"
#include "geo/Path.h"
#include "propagation/FieldStrength.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <memory>
#include <ostream>
#include <sstream>

namespace kestrova::cli {
namespace {

// The sampled profile; with clutter heights from a land cover, a last
// column clutter_m.
std::string ProfileTable(const CTerrain& engine) {
    std::ostringstream table;
    const TerrainProfile& p = engine.profile;
    table << "distance_km,height_m,zone,earth_bulge_m,ray_height_m,fresnel_radius_m"
          << (p.hasClutter ? ",clutter_m\n" : "\n");
    for (int i = 0; i < p.count; ++i) {
        table << FormatGeneral(p.distance[i], 10) << ',' << FormatGeneral(p.height[i], 10) << ','
              << static_cast<int>(p.zone[i]) << ',' << FormatGeneral(p.earthBulge[i], 10) << ','
              << FormatGeneral(p.rayHeight[i], 10) << ',' << FormatGeneral(p.fresnelRadius[i], 10);
        if (p.hasClutter) table << ',' << FormatGeneral(p.clutter[i], 10);
        table << '\n';
    }
    return table.str();
}

// Each sample's clutter height, m, for --profile-out's JSON.
nlohmann::ordered_json ClutterJson(const TerrainProfile& p) {
    nlohmann::ordered_json heights = nlohmann::ordered_json::array();
    for (int i = 0; i < p.count; ++i)
        heights.push_back(p.clutter[i]);
    return heights;
}

void PrintResult(std::ostream& out, const CTerrain& e, const CalculationInputs& gas,
                 double gasLoss) {
    auto lossLine = [&](const char* caption, double value) {
        out << caption << FormatFixed(TotalLossDb(value, gasLoss), 3, 0) << " dB\n";
    };
    out << "Edition: ITU-R " << EditionName(e.edition) << "\n";
    if (e.edition == Edition::P452_18)
        out << "Gaseous absorption: inside each loss (ITU-R P.676-11)\n";
    else
        out << "Water vapour density: " << FormatFixed(gas.rho, 3, 1) << " g/m3\n"
            << "Gaseous Loss: " << FormatFixed(gasLoss, 6, 1) << " dB\n";
    lossLine("Line of sight loss: ", e.loss.lb0p);
    lossLine("Diffraction path loss: ", e.loss.lbd);
    lossLine("Troposcatter path loss: ", e.loss.lbs);
    lossLine("Ducting path loss: ", e.loss.lba);
    lossLine("Overall path loss: ", e.loss.lb);
    out << "Beta0: " << FormatFixed(e.beta0, 3, 1) << " %\n"
        << "Sea fraction: " << FormatFixed(e.omega * 100.0, 3, 1) << " %\n"
        << "Coast from TX: " << FormatFixed(e.dct, 4, 1) << " km\n"
        << "Coast from RX: " << FormatFixed(e.dcr, 4, 1) << " km\n"
        << "Path length: " << FormatFixed(e.pathLength, 4, 1) << " km (" << e.profile.count
        << " samples)\n"
        << "N0 " << FormatFixed(e.surfaceN0, 4, 1) << " N-units, delta N "
        << FormatFixed(e.deltaN, 4, 1) << " N/km, k " << FormatFixed(e.kMedian, 4, 3) << "\n";
}

// The failed calculation's message, as text or JSON; exit status 3.
int Failed(std::ostream& out, bool json, const std::string& message) {
    if (json)
        out << nlohmann::ordered_json{{"valid", false}, {"message", message}}.dump() << "\n";
    else
        out << message << "\n";
    return 3;
}

} // namespace

void DeclareLink(OptionList& options) {
    DeclareEnds(options);
    options.Value("profile", "FILE.csv",
                  "Surveyed profile (distance_km,height_m[,clutter_m] lines) in place of --tx, "
                  "--rx and the terrain");
    options.Value("latitude", "DEG", "Latitude of the surveyed profile's middle, for its climate");
    DeclareLinkOptions(options);
    options.Value("profile-out", "FILE", "CSV file for the path's profile");
    options.Value("batch", "LINKS.csv",
                  "Many links: one a row, columns named after the long options (tx, rx, format, "
                  "freq, percent, ...); empty cells take the command line's values");
    options.Value("threads", "INT", "Threads for --batch (default every core)");
}

int RunLink(const Args& args, std::ostream& out) {
    if (args.Value("batch")) return RunLinkBatch(args, out);
    if (args.Value("threads")) throw UsageError("option --threads goes with --batch");
    const auto csv = args.Value("profile");
    if (csv && args.Value("land-cover"))
        throw UsageError("option --land-cover goes with --tx and --rx, not --profile (a surveyed "
                         "profile gives its clutter in a column clutter_m)");
    const LinkOptions options = ReadLinkOptions(args, !csv);
    NoteLandCoverEdition(options.settings.landCover, options.settings.edition);
    const bool edition18 = options.settings.edition == Edition::P452_18;
    if (const auto file = args.Value("profile-out")) CheckOutputTargets({{"profile-out", *file}});
    auto engine = std::make_unique<CTerrain>();
    double range = 0.0;
    bool zoneMap = true;
    CalculationInputs inputs;
    std::vector<std::string> tileProblems;

    if (csv) {
        const double latitude = args.RequiredNumber("latitude");
        if (!(latitude >= -90.0 && latitude <= 90.0))
            throw UsageError("option --latitude must lie between -90 and 90");
        const std::vector<ProfilePoint> points =
            ReadProfileCsv(*csv, edition18 ? profileRules18 : profileRules14);
        inputs = InputsFor(options, nullptr, nullptr, RefractivitySource::PathCentreBlended);
        engine->CalculateProfile(points, latitude, inputs.link);
        range = points.back().distance;
    } else {
        const int format = ParseLocatorFormat(args.Value("format").value_or("ngr"));
        const CLocator tx = ReadEnd(args, "tx", format, "TX");
        const CLocator rx = ReadEnd(args, "rx", format, "RX");
        inputs = InputsFor(options, &tx, &rx, RefractivitySource::PathCentreBlended);
        CSRTM store(CSRTM::kTilesPerStore, options.tiles);
        const auto zones = OpenZoneMap(options);
        zoneMap = zones->IsUsable();
        engine->CalculateLink(store, *zones, tx, rx, options.interpolate, inputs.link);
        tileProblems = store.TileProblems();
        WarnAboutTiles(tileProblems);
        WarnAboutLandCover(options.settings.landCover);
        if (engine->valid) WarnAboutMissingTerrain(engine->profile.MissingFraction(), "the path");
        CPath path;
        path.SetPath(tx, rx);
        double bearing = 0.0;
        path.GetRangeBearing(range, bearing);
    }
    const double gasLoss = GaseousLossDb(inputs.gamma, range);
    const bool json = args.Flag("json");
    if (!engine->valid)
        return Failed(out, json, engine->problem18.empty() ? "Path too short" : engine->problem18);
    if (const std::string problem = LossProblem(engine->loss, gasLoss); !problem.empty())
        return Failed(out, json, problem);
    nlohmann::ordered_json result = ResultJson(*engine, inputs, gasLoss, zoneMap);
    std::vector<std::string> warnings = TileWarnings(tileProblems);
    if (const auto& cover = options.settings.landCover; cover && engine->profile.hasClutter)
        if (const std::string text = UnknownClassesText(*cover); !text.empty())
            warnings.push_back(text);
    if (!warnings.empty()) result["warnings"] = warnings;
    if (args.Value("profile-out") && engine->profile.hasClutter)
        result["clutterHeights"] = ClutterJson(engine->profile);
    if (const std::string problem = NonFiniteMember(result); !problem.empty())
        return Failed(out, json, problem);
    if (const auto file = args.Value("profile-out")) WriteFileSafely(*file, ProfileTable(*engine));
    if (json)
        out << result.dump() << "\n";
    else
        PrintResult(out, *engine, inputs, gasLoss);
    return 0;
}

} // namespace kestrova::cli
