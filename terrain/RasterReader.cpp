#include "terrain/RasterReader.h"

#include "geo/FileLocations.h"
#include "terrain/RasterModule.h"

#include <dlfcn.h>

#include <cstdlib>
#include <mutex>

namespace kestrova {
namespace {

struct Reader {
    KestrovaDescribeRaster describe = nullptr;
    KestrovaFillRaster fill = nullptr;
    KestrovaDescribeClasses describeClasses = nullptr;
    KestrovaFillClasses fillClasses = nullptr;
    std::string problem; // why the module cannot be loaded
};

// The module's entry points, loaded on first use and kept for the life of
// the process.
const Reader& LoadReader() {
    static std::once_flag loaded;
    static Reader reader;
    std::call_once(loaded, [] {
        // The BLAS that GDAL pulls in would start a worker thread per core;
        // the reader needs none (a user's own setting wins).
        ::setenv("OPENBLAS_NUM_THREADS", "1", 0);
        std::string reasons;
        // Beside the executable (a build tree), in the installed library
        // folder beside its bin/ folder, then on the library path.
        for (const std::string& candidate :
             {ExecutableDirectory() + rasterModuleName,
              ExecutableDirectory() + "../" KESTROVA_INSTALL_LIBDIR "/kestrova/" + rasterModuleName,
              std::string(rasterModuleName)}) {
            void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (module == nullptr) {
                const char* reason = ::dlerror();
                if (reasons.empty() && reason) reasons = reason;
                continue;
            }
            reader.describe =
                reinterpret_cast<KestrovaDescribeRaster>(::dlsym(module, rasterDescribeEntryPoint));
            reader.fill =
                reinterpret_cast<KestrovaFillRaster>(::dlsym(module, rasterFillEntryPoint));
            reader.describeClasses = reinterpret_cast<KestrovaDescribeClasses>(
                ::dlsym(module, classesDescribeEntryPoint));
            reader.fillClasses =
                reinterpret_cast<KestrovaFillClasses>(::dlsym(module, classesFillEntryPoint));
            if (reader.describe && reader.fill && reader.describeClasses && reader.fillClasses)
                return;
        }
        reader = Reader{};
        reader.problem = std::string("the raster reader (") + rasterModuleName +
                         ", with GDAL) cannot be loaded" + (reasons.empty() ? "" : ": " + reasons);
    });
    return reader;
}

// A raster described by one of the module's describing entry points.
std::optional<RasterInfo> DescribeWith(KestrovaDescribeRaster describe, const std::string& path,
                                       std::string& problem) {
    if (!describe) {
        problem = LoadReader().problem;
        return std::nullopt;
    }
    KestrovaRasterInfo info{};
    if (!describe(path.c_str(), &info)) {
        problem = info.error;
        return std::nullopt;
    }
    problem.clear();
    return RasterInfo{info.west,  info.south,  info.east,   info.north, info.resolution,
                      info.width, info.height, info.driver, info.crs};
}

// A lattice painted by one of the module's painting entry points.
bool FillWith(KestrovaFillRaster fill, const std::string& path, double west, double north, int size,
              int16_t* values, std::string& problem) {
    if (!fill) {
        problem = LoadReader().problem;
        return false;
    }
    KestrovaRasterFill request{path.c_str(), west, north, size, values, {}};
    if (!fill(&request)) {
        problem = request.error;
        return false;
    }
    problem.clear();
    return true;
}

} // namespace

std::optional<RasterInfo> DescribeRaster(const std::string& path, std::string& problem) {
    return DescribeWith(LoadReader().describe, path, problem);
}

bool FillRaster(const std::string& path, double west, double north, int size, int16_t* heights,
                std::string& problem) {
    return FillWith(LoadReader().fill, path, west, north, size, heights, problem);
}

std::optional<RasterInfo> DescribeClassRaster(const std::string& path, std::string& problem) {
    return DescribeWith(LoadReader().describeClasses, path, problem);
}

bool FillClassRaster(const std::string& path, double west, double north, int size, int16_t* codes,
                     std::string& problem) {
    return FillWith(LoadReader().fillClasses, path, west, north, size, codes, problem);
}

} // namespace kestrova
