// The little-endian fields of the program's binary map files (the pieces of
// a map computed in blocks, a site's grid): a writer that appends them to a
// string and a reader that takes them from bytes, turning `ok` false rather
// than reading past the end.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace kestrova::bytes {

class Writer {
public:
    void Bytes(const void* data, size_t size) { text.append(static_cast<const char*>(data), size); }
    void U32(std::uint32_t value) {
        for (int b = 0; b < 4; ++b)
            text.push_back(static_cast<char>((value >> (8 * b)) & 0xFFu));
    }
    void I32(int value) { U32(static_cast<std::uint32_t>(value)); }
    void F64(double value) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        for (int b = 0; b < 8; ++b)
            text.push_back(static_cast<char>((bits >> (8 * b)) & 0xFFu));
    }
    void Bool(bool value) { text.push_back(value ? '\1' : '\0'); }
    void Optional(const std::optional<double>& value) {
        Bool(value.has_value());
        F64(value.value_or(0.0));
    }
    void I16(std::int16_t value) {
        const auto bits = static_cast<std::uint16_t>(value);
        text.push_back(static_cast<char>(bits & 0xFFu));
        text.push_back(static_cast<char>(bits >> 8));
    }
    // Its length (U32), then its bytes.
    void Text(const std::string& value) {
        U32(static_cast<std::uint32_t>(value.size()));
        text += value;
    }
    std::string text;
};

class Reader {
public:
    explicit Reader(std::string_view bytes) : data(bytes) {}
    bool Take(void* out, size_t size) {
        if (data.size() - at < size) return ok = false;
        std::memcpy(out, data.data() + at, size);
        at += size;
        return true;
    }
    std::uint32_t U32() {
        unsigned char b[4] = {};
        Take(b, 4);
        return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    }
    int I32() { return static_cast<int>(U32()); }
    double F64() {
        unsigned char b[8] = {};
        Take(b, 8);
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = (bits << 8) | b[i];
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    bool Bool() {
        unsigned char b = 0;
        Take(&b, 1);
        if (b > 1) ok = false;
        return b == 1;
    }
    std::optional<double> Optional() {
        const bool has = Bool();
        const double value = F64();
        return has ? std::optional<double>(value) : std::nullopt;
    }
    std::int16_t I16() {
        unsigned char b[2] = {};
        Take(b, 2);
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(b[0] | (b[1] << 8)));
    }
    // A Text of at most `most` bytes; "" with ok false otherwise.
    std::string Text(size_t most) {
        const std::uint32_t size = U32();
        if (!ok || size > most || Left() < size) {
            ok = false;
            return {};
        }
        std::string value(data.substr(at, size));
        at += size;
        return value;
    }
    size_t Left() const { return data.size() - at; }
    bool ok = true;

private:
    std::string_view data;
    size_t at = 0;
};

} // namespace kestrova::bytes
