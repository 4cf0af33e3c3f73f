// The terrain at one location: SRTM tiles (.hgt, .hgt.zip) named after
// their 1-degree cells, and elevation rasters of any format GDAL reads
// (GeoTIFF/COG, VRT, Erdas .img, DTED, ...), placed by their own
// georeferencing in any coordinate system. A location is a directory ("" the
// working directory) or a single raster file.
//
// The store reads terrain a 1-degree cell at a time as a lattice of nodes,
// 1201 x 1201 (3") or 3601 x 3601 (1"). A cell that only an SRTM tile covers
// is that tile, read as always. A cell that rasters touch is composed: its
// lattice is the finest of its sources' (1" for rasters finer than 3"), and
// the sources are painted coarsest first, each node taking the value of the
// pixel that holds it, so that where sources overlap the finer one wins and
// a coarser one fills the finer one's holes. Nodes no source covers are void
// (missing terrain). Rasters are read once, when a store first needs a cell.
//
// Thread safety: CTerrainSources objects are immutable and may be shared;
// At and ReadCell may be called from any thread.
#pragma once

#include "terrain/RasterReader.h"
#include "terrain/TileFile.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kestrova {

struct TerrainRaster {
    std::string path;
    RasterInfo info;
    int latticeSize = kTileSize3; // the lattice the raster is read onto
};

class CTerrainSources {
public:
    // The rasters at location, described once and shared by every store
    // reading it; described again when a raster there changes.
    static std::shared_ptr<const CTerrainSources> At(const std::string& location);

    const std::vector<TerrainRaster>& Rasters() const { return rasters_; }
    // The rasters that cannot serve heights: "<path> <reason>".
    const std::vector<std::string>& Problems() const { return problems_; }
    // The rasters whose footprint touches the cell, coarsest first.
    std::vector<const TerrainRaster*> Covering(double latMin, double lonMin) const;

    CTerrainSources(std::vector<TerrainRaster> rasters, std::vector<std::string> problems)
        : rasters_(std::move(rasters)), problems_(std::move(problems)) {}

private:
    std::vector<TerrainRaster> rasters_;
    std::vector<std::string> problems_;
};

// The cell's terrain at location: its SRTM tile, or the lattice composed
// from its tile and the rasters touching it. problems: files that could
// not be used, "<path> <reason>".
struct CellRead {
    std::shared_ptr<const TileSamples> samples;
    std::vector<std::string> problems;
};
CellRead ReadCell(const std::string& location, const std::string& name, double latMin,
                  double lonMin);

// What a location holds, for the status bar and the command line.
struct TerrainSummary {
    int tiles = 0; // SRTM tile files named after their cells
    // The cells of those tiles span south..north, west..east (degrees).
    int south = 0, north = 0, west = 0, east = 0;
    std::vector<TerrainRaster> rasters;
    std::vector<std::string> problems; // rasters that cannot be used
};
TerrainSummary SummariseTerrain(const std::string& location);
// One line for the SRTM tiles ("3 SRTM tiles, 51 to 52 N, 2 W to 1 E") and one
// a raster ("dem.tif: GTiff, EPSG:27700, 1404 x 2236 pixels of 3.23\", 51.0000
// to 52.0000 N, ...").
std::vector<std::string> DescribeTerrain(const TerrainSummary& summary);

} // namespace kestrova
