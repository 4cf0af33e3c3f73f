#include "terrain/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {

CMappedFile::~CMappedFile() {
    Close();
}

bool CMappedFile::Open(const std::string& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        const auto size = static_cast<std::size_t>(info.st_size);
        void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (mapped != MAP_FAILED) {
            data_ = static_cast<const std::uint8_t*>(mapped);
            size_ = size;
        }
    }
    ::close(fd); // the mapping outlives the descriptor
    return data_ != nullptr;
}

void CMappedFile::Close() {
    if (data_) ::munmap(const_cast<std::uint8_t*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
}

} // namespace kestrova
