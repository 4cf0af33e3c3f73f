// kestrova-cli radial: the terrain and the field strength along a radial
// from the transmitter, the points the site evaluation page plots.
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/LinkOptions.h"
#include "evaluation/Radial.h"
#include "geo/NumberFormat.h"
#include "propagation/Refractivity.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <ostream>

namespace kestrova::cli {
namespace {

RadialRequest ReadRequest(const Args& args, const LinkOptions& options) {
    RadialRequest request;
    request.rangeKm = args.RequiredNumber("range");
    request.bearingDeg = args.RequiredNumber("bearing");
    request.powerW = args.Number("power", 100.0);
    request.gainDbi = args.Number("gain", 10.0);
    if (!(request.rangeKm >= 0.1 && request.rangeKm <= 3000))
        throw UsageError("option --range must lie between 0.1 and 3000");
    if (!(request.bearingDeg >= 0 && request.bearingDeg <= 360))
        throw UsageError("option --bearing must lie between 0 and 360");
    if (!(request.powerW >= 0.000001 && request.powerW <= 1000000))
        throw UsageError("option --power must lie between 0.000001 and 1000000");
    if (!(request.gainDbi >= -20 && request.gainDbi <= 100))
        throw UsageError("option --gain must lie between -20 and 100");
    const int format = ParseLocatorFormat(args.Value("format").value_or("ngr"));
    request.tx = ReadEnd(args, "tx", format, "TX");
    request.link = options.inputs;
    request.weather = {options.temperature, options.pressure, options.humidity};
    request.climate.forcedK = options.forcedK;
    request.climate.fixedN0 = options.n0;
    request.climate.fixedDeltaN = options.deltaN;
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
                          {"bulge", chart->bulge[i].y}});
    return {{"heightAxisMaximum", chart->heightAxisMaximum}, {"points", points}};
}

nlohmann::ordered_json ResultJson(const RadialEvaluation& result) {
    const FieldCurve& field = *result.field;
    nlohmann::ordered_json records = nlohmann::ordered_json::array();
    for (const FieldPoint& point : field.points)
        records.push_back({{"distance", point.distance},
                           {"lbd", point.record.lbd},
                           {"lba", point.record.lba},
                           {"lbs", point.record.lbs},
                           {"lb", point.record.lb},
                           {"gasLoss", point.gasLoss},
                           {"fieldStrength", point.fieldStrength}});
    return {{"valid", true},
            {"count", field.recordCount},
            {"latitude", result.rx.GetLatitude()},
            {"longitude", result.rx.GetLongitude()},
            {"surfaceN0", field.climate.n0},
            {"deltaN", field.climate.deltaN},
            {"kFactor", field.climate.kFactor},
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

int RunRadial(const Words& words, std::ostream& out) {
    std::set<std::string> valueOptions = LinkValueOptions();
    valueOptions.insert({"tx", "format", "range", "bearing", "power", "gain"});
    std::set<std::string> flags = LinkFlags();
    flags.insert("flat-earth");
    const Args args(words, valueOptions, flags);
    const LinkOptions options = ReadLinkOptions(args);
    RadialRequest request = ReadRequest(args, options);
    const CRefractivity maps;
    request.climate.maps = &maps;

    CSRTM store(9, options.tiles);
    CZONES zones(options.zonesDirectory);
    auto engine = std::make_unique<CTerrain>();
    const RadialEvaluation result = EvaluateRadial(request, store, zones, *engine);
    if (!result.rx.IsValid()) throw InputError("the radial's end lies off the globe");
    if (!result.field) {
        out << (args.Flag("json") ? R"({"valid":false,"message":"Path too short"})"
                                  : "Path too short")
            << "\n";
        return 3;
    }
    if (args.Flag("json"))
        out << ResultJson(result).dump() << "\n";
    else
        PrintResult(result, out);
    return 0;
}

} // namespace kestrova::cli
