#include "files/InputFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {

std::string RegularFileProblem(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? "does not exist" : std::strerror(errno);
    return S_ISREG(info.st_mode) ? "" : "is not a regular file";
}

InputFile::~InputFile() {
    Close();
}

bool InputFile::Open(const std::string& path) {
    Close();
    problem_ = RegularFileProblem(path);
    if (!problem_.empty()) return false;
    // O_NONBLOCK: a FIFO put in place since the check cannot hold the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        problem_ = std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        problem_ = "is not a regular file";
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    fd_ = fd;
    size_ = static_cast<std::uint64_t>(info.st_size);
    return true;
}

void InputFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    size_ = 0;
}

long long InputFile::Read(void* buffer, std::size_t count) {
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(fd_, bytes + done, count - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<long long>(done);
}

bool ReadWholeFile(const std::string& path, std::size_t maxBytes, std::string& bytes,
                   std::string& problem) {
    bytes.clear();
    InputFile file;
    if (!file.Open(path)) {
        problem = file.Problem();
        return false;
    }
    if (file.Size() > maxBytes) {
        problem = "is larger than " + std::to_string(maxBytes) + " bytes";
        return false;
    }
    try {
        bytes.resize(static_cast<std::size_t>(file.Size()));
    } catch (const std::bad_alloc&) {
        problem = "is too large for the memory available";
        return false;
    }
    const long long got = file.Read(bytes.data(), bytes.size());
    if (got != static_cast<long long>(bytes.size())) {
        bytes.clear();
        problem = got < 0 ? std::strerror(errno) : "changed while it was read";
        return false;
    }
    problem.clear();
    return true;
}

} // namespace kestrova
