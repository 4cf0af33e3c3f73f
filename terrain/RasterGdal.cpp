// The elevation-raster reader's module (see RasterModule.h): GDAL opens the
// raster and reads its pixels, PROJ (through GDAL) carries the store's
// lattice nodes into its coordinate system.
#include "terrain/RasterModule.h"

#include "terrain/GdalSupport.h"

#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

using kestrova::gdal::Dataset;
using QuietGdalErrors = kestrova::gdal::QuietErrors;

constexpr double kLowestHeight = -12000; // below the deepest ocean floor
constexpr double kHighestHeight = 9000;  // above the highest summit

void Copy(char* target, std::size_t size, const std::string& text) {
    std::snprintf(target, size, "%s", text.c_str());
}

Dataset Open(const char* path) {
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
    return Dataset(GDALDataset::FromHandle(
        GDALOpenEx(path, GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr)));
}

OGRSpatialReference Wgs84() {
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return wgs84;
}

// Why band 1 of the dataset cannot hold heights, or "".
std::string BandProblem(GDALDataset& dataset) {
    const int bands = dataset.GetRasterCount();
    if (bands < 1) return "holds no raster band";
    GDALRasterBand& band = *dataset.GetRasterBand(1);
    if (GDALDataTypeIsComplex(band.GetRasterDataType()))
        return "holds complex numbers, not heights";
    const GDALColorInterp colour = band.GetColorInterpretation();
    if (colour == GCI_PaletteIndex || colour == GCI_RedBand || bands > 2 ||
        (bands == 2 && dataset.GetRasterBand(2)->GetColorInterpretation() != GCI_AlphaBand))
        return "is a picture of " + std::to_string(bands) +
               " band(s), not an elevation raster of one band";
    return {};
}

// Reads a coarse sample of the heights (through overviews where there are
// any): a file cut short fails here, and heights no terrain has (an
// undeclared no-data value, another unit) are caught.
std::string SampleProblem(GDALDataset& dataset) {
    GDALRasterBand& band = *dataset.GetRasterBand(1);
    const int n = 32;
    const int w = std::min(n, dataset.GetRasterXSize());
    const int h = std::min(n, dataset.GetRasterYSize());
    std::vector<double> values(static_cast<std::size_t>(w) * h);
    GDALRasterIOExtraArg extra;
    INIT_RASTERIO_EXTRA_ARG(extra);
    if (band.RasterIO(GF_Read, 0, 0, dataset.GetRasterXSize(), dataset.GetRasterYSize(),
                      values.data(), w, h, GDT_Float64, 0, 0, &extra) != CE_None)
        return "cannot be read: " + QuietGdalErrors::Last("a read error");
    int hasNoData = 0;
    const double noData = band.GetNoDataValue(&hasNoData);
    for (const double value : values) {
        if (hasNoData && (value == noData || (std::isnan(value) && std::isnan(noData)))) continue;
        if (std::isnan(value)) continue;
        if (value < kLowestHeight || value > kHighestHeight) {
            char text[160];
            std::snprintf(text, sizeof text,
                          "holds a height of %.6g m, which no terrain has (is its no-data "
                          "value declared?)",
                          value);
            return text;
        }
    }
    return {};
}

std::string CrsName(const OGRSpatialReference& crs) {
    const char* authority = crs.GetAuthorityName(nullptr);
    const char* code = crs.GetAuthorityCode(nullptr);
    if (authority && code) return std::string(authority) + ":" + code;
    const char* name = crs.GetName();
    return name ? name : "unnamed coordinate system";
}

// The footprint in WGS84 degrees; false when PROJ cannot carry it there.
bool Footprint(GDALDataset& dataset, const double (&g)[6], const OGRSpatialReference& crs,
               KestrovaRasterInfo& info) {
    const double w = dataset.GetRasterXSize();
    const double h = dataset.GetRasterYSize();
    const double xs[4] = {g[0], g[0] + w * g[1], g[0] + h * g[2], g[0] + w * g[1] + h * g[2]};
    const double ys[4] = {g[3], g[3] + w * g[4], g[3] + h * g[5], g[3] + w * g[4] + h * g[5]};
    const double minX = *std::min_element(xs, xs + 4), maxX = *std::max_element(xs, xs + 4);
    const double minY = *std::min_element(ys, ys + 4), maxY = *std::max_element(ys, ys + 4);
    OGRSpatialReference source(crs);
    source.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    const OGRSpatialReference wgs84 = Wgs84();
    std::unique_ptr<OGRCoordinateTransformation> transform(
        OGRCreateCoordinateTransformation(&source, &wgs84));
    if (!transform) return false;
    return transform->TransformBounds(minX, minY, maxX, maxY, &info.west, &info.south, &info.east,
                                      &info.north, 21) != 0;
}

std::string Describe(const char* path, KestrovaRasterInfo& info) {
    Dataset dataset = Open(path);
    if (!dataset)
        return "is not a raster GDAL can read: " +
               QuietGdalErrors::Last("an unknown format, or a damaged file");
    if (std::string problem = BandProblem(*dataset); !problem.empty()) return problem;
    double g[6];
    if (dataset->GetGeoTransform(g) != CE_None || g[1] == 0 || g[5] == 0)
        return "has no georeferencing (no position on the Earth)";
    const OGRSpatialReference* crs = dataset->GetSpatialRef();
    if (crs == nullptr || crs->IsEmpty()) return "has no coordinate system";
    if (!Footprint(*dataset, g, *crs, info))
        return "lies in a coordinate system (" + CrsName(*crs) +
               ") that cannot be carried to WGS84: " + QuietGdalErrors::Last("no transformation");
    if (!(info.west < info.east && info.south < info.north)) return "covers no area on the Earth";
    const double pixel = std::hypot(g[4], g[5]);
    info.resolution = crs->IsGeographic() ? pixel * crs->GetAngularUnits() * 180 / M_PI
                                          : pixel * crs->GetLinearUnits() / 111320.0;
    info.width = dataset->GetRasterXSize();
    info.height = dataset->GetRasterYSize();
    Copy(info.driver, sizeof info.driver, dataset->GetDriver()->GetDescription());
    Copy(info.crs, sizeof info.crs, CrsName(*crs));
    return SampleProblem(*dataset);
}

// Where a node falls in the raster: pixel coordinates (x east, y south,
// whole numbers at pixel edges), or NaN outside the coordinate system.
struct PixelPosition {
    double x;
    double y;
};

// Carries the lattice's nodes into the raster's pixel coordinates. Every
// kSpan-th node of a row, and the middle of each span, is carried exactly
// (PROJ through GDAL); the nodes between are interpolated, and carried
// exactly too wherever the interpolation's error could move them across a
// pixel edge. So every node lands in the pixel an exact transformation
// gives it, as gdallocationinfo -wgs84 finds it, at a small part of the
// cost of carrying each node.
class NodeCarrier {
public:
    NodeCarrier(OGRCoordinateTransformation& transform, const double (&inverse)[6])
        : transform_(transform), inverse_(inverse) {}

    void Row(double lat, double west, double h, int size, std::vector<PixelPosition>& out) {
        out.resize(static_cast<std::size_t>(size));
        // Exact at the span ends and middles.
        std::vector<double> lons, lats;
        for (int c = 0; c < size; c += kSpan / 2)
            lons.push_back(west + c * h);
        if ((size - 1) % (kSpan / 2) != 0) lons.push_back(west + (size - 1) * h);
        const std::vector<PixelPosition> exact = Carry(lons, lat);
        for (std::size_t k = 0; k < lons.size(); ++k) {
            const int c = static_cast<int>(std::lround((lons[k] - west) / h));
            out[static_cast<std::size_t>(c)] = exact[k];
        }
        std::vector<double> redo;
        double lastError = 1.0; // none seen yet: carry every node exactly
        for (int start = 0; start < size - 1; start += kSpan) {
            const int end = std::min(start + kSpan, size - 1);
            const int middle = std::min(start + kSpan / 2, end);
            const PixelPosition& a = out[static_cast<std::size_t>(start)];
            const PixelPosition& b = out[static_cast<std::size_t>(end)];
            const PixelPosition& m = out[static_cast<std::size_t>(middle)];
            const double t = static_cast<double>(middle - start) / (end - start);
            // A last span too short for a middle of its own takes the
            // error of the span before it.
            const double error = middle == end ? lastError
                                               : std::max(std::fabs(a.x + t * (b.x - a.x) - m.x),
                                                          std::fabs(a.y + t * (b.y - a.y) - m.y));
            lastError = error;
            // Twice the error seen at the middle, as the bound anywhere in
            // the span; no interpolation at all when it is not small.
            const double margin = std::isfinite(error) && error < 0.01 ? 2 * error + 1e-9 : 1.0;
            for (int c = start + 1; c < end; ++c) {
                if (c == middle) continue;
                const double u = static_cast<double>(c - start) / (end - start);
                PixelPosition& p = out[static_cast<std::size_t>(c)];
                p = {a.x + u * (b.x - a.x), a.y + u * (b.y - a.y)};
                if (NearEdge(p.x, margin) || NearEdge(p.y, margin)) redo.push_back(c);
            }
        }
        if (redo.empty()) return;
        std::vector<double> redoLons;
        for (const double c : redo)
            redoLons.push_back(west + c * h);
        const std::vector<PixelPosition> exactRedo = Carry(redoLons, lat);
        for (std::size_t k = 0; k < redo.size(); ++k)
            out[static_cast<std::size_t>(redo[k])] = exactRedo[k];
    }

private:
    static constexpr int kSpan = 32;

    static bool NearEdge(double v, double margin) {
        return !std::isfinite(v) || std::fabs(v - std::round(v)) <= margin;
    }

    std::vector<PixelPosition> Carry(const std::vector<double>& lons, double lat) {
        std::vector<double> x(lons), y(lons.size(), lat);
        std::vector<int> ok(lons.size(), 0);
        transform_.Transform(static_cast<int>(x.size()), x.data(), y.data(), nullptr, ok.data());
        std::vector<PixelPosition> pixels(lons.size());
        const double* g = inverse_;
        for (std::size_t k = 0; k < x.size(); ++k)
            pixels[k] = ok[k] ? PixelPosition{g[0] + x[k] * g[1] + y[k] * g[2],
                                              g[3] + x[k] * g[4] + y[k] * g[5]}
                              : PixelPosition{NAN, NAN};
        return pixels;
    }

    OGRCoordinateTransformation& transform_;
    const double* inverse_;
};

// One band of lattice rows: the pixel each node falls in (-1: outside the
// raster), node (r, c) of the band at r * size + c.
struct RowBand {
    std::vector<std::int64_t> pixel; // row * width + column, or -1
    int firstRow = 0;
    int rows = 0;
};

// A window of the raster, inclusive; empty while x1 < x0.
struct Window {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
    std::int64_t Pixels() const {
        return x1 < x0 ? 0 : static_cast<std::int64_t>(x1 - x0 + 1) * (y1 - y0 + 1);
    }
};

class LatticePainter {
public:
    LatticePainter(GDALDataset& source, KestrovaRasterFill& request)
        : source_(source), band_(*source.GetRasterBand(1)), request_(request) {}

    std::string Paint() {
        double g[6], inverse[6];
        if (source_.GetGeoTransform(g) != CE_None || !GDALInvGeoTransform(g, inverse))
            return "has no usable georeferencing";
        OGRSpatialReference target(*source_.GetSpatialRef());
        target.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        const OGRSpatialReference wgs84 = Wgs84();
        std::unique_ptr<OGRCoordinateTransformation> transform(
            OGRCreateCoordinateTransformation(&wgs84, &target));
        if (!transform) return "cannot be carried from WGS84: " + QuietGdalErrors::Last("");
        NodeCarrier carrier(*transform, inverse);
        int noDataSet = 0;
        noData_ = band_.GetNoDataValue(&noDataSet);
        hasNoData_ = noDataSet != 0;
        const int flags = band_.GetMaskFlags();
        useMask_ = !(flags & GMF_ALL_VALID) && !(flags & GMF_NODATA);
        const int size = request_.size;
        const double h = 1.0 / (size - 1);
        std::vector<PixelPosition> row;
        for (int r0 = 0; r0 < size; r0 += kRowsPerBand) {
            RowBand band;
            band.firstRow = r0;
            band.rows = std::min(r0 + kRowsPerBand, size) - r0;
            band.pixel.reserve(static_cast<std::size_t>(band.rows) * size);
            for (int r = r0; r < r0 + band.rows; ++r) {
                carrier.Row(request_.north - r * h, request_.west, h, size, row);
                for (const PixelPosition& p : row)
                    band.pixel.push_back(Locate(p));
            }
            if (std::string problem = PaintColumns(band, 0, size); !problem.empty()) return problem;
        }
        return {};
    }

private:
    static constexpr int kRowsPerBand = 32;
    static constexpr std::int64_t kWindowLimit = 1 << 22; // pixels read at once

    std::int64_t Locate(const PixelPosition& p) const {
        if (!(std::isfinite(p.x) && std::isfinite(p.y))) return -1;
        const double fx = std::floor(p.x), fy = std::floor(p.y);
        if (fx < 0 || fy < 0 || fx >= source_.GetRasterXSize() || fy >= source_.GetRasterYSize())
            return -1;
        return static_cast<std::int64_t>(fy) * source_.GetRasterXSize() +
               static_cast<std::int64_t>(fx);
    }

    // The window holding the band's nodes of columns c0..c1-1.
    Window WindowOf(const RowBand& band, int c0, int c1) const {
        Window w;
        const std::int64_t width = source_.GetRasterXSize();
        for (int r = 0; r < band.rows; ++r)
            for (int c = c0; c < c1; ++c) {
                const std::int64_t p = band.pixel[static_cast<std::size_t>(r) * request_.size + c];
                if (p < 0) continue;
                const int x = static_cast<int>(p % width), y = static_cast<int>(p / width);
                if (w.x1 < w.x0) {
                    w = {x, y, x, y};
                    continue;
                }
                w.x0 = std::min(w.x0, x);
                w.x1 = std::max(w.x1, x);
                w.y0 = std::min(w.y0, y);
                w.y1 = std::max(w.y1, y);
            }
        return w;
    }

    // The band's nodes of columns c0..c1-1, from one read of their window;
    // a window too large to read at once (a raster much finer than the
    // lattice) is split by columns, down to pixel by pixel through GDAL's
    // block cache.
    std::string PaintColumns(const RowBand& band, int c0, int c1) {
        const Window w = WindowOf(band, c0, c1);
        if (w.Pixels() == 0) return {};
        if (w.Pixels() > kWindowLimit && c1 - c0 > 1) {
            const int middle = c0 + (c1 - c0) / 2;
            if (std::string problem = PaintColumns(band, c0, middle); !problem.empty())
                return problem;
            return PaintColumns(band, middle, c1);
        }
        const bool whole = w.Pixels() <= kWindowLimit;
        const int ww = w.x1 - w.x0 + 1, wh = w.y1 - w.y0 + 1;
        if (whole) {
            values_.resize(static_cast<std::size_t>(ww) * wh);
            if (band_.RasterIO(GF_Read, w.x0, w.y0, ww, wh, values_.data(), ww, wh, GDT_Float64, 0,
                               0, nullptr) != CE_None)
                return "cannot be read: " + QuietGdalErrors::Last("a read error");
            if (useMask_) {
                mask_.resize(values_.size());
                if (band_.GetMaskBand()->RasterIO(GF_Read, w.x0, w.y0, ww, wh, mask_.data(), ww, wh,
                                                  GDT_Byte, 0, 0, nullptr) != CE_None)
                    return "cannot be read: " + QuietGdalErrors::Last("a read error");
            }
        }
        const std::int64_t width = source_.GetRasterXSize();
        for (int r = 0; r < band.rows; ++r)
            for (int c = c0; c < c1; ++c) {
                const std::size_t k = static_cast<std::size_t>(r) * request_.size + c;
                const std::int64_t p = band.pixel[k];
                if (p < 0) continue;
                const int x = static_cast<int>(p % width), y = static_cast<int>(p / width);
                double value = 0;
                unsigned char valid = 1;
                if (whole) {
                    const std::size_t i = static_cast<std::size_t>(y - w.y0) * ww + (x - w.x0);
                    value = values_[i];
                    if (useMask_) valid = mask_[i];
                } else if (!ReadPixel(x, y, value, valid)) {
                    return "cannot be read: " + QuietGdalErrors::Last("a read error");
                }
                if (!valid || std::isnan(value) || (hasNoData_ && value == noData_)) continue;
                if (value < kLowestHeight || value > kHighestHeight) continue;
                request_.heights[static_cast<std::size_t>(band.firstRow) * request_.size + k] =
                    static_cast<int16_t>(std::lround(value));
            }
        return {};
    }

    bool ReadPixel(int x, int y, double& value, unsigned char& valid) {
        return band_.RasterIO(GF_Read, x, y, 1, 1, &value, 1, 1, GDT_Float64, 0, 0, nullptr) ==
                   CE_None &&
               (!useMask_ || band_.GetMaskBand()->RasterIO(GF_Read, x, y, 1, 1, &valid, 1, 1,
                                                           GDT_Byte, 0, 0, nullptr) == CE_None);
    }

    GDALDataset& source_;
    GDALRasterBand& band_;
    KestrovaRasterFill& request_;
    double noData_ = 0;
    bool hasNoData_ = false;
    bool useMask_ = false;
    std::vector<double> values_;
    std::vector<unsigned char> mask_;
};

std::string Fill(KestrovaRasterFill& request) {
    Dataset source = Open(request.path);
    if (!source) return "cannot be opened: " + QuietGdalErrors::Last("unknown format");
    if (std::string problem = BandProblem(*source); !problem.empty()) return problem;
    if (source->GetSpatialRef() == nullptr) return "has no coordinate system";
    return LatticePainter(*source, request).Paint();
}

// Why band 1 of the dataset cannot hold land-cover class codes, or "": one
// band of whole numbers (a colour table, as land-cover products carry, and
// an alpha band are welcome).
std::string ClassBandProblem(GDALDataset& dataset) {
    const int bands = dataset.GetRasterCount();
    if (bands < 1) return "holds no raster band";
    if (bands > 2 ||
        (bands == 2 && dataset.GetRasterBand(2)->GetColorInterpretation() != GCI_AlphaBand))
        return "holds " + std::to_string(bands) + " bands, not one band of class codes";
    const GDALDataType type = dataset.GetRasterBand(1)->GetRasterDataType();
    if (GDALDataTypeIsComplex(type) || GDALDataTypeIsFloating(type))
        return std::string("holds real numbers (") + GDALGetDataTypeName(type) +
               "), not whole-number class codes";
    return {};
}

// The footprint and grid of a class raster, as Describe gives them for
// heights; a coarse read catches a file cut short.
std::string DescribeClasses(const char* path, KestrovaRasterInfo& info) {
    Dataset dataset = Open(path);
    if (!dataset)
        return "is not a raster GDAL can read: " +
               QuietGdalErrors::Last("an unknown format, or a damaged file");
    if (std::string problem = ClassBandProblem(*dataset); !problem.empty()) return problem;
    double g[6];
    if (dataset->GetGeoTransform(g) != CE_None || g[1] == 0 || g[5] == 0)
        return "has no georeferencing (no position on the Earth)";
    const OGRSpatialReference* crs = dataset->GetSpatialRef();
    if (crs == nullptr || crs->IsEmpty()) return "has no coordinate system";
    if (!Footprint(*dataset, g, *crs, info))
        return "lies in a coordinate system (" + CrsName(*crs) +
               ") that cannot be carried to WGS84: " + QuietGdalErrors::Last("no transformation");
    if (!(info.west < info.east && info.south < info.north)) return "covers no area on the Earth";
    const double pixel = std::hypot(g[4], g[5]);
    info.resolution = crs->IsGeographic() ? pixel * crs->GetAngularUnits() * 180 / M_PI
                                          : pixel * crs->GetLinearUnits() / 111320.0;
    info.width = dataset->GetRasterXSize();
    info.height = dataset->GetRasterYSize();
    Copy(info.driver, sizeof info.driver, dataset->GetDriver()->GetDescription());
    Copy(info.crs, sizeof info.crs, CrsName(*crs));
    std::vector<double> values(32 * 32);
    const int w = std::min(32, info.width), h = std::min(32, info.height);
    if (dataset->GetRasterBand(1)->RasterIO(GF_Read, 0, 0, info.width, info.height, values.data(),
                                            w, h, GDT_Float64, 0, 0, nullptr) != CE_None)
        return "cannot be read: " + QuietGdalErrors::Last("a read error");
    return {};
}

std::string FillClasses(KestrovaRasterFill& request) {
    Dataset source = Open(request.path);
    if (!source) return "cannot be opened: " + QuietGdalErrors::Last("unknown format");
    if (std::string problem = ClassBandProblem(*source); !problem.empty()) return problem;
    if (source->GetSpatialRef() == nullptr) return "has no coordinate system";
    return LatticePainter(*source, request).Paint();
}

// Runs an entry point's work, turning an exception into its message and
// the message into the entry point's 1 (no problem) or 0 (error set).
template <typename Work> int Guarded(char (&error)[512], Work work) {
    const QuietGdalErrors quiet;
    std::string problem;
    try {
        problem = work();
    } catch (const std::exception& exception) {
        problem = std::string("cannot be read: ") + exception.what();
    }
    Copy(error, sizeof error, problem);
    return problem.empty() ? 1 : 0;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) int kestrova_describe_raster(const char* path,
                                                                    KestrovaRasterInfo* info) {
    *info = KestrovaRasterInfo{};
    return Guarded(info->error, [&] { return Describe(path, *info); });
}

__attribute__((visibility("default"))) int kestrova_fill_raster(KestrovaRasterFill* request) {
    return Guarded(request->error, [&] {
        return request->size >= 2 ? Fill(*request) : "a lattice needs two nodes a side";
    });
}

__attribute__((visibility("default"))) int kestrova_describe_classes(const char* path,
                                                                     KestrovaRasterInfo* info) {
    *info = KestrovaRasterInfo{};
    return Guarded(info->error, [&] { return DescribeClasses(path, *info); });
}

__attribute__((visibility("default"))) int kestrova_fill_classes(KestrovaRasterFill* request) {
    return Guarded(request->error, [&] {
        return request->size >= 2 ? FillClasses(*request) : "a lattice needs two nodes a side";
    });
}
}
