// Data files are opened for reading only when they are regular files.
//
// A FIFO, a device or a directory named as a tile, a zone map, a radio-climate
// map, a site file or the settings file is refused at once with a message:
// opening a FIFO for reading would wait for a writer for ever, and opening a
// device can have side effects. The file is checked before it is opened, then
// opened without blocking and checked again on the open descriptor, so a
// file swapped in between is refused as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrova {

// Why path cannot be read as a data file: "" when it names a regular file
// (symbolic links followed), else "does not exist" or "is not a regular
// file".
std::string RegularFileProblem(const std::string& path);

// An open regular file, read-only; closed by the destructor.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // False, with Problem() set, when path is not a regular file or cannot
    // be opened.
    bool Open(const std::string& path);
    void Close();

    bool IsOpen() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }
    std::uint64_t Size() const { return size_; }
    const std::string& Problem() const { return problem_; }

    // Reads up to count bytes from the current position into buffer (fewer
    // only at the end of the file); the number read, or -1 on an error.
    long long Read(void* buffer, std::size_t count);

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::string problem_;
};

// The whole file at path into bytes. False, with problem set to a short
// reason ("does not exist", "is not a regular file", "is larger than N
// bytes", a system error), when it cannot be read in full; bytes is then
// left empty.
bool ReadWholeFile(const std::string& path, std::size_t maxBytes, std::string& bytes,
                   std::string& problem);

} // namespace kestrova
