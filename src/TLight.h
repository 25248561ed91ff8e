// TLight.h - per-light settings held by the engine object; no light is added in this engine.
#pragma once

#include "BrackmoorCompatibility.h"

#include <cstddef>
#include <vector>

class TLight {
    // Per light, in declaration order before global_ambient; nothing in the engine reads them.
    std::vector<short> enabled;  // 1 on, -1 off
    std::vector<GLfloat> X, Y, Z;
    std::vector<GLfloat> pitch, yaw, roll;  // degrees
    std::vector<GLfloat> ambientRed, ambientGreen, ambientBlue, ambientAlpha;
    std::vector<GLfloat> red, green, blue;

public:
    GLfloat global_ambient[4];  // red, green, blue, alpha; never set

    // Entries over all fourteen per-light arrays: 0 while the engine holds no lights (for tests).
    std::size_t lightEntries() const;
};
