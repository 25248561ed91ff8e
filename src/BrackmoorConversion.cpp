// BrackmoorConversion.cpp - big-endian file bytes to integers and floats.
#include "BrackmoorConversion.h"

#include <cstring>
#include <iostream>

namespace {

std::uint32_t bigEndianBits(const unsigned char* b) {
    return (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) |
           std::uint32_t(b[3]);
}

}  // namespace

std::int32_t convertBytesToLong(const unsigned char* buffer) {
    // Two's complement: values of 2^31 and above come back negative.
    return static_cast<std::int32_t>(bigEndianBits(buffer));
}

float convertBytesToFloat(const unsigned char* i) {
    const std::uint32_t bits = bigEndianBits(i);
    float f;
    std::memcpy(&f, &bits, sizeof f);  // same float on any host, NaN payloads included
    return f;
}

int test(float val) {
    convert_float32 original;
    convert_float32 copy;
    std::memcpy(original.bytes, &val, sizeof original.bytes);
    for (int index = 0; index < 4; ++index) {
        std::cout << "byte " << index << ": " << static_cast<unsigned>(original.bytes[index])
                  << std::endl;
        copy.bytes[index] = original.bytes[index];
    }
    float rebuilt;
    std::memcpy(&rebuilt, copy.bytes, sizeof rebuilt);
    std::cout << rebuilt << std::endl;
    return 0;
}
