// TTextureImage.h - image files (PNG, JPEG, BMP, TGA, GIF) decoded into texture rows, without GL.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace bm {

// Images declaring more pixels than the budget are refused from their header, before any is
// decoded: a file of a megabyte can declare a gigabyte of pixels. The default lets textures of
// 8192 x 8192 through. The budget is the process's, read at each decode.
constexpr std::size_t defaultImagePixelBudget = std::size_t{8192} * 8192;
void setImagePixelBudget(std::size_t pixels);
std::size_t imagePixelBudget();

struct Image {
    int width = 0, height = 0;          // pixels, both above 0 once decoded
    int channels = 0;                   // 3: RGB, 4: RGBA
    std::vector<unsigned char> pixels;  // packed rows, top row first
};

// An image as the decoder left it: the rows stay in the decoder's own buffer, so that a large
// texture is held once, not twice, until GL has it.
struct DecodedImage {
    int width = 0, height = 0, channels = 0;  // as in Image
    std::unique_ptr<unsigned char, void (*)(unsigned char*)> pixels{nullptr, nullptr};
};

// Decodes a whole image file held in memory. Greyscale and palette images come out RGB; with
// an alpha channel or transparent palette entries, RGBA. A GIF gives its first frame; the other
// formats stb_image reads (PSD, HDR, PNM, PIC) come through as well. Never reads past size; on
// failure returns false, says why in reason and leaves out as it was.
bool decodeImage(const unsigned char* bytes, std::size_t size, Image& out, std::string& reason);

// The size decodeImage would give, from the header alone, pixels left empty; channels is 4 for
// every GIF, whose transparency shows only once it is decoded. Refuses what decodeImage refuses
// before decoding: an image over the pixel budget or too large for GL included.
bool decodeImageHeader(const unsigned char* bytes, std::size_t size, Image& header,
                       std::string& reason);

// Reads the file and decodes it; failures as for decodeImage.
bool readImageFile(const std::string& filename, Image& out, std::string& reason);
// The same without copying the pixels out of the decoder's buffer.
bool readImageFile(const std::string& filename, DecodedImage& out, std::string& reason);

}  // namespace bm
