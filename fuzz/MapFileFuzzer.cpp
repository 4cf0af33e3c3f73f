// The map-file reader and the look-ups on what it reads: no crash, no read
// outside the grid, never half a grid, and every value found is one of the
// grid's values or a blend of them.
#include "propagation/MapFile.h"
#include "propagation/Refractivity.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

namespace {

using kestrova::MapFile;

// Small grids of the shapes the program reads: 1.5°-like with a repeated
// last column, 0.5°-like from 180°W without its polar rows, and a regional
// grid that does not wrap.
const MapFile shapes[] = {
    {50, "a", -90, 90, 3, 0, 90, 5, {}},
    {50, "b", -90, 45, 4, -180, 90, 4, {}},
    {50, "c", 10, 1, 2, 10, 1, 3, {}},
};

double DoubleAt(const uint8_t* data) {
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    return value;
}

void CheckLookup(const MapFile& map, double lat, double lon, bool interpolate) {
    double value = 0;
    if (!kestrova::CRefractivity::LookupMap(map, lat, lon, interpolate, value)) return;
    double low = INFINITY;
    double high = -INFINITY;
    for (double node : map.data)
        if (node > kestrova::mapNoData) {
            low = std::min(low, node);
            high = std::max(high, node);
        }
    const double slack = 1e-9 * std::max(std::fabs(low), std::fabs(high));
    if (!(value >= low - slack && value <= high + slack)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 17) return 0;
    MapFile map = shapes[data[0] % 3];
    const double lat = DoubleAt(data + 1);
    const double lon = DoubleAt(data + 9);
    std::istringstream text(std::string(reinterpret_cast<const char*>(data + 17), size - 17));

    map.data.assign(3, 7.0);
    const bool read = kestrova::ReadMapGrid(text, map.rows, map.cols, map.data);
    const size_t values = static_cast<size_t>(map.rows) * static_cast<size_t>(map.cols);
    if (read ? map.data.size() != values : map.data != std::vector<double>(3, 7.0)) std::abort();
    if (!read) return 0;
    for (double node : map.data)
        if (!std::isfinite(node)) std::abort();

    CheckLookup(map, lat, lon, false);
    CheckLookup(map, lat, lon, true);
    // The same point on the grid lines and across the wraps.
    for (double dLon : {0.0, 360.0, -360.0})
        for (bool interpolate : {false, true})
            CheckLookup(map, std::round(lat), std::round(lon) + dLon, interpolate);
    return 0;
}
