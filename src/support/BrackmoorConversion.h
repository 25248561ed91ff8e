// BrackmoorConversion.h - big-endian file bytes to numbers, whatever the host's byte order.
#pragma once

#include <cstdint>
#include <cstring>

union convert_float32 {
    float f;
    unsigned char bytes[4];
};

namespace bm {
inline std::uint32_t bigEndianBits(const unsigned char* b) {
    return (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) |
           std::uint32_t(b[3]);
}
}  // namespace bm

// Inline: the model loader calls these for every number in a file.
inline std::int32_t convertBytesToLong(const unsigned char* buffer) {
    // Two's complement: values of 2^31 and above come back negative.
    return static_cast<std::int32_t>(bm::bigEndianBits(buffer));
}

inline float convertBytesToFloat(const unsigned char* i) {
    const std::uint32_t bits = bm::bigEndianBits(i);
    float f;
    std::memcpy(&f, &bits, sizeof f);  // same float on any host, NaN payloads included
    return f;
}

// Prints the bytes of val in host memory order, then the float rebuilt from them; returns 0.
int test(float val);
