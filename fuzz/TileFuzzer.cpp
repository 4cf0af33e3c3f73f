// Tiles from memory, plain and zipped, through the functions the terrain
// store reads them with (thousands of runs a second: nothing touches the
// disk). Never a crash or a read outside the bytes; a plain tile comes out
// exactly when the bytes are long enough, holding the samples they hold;
// an archive gives only a tile-sized entry of the tile's own cell.
//
// Input: byte 0 chooses plain (even) or zipped (odd); the rest is the
// payload. A plain payload is repeated to a length chosen by its first
// byte, near the tile sizes.
#include "terrain/TileFile.h"
#include "terrain/TileZip.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

namespace {

int16_t BigEndian(const std::vector<std::uint8_t>& bytes, std::size_t i) {
    return static_cast<int16_t>(static_cast<std::uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]));
}

void Plain(std::span<const std::uint8_t> payload) {
    static const std::size_t lengths[] = {0, 1, 2, 3, 1000, 2884800, 2884801, 2884802, 2884803};
    const std::size_t length = lengths[(payload.empty() ? 0 : payload[0]) % std::size(lengths)];
    static std::vector<std::uint8_t> bytes;
    bytes.assign(length, 0);
    // The payload, then the bytes so far again and again (a few copies, not
    // a loop over millions of bytes).
    if (!payload.empty() && length > 0) {
        std::size_t done = std::min(payload.size(), length);
        std::memcpy(bytes.data(), payload.data(), done);
        while (done < length) {
            const std::size_t more = std::min(done, length - done);
            std::memcpy(bytes.data() + done, bytes.data(), more);
            done += more;
        }
    }
    const auto tile = kestrova::TileFromBytes(bytes);
    if ((length >= 2884802) != (tile != nullptr)) std::abort();
    if (!tile) return;
    if (tile->size != 1201 || tile->heights.size() != 1201u * 1201u) std::abort();
    const std::size_t last = tile->heights.size() - 1;
    if (tile->heights[0] != BigEndian(bytes, 0) || tile->heights[last] != BigEndian(bytes, last))
        std::abort();
}

void Zipped(std::span<const std::uint8_t> payload) {
    const std::vector<std::uint8_t> bytes = kestrova::UnzipTile(payload, "n00e000");
    if (bytes.empty()) return;
    if (kestrova::TileSizeForBytes(bytes.size()) == 0) std::abort();
    if (!kestrova::TileFromBytes(bytes)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> payload(data + 1, size - 1);
    if (data[0] % 2 == 0)
        Plain(payload);
    else
        Zipped(payload);
    return 0;
}
