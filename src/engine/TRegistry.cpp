// TRegistry.cpp - the texture registry's shut-down sweep.
#include "TRegistry.h"

void TRegistryTextureClass::ShutdownRegistry() {
    for (std::size_t index = 0; index < Texture.size(); ++index)
        glDeleteTextures(1, &Texture[index]);
    Texture.clear();
}
