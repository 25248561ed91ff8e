// TColour.cpp - the colour record's constructor function.
#include "TColour.h"

TColour RGBA(std::int32_t red, std::int32_t green, std::int32_t blue, std::int32_t alpha) {
    return TColour{red, green, blue, alpha};
}
