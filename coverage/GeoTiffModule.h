// The GeoTIFF writer's module: GDAL is loaded only by the first GeoTIFF
// written, from libkestrova_geotiff.so beside the executable, never by a
// command or a window that writes none. GDAL pulls in numerical libraries
// whose worker threads cost start-up time and memory, and under a tight
// address-space limit can keep a process from ending.
//
// The module's one entry point takes plain C data, so that it needs none of
// the program's own libraries: the grid comes a row at a time through a
// callback, the metadata as ready-made texts.
#pragma once

extern "C" {

struct KestrovaGeoTiff {
    const char* path; // the file to make (the safe writer's temporary)
    int n;            // pixels a side
    double west;      // the pixels' edges, degrees
    double north;
    double step; // a pixel's side, degrees
    double noData;
    const char* const* metadata; // name, value, name, value, ..., nullptr
    void* context;
    // The n values of row i (0: north) of every band, band after band.
    void (*row)(void* context, int i, float* values);
    char* error; // receives the message of a failure
    int errorSize;
    int bands;                           // 1, or more with the three lists below
    const char* const* bandDescriptions; // one a band; null: field strength alone
    const char* const* bandUnits;        // one a band
    const double* bandNoData;            // one a band
};

// 1 when the file was written; 0 with error set otherwise.
using KestrovaWriteGeoTiff = int (*)(const KestrovaGeoTiff* request);
}

namespace kestrova {
inline constexpr const char* geoTiffModuleName = "libkestrova_geotiff.so";
inline constexpr const char* geoTiffEntryPoint = "kestrova_write_geotiff";
} // namespace kestrova
