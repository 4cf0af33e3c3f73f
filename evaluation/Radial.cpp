#include "evaluation/Radial.h"
#include "evaluation/FieldStrength.h"

#include "geo/Path.h"
#include "propagation/P676.h"

#include <memory>

namespace kestrova {
namespace {

LinkInputs WithClimate(LinkInputs inputs, const RefractivityChoice& choice) {
    inputs.n0 = choice.n0;
    inputs.deltaN = choice.deltaN;
    return inputs;
}

std::optional<ProfileChart> Profile(const RadialRequest& request, const CLocator& rx,
                                    const RefractivityChoice& choice, CSRTM& store, CZONES& zones,
                                    CTerrain& engine) {
    const LinkInputs inputs = WithClimate(request.link, choice);
    engine.CalculateLink(store, zones, request.tx, rx, request.interpolate, inputs);
    if (!engine.ready || !engine.valid) return std::nullopt;
    return MakeProfileChart(engine.profile, inputs.htg, inputs.hrg, request.flatEarth);
}

std::optional<FieldCurve> Field(const RadialRequest& request, const CLocator& rx, CSRTM& store,
                                CZONES& zones, CTerrain& engine) {
    FieldCurve curve;
    const double f = request.link.frequency;
    const Weather& weather = request.weather;
    curve.rho = P676::WaterVapourDensity(weather.humidity, weather.temperature, true);
    curve.gamma = P676::GaseousAttenuation(f, weather.pressure, weather.temperature, curve.rho);
    curve.K = FieldStrengthConstant(EirpDbw(request.powerW, request.gainDbi), f);
    curve.climate = ChooseClimate(request.climate, request.tx, rx, false);

    auto records = std::make_unique<std::array<RadialRecord, TerrainProfile::capacity>>();
    if (!engine.CalculateRadial(store, zones, request.tx, rx, true,
                                WithClimate(request.link, curve.climate), curve.recordCount,
                                *records))
        return std::nullopt;
    curve.points = MakeFieldPoints(*records, curve.recordCount, curve.K, curve.gamma);
    return curve;
}

} // namespace

RefractivityChoice ChooseClimate(const ClimateInputs& climate, const CLocator& tx,
                                 const CLocator& rx, bool interpolateMaps) {
    if (!climate.fixedN0 && !climate.fixedDeltaN)
        return ChooseRefractivity(climate.maps, tx, rx, false, interpolateMaps, climate.lastN0,
                                  climate.lastDeltaN, climate.forcedK);
    // Given values first, the maps for the rest, then the k-factor rule.
    const CRefractivity* maps = climate.fixedN0 && climate.fixedDeltaN ? nullptr : climate.maps;
    const RefractivityChoice found = ChooseRefractivity(
        maps, tx, rx, false, interpolateMaps, climate.lastN0, climate.lastDeltaN, std::nullopt);
    RefractivityChoice choice = ChooseRefractivity(
        nullptr, tx, rx, false, interpolateMaps, climate.fixedN0.value_or(found.n0),
        climate.fixedDeltaN.value_or(found.deltaN), climate.forcedK);
    choice.fromMaps = false;
    return choice;
}

RadialEvaluation EvaluateRadial(const RadialRequest& request, CSRTM& store, CZONES& zones,
                                CTerrain& engine) {
    RadialEvaluation result;
    result.rx = EndPointFromRangeBearing(request.tx, request.rangeKm, request.bearingDeg);
    if (!request.tx.IsValid() || !result.rx.IsValid()) return result;
    result.profileClimate = ChooseClimate(request.climate, request.tx, result.rx, true);
    result.profile = Profile(request, result.rx, result.profileClimate, store, zones, engine);
    result.field = Field(request, result.rx, store, zones, engine);
    return result;
}

} // namespace kestrova
