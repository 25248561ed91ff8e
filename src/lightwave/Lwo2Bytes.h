// Lwo2Bytes.h - a cursor over one chunk's big-endian fields that never reads past the chunk.
#pragma once

#include "BrackmoorConversion.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace bm {

class ByteCursor {
public:
    ByteCursor(const unsigned char* bytes, std::size_t begin, std::size_t end)
        : data(bytes), at(begin), limit(end) {}

    std::size_t offset() const { return at; }
    std::size_t end() const { return limit; }
    std::size_t left() const { return limit - at; }
    bool done() const { return at >= limit; }
    const unsigned char* here() const { return data + at; }
    bool startsWith(const char* id) const { return left() >= 4 && std::memcmp(here(), id, 4) == 0; }

    // Each read takes its field and moves on, or leaves the cursor where it was and returns false
    // when the field does not fit.
    bool u2(std::uint32_t& value) {
        if (left() < 2)
            return false;
        value = (std::uint32_t(data[at]) << 8) | data[at + 1];
        at += 2;
        return true;
    }
    bool u4(std::uint32_t& value) {
        if (left() < 4)
            return false;
        value = bigEndianBits(data + at);
        at += 4;
        return true;
    }
    bool f4(float& value) {
        if (left() < 4)
            return false;
        value = convertBytesToFloat(data + at);
        at += 4;
        return true;
    }
    bool vec3(float (&value)[3]) {
        if (left() < 12)
            return false;
        for (float& v : value)
            f4(v);
        return true;
    }
    // An index of two bytes, or of four when the first is 0xFF, the index then the low 24 bits.
    bool vx(std::uint32_t& value) {
        if (left() >= 1 && data[at] == 0xFF) {
            if (!u4(value))
                return false;
            value &= 0x00FFFFFFu;
            return true;
        }
        return u2(value);
    }
    // A zero-ended string padded to an even length; the padding may be cut by the chunk's end.
    bool s0(std::string_view& text) {
        const void* zero = std::memchr(here(), 0, left());
        if (zero == nullptr)
            return false;
        const std::size_t length =
            static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - here());
        text = std::string_view(reinterpret_cast<const char*>(here()), length);
        const std::size_t taken = length + 1 + ((length + 1) & 1);
        at = taken < left() ? at + taken : limit;
        return true;
    }
    bool skip(std::size_t count) {
        if (left() < count)
            return false;
        at += count;
        return true;
    }
    // A sub-chunk: four-byte id and two-byte length. On success body spans its data and the
    // cursor stands after it and its pad byte. False when the header or the data runs past the end.
    bool subchunk(const unsigned char*& id, ByteCursor& body) {
        std::uint32_t length = 0;
        if (left() < 6)
            return false;
        id = here();
        at += 4;
        u2(length);
        if (length > left()) {
            at -= 6;
            return false;
        }
        body = ByteCursor(data, at, at + length);
        at = std::min(limit, at + length + (length & 1));
        return true;
    }

private:
    const unsigned char* data;
    std::size_t at;
    std::size_t limit;
};

}  // namespace bm
