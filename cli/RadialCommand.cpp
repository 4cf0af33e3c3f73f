// kestrova-cli radial: the loss and field strength at every sample along a
// radial from the transmitter, as the site evaluation computes them.
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/LinkOptions.h"
#include "geo/NumberFormat.h"
#include "geo/Path.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <memory>
#include <ostream>

namespace kestrova::cli {

int RunRadial(const Words& words, std::ostream& out) {
    std::set<std::string> valueOptions = LinkValueOptions();
    valueOptions.insert({"tx", "format", "range", "bearing", "power", "gain"});
    const Args args(words, valueOptions, LinkFlags());
    const LinkOptions options = ReadLinkOptions(args);
    if (!args.Value("range")) throw UsageError("option --range is required");
    if (!args.Value("bearing")) throw UsageError("option --bearing is required");
    const double rangeKm = LimitedNumber(args, "range", limits::evalRange);
    const double bearing = LimitedNumber(args, "bearing", limits::evalBearing);
    const double power = LimitedNumber(args, "power", limits::evalPower);
    const double gain = LimitedNumber(args, "gain", limits::evalGain);

    const int format = ParseLocatorFormat(args.Value("format").value_or("ngr"));
    const CLocator tx = ReadEnd(args, "tx", format, "TX");
    const CLocator rx = EndPointFromRangeBearing(tx, rangeKm, bearing);
    if (!rx.IsValid()) throw InputError("the radial's end lies off the globe");
    const CalculationInputs gas =
        InputsFor(options, &tx, &rx, RefractivitySource::PathCentreNearest);
    const LinkInputs& inputs = gas.link;

    CSRTM store(9, options.tiles);
    const auto zones = OpenZoneMap(options);
    auto engine = std::make_unique<CTerrain>();
    auto records = std::make_unique<std::array<RadialRecord, TerrainProfile::capacity>>();
    int count = 0;
    std::string problem;
    if (!engine->CalculateRadial(store, *zones, tx, rx, true, inputs, count, *records))
        problem = "Path too short";
    for (int j = 2; j < count && problem.empty(); ++j) {
        const RadialRecord& r = (*records)[static_cast<size_t>(j)];
        problem = LossProblem(r, r.distance * gas.gamma);
    }
    if (!problem.empty()) {
        if (args.Flag("json"))
            out << nlohmann::ordered_json{{"valid", false}, {"message", problem}}.dump() << "\n";
        else
            out << problem << "\n";
        return 3;
    }
    // E = EIRP(dBW) + 107.2 + 20 log10 f(MHz) - Lb, written for f in GHz.
    const double K = 10.0 * std::log10(power) + gain + 167.2 + 20.0 * std::log10(inputs.frequency);
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    if (!args.Flag("json")) out << "distance_km  lbd     lba     lbs     lb      E_dBuV/m\n";
    for (int j = 2; j < count; ++j) {
        const RadialRecord& r = (*records)[static_cast<size_t>(j)];
        const double gasLoss = r.distance * gas.gamma;
        const double E = K - (r.lb + gasLoss);
        if (args.Flag("json")) {
            list.push_back({{"distance", r.distance},
                            {"lbd", r.lbd},
                            {"lba", r.lba},
                            {"lbs", r.lbs},
                            {"lb", r.lb},
                            {"gasLoss", gasLoss},
                            {"fieldStrength", E}});
        } else {
            out << FormatFixed(r.distance, 8, 3) << "  " << FormatFixed(r.lbd, 6, 1) << "  "
                << FormatFixed(r.lba, 6, 1) << "  " << FormatFixed(r.lbs, 6, 1) << "  "
                << FormatFixed(r.lb, 6, 1) << "  " << FormatFixed(E, 6, 1) << "\n";
        }
    }
    if (args.Flag("json"))
        out << nlohmann::ordered_json{{"valid", true},
                                      {"count", count},
                                      {"latitude", rx.GetLatitude()},
                                      {"longitude", rx.GetLongitude()},
                                      {"surfaceN0", inputs.n0},
                                      {"deltaN", inputs.deltaN},
                                      {"zoneMap", zones->IsUsable()},
                                      {"rho", gas.rho},
                                      {"gamma", gas.gamma},
                                      {"records", list}}
                   .dump()
            << "\n";
    return 0;
}

} // namespace kestrova::cli
