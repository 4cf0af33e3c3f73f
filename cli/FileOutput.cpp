#include "cli/FileOutput.h"

#include "cli/Args.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace kestrova::cli {

void WriteFileSafely(const std::string& path, const std::string& content) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << content;
        file.flush();
        if (!file) {
            std::remove(temporary.c_str());
            throw InputError("could not write \"" + path + "\"");
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::remove(temporary.c_str());
        throw InputError("could not write \"" + path + "\": " + error.message());
    }
}

} // namespace kestrova::cli
