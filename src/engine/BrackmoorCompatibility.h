// BrackmoorCompatibility.h - GL includes, the host byte-order check and the texture record's
// platform types.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>

typedef float CGFloat;

struct CGSize {
    CGFloat width;   // pixels
    CGFloat height;  // pixels
};

typedef std::uint32_t NSUInteger;  // 32 bits on every host

// A 32-bit value and its four bytes in host memory order.
union endunionType {
    std::int32_t val;
    unsigned char bytes[4];
};
extern endunionType endunion;

// Prints "Little endianess" or "Big endianess" for the host.
void endianess();
