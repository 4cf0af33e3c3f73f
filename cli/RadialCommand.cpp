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
    LinkOptions options = ReadLinkOptions(args);
    const double rangeKm = args.RequiredNumber("range");
    const double bearing = args.RequiredNumber("bearing");
    const double power = args.Number("power", 100.0);
    const double gain = args.Number("gain", 10.0);
    if (!(rangeKm >= 0.1 && rangeKm <= 3000))
        throw UsageError("option --range must lie between 0.1 and 3000");
    if (!(bearing >= 0 && bearing <= 360))
        throw UsageError("option --bearing must lie between 0 and 360");
    if (!(power >= 0.000001 && power <= 1000000))
        throw UsageError("option --power must lie between 0.000001 and 1000000");
    if (!(gain >= -20 && gain <= 100))
        throw UsageError("option --gain must lie between -20 and 100");

    const int format = ParseLocatorFormat(args.Value("format").value_or("ngr"));
    const CLocator tx = ReadEnd(args, "tx", format, "TX");
    const CLocator rx = EndPointFromRangeBearing(tx, rangeKm, bearing);
    if (!rx.IsValid()) throw InputError("the radial's end lies off the globe");
    ChooseRefractivityInputs(options, &tx, &rx, false);
    const GasFigures gas = Gas(options);

    CSRTM store(9, options.tiles);
    CZONES zones(options.zonesDirectory);
    auto engine = std::make_unique<CTerrain>();
    auto records = std::make_unique<std::array<RadialRecord, TerrainProfile::capacity>>();
    int count = 0;
    if (!engine->CalculateRadial(store, zones, tx, rx, true, options.inputs, count, *records)) {
        out << (args.Flag("json") ? R"({"valid":false,"message":"Path too short"})"
                                  : "Path too short")
            << "\n";
        return 3;
    }
    // E = EIRP(dBW) + 107.2 + 20 log10 f(MHz) - Lb, written for f in GHz.
    const double K =
        10.0 * std::log10(power) + gain + 167.2 + 20.0 * std::log10(options.inputs.frequency);
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
                                      {"surfaceN0", options.inputs.n0},
                                      {"deltaN", options.inputs.deltaN},
                                      {"rho", gas.rho},
                                      {"gamma", gas.gamma},
                                      {"records", list}}
                   .dump()
            << "\n";
    return 0;
}

} // namespace kestrova::cli
