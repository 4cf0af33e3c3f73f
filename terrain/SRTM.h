// CSRTM: the terrain store. Given a latitude and longitude it returns the
// terrain height in whole metres, reading 1-degree SRTM tiles from one
// directory on demand and keeping a fixed number of them (9 in the program)
// in a cache whose least-used tile is replaced on a miss.
//
// Two special results run through every caller: noDataValue 0 (sea, or a
// height below -150 m) and voidValue -32767 (no tile, a void sample, or no
// usable neighbour for an interpolated height). A cell whose tile cannot be
// loaded is remembered as unavailable and never searched for again. Running
// out of memory never throws out of the store: a tile that cannot be held
// stays unloaded, and a store that cannot make its cache answers voidValue
// everywhere (the core shows no messages; its caller may test a height).
//
// Thread safety: a CSRTM is not safe for concurrent use: every look-up
// changes the tiles' use scores and may replace a tile, and GetArea fills
// the store's own grid. Give each thread its own CSRTM. Stores made with
// the same CTileLibrary share the tile files they have read, so N workers
// over one area read each tile once and hold its samples once; the library
// itself may be shared by any number of threads.
#pragma once

#include "terrain/Grid.h"
#include "terrain/SRTMTile.h"
#include "terrain/TileLibrary.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace kestrova {

class CZONES;
struct WalkPoints;
struct WalkPoint;

class CSRTM {
public:
    // The program's stores hold 9 tiles: a position's cell and its eight
    // neighbours.
    static constexpr int kTilesPerStore = 9;

    // tileCount tiles read from directory (ending with a separator, or
    // empty for the working directory), each store with its own library.
    CSRTM(int tileCount, std::string directory);
    // The same, sharing the tiles read through library with other stores.
    CSRTM(int tileCount, std::string directory, std::shared_ptr<CTileLibrary> library);
    CSRTM(const CSRTM&) = delete;
    CSRTM& operator=(const CSRTM&) = delete;
    virtual ~CSRTM() = default;

    virtual void Init();
    // Height in metres, noDataValue or voidValue. With interpolate, a
    // distance-weighted mean of the four samples around the position that
    // are neither sea nor void, at the sample spacing of the position's tile.
    virtual int GetHeight(double lat, double lon, bool interpolate);
    // A grid of rows x cols heights, row 0 the northern one, spaced step
    // degrees, starting one step north of latSouth + (rows - 1) * step at
    // lonWest; held by the store until FreeArea or the next GetArea. Null for
    // a step <= 0, a negative size or one of more than INT_MAX cells, or when memory runs out.
    virtual const CHeightGrid* GetArea(double lonWest, double latSouth, int cols, int rows,
                                       double step, bool interpolate);
    virtual void FreeArea();
    // Index of the cached tile holding the position, or -1; ages every tile.
    virtual int FindTile(double lat, double lon);
    // Loads the position's tile in place of the lowest-scored one; its index
    // or -1 (the cell is then marked unavailable).
    virtual int LoadTile(double lat, double lon);
    virtual int GetNoDataValue() const { return noDataValue; }
    virtual int GetVoidValue() const { return voidValue; }

    // The sample at or south-west of the position, uninterpolated.
    short GetNearest(double lat, double lon);
    // Moves the position to the nearest sample node and looks the node up.
    short GetAtNode(double& lat, double& lon);
    // See NormaliseLatLon (Position.h).
    static bool NormalisePosition(double& lat, double& lon);
    // Heights and zones at the points of a walk (WalkLookup.h): heights[i]
    // is GetNearest at points[i], or kWalkUnsure; zoneCodes[i] is
    // zones.GetZone there, or -1. Keeps the tile of the last answer and
    // loads tiles as GetNearest would.
    void HeightsAlong(const WalkPoints& points, int count, const CZONES& zones, short* heights,
                      int* zoneCodes);

    const CHeightGrid* GetAreaGrid() const { return area.get(); }
    int GetAreaRows() const { return areaRows; }
    int GetAreaCols() const { return areaCols; }
    short GetMaxHeight() const { return maxHeight; }
    short GetMinHeight() const { return minHeight; }
    double GetLatStep() const { return latStep; }
    int GetTileCount() const { return static_cast<int>(tiles.size()); }
    const CSRTMTILE& GetTile(int index) const { return tiles[static_cast<std::size_t>(index)]; }
    // False once the cell's tile has failed to load.
    bool IsAvailable(double lat, double lon) const;
    // The tile files met so far that could not be used (see
    // CTileLibrary::Problems), shared with the stores of the same library.
    std::vector<std::string> TileProblems() const {
        return library ? library->Problems() : std::vector<std::string>{};
    }

private:
    // The index into available of a position on the globe, or -1.
    static int CellIndex(double lat, double lon);
    // The index of the cached tile holding the position, loading it when
    // needed; -1 when it has none.
    int TileFor(double lat, double lon);
    // The sample at node (latIndex * stepLat, lonIndex * stepLon).
    short GetNode(double latIndex, double lonIndex, double stepLat, double stepLon);
    // The sample spacing at a position: that of its tile (loading it when
    // needed), or 1/1200 degree where there is none.
    void StepAt(double lat, double lon, double& stepLat, double& stepLon);
    int Interpolate(double lat, double lon);
    void FillArea(CHeightGrid& grid, double firstRowLat, double lonWest, double step,
                  bool interpolate);

    std::string name;
    int rows = kTileSize3;
    int cols = kTileSize3;
    double latStep = 1.0 / 1200.0;
    double lonStep = 1.0 / 1200.0;
    int noDataValue = 0;
    int voidValue = -32767;
    std::unique_ptr<CHeightGrid> area;
    int areaRows = 0;
    int areaCols = 0;
    short maxHeight = 0;
    short minHeight = 0;
    int tileCount = 0;
    std::vector<std::uint8_t> available; // 180 x 360 cells, 1 = may have a tile
    std::vector<CSRTMTILE> tiles;
    std::string directory;
    std::shared_ptr<CTileLibrary> library;
    // Along a walk: where a point outside the tile of the last answer lies.
    enum class WalkPlace { Tile, Void, Unsure };
    WalkPlace PlaceOf(const WalkPoint& point);

    // Look-ups along a walk (HeightsAlong): the tile of the last answer,
    // and the last 1-degree cell found without a tile (none: NaN).
    int lastTile = -1;
    double voidCellLat = std::numeric_limits<double>::quiet_NaN();
    double voidCellLon = std::numeric_limits<double>::quiet_NaN();
};

} // namespace kestrova
