// A fresh temporary directory for one test, removed with everything in it
// at the end of its scope.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace kestrova::test {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kestrova-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path = pattern;
    }
    ~TempDir() {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path; }
    std::string Path(const std::string& name) const { return (path / name).string(); }
    std::string String() const { return path.string(); }
    // With a trailing separator, as the terrain store wants a directory.
    std::string Dir() const { return path.string() + "/"; }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(path / name, std::ios::binary) << text;
    }

private:
    std::filesystem::path path;
};

// A tile directory whose only tile (n00e000, one byte) lies far from every
// place the tests look at: there every height reads as missing data, while
// the directory still counts as one that holds tiles. Lives for the run.
inline const std::string& FarTileDirectory() {
    static const TempDir dir;
    static const std::string path = (dir.Write("n00e000.hgt", std::string(1, '\0')), dir.Dir());
    return path;
}

} // namespace kestrova::test
