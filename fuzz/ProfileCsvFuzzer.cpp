// Surveyed-profile CSV: no crash, no undefined behaviour; a text that
// parses gives a profile the engine accepts or rejects without harm, in
// either edition (P.452-18 with its own rules: repeated distances, clutter,
// any number of points).
#include "cli/Args.h"
#include "cli/ProfileCsv.h"
#include "propagation/engine/Terrain.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// Some inputs of the text's own: every frequency and time percentage of the
// edition's range is reached.
kestrova::LinkInputs InputsOf(std::size_t size) {
    kestrova::LinkInputs inputs;
    inputs.frequency = 0.1 + static_cast<double>(size % 500) / 10.0; // 0.1 .. 50 GHz
    inputs.timePercent = size % 2 ? 50.0 : 0.01;
    inputs.polarisation = size % 3 ? kestrova::p452v18::Polarisation::Vertical
                                   : kestrova::p452v18::Polarisation::Horizontal;
    return inputs;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    static auto engine = std::make_unique<kestrova::CTerrain>();
    try {
        const std::vector<kestrova::ProfilePoint> points = kestrova::cli::ParseProfileCsv(text);
        if (points.size() < 3 || points.size() > 999 || points.front().distance != 0.0)
            std::abort();
        engine->CalculateProfile(points, 51.5, kestrova::LinkInputs{});
    } catch (const kestrova::cli::InputError&) {
    }
    try {
        const std::vector<kestrova::ProfilePoint> points =
            kestrova::cli::ParseProfileCsv(text, kestrova::cli::profileRules18);
        for (std::size_t i = 1; i < points.size(); ++i)
            if (!(points[i].distance >= points[i - 1].distance)) std::abort();
        kestrova::LinkInputs inputs = InputsOf(size);
        inputs.edition = kestrova::Edition::P452_18;
        if (engine->CalculateProfile(points, 51.5, inputs) && !std::isfinite(engine->loss.lb))
            std::abort(); // a valid result is a finite one
    } catch (const kestrova::cli::InputError&) {
    }
    return 0;
}
