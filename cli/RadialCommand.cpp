// kestrova-cli radial: the terrain and the field strength along a radial
// from the transmitter, the points the site evaluation page plots.
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/LandCoverOptions.h"
#include "cli/LinkOptions.h"
#include "evaluation/Radial.h"
#include "geo/NumberFormat.h"
#include "propagation/FieldStrength.h"
#include "propagation/Refractivity.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <ostream>

namespace kestrova::cli {
namespace {

RadialRequest ReadRequest(const Args& args, const LinkOptions& options, const CRefractivity& maps) {
    for (const InputLimit* required : {&limits::evalRange, &limits::evalBearing})
        if (!args.Value(required->option))
            throw UsageError(std::string("option --") + required->option + " is required");
    RadialRequest request;
    request.rangeKm = LimitedNumber(args, limits::evalRange);
    request.bearingDeg = LimitedNumber(args, limits::evalBearing);
    request.powerW = LimitedNumber(args, limits::evalPower);
    request.gainDbi = LimitedNumber(args, limits::evalGain);
    const int format = ParseLocatorFormat(args.Value("format").value_or("ngr"));
    request.tx = ReadEnd(args, "tx", format, "TX");
    request.settings = options.settings;
    request.maps = &maps;
    request.interpolate = options.interpolate;
    request.flatEarth = args.Flag("flat-earth");
    return request;
}

nlohmann::ordered_json ProfileJson(const std::optional<ProfileChart>& chart) {
    if (!chart) return nullptr;
    nlohmann::ordered_json points = nlohmann::ordered_json::array();
    for (size_t i = 0; i < chart->terrain.size(); ++i)
        points.push_back({{"distance", chart->terrain[i].x},
                          {"terrain", chart->terrain[i].y},
                          {"bulge", chart->bulge[i].y},
                          {"lineOfSight", chart->lineOfSight[i].y},
                          {"fresnelLower", chart->fresnelLower[i].y},
                          {"fresnelUpper", chart->fresnelUpper[i].y}});
    nlohmann::ordered_json stretches = nlohmann::ordered_json::array();
    for (const NoTerrainStretch& stretch : chart->noTerrain)
        stretches.push_back({stretch.from, stretch.to});
    return {{"heightAxisMaximum", chart->heightAxisMaximum},
            {"points", points},
            {"noTerrainStretches", stretches}};
}

// rxGain: the receiving antenna's gain, dBi, when given: each record then
// holds the power it receives at frequencyGHz, dBm.
nlohmann::ordered_json ResultJson(const RadialEvaluation& result, bool zoneMap,
                                  std::optional<double> rxGain, double frequencyGHz) {
    const FieldCurve& field = *result.field;
    nlohmann::ordered_json records = nlohmann::ordered_json::array();
    for (const FieldPoint& point : field.points) {
        records.push_back({{"distance", point.distance},
                           {"lbd", point.record.lbd},
                           {"lba", point.record.lba},
                           {"lbs", point.record.lbs},
                           {"lb", point.record.lb},
                           {"gasLoss", point.gasLoss},
                           {"fieldStrength", point.fieldStrength}});
        if (rxGain)
            records.back()["receivedPower"] =
                ReceivedPowerDbm(point.fieldStrength, frequencyGHz, *rxGain);
    }
    return {{"valid", true},
            {"edition", EditionName(field.inputs.link.edition)},
            {"count", field.recordCount},
            {"latitude", result.rx.GetLatitude()},
            {"longitude", result.rx.GetLongitude()},
            {"surfaceN0", field.inputs.link.n0},
            {"deltaN", field.inputs.link.deltaN},
            {"kFactor", field.inputs.kFactor},
            {"zoneMap", zoneMap},
            {"terrainMissing", result.terrainMissing},
            {"rho", field.rho},
            {"gamma", field.gamma},
            {"K", field.K},
            {"records", records},
            {"profile", ProfileJson(result.profile)}};
}

void PrintResult(const RadialEvaluation& result, std::ostream& out) {
    out << "distance_km  lbd     lba     lbs     lb      E_dBuV/m\n";
    for (const FieldPoint& point : result.field->points) {
        const RadialRecord& r = point.record;
        out << FormatFixed(point.distance, 8, 3) << "  " << FormatFixed(r.lbd, 6, 1) << "  "
            << FormatFixed(r.lba, 6, 1) << "  " << FormatFixed(r.lbs, 6, 1) << "  "
            << FormatFixed(r.lb, 6, 1) << "  " << FormatFixed(point.fieldStrength, 6, 1) << "\n";
    }
}

} // namespace

void DeclareRadial(OptionList& options) {
    options.Value("tx", "TEXT", "Transmitter's location, in the notation of --format");
    DeclareFormat(options);
    options.Number(limits::evalRange, true);
    options.Number(limits::evalBearing, true);
    options.Number(limits::evalPower);
    options.Number(limits::evalGain);
    options.Number(limits::evalRxGain);
    options.Flag("flat-earth", "Draw the profile without the Earth's bulge");
    DeclareLinkOptions(options);
}

int RunRadial(const Args& args, std::ostream& out) {
    const LinkOptions options = ReadLinkOptions(args);
    NoteLandCoverEdition(options.settings.landCover, options.settings.edition);
    const CRefractivity maps;
    const RadialRequest request = ReadRequest(args, options, maps);

    CSRTM store(CSRTM::kTilesPerStore, options.tiles);
    const auto zones = OpenZoneMap(options);
    auto engine = std::make_unique<CTerrain>();
    const RadialEvaluation result = EvaluateRadial(request, store, *zones, *engine);
    const std::vector<std::string> tileProblems = store.TileProblems();
    WarnAboutTiles(tileProblems);
    WarnAboutLandCover(options.settings.landCover);
    if (!result.rx.IsValid()) throw InputError("the radial's end lies off the globe");
    if (!result.problem.empty()) throw InputError(result.problem);
    WarnAboutMissingTerrain(result.terrainMissing, "the radial");
    std::string problem = result.field ? "" : "Path too short";
    for (size_t j = 0; result.field && j < result.field->points.size() && problem.empty(); ++j) {
        const FieldPoint& point = result.field->points[j];
        problem = LossProblem(point.record, point.gasLoss);
    }
    if (!problem.empty()) {
        if (args.Flag("json"))
            out << nlohmann::ordered_json{{"valid", false}, {"message", problem}}.dump() << "\n";
        else
            out << problem << "\n";
        return 3;
    }
    if (args.Flag("json")) {
        std::optional<double> rxGain;
        if (args.Value(limits::evalRxGain.option)) rxGain = LimitedNumber(args, limits::evalRxGain);
        auto json = ResultJson(result, zones->IsUsable(), rxGain, request.settings.frequency);
        if (!tileProblems.empty()) json["warnings"] = TileWarnings(tileProblems);
        out << json.dump() << "\n";
    } else {
        PrintResult(result, out);
    }
    return 0;
}

} // namespace kestrova::cli
