#include "terrain/MappedFile.h"

#include "files/InputFile.h"

#include <cerrno>
#include <sys/mman.h>

namespace kestrova {

CMappedFile::~CMappedFile() {
    Close();
}

bool CMappedFile::Open(const std::string& path) {
    Close();
    mapError_ = 0;
    // A FIFO or device is refused before it is opened: reading a FIFO would
    // wait for a writer for ever.
    InputFile file;
    if (!file.Open(path) || file.Size() == 0) return false;
    const auto size = static_cast<std::size_t>(file.Size());
    void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file.Descriptor(), 0);
    mapError_ = mapped == MAP_FAILED ? errno : 0;
    if (mapped != MAP_FAILED) {
        data_ = static_cast<const std::uint8_t*>(mapped);
        size_ = size;
    }
    return data_ != nullptr; // the mapping outlives the descriptor
}

void CMappedFile::Close() {
    if (data_) ::munmap(const_cast<std::uint8_t*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
}

} // namespace kestrova
