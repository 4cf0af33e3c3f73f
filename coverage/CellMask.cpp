#include "coverage/CellMask.h"

#include <bit>

namespace kestrova {

CellMask::CellMask(std::size_t cells, std::string_view packed) : CellMask(cells) {
    for (std::size_t b = 0; b < bytes.size() && b < packed.size(); ++b)
        bytes[b] = static_cast<std::uint8_t>(packed[b]);
    // Bits past the last cell never count.
    if (cells % 8 != 0 && !bytes.empty())
        bytes.back() = static_cast<std::uint8_t>(bytes.back() & ((1u << (cells % 8)) - 1u));
}

std::size_t CellMask::Count() const {
    std::size_t count = 0;
    for (const std::uint8_t byte : bytes)
        count += static_cast<std::size_t>(std::popcount(byte));
    return count;
}

void CellMask::Append(const CellMask& other, std::size_t cells) {
    const std::size_t start = size;
    size += cells;
    bytes.resize(ByteCount(size), 0);
    if (!other.Any()) return;
    for (std::size_t k = 0; k < cells; ++k)
        if (other.Get(k)) Set(start + k);
}

} // namespace kestrova
