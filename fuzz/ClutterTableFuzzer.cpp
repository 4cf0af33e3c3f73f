// Clutter tables (class,height_m CSV): no crash, no undefined behaviour; a
// text either names a line that cannot be used and gives no entries, or
// gives entries each within the limits, which a table then holds exactly.
#include "terrain/ClutterTable.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const kestrova::ClutterTableText parsed = kestrova::ParseClutterTable(text);
    if (!parsed.problem.empty()) {
        if (!parsed.entries.empty() || parsed.problem.rfind("line ", 0) != 0) std::abort();
        return 0;
    }
    kestrova::ClutterTable table = kestrova::ClutterTable::BuiltIn(
        size % 2 ? kestrova::LandCoverClasses::Corine : kestrova::LandCoverClasses::WorldCover);
    table.Override(parsed.entries);
    for (const auto& [code, height] : parsed.entries) {
        if (code < 0 || code > kestrova::maxClassCode || !(height >= 0.0) ||
            height > kestrova::maxClutterHeight || table.HeightOf(code) != height)
            std::abort();
    }
    return 0;
}
