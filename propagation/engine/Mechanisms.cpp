// The mechanisms chart of one link (see Mechanisms.h).
#include "propagation/engine/Mechanisms.h"
#include "propagation/FieldStrength.h"

namespace kestrova {

std::vector<MechanismPoint> MechanismCurves(CTerrain& engine, CSRTM& store, const CZONES& zones,
                                            const CLocator& tx, const CLocator& rx,
                                            bool interpolate, LinkInputs inputs, double gasLoss) {
    std::vector<MechanismPoint> points;
    points.reserve(mechanismPercentages.size());
    for (const double p : mechanismPercentages) {
        inputs.timePercent = p;
        if (!engine.CalculateLink(store, zones, tx, rx, interpolate, inputs)) continue;
        const PathLossResult& loss = engine.loss;
        points.push_back({p, TotalLossDb(loss.lbd, gasLoss), TotalLossDb(loss.lba, gasLoss),
                          TotalLossDb(loss.lbs, gasLoss), TotalLossDb(loss.lb, gasLoss)});
    }
    return points;
}

} // namespace kestrova
