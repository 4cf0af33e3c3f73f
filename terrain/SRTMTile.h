// CSRTMTILE: one SRTM height tile in memory, covering the 1-degree cell
// latMin..latMin+1, lonMin..lonMin+1, named after its south-west corner
// ("n51w002", "s34e151"). The tile serves its samples at its own spacing:
// 1/1200 degree for a 3 arc-second tile, 1/3600 degree for a 1 arc-second
// tile (see TileFile.h).
//
// Heights: a void sample (-32768, or anything at or below -32767) reads as
// voidValue (-32767); any other sample below -150 m, and a position the tile
// cannot answer, reads as noDataValue (0).
//
// Thread safety: a tile belongs to one store and is not safe for concurrent
// use (Contains changes its use score). Its samples may be shared with the
// tiles of other stores through a CTileLibrary.
#pragma once

#include "terrain/TileFile.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kestrova {

class CTileLibrary;

// A tile's samples as a read-only grid: rows x cols heights as the file
// holds them (not classified), row-major from the north-west corner, over
// latMin..latMax, lonMin..lonMax. Heights are null for a tile not loaded.
struct TileSampleGrid {
    const std::int16_t* heights = nullptr;
    int rows = 0;
    int cols = 0;
    double latMin = 0.0;
    double latMax = 0.0;
    double lonMin = 0.0;
    double lonMax = 0.0;
};

class CSRTMTILE {
public:
    CSRTMTILE();
    virtual ~CSRTMTILE() = default;
    // Back to an unloaded 3 arc-second tile without samples.
    virtual void Init();

    // Init, then reads the tile of the cell holding the position from the
    // directory (through the library when one is set); returns loaded.
    bool Load(double lat, double lon);
    // Sets the cell bounds from the position and returns the tile's name.
    std::string MakeName(double lat, double lon);
    // Reads directory + name (+ ".hgt" or ".hgt.zip"); the extension must be
    // "hgt". Sets rows, cols and the steps from the file's size.
    bool ReadFile(const std::string& name, const std::string& extension);
    // True when loaded and the position lies in the cell (south and west
    // edges included); raises the use score then, lowers it otherwise.
    bool Contains(double lat, double lon);
    // The same test without touching the score.
    bool Covers(double lat, double lon) const {
        return loaded && latMin <= lat && lat < latMax && lonMin <= lon && lon < lonMax;
    }
    // The sample at or south-west of a position inside the cell.
    short GetHeight(double lat, double lon) const;
    // The sample at a node given by whole numbers of this tile's steps north
    // of the equator and east of the prime meridian; noDataValue when the
    // node is not in the tile. Free of the rounding of a node's latitude
    // and longitude, which can select the sample south or west of it.
    short GetNodeHeight(double latIndex, double lonIndex) const;
    // A sample as GetHeight answers it: void, no data or the height.
    short Classify(int sample) const {
        if (sample <= -32767) return static_cast<short>(voidValue);
        if (sample < -150) return static_cast<short>(noDataValue);
        return static_cast<short>(sample);
    }
    // Raises the use score as that many hits of Contains would.
    void AddUses(int uses);

    bool IsLoaded() const { return loaded; }
    int GetScore() const { return score; }
    void SetDirectory(const std::string& text) { directory = text; }
    // Tiles of one store may share samples with other stores' tiles.
    void SetLibrary(std::shared_ptr<CTileLibrary> shared) { library = std::move(shared); }
    void ClearBounds();

    int GetRows() const { return rows; }
    int GetCols() const { return cols; }
    double GetLatStep() const { return latStep; }
    double GetLonStep() const { return lonStep; }
    double GetLatMin() const { return latMin; }
    double GetLonMin() const { return lonMin; }
    TileSampleGrid SampleGrid() const {
        return {loaded && samples ? samples->heights.data() : nullptr,
                rows,
                cols,
                latMin,
                latMax,
                lonMin,
                lonMax};
    }

    static constexpr int kScoreLimit = 100000;

private:
    int rows = kTileSize3;
    int cols = kTileSize3;
    double latStep = 1.0 / 1200.0;
    double lonStep = 1.0 / 1200.0;
    int noDataValue = 0;
    int voidValue = -32767;
    std::string directory;
    bool loaded = false;
    int scoreStep = 100;
    double latMin = 0;
    double latMax = 0;
    double lonMin = 0;
    double lonMax = 0;
    int score = 0;
    std::shared_ptr<const TileSamples> samples;
    std::shared_ptr<CTileLibrary> library;
};

} // namespace kestrova
