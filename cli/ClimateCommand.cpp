// kestrova-cli gas and climate: gaseous attenuation after ITU-R P.676 for
// given weather, and the radio-meteorological map values at a position.
#include "cli/Args.h"
#include "cli/Commands.h"
#include "geo/NumberFormat.h"
#include "inputs/InputLimits.h"
#include "propagation/P676.h"
#include "propagation/Refractivity.h"
#include "propagation/engine/EngineInputs.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace kestrova::cli {
namespace {

double Limited(const InputLimit& limit, double value) {
    if (!limit.Contains(value))
        throw InputError(std::string("--") + limit.option + " " + limit.RangeText());
    return value;
}

double Option(const Args& args, const InputLimit& limit) {
    return Limited(limit, args.Number(limit.option, limit.initial));
}

// The inputs of gas, in the order its help lists them; --freq is required.
const InputLimit* const gasInputs[] = {&limits::frequency, &limits::pressure, &limits::temperature,
                                       &limits::humidity};

std::string Figure(double value) {
    return FormatGeneral(value, 6);
}

nlohmann::json JsonOrNull(const std::optional<double>& value) {
    return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

std::string TextOrNoData(const std::optional<double>& value, const char* unit) {
    return value ? Figure(*value) + " " + unit : "No data";
}

// A look-up of CRefractivity as an optional value.
template <typename Lookup> std::optional<double> Value(Lookup lookup) {
    double value = 0.0;
    if (!lookup(value)) return std::nullopt;
    return value;
}

double Coordinate(const std::string& text, const char* name, double minimum, double maximum) {
    const std::optional<double> value = ParseNumber(text);
    if (!value) throw UsageError(std::string(name) + " \"" + text + "\" is not a number");
    if (*value < minimum || *value > maximum)
        throw InputError(std::string(name) + " " + text + " lies outside " +
                         FormatGeneral(minimum, 6) + ".." + FormatGeneral(maximum, 6));
    return *value;
}

// The map files the look-ups of climate could not use, each with its reason.
std::vector<CRefractivity::MapState> UnusableMaps(const CRefractivity& maps) {
    std::vector<CRefractivity::MapState> unusable = maps.UnusableRefractivityMaps();
    for (int index : {CRefractivity::DNDZ_90, CRefractivity::DNDZ_50, CRefractivity::DNDZ_10,
                      CRefractivity::DNDZ_01, CRefractivity::S_OCCUR, CRefractivity::E_OCCUR})
        if (CRefractivity::MapState state = maps.State(index); !state.loaded)
            unusable.push_back(std::move(state));
    return unusable;
}

} // namespace

void DeclareGas(OptionList& options) {
    for (const InputLimit* limit : gasInputs)
        options.Number(*limit, limit == &limits::frequency);
    options.Flag("json", "Write the result as JSON");
}

int RunGas(const Args& args, std::ostream& out) {
    const double f = Limited(limits::frequency, args.RequiredNumber(limits::frequency.option));
    const double p = Option(args, limits::pressure);
    const double t = Option(args, limits::temperature);
    const double rh = Option(args, limits::humidity);
    if (const std::string problem = WeatherProblem(t, p, rh); !problem.empty())
        throw InputError(problem);

    const double rho = P676::WaterVapourDensity(rh, t, true);
    double gammaOxygen = 0.0;
    double gammaWater = 0.0;
    double gammaDry = 0.0;
    const double gamma = P676::SpecificAttenuation(f, p, t, rho, gammaOxygen, gammaWater, gammaDry);
    if (args.Flag("json")) {
        const nlohmann::ordered_json result = {
            {"rho", rho},
            {"gamma", gamma},
            {"gammaOxygen", gammaOxygen},
            {"gammaWater", gammaWater},
            {"gammaDry", gammaDry},
        };
        out << result.dump() << "\n";
        return 0;
    }
    out << "Water-vapour density  " << Figure(rho) << " g/m3\n"
        << "Specific attenuation  " << Figure(gamma) << " dB/km\n"
        << "  oxygen lines        " << Figure(gammaOxygen) << " dB/km\n"
        << "  water-vapour lines  " << Figure(gammaWater) << " dB/km\n"
        << "  dry continuum       " << Figure(gammaDry) << " dB/km\n";
    return 0;
}

void DeclareClimate(OptionList& options) {
    options.Flag("interpolate", "Interpolate the maps between their grid points");
    options.Flag("json", "Write the result as JSON");
    options.Positional("LAT LON",
                       "Latitude and longitude in decimal degrees (south and west negative)");
}

int RunClimate(const Args& args, std::ostream& out) {
    if (args.Positional().size() != 2) throw UsageError("give a latitude and a longitude");
    const double lat = Coordinate(args.Positional()[0], "latitude", -90, 90);
    // East longitudes up to 360 are welcome; the 0.5° maps, which run from
    // 180°W, take them as west longitudes.
    double lon = Coordinate(args.Positional()[1], "longitude", -180, 360);
    if (lon > 180.0) lon -= 360.0;
    const bool interpolate = args.Flag("interpolate");

    const CRefractivity maps;
    const auto dndz = [&](double percent) {
        return Value([&](double& v) { return maps.GetDNDZ(percent, lat, lon, v); });
    };
    const std::optional<double> n0 =
        Value([&](double& v) { return maps.GetN0(lat, lon, interpolate, v); });
    const std::optional<double> deltaN =
        Value([&](double& v) { return maps.GetDeltaN(lat, lon, interpolate, v); });
    const std::optional<double> dndz90 = dndz(90);
    const std::optional<double> dndz50 = dndz(50);
    const std::optional<double> dndz10 = dndz(10);
    const std::optional<double> dndz01 = dndz(0.01);
    const std::optional<double> surface =
        Value([&](double& v) { return maps.GetSurfaceDuctOccurrence(lat, lon, interpolate, v); });
    const std::optional<double> elevated =
        Value([&](double& v) { return maps.GetElevatedDuctOccurrence(lat, lon, interpolate, v); });
    const std::vector<CRefractivity::MapState> unusable = UnusableMaps(maps);
    nlohmann::ordered_json unusableJson = nlohmann::ordered_json::array();
    if (!unusable.empty()) {
        std::ostream& note = Warnings();
        note << "note: map files not used:";
        for (const CRefractivity::MapState& map : unusable) {
            note << (&map == unusable.data() ? " " : "; ") << map.fileName << ": " << map.problem;
            unusableJson.push_back({{"file", map.fileName}, {"problem", map.problem}});
        }
        note << "\n";
    }

    if (args.Flag("json")) {
        const nlohmann::ordered_json result = {
            {"n0", JsonOrNull(n0)},
            {"deltaN", JsonOrNull(deltaN)},
            {"dndz90", JsonOrNull(dndz90)},
            {"dndz50", JsonOrNull(dndz50)},
            {"dndz10", JsonOrNull(dndz10)},
            {"dndz01", JsonOrNull(dndz01)},
            {"surfaceDucts", JsonOrNull(surface)},
            {"elevatedDucts", JsonOrNull(elevated)},
            {"unusableMaps", unusableJson},
        };
        out << result.dump() << "\n";
        return 0;
    }
    out << "Surface refractivity N0         " << TextOrNoData(n0, "N-units") << "\n"
        << "Refractivity lapse rate dN      " << TextOrNoData(deltaN, "N-units/km") << "\n"
        << "Gradient dN/dz not exceeded for\n"
        << "  90 % of the time              " << TextOrNoData(dndz90, "N-units/km") << "\n"
        << "  50 % of the time              " << TextOrNoData(dndz50, "N-units/km") << "\n"
        << "  10 % of the time              " << TextOrNoData(dndz10, "N-units/km") << "\n"
        << "  0.01 % of the time            " << TextOrNoData(dndz01, "N-units/km") << "\n"
        << "Surface duct occurrence         " << TextOrNoData(surface, "%") << "\n"
        << "Elevated duct occurrence        " << TextOrNoData(elevated, "%") << "\n";
    return 0;
}

} // namespace kestrova::cli
