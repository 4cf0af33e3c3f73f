#include "terrain/TileLibrary.h"

#include "terrain/TerrainSources.h"

#include <algorithm>

namespace kestrova {

std::shared_ptr<const TileSamples> CTileLibrary::Get(const std::string& location,
                                                     const std::string& name, double latMin,
                                                     double lonMin) {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::weak_ptr<const TileSamples>& held = tiles_[location + '\n' + name];
    if (auto tile = held.lock()) return tile;
    // Read under the lock: a second worker asking for the same tile waits
    // for this read instead of reading the file again.
    ++reads_;
    CellRead read = ReadCell(location, name, latMin, lonMin);
    for (const std::string& problem : read.problems)
        if (std::find(problems_.begin(), problems_.end(), problem) == problems_.end())
            problems_.push_back(problem);
    held = read.samples;
    return read.samples;
}

std::vector<std::string> CTileLibrary::Problems() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return problems_;
}

int CTileLibrary::Reads() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return reads_;
}

} // namespace kestrova
