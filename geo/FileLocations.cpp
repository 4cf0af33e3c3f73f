#include "geo/FileLocations.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#ifndef KESTROVA_DATA_INSTALL_DIR
#define KESTROVA_DATA_INSTALL_DIR "/usr/local/share/kestrova"
#endif

namespace kestrova {
namespace fs = std::filesystem;

namespace {
bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string WithSlash(std::string directory) {
    if (!directory.empty() && directory.back() != '/') directory += '/';
    return directory;
}
} // namespace

std::string ExecutableDirectory() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return WithSlash(exe.parent_path().string());
}

std::string InstalledDataDirectory() {
    const std::string executable = ExecutableDirectory();
    if (!executable.empty()) {
        const fs::path beside = fs::path(executable) / ".." / "share" / "kestrova";
        std::error_code error;
        if (fs::is_directory(beside, error)) return WithSlash(beside.lexically_normal().string());
    }
    return WithSlash(KESTROVA_DATA_INSTALL_DIR);
}

std::vector<std::string> ProgramDataDirectories() {
    std::vector<std::string> directories;
    for (std::string directory : {ExecutableDirectory(), InstalledDataDirectory()})
        if (!directory.empty() &&
            std::find(directories.begin(), directories.end(), directory) == directories.end())
            directories.push_back(std::move(directory));
    return directories;
}

std::string FindProgramDataFile(const std::string& name) {
    for (const std::string& directory : ProgramDataDirectories()) {
        std::error_code error;
        if (fs::is_regular_file(directory + name, error)) return directory + name;
    }
    return {};
}

std::string FindFileIgnoringCase(const std::string& name,
                                 const std::vector<std::string>& directories) {
    for (const std::string& directory : directories) {
        const fs::path base = directory.empty() ? fs::path(".") : fs::path(directory);
        std::error_code error;
        // The exact name first: no directory walk in the common case.
        if (fs::is_regular_file(base / name, error)) return (base / name).string();
        for (fs::directory_iterator it(base, error), end; !error && it != end;
             it.increment(error)) {
            if (SameIgnoringCase(it->path().filename().string(), name) &&
                it->is_regular_file(error))
                return it->path().string();
        }
    }
    return {};
}

} // namespace kestrova
