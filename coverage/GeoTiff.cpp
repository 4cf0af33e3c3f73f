#include "coverage/GeoTiff.h"

#include "files/SafeWrite.h"
#include "geo/NumberFormat.h"

#include "coverage/GeoTiffModule.h"
#include "geo/FileLocations.h"

#include <dlfcn.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace kestrova {
namespace {

// The module's entry point, loaded on first use; null with problem set
// when it cannot be loaded.
KestrovaWriteGeoTiff LoadWriter(std::string& problem) {
    static std::once_flag loaded;
    static KestrovaWriteGeoTiff writer = nullptr;
    static std::string loadProblem;
    std::call_once(loaded, [] {
        // The BLAS that GDAL pulls in would start a worker thread per core;
        // the writer needs none (a user's own setting wins).
        ::setenv("OPENBLAS_NUM_THREADS", "1", 0);
        std::string reasons;
        // Beside the executable (a build tree), in the installed library
        // folder beside its bin/ folder, then on the library path.
        for (const std::string& candidate :
             {ExecutableDirectory() + geoTiffModuleName,
              ExecutableDirectory() + "../" KESTROVA_INSTALL_LIBDIR "/kestrova/" +
                  geoTiffModuleName,
              std::string(geoTiffModuleName)}) {
            void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (module == nullptr) {
                const char* reason = ::dlerror();
                if (reasons.empty() && reason) reasons = reason;
                continue;
            }
            writer = reinterpret_cast<KestrovaWriteGeoTiff>(::dlsym(module, geoTiffEntryPoint));
            if (writer) return; // kept loaded for the life of the process
        }
        loadProblem = std::string("the GeoTIFF writer (") + geoTiffModuleName +
                      ", with GDAL) cannot be loaded" + (reasons.empty() ? "" : ": " + reasons);
    });
    problem = loadProblem;
    return writer;
}

void FillRow(void* context, int i, float* values) {
    const auto& field = *static_cast<const CoverageField*>(context);
    const int n = field.Area().n;
    for (int j = 0; j < n; ++j) {
        const double value = field.Value(i, j);
        const bool shown = std::isfinite(value) && !field.NoTerrain(i, j);
        values[j] = static_cast<float>(shown ? value : geoTiffNoData);
    }
}

std::string WriteTo(const std::string& path, const CoverageField& field, const GeoTiffLink& link) {
    std::string problem;
    const KestrovaWriteGeoTiff writer = LoadWriter(problem);
    if (!writer) return problem;
    const CoverageArea& area = field.Area();
    const std::array<std::string, 7> values = {
        FormatGeneral(link.frequency, 10),        FormatGeneral(link.txHeight, 10),
        FormatGeneral(link.rxHeight, 10),         FormatGeneral(link.percent, 10),
        FormatGeneral(link.txLatitude, 10),       FormatGeneral(link.txLongitude, 10),
        FormatGeneral(field.TerrainMissing(), 10)};
    // The share of cells without terrain only where there are any: a map
    // with terrain everywhere keeps the file it always had.
    const bool missing = field.CellsWithoutTerrain() > 0;
    const char* const metadata[] = {"FREQUENCY_GHZ",
                                    values[0].c_str(),
                                    "TX_HEIGHT_M",
                                    values[1].c_str(),
                                    "RX_HEIGHT_M",
                                    values[2].c_str(),
                                    "TIME_PERCENTAGE",
                                    values[3].c_str(),
                                    "TX_LATITUDE",
                                    values[4].c_str(),
                                    "TX_LONGITUDE",
                                    values[5].c_str(),
                                    "EIRP",
                                    "1 kW",
                                    missing ? "TERRAIN_MISSING" : nullptr,
                                    values[6].c_str(),
                                    nullptr};
    std::vector<char> error(1024, '\0');
    // Pixel (0, 0) is centred on the north-west grid point.
    const KestrovaGeoTiff request{path.c_str(),
                                  area.n,
                                  area.west - area.step / 2.0,
                                  area.north + area.step / 2.0,
                                  area.step,
                                  geoTiffNoData,
                                  metadata,
                                  const_cast<CoverageField*>(&field),
                                  FillRow,
                                  error.data(),
                                  static_cast<int>(error.size()),
                                  1,
                                  nullptr,
                                  nullptr,
                                  nullptr};
    return writer(&request) ? std::string() : std::string(error.data());
}

void FillBestServerRow(void* context, int i, float* values) {
    const auto& composite = *static_cast<const BestServer*>(context);
    const int n = composite.Area().n;
    for (int j = 0; j < n; ++j) {
        const bool shown = !composite.NoTerrainAt(i, j);
        const std::int16_t value = composite.StrongestAt(i, j);
        values[j] =
            static_cast<float>(value == noGridValue || !shown ? geoTiffNoData : value / 100.0);
        const std::uint16_t server = composite.ServerAt(i, j);
        values[n + j] = static_cast<float>(server == 0 || !shown ? geoTiffNoData : server);
    }
}

std::string WriteBestServerTo(const std::string& path, const BestServer& composite,
                              const std::vector<std::string>& siteNames) {
    std::string problem;
    const KestrovaWriteGeoTiff writer = LoadWriter(problem);
    if (!writer) return problem;
    std::vector<std::string> texts = {"EIRP", "1 kW"};
    for (size_t k = 0; k < siteNames.size(); ++k) {
        texts.push_back("SITE_" + std::to_string(k + 1));
        texts.push_back(siteNames[k]);
    }
    std::vector<const char*> metadata;
    for (const std::string& text : texts)
        metadata.push_back(text.c_str());
    metadata.push_back(nullptr);
    const char* const descriptions[] = {
        "strongest field strength for 1 kW EIRP",
        "best server: the number k of the site (SITE_k) that gives it"};
    const char* const units[] = {"dBuV/m", ""};
    // A GeoTIFF holds one nodata value for all its bands.
    const double noData[] = {geoTiffNoData, geoTiffNoData};
    std::vector<char> error(1024, '\0');
    const CoverageArea& area = composite.Area();
    const KestrovaGeoTiff request{path.c_str(),
                                  area.n,
                                  area.west - area.step / 2.0,
                                  area.north + area.step / 2.0,
                                  area.step,
                                  geoTiffNoData,
                                  metadata.data(),
                                  const_cast<BestServer*>(&composite),
                                  FillBestServerRow,
                                  error.data(),
                                  static_cast<int>(error.size()),
                                  2,
                                  descriptions,
                                  units,
                                  noData};
    return writer(&request) ? std::string() : std::string(error.data());
}

} // namespace

std::string WriteBestServerGeoTiff(const std::string& path, const BestServer& composite,
                                   const std::vector<std::string>& siteNames) {
    if (composite.Area().n <= 0) return "could not write \"" + path + "\": the grid is empty";
    return WriteFileThrough(path,
                            [&](const std::string& temporary) {
                                return WriteBestServerTo(temporary, composite, siteNames);
                            })
        .message;
}

std::string WriteCoverageGeoTiff(const std::string& path, const CoverageField& field,
                                 const GeoTiffLink& link) {
    if (field.Area().n <= 0) return "could not write \"" + path + "\": the grid is empty";
    return WriteFileThrough(
               path, [&](const std::string& temporary) { return WriteTo(temporary, field, link); })
        .message;
}

} // namespace kestrova
