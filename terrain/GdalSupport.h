// What the two GDAL modules (the raster reader, the GeoTIFF writer) share:
// GDAL's errors kept quiet and collected, and datasets closed by their owner.
// Header-only, so that each module stays one library of its own.
#pragma once

#include <cpl_error.h>
#include <gdal_priv.h>

#include <memory>
#include <string>

namespace kestrova::gdal {

// GDAL's errors are collected rather than printed while this lives.
class QuietErrors {
public:
    QuietErrors() {
        CPLPushErrorHandler(CPLQuietErrorHandler);
        CPLErrorReset();
    }
    ~QuietErrors() { CPLPopErrorHandler(); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

    // The last error's message, or fallback when there is none.
    static std::string Last(const char* fallback) {
        const char* message = CPLGetLastErrorMsg();
        return message != nullptr && *message != '\0' ? message : fallback;
    }
};

struct DatasetCloser {
    void operator()(GDALDataset* dataset) const { GDALClose(GDALDataset::ToHandle(dataset)); }
};
using Dataset = std::unique_ptr<GDALDataset, DatasetCloser>;

} // namespace kestrova::gdal
