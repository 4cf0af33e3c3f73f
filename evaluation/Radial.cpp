#include "evaluation/Radial.h"
#include "propagation/FieldStrength.h"

#include "geo/Path.h"

#include <memory>

namespace kestrova {
namespace {

CalculationInputs InputsAlong(const RadialRequest& request, const CLocator& rx,
                              RefractivitySource source) {
    return BuildCalculationInputs(request.settings, request.maps, &request.tx, &rx, source,
                                  request.fallback);
}

std::optional<ProfileChart> Profile(const RadialRequest& request, const CLocator& rx,
                                    const CalculationInputs& inputs, CSRTM& store, CZONES& zones,
                                    CTerrain& engine) {
    engine.CalculateLink(store, zones, request.tx, rx, request.interpolate, inputs.link);
    if (!engine.valid) return std::nullopt;
    return MakeProfileChart(engine.profile, inputs.link.htg, inputs.link.hrg, request.flatEarth);
}

std::optional<FieldCurve> Field(const RadialRequest& request, const CLocator& rx, CSRTM& store,
                                CZONES& zones, CTerrain& engine) {
    FieldCurve curve;
    curve.inputs = InputsAlong(request, rx, RefractivitySource::PathCentreNearest);
    curve.rho = curve.inputs.rho;
    curve.gamma = curve.inputs.gamma;
    curve.K =
        FieldStrengthConstant(EirpDbw(request.powerW, request.gainDbi), request.settings.frequency);

    auto records = std::make_unique<std::array<RadialRecord, TerrainProfile::capacity>>();
    if (!engine.CalculateRadial(store, zones, request.tx, rx, true, curve.inputs.link,
                                curve.recordCount, *records))
        return std::nullopt;
    curve.points = MakeFieldPoints(*records, curve.recordCount, curve.K, curve.gamma);
    return curve;
}

} // namespace

RadialEvaluation EvaluateRadial(const RadialRequest& request, CSRTM& store, CZONES& zones,
                                CTerrain& engine) {
    RadialEvaluation result;
    result.rx = EndPointFromRangeBearing(request.tx, request.rangeKm, request.bearingDeg);
    if (!request.tx.IsValid() || !result.rx.IsValid()) return result;
    result.profileInputs = InputsAlong(request, result.rx, RefractivitySource::PathCentreBlended);
    if (!result.profileInputs.Usable()) {
        result.problem = result.profileInputs.problem;
        return result;
    }
    result.profile = Profile(request, result.rx, result.profileInputs, store, zones, engine);
    result.field = Field(request, result.rx, store, zones, engine);
    result.terrainMissing = result.profile ? result.profile->terrainMissing
                            : result.field ? engine.profile.MissingFraction()
                                           : 0.0;
    return result;
}

} // namespace kestrova
