// BrackmoorConversion.cpp - big-endian file bytes to integers and floats.
#include "BrackmoorConversion.h"

#include <cstring>
#include <iostream>

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
