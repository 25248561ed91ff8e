// TRegistry.h - the texture registry: GL texture names deleted at engine shut-down.
#pragma once

#include "BrackmoorCompatibility.h"

#include <vector>

class TRegistryTextureClass {
public:
    std::vector<GLuint> Texture;  // GL texture names, in insertion order

    // Deletes every name, one glDeleteTextures call each in list order, then empties the list.
    void ShutdownRegistry();
};

extern TRegistryTextureClass TTextureRegistry;
