#include "terrain/TileLibrary.h"

namespace kestrova {

std::shared_ptr<const TileSamples> CTileLibrary::Get(const std::string& directory,
                                                     const std::string& name) {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::weak_ptr<const TileSamples>& held = tiles_[directory + '\n' + name];
    if (auto tile = held.lock()) return tile;
    // Read under the lock: a second worker asking for the same tile waits
    // for this read instead of reading the file again.
    ++reads_;
    auto tile = ReadTile(directory, name);
    held = tile;
    return tile;
}

int CTileLibrary::Reads() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return reads_;
}

} // namespace kestrova
