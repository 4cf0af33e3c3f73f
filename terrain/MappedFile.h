// A whole file mapped read-only into memory (POSIX mmap), so that reading
// from it costs no system call.
//
// Thread safety: once opened, the mapping is read-only and may be read from
// any number of threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrova {

class CMappedFile {
public:
    CMappedFile() = default;
    ~CMappedFile();
    CMappedFile(const CMappedFile&) = delete;
    CMappedFile& operator=(const CMappedFile&) = delete;

    // Maps the regular file at path; false (and nothing mapped) when it
    // cannot be opened or mapped, or is empty.
    bool Open(const std::string& path);
    void Close();

    const std::uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }
    // The errno of the last failed mapping (ENOMEM: no room in the address
    // space), 0 when none failed: a file that is there but cannot be mapped.
    int MapError() const { return mapError_; }

private:
    int mapError_ = 0;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace kestrova
