// kestrova-cli coverage-batch on three sites of the demo tile: the
// composite's best server and strongest field at every cell are those of
// the sites' own maps, computed apart (--site K); the first site's map is
// `coverage`'s own; the composite built from the sites' grid files is the
// same file; the plan of blocks and sites; the inputs refused.
#include "coverage/CoverageSites.h"

#include "CliRun.h"
#include "TempDir.h"
#include "ZipReader.h"

#include <QImage>

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace kestrova {
namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Hill A first, a site with no frequency (the option's), a grid reference
// with its own height and frequency; a line that is not a site.
const char* const siteFile = "Hill A~51.6 N 1.5 W~25m~1.3GHz\n"
                             "Tower B~51.55 N 1.4 W~40m\n"
                             "# not a site\n"
                             "Mast C~SU374616~15m~2.4GHz\n";

cli::Words Batch(const std::string& sites, std::vector<std::string> more = {}) {
    cli::Words words = {"coverage-batch", sites, "--range", "10",  "--resolution", "30",
                        "--percent",      "10",  "--freq",  "1.3", "--rx-height",  "10",
                        "--tx-height",    "20"};
    words.insert(words.end(), more.begin(), more.end());
    return words;
}

struct Closer {
    void operator()(GDALDataset* d) const { GDALClose(GDALDataset::ToHandle(d)); }
};

struct Composite {
    int n = 0;
    std::array<double, 6> transform{};
    std::vector<float> strongest;
    std::vector<float> server;
};

Composite ReadComposite(const std::string& path) {
    GDALAllRegister();
    std::unique_ptr<GDALDataset, Closer> tif(
        GDALDataset::FromHandle(GDALOpen(path.c_str(), GA_ReadOnly)));
    Composite c;
    if (!tif) return c;
    EXPECT_EQ(tif->GetRasterCount(), 2);
    EXPECT_STREQ(tif->GetMetadataItem("SITE_3"), "Mast C");
    c.n = tif->GetRasterXSize();
    tif->GetGeoTransform(c.transform.data());
    for (auto [band, values] : {std::pair{1, &c.strongest}, std::pair{2, &c.server}}) {
        values->resize(static_cast<size_t>(c.n) * c.n);
        EXPECT_EQ(tif->GetRasterBand(band)->RasterIO(GF_Read, 0, 0, c.n, c.n, values->data(), c.n,
                                                     c.n, GDT_Float32, 0, 0, nullptr),
                  CE_None);
    }
    return c;
}

DecodedSiteGrid ReadGrid(const std::string& path) {
    std::string error;
    auto grid = DecodeSiteGrid(ReadBytes(path), error);
    EXPECT_TRUE(grid) << path << ": " << error;
    return grid ? *grid : DecodedSiteGrid{};
}

TEST(CoverageBatch, BestServerIsTheStrongestOfTheSitesOwnMaps) {
    const test::TempDir dir;
    dir.Write("sites.dat", siteFile);
    const auto all = cli::Cli(Batch(dir.Path("sites.dat"), {"--out-dir", dir.Path("all")}));
    ASSERT_EQ(all.status, 0) << all.err;
    // Each site alone, as cluster tasks run them.
    for (const char* k : {"1", "2", "3"}) {
        const auto one =
            cli::Cli(Batch(dir.Path("sites.dat"), {"--site", k, "--out-dir", dir.Path("apart")}));
        ASSERT_EQ(one.status, 0) << one.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path("apart/composite.tif"))); // --site: one map only

    const Composite c = ReadComposite(dir.Path("all/composite.tif"));
    ASSERT_GT(c.n, 0);
    const double step = c.transform[1];
    const double north = c.transform[3] - step / 2; // the cells' centres
    const double west = c.transform[0] + step / 2;
    std::vector<DecodedSiteGrid> sites;
    for (const char* k : {"1", "2", "3"})
        sites.push_back(ReadGrid(dir.Path(std::string("apart/site-") + k + ".grid")));
    ASSERT_EQ(sites.size(), 3u);
    // No frequency in the file: the option's; the file's own height and
    // frequency otherwise.
    EXPECT_EQ(std::stod(sites[1].inputs[11].second), 1.3);
    EXPECT_EQ(std::stod(sites[2].inputs[11].second), 2.4);
    EXPECT_EQ(std::stod(sites[0].inputs[13].second), 25.0);
    EXPECT_EQ(std::stod(sites[1].inputs[13].second), 40.0);

    // Every cell: the site with the strongest value wins (the first on a
    // tie), nodata where no site's square reaches.
    std::array<long long, 4> won{};
    for (int i = 0; i < c.n; ++i)
        for (int j = 0; j < c.n; ++j) {
            int best = 0;
            std::int16_t strongest = noGridValue;
            for (int k = 0; k < 3; ++k) {
                const DecodedSiteGrid& s = sites[static_cast<size_t>(k)];
                const int row = i - static_cast<int>(std::lround((north - s.area.north) / step));
                const int column = j - static_cast<int>(std::lround((s.area.west - west) / step));
                if (row < 0 || column < 0 || row >= s.area.n || column >= s.area.n) continue;
                const std::int16_t v = s.cells[static_cast<size_t>(row) * s.area.n + column];
                if (best == 0 || v > strongest) best = k + 1, strongest = v;
            }
            const size_t cell = static_cast<size_t>(i) * c.n + j;
            ++won[static_cast<size_t>(best)];
            if (best == 0) {
                EXPECT_EQ(c.server[cell], -9999.0f) << i << "," << j;
                EXPECT_EQ(c.strongest[cell], -9999.0f) << i << "," << j;
            } else {
                ASSERT_EQ(c.server[cell], static_cast<float>(best)) << i << "," << j;
                ASSERT_EQ(c.strongest[cell], static_cast<float>(strongest / 100.0))
                    << i << "," << j;
            }
        }
    for (int k = 0; k < 4; ++k)
        EXPECT_GT(won[static_cast<size_t>(k)], 0) << "cells of site " << k << " (0: none)";
    // A site serves the cell it stands on.
    const double places[3][2] = {{51.6, -1.5}, {51.55, -1.4}, {51.4412, -1.4387}};
    for (int k = 0; k < 3; ++k) {
        const auto i = static_cast<int>(std::lround((north - places[k][0]) / step));
        const auto j = static_cast<int>(std::lround((places[k][1] - west) / step));
        EXPECT_EQ(c.server[static_cast<size_t>(i) * c.n + j], static_cast<float>(k + 1)) << k;
    }

    // The maps computed apart are the batch's own, and the first site's
    // files are those of `coverage` for it alone.
    for (const char* name : {"site-1.csv", "site-2.tif", "site-3.png", "site-3.grid"})
        EXPECT_TRUE(ReadBytes(dir.Path(std::string("all/") + name)) ==
                    ReadBytes(dir.Path(std::string("apart/") + name)))
            << name;
    const auto alone = cli::Cli({"coverage",
                                 "--tx",
                                 "51.6 N 1.5 W",
                                 "--format",
                                 "deg",
                                 "--range",
                                 "10",
                                 "--resolution",
                                 "30",
                                 "--percent",
                                 "10",
                                 "--freq",
                                 "1.3",
                                 "--rx-height",
                                 "10",
                                 "--tx-height",
                                 "25",
                                 "--csv",
                                 dir.Path("alone.csv"),
                                 "--geotiff",
                                 dir.Path("alone.tif")});
    ASSERT_EQ(alone.status, 0) << alone.err;
    EXPECT_TRUE(ReadBytes(dir.Path("alone.csv")) == ReadBytes(dir.Path("all/site-1.csv")));
    EXPECT_TRUE(ReadBytes(dir.Path("alone.tif")) == ReadBytes(dir.Path("all/site-1.tif")));

    // The composite from the grid files is the same file.
    const auto merged = cli::Cli(
        Batch(dir.Path("sites.dat"), {"--composite-only", "--out-dir", dir.Path("apart")}));
    ASSERT_EQ(merged.status, 0) << merged.err;
    EXPECT_TRUE(ReadBytes(dir.Path("all/composite.tif")) ==
                ReadBytes(dir.Path("apart/composite.tif")));
    EXPECT_TRUE(std::filesystem::exists(dir.Path("apart/composite.kmz")));
}

// The KMZ: each cell in the colour of its best server where the strongest
// field reaches --min-fs, clear elsewhere; a legend placemark a site, its
// name escaped, its colour in KML's aabbggrr order.
TEST(CoverageBatch, KmzShowsEachSitesCellsInItsColourWithALegend) {
    const test::TempDir dir;
    dir.Write("sites.dat", std::string(siteFile) + "Fen & <Ditch>~51.5 N 1.3 W~10m\n");
    const auto run =
        cli::Cli(Batch(dir.Path("sites.dat"), {"--min-fs", "60", "--out-dir", dir.Path("out")}));
    ASSERT_EQ(run.status, 0) << run.err;
    const Composite c = ReadComposite(dir.Path("out/composite.tif"));
    const auto entries = test::ReadZip(dir.Path("out/composite.kmz"));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "doc.kml");
    EXPECT_EQ(entries[1].name, "BestServer.png");
    EXPECT_EQ(entries[2].name, "Triangle.png");
    QImage image;
    ASSERT_TRUE(image.loadFromData(reinterpret_cast<const uchar*>(entries[1].content.data()),
                                   static_cast<int>(entries[1].content.size())));
    ASSERT_EQ(image.width(), c.n);
    ASSERT_EQ(image.height(), c.n);
    std::array<int, 3> shown{}; // clear, coloured, weaker than --min-fs
    for (int i = 0; i < c.n; ++i)
        for (int j = 0; j < c.n; ++j) {
            const size_t cell = static_cast<size_t>(i) * c.n + j;
            const QRgb pixel = image.pixel(j, i);
            if (c.server[cell] < 1 || c.strongest[cell] < 60.0f) {
                ASSERT_EQ(qAlpha(pixel), 0) << i << "," << j;
                ++shown[c.server[cell] < 1 ? 0 : 2];
                continue;
            }
            ++shown[1];
            ASSERT_EQ(pixel & 0xFFFFFFu, SiteColour(static_cast<int>(c.server[cell]) - 1))
                << i << "," << j;
            ASSERT_EQ(qAlpha(pixel), 255);
        }
    for (const int count : shown)
        EXPECT_GT(count, 0);
    const std::string& kml = entries[0].content;
    EXPECT_NE(kml.find("<href>BestServer.png</href>"), std::string::npos);
    EXPECT_NE(kml.find("<name>4 Fen &amp; &lt;Ditch&gt;</name>"), std::string::npos) << kml;
    EXPECT_EQ(kml.find("<Ditch>"), std::string::npos);
    // Site 1 is 0xe6194b: KML writes ff4b19e6.
    EXPECT_EQ(SiteColour(0), 0xe6194bu);
    EXPECT_NE(kml.find("<color>ff4b19e6</color>"), std::string::npos) << kml;
    EXPECT_NE(kml.find("background-color:#e6194b"), std::string::npos) << kml;
}

TEST(CoverageBatch, RefusesWhatCannotMakeTheMaps) {
    const test::TempDir dir;
    dir.Write("sites.dat", siteFile);
    dir.Write("empty.dat", "");
    dir.Write("comments.dat", "# sites\nName~IO91~10m\n");
    const std::string sites = dir.Path("sites.dat");
    // Grids for --composite-only: site 2 at another frequency, site 3 none.
    ASSERT_EQ(cli::Cli(Batch(sites, {"--site", "1", "--out-dir", dir.Path("g")})).status, 0);
    ASSERT_EQ(
        cli::Cli(Batch(sites, {"--site", "2", "--freq", "2", "--out-dir", dir.Path("g")})).status,
        0);
    const struct {
        const char* what;
        cli::Words words;
        int status;
        std::vector<std::string> said;
    } cases[] = {
        {"an empty site file", Batch(dir.Path("empty.dat")), 2, {"holds no site"}},
        {"no line a site", Batch(dir.Path("comments.dat")), 2, {"holds no site", "line 2"}},
        {"no such file", Batch(dir.Path("none.dat")), 2, {"none.dat"}},
        {"site 0", Batch(sites, {"--site", "0"}), 1, {"from 1 to 3", "\"0\""}},
        {"site 4 of 3", Batch(sites, {"--site", "4"}), 1, {"from 1 to 3", "\"4\""}},
        {"site not a number", Batch(sites, {"--site", "2x"}), 1, {"from 1 to 3"}},
        {"one site and the composite",
         Batch(sites, {"--site", "1", "--composite-only"}),
         1,
         {"not both"}},
        {"two site files", {"coverage-batch", sites, sites, "--range", "10"}, 1, {"one site file"}},
        {"a grid of other options",
         Batch(sites, {"--composite-only", "--out-dir", dir.Path("g")}),
         2,
         {"site 2 \"Tower B\"", "frequency (GHz) 2 in the grid file, 1.3 in this run", "--site 2",
          "the composite was not written"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto run = cli::Cli(c.words);
        EXPECT_EQ(run.status, c.status) << run.err;
        for (const std::string& part : c.said)
            EXPECT_NE(run.err.find(part), std::string::npos) << part << " not in: " << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path("g/composite.tif")));
    EXPECT_FALSE(std::filesystem::exists("composite.tif"));
    // A grid missing: the site is named with the way to make it.
    std::filesystem::remove(dir.Path("g/site-2.grid"));
    const auto missing = cli::Cli(Batch(sites, {"--composite-only", "--out-dir", dir.Path("g")}));
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("site 2 \"Tower B\" failed"), std::string::npos) << missing.err;
    EXPECT_NE(missing.err.find("--site 2"), std::string::npos) << missing.err;
}

// The plan computes nothing: the blocks' rows make up the map, each
// site's cells are its square's, the composite's its own.
TEST(CoveragePlan, NamesTheCellsMemoryAndTimeOfEachBlockAndSite) {
    const test::TempDir dir;
    const cli::Words map = {"coverage",     "--tx", "SU374616", "--range", "10",
                            "--resolution", "30",   "--plan",   "--json"};
    const auto whole = cli::Cli(map);
    ASSERT_EQ(whole.status, 0) << whole.err;
    const auto w = nlohmann::json::parse(whole.out).at(0);
    const int n = w.at("cells_a_side");
    EXPECT_EQ(w.at("cells"), static_cast<long long>(n) * n);
    for (const int count : {1, 3, 7}) {
        SCOPED_TRACE(count);
        long long cells = 0;
        int nextRow = 1;
        for (int index = 1; index <= count; ++index) {
            cli::Words words = map;
            words.insert(words.end(),
                         {"--block", std::to_string(index) + "/" + std::to_string(count)});
            const auto run = cli::Cli(words);
            ASSERT_EQ(run.status, 0) << run.err;
            const auto b = nlohmann::json::parse(run.out).at(0);
            EXPECT_EQ(b.at("first_row"), nextRow);
            nextRow += b.at("rows").get<int>();
            cells += b.at("cells").get<long long>();
            EXPECT_LE(b.at("bytes").get<long long>(), w.at("bytes").get<long long>());
            EXPECT_GT(b.at("seconds").get<double>(), 0.0);
        }
        EXPECT_EQ(nextRow, n + 1);
        EXPECT_EQ(cells, w.at("cells").get<long long>());
    }
    const auto text =
        cli::Cli({"coverage", "--tx", "SU374616", "--range", "10", "--block", "2/3", "--plan"});
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out.rfind("block 2/3: rows ", 0), 0u) << text.out;
    EXPECT_NE(text.out.find(" MB and "), std::string::npos) << text.out;

    dir.Write("sites.dat", siteFile);
    const auto batch =
        cli::Cli(Batch(dir.Path("sites.dat"), {"--plan", "--json", "--out-dir", dir.Path("out")}));
    ASSERT_EQ(batch.status, 0) << batch.err;
    const auto entries = nlohmann::json::parse(batch.out);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].at("what"), "site 1 \"Hill A\"");
    EXPECT_EQ(entries[3].at("what"), "composite");
    EXPECT_EQ(entries[0].at("cells_a_side"), n); // the same range and resolution
    EXPECT_GT(entries[3].at("cells_a_side").get<int>(), n);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out")));
    const auto one = cli::Cli(Batch(dir.Path("sites.dat"), {"--plan", "--site", "3"}));
    EXPECT_EQ(one.out.rfind("site 3 \"Mast C\": ", 0), 0u) << one.out;
    EXPECT_EQ(std::count(one.out.begin(), one.out.end(), '\n'), 1);
}

} // namespace
} // namespace kestrova
