#include "propagation/engine/EngineInputs.h"

#include "geo/NumberFormat.h"
#include "propagation/P676.h"
#include "propagation/Refractivity.h"
#include "inputs/InputLimits.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace kestrova {
namespace {

std::string Figure(double value) {
    return FormatGeneral(value, 6);
}

// The first of the named inputs that is not a finite number.
std::string NonFinite(std::initializer_list<std::pair<const char*, double>> values) {
    for (const auto& [name, value] : values)
        if (!std::isfinite(value)) return std::string(name) + " is not a finite number";
    return {};
}

std::string Outside(const char* what, double value, const InputLimit& limit) {
    return std::string(what) + " " + Figure(value) + " " + limit.RangeText();
}

} // namespace

CLocator PathCentre(const CLocator& tx, const CLocator& rx) {
    const double lat = (tx.GetLatitude() + rx.GetLatitude()) / 2.0;
    const double dLon = std::remainder(rx.GetLongitude() - tx.GetLongitude(), 360.0);
    const double lon = std::remainder(tx.GetLongitude() + dLon / 2.0, 360.0);
    return CLocator(lat, lon);
}

CLocator PathCentre18(const CLocator& tx, const CLocator& rx) {
    constexpr double rad = 3.14159265358979323846 / 180.0;
    const double phit = tx.GetLatitude() * rad;
    const double phir = rx.GetLatitude() * rad;
    const double cosDelta =
        std::sin(phit) * std::sin(phir) +
        std::cos(phit) * std::cos(phir) * std::cos((rx.GetLongitude() - tx.GetLongitude()) * rad);
    const double d = 6371.0 * std::acos(std::clamp(cosDelta, -1.0, 1.0));
    const p452v18::LatLon c = p452v18::PathCentre(tx.GetLatitude(), tx.GetLongitude(),
                                                  rx.GetLatitude(), rx.GetLongitude(), d);
    return CLocator(c.lat, std::remainder(c.lon, 360.0));
}

std::string EditionProblem(Edition edition, double frequency, double timePercent) {
    if (edition != Edition::P452_18) return {};
    if (!(frequency >= 0.1 && frequency <= 50.0))
        return "ITU-R P.452-18 holds for frequencies from 0.1 to 50 GHz, not " + Figure(frequency) +
               " GHz";
    if (!(timePercent >= 0.001 && timePercent <= 50.0))
        return "ITU-R P.452-18 holds for time percentages from 0.001 to 50 %, not " +
               Figure(timePercent) + " %";
    return {};
}

RefractivityChoice ChooseRefractivity(const CRefractivity* maps, const CLocator& tx,
                                      const CLocator& rx, bool coverage, bool interpolate,
                                      double lastN0, double lastDeltaN,
                                      std::optional<double> forcedK) {
    RefractivityChoice choice;
    choice.n0 = lastN0;
    choice.deltaN = lastDeltaN;
    if (!coverage && maps) {
        const CLocator centre = PathCentre(tx, rx);
        double n0 = 0.0;
        double deltaN = 0.0;
        if (maps->GetN0(centre.GetLatitude(), centre.GetLongitude(), interpolate, n0) &&
            maps->GetDeltaN(centre.GetLatitude(), centre.GetLongitude(), interpolate, deltaN)) {
            choice.n0 = n0;
            choice.deltaN = deltaN;
            choice.fromMaps = true;
        }
    }
    if (forcedK) {
        choice.kFactor = *forcedK;
        choice.deltaN = p452::DeltaNOfKFactor(*forcedK);
    } else {
        choice.kFactor = p452::KFactor(choice.deltaN);
    }
    return choice;
}

std::string WeatherProblem(double temperature, double pressure, double humidity) {
    if (std::string problem = NonFinite(
            {{"temperature", temperature}, {"pressure", pressure}, {"humidity", humidity}});
        !problem.empty())
        return problem;
    const double rho = P676::WaterVapourDensity(humidity, temperature, true);
    const double e = rho * (temperature + 273.15) / 216.7; // hPa, as P676 derives it
    if (!(e < pressure))
        return "the water-vapour pressure " + Figure(e) + " hPa of " + Figure(humidity) +
               " % humidity at " + Figure(temperature) + " C exceeds the total pressure " +
               Figure(pressure) + " hPa";
    return {};
}

CalculationInputs BuildCalculationInputs(const CalculationSettings& s, const CRefractivity* maps,
                                         const CLocator* tx, const CLocator* rx,
                                         RefractivitySource source,
                                         const RefractivityFallback& fallback) {
    CalculationInputs inputs;
    inputs.problem = NonFinite({{"frequency", s.frequency},
                                {"time percentage", s.timePercent},
                                {"TX height", s.htg},
                                {"RX height", s.hrg}});
    const bool edition18 = s.edition == Edition::P452_18;
    if (inputs.problem.empty())
        inputs.problem = EditionProblem(s.edition, s.frequency, s.timePercent);
    if (inputs.problem.empty() && !edition18)
        inputs.problem = WeatherProblem(s.temperature, s.pressure, s.humidity);
    if (inputs.problem.empty() && edition18)
        inputs.problem = NonFinite({{"temperature", s.temperature},
                                    {"pressure", s.pressure},
                                    {"TX gain", s.txGain},
                                    {"RX gain", s.rxGain}});
    if (inputs.problem.empty() && s.forcedK && !limits::kFactor.Contains(*s.forcedK))
        inputs.problem = Outside("k-factor", *s.forcedK, limits::kFactor);
    if (inputs.problem.empty() && s.n0 && !limits::n0.Contains(*s.n0))
        inputs.problem = Outside("N0", *s.n0, limits::n0);
    if (inputs.problem.empty() && s.deltaN && !limits::deltaN.Contains(*s.deltaN))
        inputs.problem = Outside("delta N", *s.deltaN, limits::deltaN);
    if (!inputs.Usable()) return inputs;

    const bool look = source != RefractivitySource::Fallback && tx && rx && !(s.n0 && s.deltaN);
    const CLocator centre18 = look && edition18 ? PathCentre18(*tx, *rx) : CLocator();
    const RefractivityChoice choice =
        look && edition18 ? ChooseRefractivity(maps, centre18, centre18, false,
                                               source == RefractivitySource::PathCentreBlended,
                                               fallback.n0, fallback.deltaN, std::nullopt)
        : look            ? ChooseRefractivity(maps, *tx, *rx, false,
                                               source == RefractivitySource::PathCentreBlended, fallback.n0,
                                               fallback.deltaN, std::nullopt)
                          : RefractivityChoice{fallback.n0, fallback.deltaN, 0.0, false};
    inputs.fromMaps = choice.fromMaps;
    inputs.mapN0 = choice.fromMaps ? choice.n0 : 0.0;
    inputs.mapDeltaN = choice.fromMaps ? choice.deltaN : 0.0;
    if (s.n0 && s.deltaN)
        inputs.n0Source = N0Source::Given;
    else if (choice.fromMaps)
        inputs.n0Source = N0Source::Maps;
    else
        inputs.n0Source = fallback.remembered ? N0Source::Last : N0Source::Default;
    if (look && maps && !choice.fromMaps)
        for (const CRefractivity::MapState& state : maps->UnusableRefractivityMaps())
            inputs.unusableMaps.push_back({state.fileName, state.problem});

    LinkInputs& link = inputs.link;
    link.n0 = s.n0.value_or(choice.n0);
    link.deltaN = s.deltaN.value_or(choice.deltaN);
    if (s.forcedK) link.deltaN = p452::DeltaNOfKFactor(*s.forcedK);
    inputs.kFactor = s.forcedK.value_or(p452::KFactor(link.deltaN));
    link.frequency = s.frequency;
    link.timePercent = s.timePercent;
    link.htg = s.htg;
    link.hrg = s.hrg;
    link.edition = s.edition;
    link.polarisation = s.polarisation;
    link.txGain = s.txGain;
    link.rxGain = s.rxGain;
    link.dct = s.dct;
    link.dcr = s.dcr;
    link.pressure = s.pressure;
    link.temperature = s.temperature;
    link.gas = s.gas;
    link.landCover = s.landCover;
    if (edition18) return inputs; // the edition computes its own gaseous absorption

    inputs.rho = P676::WaterVapourDensity(s.humidity, s.temperature, true);
    inputs.gamma =
        s.gas ? P676::GaseousAttenuation(s.frequency, s.pressure, s.temperature, inputs.rho) : 0.0;
    if (!(std::isfinite(inputs.gamma) && inputs.gamma >= 0.0))
        inputs.problem = "the gaseous attenuation " + Figure(inputs.gamma) +
                         " dB/km of these weather inputs is not a usable figure";
    return inputs;
}

void RememberRefractivity(RefractivityFallback& fallback, const CalculationInputs& inputs) {
    if (!inputs.fromMaps) return;
    fallback.n0 = inputs.mapN0;
    fallback.deltaN = inputs.mapDeltaN;
    fallback.remembered = true;
}

const char* N0SourceName(N0Source source) {
    switch (source) {
    case N0Source::Maps:
        return "maps";
    case N0Source::Given:
        return "given";
    case N0Source::Last:
        return "last";
    case N0Source::Default:
        break;
    }
    return "default";
}

std::string LossProblem(const PathLossResult& l, double gasLoss) {
    const std::string problem = NonFinite({{"the gaseous loss", gasLoss},
                                           {"the line-of-sight loss lb0p", l.lb0p},
                                           {"the diffraction loss lbd", l.lbd},
                                           {"the troposcatter loss lbs", l.lbs},
                                           {"the ducting loss lba", l.lba},
                                           {"the overall loss lb", l.lb}});
    return problem.empty() ? problem : "Calculation failed: " + problem;
}

std::string LossProblem(const RadialRecord& r, double gasLoss) {
    const std::string problem = NonFinite({{"the gaseous loss", gasLoss},
                                           {"the diffraction loss lbd", r.lbd},
                                           {"the troposcatter loss lbs", r.lbs},
                                           {"the ducting loss lba", r.lba},
                                           {"the overall loss lb", r.lb},
                                           {"the distance", r.distance}});
    return problem.empty() ? problem : "Calculation failed: " + problem;
}

} // namespace kestrova
