// The elevation-raster reader's module: GDAL reads every raster format that
// is not an SRTM tile (GeoTIFF and Cloud-Optimised GeoTIFF, VRT mosaics,
// Erdas Imagine, DTED, ...), in any coordinate system PROJ knows. It is
// loaded from libkestrova_raster.so beside the executable only when a
// terrain location holds such a raster, so that a program reading SRTM
// tiles alone never loads GDAL.
//
// The entry points take plain C data, so that the module needs none of the
// program's own libraries.
#pragma once

#include <cstdint>

extern "C" {

// What a raster covers, for the terrain store's catalogue.
struct KestrovaRasterInfo {
    double west; // the raster's footprint in WGS84 degrees
    double south;
    double east;
    double north;
    double resolution; // a pixel's height in degrees (projected rasters: approximate)
    int width;         // pixels
    int height;
    char driver[64]; // GDAL's short name, e.g. "GTiff"
    char crs[96];    // e.g. "EPSG:27700"
    char error[512]; // why the raster cannot be used
};

// 1 when the raster at path can serve heights (info filled); 0 with
// info->error set otherwise.
using KestrovaDescribeRaster = int (*)(const char* path, KestrovaRasterInfo* info);

// Paints the raster's heights onto a lattice of size x size nodes, node
// (r, c) at latitude north - r / (size - 1) and longitude west + c / (size - 1)
// (WGS84): each node takes the value of the raster pixel holding it,
// rounded to whole metres. Nodes the raster has no value for (outside it,
// or its no-data value) keep what heights held.
struct KestrovaRasterFill {
    const char* path;
    double west;
    double north;
    int size;
    int16_t* heights; // size x size, row-major from the north-west
    char error[512];
};

// 1 when the lattice was painted; 0 with error set otherwise.
using KestrovaFillRaster = int (*)(KestrovaRasterFill* request);

// The same two for a raster of class codes (land cover): one band of
// whole numbers, which may carry a colour table, painted unrounded.
using KestrovaDescribeClasses = int (*)(const char* path, KestrovaRasterInfo* info);
using KestrovaFillClasses = int (*)(KestrovaRasterFill* request);
}

namespace kestrova {
inline constexpr const char* rasterModuleName = "libkestrova_raster.so";
inline constexpr const char* rasterDescribeEntryPoint = "kestrova_describe_raster";
inline constexpr const char* rasterFillEntryPoint = "kestrova_fill_raster";
inline constexpr const char* classesDescribeEntryPoint = "kestrova_describe_classes";
inline constexpr const char* classesFillEntryPoint = "kestrova_fill_classes";
} // namespace kestrova
