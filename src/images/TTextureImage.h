// TTextureImage.h - image files (PNG, JPEG, BMP, TGA, GIF) decoded into texture rows, without GL.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace bm {

struct Image {
    int width = 0, height = 0;          // pixels, both above 0 once decoded
    int channels = 0;                   // 3: RGB, 4: RGBA
    std::vector<unsigned char> pixels;  // packed rows, top row first
};

// Decodes a whole image file held in memory. Greyscale and palette images come out RGB; with
// an alpha channel or transparent palette entries, RGBA. A GIF gives its first frame; the other
// formats stb_image reads (PSD, HDR, PNM, PIC) come through as well. Never reads past size; on
// failure returns false, says why in reason and leaves out as it was.
bool decodeImage(const unsigned char* bytes, std::size_t size, Image& out, std::string& reason);

// The size decodeImage would give, from the header alone, pixels left empty; channels is 4 for
// every GIF, whose transparency shows only once it is decoded. Refuses what decodeImage refuses
// before decoding, an image too large for GL included.
bool decodeImageHeader(const unsigned char* bytes, std::size_t size, Image& header,
                       std::string& reason);

// Reads the file and decodes it; failures as for decodeImage.
bool readImageFile(const std::string& filename, Image& out, std::string& reason);

}  // namespace bm
