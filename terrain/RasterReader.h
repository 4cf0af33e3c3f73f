// Elevation rasters read through GDAL (RasterModule.h), from the program's
// own side: the module is loaded by the first raster met, never before.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrova {

struct RasterInfo {
    double west = 0; // footprint, WGS84 degrees
    double south = 0;
    double east = 0;
    double north = 0;
    double resolution = 0; // a pixel's height in degrees (approximate when projected)
    int width = 0;         // pixels
    int height = 0;
    std::string driver; // "GTiff", "VRT", ...
    std::string crs;    // "EPSG:4326", "EPSG:27700", ...
};

// The raster's footprint and grid; nullopt with problem set (why it cannot
// serve heights, or why the reader cannot be loaded) otherwise.
std::optional<RasterInfo> DescribeRaster(const std::string& path, std::string& problem);

// Paints the raster onto a lattice of size x size nodes spaced 1/(size - 1)
// degree from (north, west), row-major from the north-west: each node takes
// the pixel holding it, rounded to whole metres; nodes without a value keep
// theirs. False with problem set when the raster cannot be read.
bool FillRaster(const std::string& path, double west, double north, int size, int16_t* heights,
                std::string& problem);

// The same for a raster of land-cover class codes: one band of whole
// numbers, a colour table allowed; each node takes its pixel's code.
std::optional<RasterInfo> DescribeClassRaster(const std::string& path, std::string& problem);
bool FillClassRaster(const std::string& path, double west, double north, int size, int16_t* codes,
                     std::string& problem);

} // namespace kestrova
