// CTileLibrary: the tile files read so far, shared between terrain stores.
//
// Each CSRTM keeps its own small cache of tiles, whose use scores change on
// every look-up, so a store belongs to one thread at a time. Stores that
// work side by side (one per worker of a coverage walk) can share one
// CTileLibrary: each tile file is then read once and its samples are held
// once, for as long as any store keeps the tile in its cache.
//
// Thread safety: a CTileLibrary may be shared by any number of threads;
// Get serialises its callers with a mutex. The samples it returns are
// immutable and may be read from any thread.
#pragma once

#include "terrain/TileFile.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kestrova {

class CTileLibrary {
public:
    CTileLibrary() = default;
    CTileLibrary(const CTileLibrary&) = delete;
    CTileLibrary& operator=(const CTileLibrary&) = delete;

    // The terrain of the 1-degree cell latMin, lonMin (its tile called
    // name, and the rasters touching it) at location (see ReadCell), read
    // unless a store still holds it; null when there is none.
    std::shared_ptr<const TileSamples> Get(const std::string& location, const std::string& name,
                                           double latMin, double lonMin);

    // Number of file reads so far (successful or not).
    int Reads() const;

    // The files met that could not be used (tiles found under a cell's
    // name, rasters), each once, in the order met: "<path> <reason>". Their
    // cells read as missing terrain; callers name them in a warning.
    std::vector<std::string> Problems() const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::weak_ptr<const TileSamples>> tiles_;
    int reads_ = 0;
    std::vector<std::string> problems_;
};

} // namespace kestrova
