#include "terrain/TerrainSources.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <list>
#include <map>
#include <mutex>
#include <new>
#include <optional>

namespace kestrova {
namespace {

namespace fs = std::filesystem;

constexpr int16_t kVoidSample = -32768;

// Finer than 3" (with room for rounding): read onto the 1" lattice.
int LatticeFor(double resolution) {
    return resolution < 0.99 / 1200 ? kTileSize1 : kTileSize3;
}

// A location's directory (trailing '/' dropped), or the file it names.
fs::path LocationPath(const std::string& location) {
    if (location.empty()) return fs::path(".");
    std::string text = location;
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return fs::path(text);
}

// The raster files at location, each with its size and time, in name order:
// what the description of the location depends on.
std::vector<std::string> RasterFiles(const std::string& location, std::string& signature) {
    std::vector<std::string> files;
    std::error_code error;
    const fs::path path = LocationPath(location);
    if (fs::is_regular_file(path, error)) {
        files.push_back(path.string());
    } else {
        for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error))
            if (IsRasterFileName(it->path().filename().string())) files.push_back(it->path());
        std::sort(files.begin(), files.end());
    }
    for (const std::string& file : files) {
        const auto size = fs::file_size(file, error);
        const auto time = fs::last_write_time(file, error).time_since_epoch().count();
        signature +=
            file + '\n' + std::to_string(error ? 0 : size) + ' ' + std::to_string(time) + '\n';
    }
    return files;
}

std::shared_ptr<const CTerrainSources> Describe(const std::vector<std::string>& files) {
    std::vector<TerrainRaster> rasters;
    std::vector<std::string> problems;
    for (const std::string& file : files) {
        std::string problem;
        if (auto info = DescribeRaster(file, problem))
            rasters.push_back({file, *info, LatticeFor(info->resolution)});
        else
            problems.push_back("raster " + file + " " + problem);
    }
    return std::make_shared<const CTerrainSources>(std::move(rasters), std::move(problems));
}

// The tile's samples on a lattice of size nodes a side: a 3" tile on the 1"
// lattice gives each node its nearest sample. Void samples are not painted.
void PaintTile(const TileSamples& tile, int size, std::vector<int16_t>& heights) {
    const int ratio = (size - 1) / (tile.size - 1);
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c) {
            const int16_t value =
                tile.heights[static_cast<std::size_t>((r + ratio / 2) / ratio) * tile.size +
                             (c + ratio / 2) / ratio];
            if (value > -32767) heights[static_cast<std::size_t>(r) * size + c] = value;
        }
}

// Composed cells, kept for the life of the process within a memory budget
// (the least recently used go first): a raster is read onto the lattice once,
// not by every store, map or link that needs the cell.
class ComposedCells {
public:
    static ComposedCells& Shared() {
        static ComposedCells cells;
        return cells;
    }

    // The cell kept under key (null: the rasters hold no height there), or
    // nullopt when none is kept.
    std::optional<std::shared_ptr<const TileSamples>> Find(const std::string& key) {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = entries_.begin(); it != entries_.end(); ++it)
            if (it->key == key) {
                entries_.splice(entries_.begin(), entries_, it);
                return it->samples;
            }
        return std::nullopt;
    }

    void Keep(const std::string& key, std::shared_ptr<const TileSamples> samples,
              std::shared_ptr<const CTerrainSources> sources) {
        const std::lock_guard<std::mutex> lock(mutex_);
        bytes_ += Bytes(samples);
        entries_.push_front({key, std::move(samples), std::move(sources)});
        while ((bytes_ > kBudget && entries_.size() > 1) || entries_.size() > kEntries) {
            bytes_ -= Bytes(entries_.back().samples);
            entries_.pop_back();
        }
    }

private:
    static constexpr std::size_t kBudget = std::size_t{256} << 20;
    static constexpr std::size_t kEntries = 4096; // cells without heights take no bytes
    static std::size_t Bytes(const std::shared_ptr<const TileSamples>& samples) {
        return samples ? samples->heights.size() * 2 : 0;
    }

    struct Entry {
        std::string key;
        std::shared_ptr<const TileSamples> samples;
        std::shared_ptr<const CTerrainSources> sources; // keeps the key's address unique
    };
    std::mutex mutex_;
    std::list<Entry> entries_;
    std::size_t bytes_ = 0;
};

// What a composed cell depends on: the rasters (one description object per
// state of the location), the cell, and its tile's samples.
std::string CellKey(const CTerrainSources* sources, const std::string& name,
                    const TileSamples* tile) {
    std::uint64_t hash = 1469598103934665603ull; // FNV-1a over the tile's samples
    if (tile)
        for (const int16_t h : tile->heights)
            hash = (hash ^ static_cast<std::uint16_t>(h)) * 1099511628211ull;
    char text[64];
    std::snprintf(text, sizeof text, "%p %016llx %d", static_cast<const void*>(sources),
                  static_cast<unsigned long long>(hash), tile ? tile->size : 0);
    return name + ' ' + text;
}

struct Layer {
    double resolution;
    const TerrainRaster* raster; // null: the cell's tile
};

} // namespace

std::shared_ptr<const CTerrainSources> CTerrainSources::At(const std::string& location) {
    static std::mutex mutex;
    static std::map<std::string, std::pair<std::string, std::shared_ptr<const CTerrainSources>>>
        known;
    std::string signature;
    const std::vector<std::string> files = RasterFiles(location, signature);
    const std::lock_guard<std::mutex> lock(mutex);
    auto& entry = known[location];
    if (!entry.second || entry.first != signature) entry = {signature, Describe(files)};
    return entry.second;
}

std::vector<const TerrainRaster*> CTerrainSources::Covering(double latMin, double lonMin) const {
    std::vector<const TerrainRaster*> covering;
    for (const TerrainRaster& raster : rasters_) {
        // A raster must reach more than half a pixel into the cell: a tile's
        // copy, whose outer pixels are centred on its cell's edges, reaches
        // half a pixel into each neighbour, where the tile itself gives no
        // heights (SRTM tiles share their edge samples with tiles that may
        // not be there), and must read as the tile does.
        const double inside = 0.51 * raster.info.resolution;
        if (raster.info.west < lonMin + 1 - inside && raster.info.east > lonMin + inside &&
            raster.info.south < latMin + 1 - inside && raster.info.north > latMin + inside)
            covering.push_back(&raster);
    }
    std::stable_sort(covering.begin(), covering.end(),
                     [](const TerrainRaster* a, const TerrainRaster* b) {
                         return a->info.resolution > b->info.resolution;
                     });
    return covering;
}

CellRead ReadCell(const std::string& location, const std::string& name, double latMin,
                  double lonMin) {
    TileRead tile = ReadTileChecked(location, name);
    CellRead read{tile.samples, {}};
    if (!tile.problem.empty()) read.problems.push_back(tile.problem);
    const std::shared_ptr<const CTerrainSources> sources = CTerrainSources::At(location);
    read.problems.insert(read.problems.end(), sources->Problems().begin(),
                         sources->Problems().end());
    const std::vector<const TerrainRaster*> rasters = sources->Covering(latMin, lonMin);
    if (rasters.empty()) return read;

    const std::string key = CellKey(sources.get(), name, tile.samples.get());
    if (auto kept = ComposedCells::Shared().Find(key)) {
        read.samples = std::move(*kept);
        return read;
    }
    std::vector<Layer> layers;
    int size = tile.samples ? tile.samples->size : kTileSize3;
    if (tile.samples) layers.push_back({1.0 / (tile.samples->size - 1), nullptr});
    for (const TerrainRaster* raster : rasters) {
        layers.push_back({raster->info.resolution, raster});
        size = std::max(size, raster->latticeSize);
    }
    std::stable_sort(layers.begin(), layers.end(),
                     [](const Layer& a, const Layer& b) { return a.resolution > b.resolution; });
    try {
        auto cell = std::make_shared<TileSamples>();
        cell->size = size;
        cell->heights.assign(static_cast<std::size_t>(size) * size, kVoidSample);
        bool complete = true; // every raster read: the cell may be kept
        for (const Layer& layer : layers) {
            std::string problem;
            if (!layer.raster)
                PaintTile(*tile.samples, size, cell->heights);
            else if (!FillRaster(layer.raster->path, lonMin, latMin + 1, size, cell->heights.data(),
                                 problem)) {
                read.problems.push_back("raster " + layer.raster->path + " " + problem);
                complete = false;
            }
        }
        const bool any = std::any_of(cell->heights.begin(), cell->heights.end(),
                                     [](int16_t h) { return h > -32767; });
        read.samples = any ? std::move(cell) : nullptr;
        if (complete) ComposedCells::Shared().Keep(key, read.samples, sources);
    } catch (const std::bad_alloc&) { // the cell stays as its tile alone
        read.problems.push_back(location + " cell " + name +
                                " is too large for the memory available");
    }
    return read;
}

TerrainSummary SummariseTerrain(const std::string& location) {
    TerrainSummary summary;
    const auto sources = CTerrainSources::At(location);
    summary.rasters = sources->Rasters();
    summary.problems = sources->Problems();
    std::error_code error;
    const fs::path path = LocationPath(location);
    if (fs::is_regular_file(path, error)) return summary;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        char ns = 0, ew = 0;
        int lat = 0, lon = 0, used = 0;
        if (std::sscanf(name.c_str(), "%c%2d%c%3d.hgt%n", &ns, &lat, &ew, &lon, &used) != 4 ||
            (ns != 'n' && ns != 's') || (ew != 'e' && ew != 'w') ||
            (name.substr(static_cast<std::size_t>(used)) != "" &&
             name.substr(static_cast<std::size_t>(used)) != ".zip") ||
            used == 0)
            continue;
        lat = ns == 's' ? -lat : lat;
        lon = ew == 'w' ? -lon : lon;
        if (summary.tiles++ == 0) {
            summary.south = summary.north = lat;
            summary.west = summary.east = lon;
        }
        summary.south = std::min(summary.south, lat);
        summary.north = std::max(summary.north, lat + 1);
        summary.west = std::min(summary.west, lon);
        summary.east = std::max(summary.east, lon + 1);
    }
    if (summary.tiles > 0) summary.north = std::max(summary.north, summary.south + 1);
    if (summary.tiles > 0) summary.east = std::max(summary.east, summary.west + 1);
    return summary;
}

std::vector<std::string> DescribeTerrain(const TerrainSummary& summary) {
    std::vector<std::string> lines;
    char text[512];
    const auto degrees = [](int value, char positive, char negative) {
        return std::to_string(std::abs(value)) + ' ' + (value < 0 ? negative : positive);
    };
    if (summary.tiles > 0) {
        std::snprintf(text, sizeof text, "%d SRTM tile%s, %s to %s, %s to %s", summary.tiles,
                      summary.tiles == 1 ? "" : "s", degrees(summary.south, 'N', 'S').c_str(),
                      degrees(summary.north, 'N', 'S').c_str(),
                      degrees(summary.west, 'E', 'W').c_str(),
                      degrees(summary.east, 'E', 'W').c_str());
        lines.emplace_back(text);
    }
    for (const TerrainRaster& raster : summary.rasters) {
        const RasterInfo& i = raster.info;
        std::snprintf(text, sizeof text,
                      "%s: %s, %s, %d x %d pixels of %.2f\", %.4f to %.4f N, %.4f to %.4f E, "
                      "read at %s",
                      fs::path(raster.path).filename().c_str(), i.driver.c_str(), i.crs.c_str(),
                      i.width, i.height, i.resolution * 3600, i.south, i.north, i.west, i.east,
                      raster.latticeSize == kTileSize1 ? "1\"" : "3\"");
        lines.emplace_back(text);
    }
    return lines;
}

} // namespace kestrova
