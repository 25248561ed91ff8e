// TTexture.h - the texture record and its loaders: raw RGB/RGBA rows and image files.
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

    // Loads a PNG, JPEG, BMP, TGA or GIF file (its first frame) as loadTextureRAW loads rows,
    // and sets Twidth and Theight to the image's size; prints nothing. When the file cannot be
    // had, its header declaring more pixels than bm::imagePixelBudget() included, it prints one
    // line, "Texture loader: <file>: <why>", and changes nothing.
    void loadTexture(const std::string& filename, int wrap);
};
typedef TTextureClass TTexture;

namespace bm {

// loadTexture without the line: false, with why in reason, when the file cannot be had; then
// no GL call is made and the texture is left as it was. Should GLU refuse the image, the
// texture made for it is deleted again and the reason says so.
bool loadTextureFile(TTextureClass& texture, const std::string& filename, int wrap,
                     std::string& reason);

}  // namespace bm
