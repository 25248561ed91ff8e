// BrackmoorFPS.h - the frames-per-second record; nothing in the engine updates it yet.
#pragma once

#include <cstdint>
#include <string>

class BrackmoorFPSClass {
public:
    std::string oldTime;
    std::int32_t lastFPS = 0;
    std::int32_t FPSCounter = 0;
};

extern BrackmoorFPSClass BrackmoorFPS;
