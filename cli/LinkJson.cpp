#include "cli/LinkJson.h"

#include "propagation/engine/MissingTerrain.h"

#include <cmath>
#include <vector>

namespace kestrova::cli {

nlohmann::ordered_json NoTerrainJson(const TerrainProfile& profile) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const NoTerrainStretch& stretch : NoTerrainStretches(profile))
        list.push_back({stretch.from, stretch.to});
    return list;
}

namespace {

// Every figure of a P.452-18 calculation, losses in dB with their gaseous
// absorption inside.
nlohmann::ordered_json Edition18Json(const CTerrain& e) {
    const p452v18::Result& r = e.result18;
    return {{"valid", e.valid},
            {"edition", EditionName(Edition::P452_18)},
            {"lbfsg", r.lbfsg},
            {"lb0p", r.lb0p},
            {"lb0b", r.lb0b},
            {"ldsph", r.ldsph},
            {"ld50", r.ld50},
            {"ldp", r.ldp},
            {"lbd50", r.lbd50},
            {"lbd", r.lbd},
            {"lbs", r.lbs},
            {"lba", r.lba},
            {"lb", r.lb},
            {"beta0", r.beta0},
            {"theta", r.theta},
            {"thetaT", r.thetaT},
            {"thetaR", r.thetaR},
            {"dlt", r.dlt},
            {"dlr", r.dlr},
            {"hts", r.hts},
            {"hrs", r.hrs},
            {"hte", r.hte},
            {"hre", r.hre},
            {"hstd", r.hstd},
            {"hsrd", r.hsrd},
            {"hst", r.hst},
            {"hsr", r.hsr},
            {"hm", r.hm},
            {"omega", r.omega},
            {"dtm", r.dtm},
            {"dlm", r.dlm},
            {"dct", r.dct},
            {"dcr", r.dcr},
            {"lineOfSight", r.lineOfSight},
            {"ae", r.ae},
            {"pathLength", r.d},
            {"kMedian", e.kMedian},
            {"surfaceN0", e.surfaceN0},
            {"deltaN", e.deltaN},
            {"maxHeight", e.profile.maxHeight},
            {"count", e.profile.count},
            {"terrainMissing", e.profile.MissingFraction()},
            {"noTerrainStretches", NoTerrainJson(e.profile)}};
}

// [{"file": "DN50.TXT", "problem": "missing"}, ...]
nlohmann::ordered_json UnusableMapsJson(const std::vector<UnusableMap>& maps) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const UnusableMap& map : maps)
        list.push_back({{"file", map.file}, {"problem", map.problem}});
    return list;
}

} // namespace

nlohmann::ordered_json ResultJson(const CTerrain& e, const CalculationInputs& gas, double gasLoss,
                                  bool zoneMap) {
    if (e.edition == Edition::P452_18) {
        nlohmann::ordered_json result = Edition18Json(e);
        result["zoneMap"] = zoneMap;
        result["n0Source"] = N0SourceName(gas.n0Source);
        result["unusableMaps"] = UnusableMapsJson(gas.unusableMaps);
        if (e.profile.hasClutter && gas.link.landCover)
            result["landCover"] = gas.link.landCover->Path();
        return result;
    }
    const PathLossResult& l = e.loss;
    return {{"valid", e.valid},
            {"edition", EditionName(Edition::P452_14)},
            {"lbfsg", l.lbfsg},
            {"lb0p", l.lb0p},
            {"lb0b", l.lb0b},
            {"lbd50", l.lbd50},
            {"ldp", l.ldp},
            {"lbd", l.lbd},
            {"lbs", l.lbs},
            {"lba", l.lba},
            {"lb", l.lb},
            {"theta", l.theta},
            {"count", e.profile.count},
            {"terrainMissing", e.profile.MissingFraction()},
            {"noTerrainStretches", NoTerrainJson(e.profile)},
            {"pathLength", e.pathLength},
            {"kMedian", e.kMedian},
            {"beta0", e.beta0},
            {"omega", e.omega},
            {"dtm", e.dtm},
            {"dlm", e.dlm},
            {"dct", e.dct},
            {"dcr", e.dcr},
            {"thetaT", e.thetaT},
            {"thetaR", e.thetaR},
            {"dlt", e.dlt},
            {"dlr", e.dlr},
            {"hst", e.hst},
            {"hsr", e.hsr},
            {"hte", e.hte},
            {"hre", e.hre},
            {"hm", e.hm},
            {"edgeMain", e.edgeMain},
            {"edgeTx", e.edgeTx},
            {"edgeRx", e.edgeRx},
            {"lineOfSight", e.lineOfSight},
            {"maxHeight", e.profile.maxHeight},
            {"midPathBulge", e.profile.midPathBulge},
            {"hullCount", e.profile.hullCount},
            {"surfaceN0", e.surfaceN0},
            {"deltaN", e.deltaN},
            {"rho", gas.rho},
            {"gamma", gas.gamma},
            {"gasLoss", gasLoss},
            {"zoneMap", zoneMap},
            {"n0Source", N0SourceName(gas.n0Source)},
            {"unusableMaps", UnusableMapsJson(gas.unusableMaps)}};
}

std::string NonFiniteMember(const nlohmann::ordered_json& result) {
    for (const auto& [key, value] : result.items())
        if (value.is_number_float() && !std::isfinite(value.get<double>()))
            return "Calculation failed: " + key + " is not a finite number";
    return {};
}

} // namespace kestrova::cli
