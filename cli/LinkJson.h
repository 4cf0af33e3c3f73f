// The JSON of one link's result, shared by link and link --batch.
#pragma once

#include "cli/LinkOptions.h"
#include "propagation/engine/EngineInputs.h"
#include "propagation/engine/Terrain.h"

#include <nlohmann/json.hpp>

#include <string>

namespace kestrova::cli {

// Every figure of the calculation in engine e, losses with the gaseous
// absorption where the edition keeps it apart (gasLoss); "terrainMissing"
// the share of the profile's samples without terrain data (0 to 1),
// "noTerrainStretches" where they lie.
nlohmann::ordered_json ResultJson(const CTerrain& e, const CalculationInputs& gas, double gasLoss,
                                  bool zoneMap);

// The profile's runs of samples without terrain data: [[from_km, to_km],
// ...], empty when every sample has a height.
nlohmann::ordered_json NoTerrainJson(const TerrainProfile& profile);

// The first member of a result that is not a finite number ("" when every
// one is): such a result is no result, whatever its loss figures say.
std::string NonFiniteMember(const nlohmann::ordered_json& result);

} // namespace kestrova::cli
