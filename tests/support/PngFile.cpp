// PngFile.cpp - PNG reading through libpng's simplified API.
#include "support/PngFile.h"

#include <png.h>

#include <cstring>

namespace bm::test {

std::array<unsigned char, 4> PngImage::at(int x, int y) const {
    const std::size_t offset =
        (std::size_t(height - 1 - y) * std::size_t(width) + std::size_t(x)) * 4;
    return {rgba[offset], rgba[offset + 1], rgba[offset + 2], rgba[offset + 3]};
}

PngImage readPng(const std::string& path) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    PngImage result;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return result;
    image.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return result;
    }
    result.width = static_cast<int>(image.width);
    result.height = static_cast<int>(image.height);
    result.rgba = std::move(pixels);
    return result;
}

}  // namespace bm::test
