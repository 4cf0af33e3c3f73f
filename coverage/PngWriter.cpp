#include "coverage/PngWriter.h"

#include <zlib.h>

namespace kestrova {
namespace {

void PutBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xff);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    out += body;
    const auto* bytes = reinterpret_cast<const Bytef*>(body.data());
    PutBigEndian(out, static_cast<std::uint32_t>(crc32(0L, bytes, static_cast<uInt>(body.size()))));
}

} // namespace

std::string EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb) {
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    if (width <= 0 || height <= 0 || rgb.size() != rowBytes * static_cast<size_t>(height))
        return {};
    // Every row starts with filter type 0 (none).
    std::string raw;
    raw.reserve((rowBytes + 1) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        raw.append(reinterpret_cast<const char*>(rgb.data()) + rowBytes * static_cast<size_t>(y),
                   rowBytes);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                  Z_BEST_SPEED) != Z_OK)
        return {};
    packed.resize(packedSize);

    std::string header;
    PutBigEndian(header, static_cast<std::uint32_t>(width));
    PutBigEndian(header, static_cast<std::uint32_t>(height));
    header +=
        std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter, no interlace
    std::string png("\x89PNG\r\n\x1a\n", 8);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", "");
    return png;
}

} // namespace kestrova
