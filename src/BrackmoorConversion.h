// BrackmoorConversion.h - big-endian file bytes to numbers, whatever the host's byte order.
#pragma once

#include <cstdint>

union convert_float32 {
    float f;
    unsigned char bytes[4];
};

std::int32_t convertBytesToLong(const unsigned char* buffer);
float convertBytesToFloat(const unsigned char* i);
// Prints the bytes of val in host memory order, then the float rebuilt from them; returns 0.
int test(float val);
