// ImageFiles.h - small image files written in memory, for the decoder and texture loader tests.
#pragma once

#include <png.h>
#include <stb_image_write.h>

#include <cstddef>
#include <vector>

namespace bm::test {

using ImageBytes = std::vector<unsigned char>;

// Rows top first, 1 (grey), 2 (grey, alpha), 3 (RGB) or 4 (RGBA) bytes a pixel.
struct Picture {
    int width, height, channels;
    ImageBytes pixels;
};

enum class ImageFormat { png, bmp, tga, jpeg };

// BMP and TGA files store their rows bottom first; JPEG is written at full quality.
inline ImageBytes imageFile(ImageFormat format, const Picture& p) {
    ImageBytes file;
    stbi_write_func* append = [](void* context, void* data, int size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        static_cast<ImageBytes*>(context)->insert(static_cast<ImageBytes*>(context)->end(), bytes,
                                                  bytes + size);
    };
    const void* pixels = p.pixels.data();
    switch (format) {
        case ImageFormat::png:
            stbi_write_png_to_func(append, &file, p.width, p.height, p.channels, pixels, 0);
            break;
        case ImageFormat::bmp:
            stbi_write_bmp_to_func(append, &file, p.width, p.height, p.channels, pixels);
            break;
        case ImageFormat::tga:
            stbi_write_tga_to_func(append, &file, p.width, p.height, p.channels, pixels);
            break;
        case ImageFormat::jpeg:
            stbi_write_jpg_to_func(append, &file, p.width, p.height, p.channels, pixels, 100);
            break;
    }
    return file;
}

// A palette PNG: one index byte a pixel, colours of 3 bytes (RGB) or 4 (RGBA: alpha in tRNS).
inline ImageBytes palettePngFile(int width, int height, const ImageBytes& indices,
                                 const ImageBytes& colours, int colourChannels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = colourChannels == 4 ? PNG_FORMAT_RGBA_COLORMAP : PNG_FORMAT_RGB_COLORMAP;
    image.colormap_entries = static_cast<png_uint_32>(colours.size() / std::size_t(colourChannels));
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, indices.data(), 0, colours.data());
    ImageBytes file(size);
    png_image_write_to_memory(&image, file.data(), &size, 0, indices.data(), 0, colours.data());
    file.resize(size);
    return file;
}

}  // namespace bm::test
