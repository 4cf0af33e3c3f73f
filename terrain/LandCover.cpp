#include "terrain/LandCover.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <list>
#include <new>

namespace kestrova {
namespace {

// Cells read from land-cover rasters, kept for the life of the process
// within a memory budget (the least recently used go first).
class LandCoverCells {
public:
    static LandCoverCells& Shared() {
        static LandCoverCells cells;
        return cells;
    }

    std::shared_ptr<const LandCoverCell> Find(const std::string& key) {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = entries_.begin(); it != entries_.end(); ++it)
            if (it->key == key) {
                entries_.splice(entries_.begin(), entries_, it);
                return it->cell;
            }
        return nullptr;
    }

    void Keep(const std::string& key, std::shared_ptr<const LandCoverCell> cell) {
        const std::lock_guard<std::mutex> lock(mutex_);
        bytes_ += Bytes(*cell);
        entries_.push_front({key, std::move(cell)});
        while (bytes_ > kBudget && entries_.size() > 1) {
            bytes_ -= Bytes(*entries_.back().cell);
            entries_.pop_back();
        }
    }

private:
    static constexpr std::size_t kBudget = std::size_t{256} << 20;
    static std::size_t Bytes(const LandCoverCell& cell) { return cell.codes.size() * 2; }

    struct Entry {
        std::string key;
        std::shared_ptr<const LandCoverCell> cell;
    };
    std::mutex mutex_;
    std::list<Entry> entries_;
    std::size_t bytes_ = 0;
};

// Finer than 3" (with room for rounding): read onto the 1" lattice.
int LatticeFor(double resolution) {
    return resolution < 0.99 / 1200 ? 3601 : 1201;
}

std::string FileSignature(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    const auto time = std::filesystem::last_write_time(path, error).time_since_epoch().count();
    return std::to_string(error ? 0 : size) + ' ' + std::to_string(time);
}

std::uint64_t NextId() {
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

CLandCover::CLandCover(std::string path, RasterInfo info, ClutterTable table)
    : id_(NextId()), path_(std::move(path)), signature_(FileSignature(path_)),
      info_(std::move(info)), table_(std::move(table)), latticeSize_(LatticeFor(info_.resolution)),
      unknown_(static_cast<std::size_t>(maxClassCode) + 1) {}

std::shared_ptr<const CLandCover> CLandCover::Open(const std::string& path, ClutterTable table,
                                                   std::string& problem) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        problem = std::filesystem::exists(path, error) ? "is not a file" : "does not exist";
        return nullptr;
    }
    std::optional<RasterInfo> info = DescribeClassRaster(path, problem);
    if (!info) return nullptr;
    return std::make_shared<const CLandCover>(path, std::move(*info), std::move(table));
}

std::shared_ptr<const LandCoverCell> CLandCover::Cell(int latMin, int lonMin) const {
    const double margin = 1.0 / 7200; // the lattice's outer nodes' half spacing
    if (!(info_.west < lonMin + 1 + margin && info_.east > lonMin - margin &&
          info_.south < latMin + 1 + margin && info_.north > latMin - margin))
        return nullptr;
    const std::string key = path_ + '\n' + signature_ + ' ' + std::to_string(latticeSize_) + ' ' +
                            std::to_string(latMin) + ' ' + std::to_string(lonMin);
    if (auto kept = LandCoverCells::Shared().Find(key)) return kept;
    // One reader at a time: the threads that wait need the same cell.
    const std::lock_guard<std::mutex> lock(mutex_);
    if (auto kept = LandCoverCells::Shared().Find(key)) return kept;
    try {
        auto cell = std::make_shared<LandCoverCell>();
        cell->size = latticeSize_;
        cell->codes.assign(static_cast<std::size_t>(latticeSize_) * latticeSize_, kNoClass);
        std::string problem;
        if (!FillClassRaster(path_, lonMin, latMin + 1, latticeSize_, cell->codes.data(),
                             problem)) {
            const std::string text = path_ + " " + problem;
            if (std::find(problems_.begin(), problems_.end(), text) == problems_.end())
                problems_.push_back(text);
            return nullptr;
        }
        LandCoverCells::Shared().Keep(key, cell);
        return cell;
    } catch (const std::bad_alloc&) {
        problems_.push_back(path_ + " cell at " + std::to_string(latMin) + " " +
                            std::to_string(lonMin) + " is too large for the memory available");
        return nullptr;
    }
}

std::vector<int> CLandCover::UnknownCodes() const {
    std::vector<int> codes;
    for (std::size_t code = 0; code < unknown_.size(); ++code)
        if (unknown_[code].load(std::memory_order_relaxed)) codes.push_back(static_cast<int>(code));
    return codes;
}

std::vector<std::string> CLandCover::Problems() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return problems_;
}

double ClutterLookup::At(const CLandCover& cover, double lat, double lon) {
    if (!(std::isfinite(lat) && std::isfinite(lon))) return 0.0;
    const int latMin = static_cast<int>(std::floor(lat));
    const int lonMin = static_cast<int>(std::floor(lon));
    if (cover.Id() != cover_ || latMin != latMin_ || lonMin != lonMin_) {
        cell_ = cover.Cell(latMin, lonMin);
        cover_ = cover.Id();
        latMin_ = latMin;
        lonMin_ = lonMin;
    }
    if (!cell_) return 0.0;
    const int last = cell_->size - 1;
    const long r = std::clamp<long>(std::lround((latMin + 1 - lat) * last), 0, last);
    const long c = std::clamp<long>(std::lround((lon - lonMin) * last), 0, last);
    return cover.HeightOf(cell_->codes[static_cast<std::size_t>(r * cell_->size + c)]);
}

} // namespace kestrova
