// BrackmoorVariables.h - the engine's global settings, counters and pixel-format names.
#pragma once

#include "BrackmoorCompatibility.h"

#include <cstdint>
#include <string>

enum Texture2DPixelFormat {
    kTexture2DPixelFormat_Automatic = 0,
    kTexture2DPixelFormat_RGBA8888 = 1,
    kTexture2DPixelFormat_RGB565 = 2,
    kTexture2DPixelFormat_A8 = 3,
};

extern std::string BrackmoorWindowTitle;  // "Brackmoor engine window" until set

extern GLfloat GLRed, GLGreen, GLBlue, GLAlpha;  // drawing colour, 1.0 each at start

extern std::int32_t BrackmoorWidth;   // window width in pixels, 400 at start
extern std::int32_t BrackmoorHeight;  // window height in pixels, 300 at start
extern std::int32_t BrackmoorDepth;   // window colour depth in bits, 32 at start

extern short BrackmoorBackfaceCulling;  // switch: -1 leaves culling on after a frame
extern GLfloat specularity[4];          // the renderer's specular material buffer

extern std::int32_t gNumEntities;  // ID of the next CreateEntity
extern std::int32_t gNumTextures;
extern std::int32_t gNumSprites;

extern int OpenGLWindow;  // GLUT window identifier, 0 before InitGL
