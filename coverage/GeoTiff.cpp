#include "coverage/GeoTiff.h"

#include "files/SafeWrite.h"
#include "geo/NumberFormat.h"

#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal_frmts.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <array>
#include <cmath>
#include <mutex>
#include <vector>

namespace kestrova {
namespace {

// GDAL's errors are collected rather than printed while a file is written.
class QuietGdalErrors {
public:
    QuietGdalErrors() {
        CPLPushErrorHandler(CPLQuietErrorHandler);
        CPLErrorReset();
    }
    ~QuietGdalErrors() { CPLPopErrorHandler(); }
    QuietGdalErrors(const QuietGdalErrors&) = delete;
    QuietGdalErrors& operator=(const QuietGdalErrors&) = delete;

    static std::string Last(const char* fallback) {
        const char* message = CPLGetLastErrorMsg();
        return message != nullptr && *message != '\0' ? message : fallback;
    }
};

struct DatasetCloser {
    void operator()(GDALDataset* dataset) const { GDALClose(GDALDataset::ToHandle(dataset)); }
};
using Dataset = std::unique_ptr<GDALDataset, DatasetCloser>;

GDALDriver* GeoTiffDriver() {
    static std::once_flag registered;
    std::call_once(registered, [] { GDALRegister_GTiff(); });
    return GetGDALDriverManager()->GetDriverByName("GTiff");
}

// Pixel (0, 0) is centred on the north-west grid point.
std::array<double, 6> GeoTransform(const CoverageArea& a) {
    return {a.west - a.step / 2.0, a.step, 0.0, a.north + a.step / 2.0, 0.0, -a.step};
}

void SetLinkMetadata(GDALDataset& dataset, const GeoTiffLink& link) {
    const auto item = [&dataset](const char* name, double value) {
        dataset.SetMetadataItem(name, FormatGeneral(value, 10).c_str());
    };
    item("FREQUENCY_GHZ", link.frequency);
    item("TX_HEIGHT_M", link.txHeight);
    item("RX_HEIGHT_M", link.rxHeight);
    item("TIME_PERCENTAGE", link.percent);
    item("TX_LATITUDE", link.txLatitude);
    item("TX_LONGITUDE", link.txLongitude);
    dataset.SetMetadataItem("EIRP", "1 kW");
}

std::string FillBand(GDALRasterBand& band, const CoverageField& field) {
    const int n = field.Area().n;
    band.SetNoDataValue(geoTiffNoData);
    band.SetUnitType("dBuV/m");
    band.SetDescription("field strength for 1 kW EIRP");
    std::vector<float> row(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const double value = field.Value(i, j);
            row[static_cast<size_t>(j)] =
                static_cast<float>(std::isfinite(value) ? value : geoTiffNoData);
        }
        if (band.RasterIO(GF_Write, 0, i, n, 1, row.data(), n, 1, GDT_Float32, 0, 0, nullptr) !=
            CE_None)
            return QuietGdalErrors::Last("could not write the raster");
    }
    return {};
}

std::string WriteTo(const std::string& path, const CoverageField& field, const GeoTiffLink& link) {
    const QuietGdalErrors quiet;
    GDALDriver* driver = GeoTiffDriver();
    if (driver == nullptr) return "GDAL has no GeoTIFF driver";
    const CoverageArea& area = field.Area();
    CPLStringList options;
    options.SetNameValue("COMPRESS", "DEFLATE");
    options.SetNameValue("BIGTIFF", "IF_SAFER");
    Dataset dataset(driver->Create(path.c_str(), area.n, area.n, 1, GDT_Float32, options.List()));
    if (!dataset) return QuietGdalErrors::Last("could not create the file");
    OGRSpatialReference wgs84;
    if (wgs84.importFromEPSG(4326) != OGRERR_NONE) return "EPSG:4326 is unknown to GDAL";
    std::array<double, 6> transform = GeoTransform(area);
    if (dataset->SetSpatialRef(&wgs84) != CE_None ||
        dataset->SetGeoTransform(transform.data()) != CE_None)
        return QuietGdalErrors::Last("could not georeference the file");
    SetLinkMetadata(*dataset, link);
    std::string error = FillBand(*dataset->GetRasterBand(1), field);
    if (!error.empty()) return error;
    CPLErrorReset();
    dataset.reset(); // writes the file out
    if (CPLGetLastErrorType() >= CE_Failure) return QuietGdalErrors::Last("could not finish");
    return {};
}

} // namespace

std::string WriteCoverageGeoTiff(const std::string& path, const CoverageField& field,
                                 const GeoTiffLink& link) {
    if (field.Area().n <= 0) return "could not write \"" + path + "\": the grid is empty";
    return WriteFileThrough(
               path, [&](const std::string& temporary) { return WriteTo(temporary, field, link); })
        .message;
}

} // namespace kestrova
