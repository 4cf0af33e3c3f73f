// A land-cover raster (ESA WorldCover, CORINE Land Cover, or any raster of
// class codes GDAL reads, in any coordinate system) as the representative
// clutter height of each point of a path, through a ClutterTable.
//
// The raster is read a 1-degree cell at a time onto a lattice of class
// codes, as the terrain is: 3601 x 3601 nodes (1") for rasters finer than
// 3", 1201 x 1201 (3") otherwise, each node taking the code of the pixel
// that holds it. A cell is read once for the process, when a path first
// needs it, and kept within a memory budget; a point takes the code of its
// nearest node. Points the raster has no class for (outside it, its no-data
// value) have no clutter: 0 m. Classes the table does not hold read as 0 m
// too, and are remembered, so that the caller can name them once.
//
// Thread safety: a CLandCover may be shared by any number of threads, each
// looking points up through a ClutterLookup of its own.
#pragma once

#include "terrain/ClutterTable.h"
#include "terrain/RasterReader.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kestrova {

// The class codes of one 1-degree cell, row-major from the north-west.
struct LandCoverCell {
    int size = 0;
    std::vector<std::int16_t> codes; // kNoClass where the raster gives none
};
inline constexpr std::int16_t kNoClass = -32768;

class CLandCover {
public:
    // The raster at path with the table; null with problem set (why the
    // raster cannot be read) otherwise.
    static std::shared_ptr<const CLandCover> Open(const std::string& path, ClutterTable table,
                                                  std::string& problem);

    const std::string& Path() const { return path_; }
    const RasterInfo& Info() const { return info_; }
    const ClutterTable& Table() const { return table_; }
    // A number no other CLandCover of the process has.
    std::uint64_t Id() const { return id_; }

    // The cell whose south-west corner is (latMin, lonMin): null where the
    // raster does not reach, or when it could not be read (Problems()).
    std::shared_ptr<const LandCoverCell> Cell(int latMin, int lonMin) const;

    // The clutter height of a class code, m: 0 for kNoClass, and for a code
    // the table does not hold (which is remembered).
    double HeightOf(int code) const {
        if (code < 0) return 0.0;
        if (const auto height = table_.HeightOf(code)) return *height;
        unknown_[static_cast<std::size_t>(code)].store(true, std::memory_order_relaxed);
        return 0.0;
    }
    // The codes met that the table does not hold, ascending.
    std::vector<int> UnknownCodes() const;
    // The cells that could not be read: "<path> <reason>".
    std::vector<std::string> Problems() const;

    CLandCover(std::string path, RasterInfo info, ClutterTable table);

private:
    std::uint64_t id_;
    std::string path_;
    std::string signature_; // the file's size and time: what a kept cell depends on
    RasterInfo info_;
    ClutterTable table_;
    int latticeSize_ = 1201;
    mutable std::vector<std::atomic<bool>> unknown_;
    mutable std::mutex mutex_; // problems_ and the reading of cells
    mutable std::vector<std::string> problems_;
};

// One thread's look-ups: the clutter height at a position, m, keeping the
// cell of the last answer.
class ClutterLookup {
public:
    double At(const CLandCover& cover, double lat, double lon);

private:
    std::uint64_t cover_ = 0; // the Id of the cover of cell_, 0 none
    int latMin_ = 0;
    int lonMin_ = 0;
    std::shared_ptr<const LandCoverCell> cell_;
};

} // namespace kestrova
