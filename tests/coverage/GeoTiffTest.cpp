// The GeoTIFF export read back with GDAL: its size, its georeferencing,
// its values and nodata, its metadata, and files that cannot be written.
#include "coverage/GeoTiff.h"

#include "TempDir.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>

namespace kestrova {
namespace {

struct Closer {
    void operator()(GDALDataset* d) const { GDALClose(GDALDataset::ToHandle(d)); }
};

std::unique_ptr<GDALDataset, Closer> Open(const std::string& path) {
    GDALAllRegister();
    return std::unique_ptr<GDALDataset, Closer>(
        GDALDataset::FromHandle(GDALOpen(path.c_str(), GA_ReadOnly)));
}

// A 6 x 6 grid, 30 arc-seconds a cell, straddling the prime meridian; cell
// (i, j) holds 10 i + j - 20.5 except two cells that were not computed.
GridField SmallGrid() {
    CoverageArea area;
    area.n = 6;
    area.resolution = 30;
    area.step = 30.0 / 3600.0;
    area.north = 51.5;
    area.west = -0.02;
    area.extent = 5 * area.step;
    area.south = area.north - area.extent;
    area.east = area.west + area.extent;
    std::vector<float> values;
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j)
            values.push_back(static_cast<float>(10 * i + j - 20.5));
    values[7] = std::numeric_limits<float>::quiet_NaN();
    values[35] = std::numeric_limits<float>::infinity();
    return GridField(area, values);
}

GeoTiffLink Link() {
    GeoTiffLink link;
    link.frequency = 0.145;
    link.txHeight = 12.5;
    link.rxHeight = 10.0;
    link.percent = 50.0;
    link.txLatitude = 51.48;
    link.txLongitude = 0.001;
    return link;
}

TEST(GeoTiff, ReadsBackAsTheGrid) {
    const test::TempDir dir;
    const GridField grid = SmallGrid();
    const std::string path = dir.Path("coverage.tif");
    ASSERT_EQ(WriteCoverageGeoTiff(path, grid, Link()), "");
    // Only the file itself: no temporary or side-car file is left over.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);

    const auto tif = Open(path);
    ASSERT_TRUE(tif);
    EXPECT_EQ(tif->GetRasterXSize(), 6);
    EXPECT_EQ(tif->GetRasterYSize(), 6);
    ASSERT_EQ(tif->GetRasterCount(), 1);
    double gt[6] = {};
    ASSERT_EQ(tif->GetGeoTransform(gt), CE_None);
    const double step = 30.0 / 3600.0;
    EXPECT_DOUBLE_EQ(gt[0], -0.02 - step / 2);
    EXPECT_DOUBLE_EQ(gt[1], step);
    EXPECT_EQ(gt[2], 0.0);
    EXPECT_DOUBLE_EQ(gt[3], 51.5 + step / 2);
    EXPECT_EQ(gt[4], 0.0);
    EXPECT_DOUBLE_EQ(gt[5], -step);
    const OGRSpatialReference* srs = tif->GetSpatialRef();
    ASSERT_NE(srs, nullptr);
    EXPECT_STREQ(srs->GetAuthorityName(nullptr), "EPSG");
    EXPECT_STREQ(srs->GetAuthorityCode(nullptr), "4326");

    GDALRasterBand* band = tif->GetRasterBand(1);
    EXPECT_EQ(band->GetRasterDataType(), GDT_Float32);
    int hasNoData = 0;
    EXPECT_EQ(band->GetNoDataValue(&hasNoData), geoTiffNoData);
    EXPECT_TRUE(hasNoData);
    EXPECT_STREQ(band->GetUnitType(), "dBuV/m");
    std::vector<float> cells(36);
    ASSERT_EQ(band->RasterIO(GF_Read, 0, 0, 6, 6, cells.data(), 6, 6, GDT_Float32, 0, 0, nullptr),
              CE_None);
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j) {
            const double value = grid.Value(i, j);
            const float expected = std::isfinite(value) ? static_cast<float>(value) : geoTiffNoData;
            EXPECT_EQ(cells[static_cast<size_t>(6 * i + j)], expected) << i << ", " << j;
        }

    EXPECT_STREQ(tif->GetMetadataItem("FREQUENCY_GHZ"), "0.145");
    EXPECT_STREQ(tif->GetMetadataItem("TX_HEIGHT_M"), "12.5");
    EXPECT_STREQ(tif->GetMetadataItem("RX_HEIGHT_M"), "10");
    EXPECT_STREQ(tif->GetMetadataItem("TIME_PERCENTAGE"), "50");
}

TEST(GeoTiff, AFailedWriteSaysSoAndKeepsTheEarlierFile) {
    const test::TempDir dir;
    const std::string missing = dir.Path("no-such-dir/coverage.tif");
    const std::string error = WriteCoverageGeoTiff(missing, SmallGrid(), Link());
    EXPECT_NE(error.find(missing), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(missing));

    // A read-only file is refused, naming it and not the temporary: it stays.
    const std::string earlier = dir.Path("earlier.tif");
    dir.Write("earlier.tif", "earlier");
    std::filesystem::permissions(earlier, std::filesystem::perms::owner_read);
    EXPECT_EQ(WriteCoverageGeoTiff(earlier, SmallGrid(), Link()),
              "could not write \"" + earlier + "\": the file is read-only");
    std::ifstream kept(earlier);
    std::string content;
    std::getline(kept, content);
    EXPECT_EQ(content, "earlier");

    // A name of 254 characters leaves room for no longer temporary name
    // beside it: the temporary's is shortened, and the file written.
    const std::string longName = dir.Path(std::string(250, 'c') + ".tif");
    EXPECT_EQ(WriteCoverageGeoTiff(longName, SmallGrid(), Link()), "");
    EXPECT_TRUE(Open(longName));

    // A good write replaces it.
    const std::string replaced = dir.Path("coverage.tif");
    dir.Write("coverage.tif", "earlier");
    ASSERT_EQ(WriteCoverageGeoTiff(replaced, SmallGrid(), Link()), "");
    EXPECT_TRUE(Open(replaced));
}

} // namespace
} // namespace kestrova
