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
            if (reader.describe && reader.fill) return;
        }
        reader.describe = nullptr;
        reader.fill = nullptr;
        reader.problem = std::string("the raster reader (") + rasterModuleName +
                         ", with GDAL) cannot be loaded" + (reasons.empty() ? "" : ": " + reasons);
    });
    return reader;
}

} // namespace

std::optional<RasterInfo> DescribeRaster(const std::string& path, std::string& problem) {
    const Reader& reader = LoadReader();
    if (!reader.describe) {
        problem = reader.problem;
        return std::nullopt;
    }
    KestrovaRasterInfo info{};
    if (!reader.describe(path.c_str(), &info)) {
        problem = info.error;
        return std::nullopt;
    }
    problem.clear();
    return RasterInfo{info.west,  info.south,  info.east,   info.north, info.resolution,
                      info.width, info.height, info.driver, info.crs};
}

bool FillRaster(const std::string& path, double west, double north, int size, int16_t* heights,
                std::string& problem) {
    const Reader& reader = LoadReader();
    if (!reader.fill) {
        problem = reader.problem;
        return false;
    }
    KestrovaRasterFill request{path.c_str(), west, north, size, heights, {}};
    if (!reader.fill(&request)) {
        problem = request.error;
        return false;
    }
    problem.clear();
    return true;
}

namespace {

struct ClassReader {
    KestrovaDescribeClasses describe = nullptr;
    KestrovaFillClasses fill = nullptr;
    std::string problem;
};

// The class entry points of the module LoadReader found.
const ClassReader& LoadClassReader() {
    static std::once_flag loaded;
    static ClassReader reader;
    std::call_once(loaded, [] {
        const Reader& heights = LoadReader();
        Dl_info where{};
        void* module = nullptr;
        if (heights.fill && ::dladdr(reinterpret_cast<void*>(heights.fill), &where) != 0)
            module = ::dlopen(where.dli_fname, RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
        if (module) {
            reader.describe = reinterpret_cast<KestrovaDescribeClasses>(
                ::dlsym(module, classesDescribeEntryPoint));
            reader.fill =
                reinterpret_cast<KestrovaFillClasses>(::dlsym(module, classesFillEntryPoint));
        }
        if (!reader.describe || !reader.fill)
            reader.problem = heights.problem.empty()
                                 ? std::string("the raster reader (") + rasterModuleName +
                                       ") cannot read land cover"
                                 : heights.problem;
    });
    return reader;
}

} // namespace

std::optional<RasterInfo> DescribeClassRaster(const std::string& path, std::string& problem) {
    const ClassReader& reader = LoadClassReader();
    if (!reader.describe) {
        problem = reader.problem;
        return std::nullopt;
    }
    KestrovaRasterInfo info{};
    if (!reader.describe(path.c_str(), &info)) {
        problem = info.error;
        return std::nullopt;
    }
    problem.clear();
    return RasterInfo{info.west,  info.south,  info.east,   info.north, info.resolution,
                      info.width, info.height, info.driver, info.crs};
}

bool FillClassRaster(const std::string& path, double west, double north, int size, int16_t* codes,
                     std::string& problem) {
    const ClassReader& reader = LoadClassReader();
    if (!reader.fill) {
        problem = reader.problem;
        return false;
    }
    KestrovaRasterFill request{path.c_str(), west, north, size, codes, {}};
    if (!reader.fill(&request)) {
        problem = request.error;
        return false;
    }
    problem.clear();
    return true;
}

} // namespace kestrova
