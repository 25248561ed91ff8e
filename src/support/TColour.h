// TColour.h - a colour record of four integer components.
#pragma once

#include <cstdint>

struct TColourClass {
    std::int32_t Red;
    std::int32_t Green;
    std::int32_t Blue;
    std::int32_t Alpha;
};
typedef TColourClass TColour;

// Copies the four components unchanged: no clamping, no packing.
TColour RGBA(std::int32_t red, std::int32_t green, std::int32_t blue, std::int32_t alpha);
