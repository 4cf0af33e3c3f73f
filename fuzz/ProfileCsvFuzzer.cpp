// Surveyed-profile CSV: no crash, no undefined behaviour; a text that
// parses gives a profile the engine accepts or rejects without harm.
#include "cli/Args.h"
#include "cli/ProfileCsv.h"
#include "propagation/engine/Terrain.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<kestrova::ProfilePoint> points;
    try {
        points = kestrova::cli::ParseProfileCsv(text);
    } catch (const kestrova::cli::InputError&) {
        return 0;
    }
    if (points.size() < 3 || points.size() > 999 || points.front().distance != 0.0) std::abort();
    static auto engine = std::make_unique<kestrova::CTerrain>();
    kestrova::LinkInputs inputs;
    engine->CalculateProfile(points, 51.5, inputs);
    return 0;
}
