// TTexture.h - the texture record and the raw RGB/RGBA texture loader.
#pragma once

#include "BrackmoorGlu.h"
#include "BrackmoorVariables.h"

#include <cstdint>
#include <string>

class TTextureClass {
public:
    gluClass BrackmoorGlu;
    std::int32_t TID;
    std::int32_t rawSize;
    GLuint Tname;  // GL texture name; 0 means none
    CGSize Tsize;
    NSUInteger Twidth, Theight;
    Texture2DPixelFormat Tformat;
    GLfloat TmaxS, TmaxT;
    GLuint FrameBufferObject;
    GLuint DepthRenderBuffer;

    // Reads byteCount x RAWwidth x RAWheight bytes of rows (3: RGB, 4: RGBA) into a new
    // mipmapped GL texture, left bound; a non-zero wrap repeats, zero clamps to the edge.
    void loadTextureRAW(const std::string& filename, short byteCount, std::int32_t RAWwidth,
                        std::int32_t RAWheight, int wrap);
};
typedef TTextureClass TTexture;
