// The cells of a coverage grid without terrain: one bit a cell, cell k in
// bit k % 8 of byte k / 8, cells counted row by row from the north-west
// corner. An empty mask stands for a grid with terrain under every cell.
// The piece and site grid files hold these bytes as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrova {

class CellMask {
public:
    CellMask() = default;
    // cells clear bits.
    explicit CellMask(std::size_t cells) : size(cells), bytes((cells + 7) / 8, 0) {}
    // The mask of `cells` cells held in packed (ByteCount(cells) bytes).
    CellMask(std::size_t cells, std::string_view packed);

    static std::size_t ByteCount(std::size_t cells) { return (cells + 7) / 8; }

    std::size_t Size() const { return size; }
    bool Get(std::size_t k) const { return k < size && (bytes[k / 8] >> (k % 8) & 1u) != 0; }
    void Set(std::size_t k) {
        bytes[k / 8] = static_cast<std::uint8_t>(bytes[k / 8] | 1u << (k % 8));
    }
    // The cells set.
    std::size_t Count() const;
    bool Any() const { return Count() > 0; }
    const std::vector<std::uint8_t>& Bytes() const { return bytes; }
    // Appends the `cells` bits of other after this mask's (a band after the
    // bands above it); an empty other adds clear bits.
    void Append(const CellMask& other, std::size_t cells);

private:
    std::size_t size = 0;
    std::vector<std::uint8_t> bytes;
};

} // namespace kestrova
