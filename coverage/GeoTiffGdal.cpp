// The GeoTIFF writer's module (see GeoTiffModule.h): the only code that
// calls GDAL. Float32 bands (one for a map), EPSG:4326, deflated, written
// row by row.
#include "coverage/GeoTiffModule.h"

#include "terrain/GdalSupport.h"

#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal_frmts.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <array>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

using kestrova::gdal::Dataset;
using QuietGdalErrors = kestrova::gdal::QuietErrors;

GDALDriver* GeoTiffDriver() {
    static std::once_flag registered;
    std::call_once(registered, [] { GDALRegister_GTiff(); });
    return GetGDALDriverManager()->GetDriverByName("GTiff");
}

// The bands, row by row: the callback gives a row of every band at once.
std::string FillBands(GDALDataset& dataset, const KestrovaGeoTiff& request, int bands) {
    const int n = request.n;
    for (int b = 0; b < bands; ++b) {
        GDALRasterBand& band = *dataset.GetRasterBand(b + 1);
        if (request.bandDescriptions) {
            band.SetNoDataValue(request.bandNoData[b]);
            band.SetUnitType(request.bandUnits[b]);
            band.SetDescription(request.bandDescriptions[b]);
        } else {
            band.SetNoDataValue(request.noData);
            band.SetUnitType("dBuV/m");
            band.SetDescription("field strength for 1 kW EIRP");
        }
    }
    std::vector<float> row(static_cast<size_t>(n) * static_cast<size_t>(bands));
    for (int i = 0; i < n; ++i) {
        request.row(request.context, i, row.data());
        for (int b = 0; b < bands; ++b)
            if (dataset.GetRasterBand(b + 1)->RasterIO(GF_Write, 0, i, n, 1,
                                                       row.data() + static_cast<size_t>(b) * n, n,
                                                       1, GDT_Float32, 0, 0, nullptr) != CE_None)
                return QuietGdalErrors::Last("could not write the raster");
    }
    return {};
}

std::string Write(const KestrovaGeoTiff& request) {
    const QuietGdalErrors quiet;
    GDALDriver* driver = GeoTiffDriver();
    if (driver == nullptr) return "GDAL has no GeoTIFF driver";
    CPLStringList options;
    options.SetNameValue("COMPRESS", "DEFLATE");
    options.SetNameValue("BIGTIFF", "IF_SAFER");
    const int bands = request.bandDescriptions ? request.bands : 1;
    if (bands > 1) options.SetNameValue("INTERLEAVE", "BAND");
    Dataset dataset(
        driver->Create(request.path, request.n, request.n, bands, GDT_Float32, options.List()));
    if (!dataset) return QuietGdalErrors::Last("could not create the file");
    OGRSpatialReference wgs84;
    if (wgs84.importFromEPSG(4326) != OGRERR_NONE)
        return QuietGdalErrors::Last("EPSG:4326 is unknown to GDAL") +
               " (GDAL could not read its projection database: short of memory?)";
    // Pixel (0, 0)'s north-west corner.
    std::array<double, 6> transform = {request.west,  request.step, 0.0,
                                       request.north, 0.0,          -request.step};
    if (dataset->SetSpatialRef(&wgs84) != CE_None ||
        dataset->SetGeoTransform(transform.data()) != CE_None)
        return QuietGdalErrors::Last("could not georeference the file");
    for (const char* const* item = request.metadata; item && item[0]; item += 2)
        dataset->SetMetadataItem(item[0], item[1]);
    std::string error = FillBands(*dataset, request, bands);
    if (!error.empty()) return error;
    CPLErrorReset();
    dataset.reset(); // writes the file out
    if (CPLGetLastErrorType() >= CE_Failure) return QuietGdalErrors::Last("could not finish");
    return {};
}

} // namespace

extern "C" __attribute__((visibility("default"))) int
kestrova_write_geotiff(const KestrovaGeoTiff* request) {
    std::string error;
    try {
        error = Write(*request);
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (error.empty()) return 1;
    if (request->error && request->errorSize > 0)
        std::snprintf(request->error, static_cast<size_t>(request->errorSize), "%s", error.c_str());
    return 0;
}
