#include "coverage/ZipFiles.h"

#include <zip.h>
#include <zlib.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <ostream>
#include <sys/stat.h>

namespace kestrova {
namespace {

constexpr size_t copyBufferSize = 16384;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::uint32_t DosDateTime(const std::tm& t) {
    if (t.tm_year < 80) return (1u << 5 | 1u) << 16; // 1 January 1980, 00:00
    const auto date =
        static_cast<std::uint32_t>((t.tm_year - 80) << 9 | (t.tm_mon + 1) << 5 | t.tm_mday);
    const auto time = static_cast<std::uint32_t>(t.tm_hour << 11 | t.tm_min << 5 | t.tm_sec / 2);
    return date << 16 | time;
}

// Copies one open file into the archive's current entry; false after a
// read or write error, which it reports.
bool CopyInto(zipFile zip, std::FILE* file, const std::string& name, std::vector<char>& buffer,
              std::ostream& diagnostics, int& error) {
    for (;;) {
        const size_t read = std::fread(buffer.data(), 1, buffer.size(), file);
        if (read < buffer.size() && !std::feof(file)) {
            diagnostics << "error in reading " << name << "\n";
            error = ZIP_ERRNO;
            return false;
        }
        if (read == 0) return true;
        error = zipWriteInFileInZip(zip, buffer.data(), static_cast<unsigned>(read));
        if (error < 0) {
            diagnostics << "error in writing " << name << " in the zipfile\n";
            return false;
        }
    }
}

// One entry: opened in the archive, filled from its file, closed.
int AddEntry(zipFile zip, const std::string& path, const std::string& name,
             std::vector<char>& buffer, std::ostream& diagnostics) {
    zip_fileinfo info{};
    std::uint32_t dosDate = 0;
    GetFileDosTime(path, dosDate);
    info.dosDate = dosDate;
    int error = zipOpenNewFileInZip3(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                     Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS,
                                     DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0);
    if (error != ZIP_OK) {
        diagnostics << "error in opening " << name << " in zipfile\n";
        return error;
    }
    const File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        diagnostics << "error in opening " << name << " for reading\n";
        zipCloseFileInZip(zip);
        return ZIP_ERRNO;
    }
    if (!CopyInto(zip, file.get(), name, buffer, diagnostics, error)) {
        zipCloseFileInZip(zip);
        return error;
    }
    error = zipCloseFileInZip(zip);
    if (error != ZIP_OK) diagnostics << "error in closing " << name << " in the zipfile\n";
    return error;
}

} // namespace

bool GetFileDosTime(const std::string& path, std::uint32_t& dosDateTime) {
    dosDateTime = 0;
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return false;
    std::tm local{};
    if (localtime_r(&status.st_mtime, &local) == nullptr) return false;
    dosDateTime = DosDateTime(local);
    return true;
}

int ZipFiles(const std::string& archive, const std::string& directory,
             const std::vector<std::string>& names, std::ostream& diagnostics) {
    std::vector<char> buffer(copyBufferSize);
    zipFile zip = zipOpen2(archive.c_str(), APPEND_STATUS_CREATE, nullptr, nullptr);
    if (zip == nullptr) {
        diagnostics << "error in creating " << archive << "\n";
        return ZIP_ERRNO;
    }
    int error = ZIP_OK;
    for (const std::string& name : names) {
        error = AddEntry(zip, directory + "/" + name, name, buffer, diagnostics);
        if (error != ZIP_OK) break;
    }
    const int closed = zipClose(zip, nullptr);
    if (closed != ZIP_OK) {
        diagnostics << "error in closing " << archive << "\n";
        if (error == ZIP_OK) error = closed;
    }
    return error;
}

} // namespace kestrova
