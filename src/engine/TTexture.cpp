// TTexture.cpp - the texture loaders: raw RGB or RGBA rows and image files into mipmapped
// textures, all uploaded alike.
#include "TTexture.h"

#include "TTextureImage.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <memory>
#include <new>

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Bytes a texture of these dimensions takes, or 0 when they are outside the format (the line
// saying why has then been printed).
std::size_t rawByteSize(const std::string& filename, short byteCount, std::int32_t width,
                        std::int32_t height) {
    const char* name = filename.c_str();
    if (byteCount != 3 && byteCount != 4) {
        std::printf("RAW Loader error: %s: %d bytes per pixel, expected 3 or 4\n", name, byteCount);
    } else if (width <= 0 || height <= 0) {
        std::printf("RAW Loader error: %s: size %li x %li, both must be above 0\n", name,
                    static_cast<long>(width), static_cast<long>(height));
    } else {
        // GL sizes are int: a texture larger than that cannot be handed over in one piece.
        const unsigned long long bytes = static_cast<unsigned long long>(byteCount) *
                                         static_cast<unsigned long long>(width) *
                                         static_cast<unsigned long long>(height);
        if (bytes <= static_cast<unsigned long long>(std::numeric_limits<std::int32_t>::max()))
            return static_cast<std::size_t>(bytes);
        std::printf("RAW Loader error: %s: %llu bytes for %d x %li x %li is too large\n", name,
                    bytes, byteCount, static_cast<long>(width), static_cast<long>(height));
    }
    std::fflush(stdout);
    return 0;
}

[[noreturn]] void failToRead(const std::string& filename) {
    std::cout << "RAW Loader error: Could not read from file" << std::endl;
    std::cout << "RAW Loader file: " << filename << std::endl;
    std::exit(1);
}

[[noreturn]] void failShortFile(const std::string& filename, long held, std::size_t expected) {
    std::printf("RAW Loader error: %s holds %li bytes, expected %lu\n", filename.c_str(), held,
                static_cast<unsigned long>(expected));
    std::fflush(stdout);
    std::exit(1);
}

// Bytes from the current position to the end, the position left unchanged; -1 if unknown.
long bytesLeft(std::FILE* file) {
    const long start = std::ftell(file);
    if (start < 0 || std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    const long end = std::ftell(file);
    std::fseek(file, start, SEEK_SET);
    return end < 0 ? -1 : end - start;
}

// The first size bytes of the file; exits with status 1 when they cannot all be had.
std::unique_ptr<unsigned char[]> readRawPixels(const std::string& filename, std::size_t size) {
    FilePtr file(std::fopen(filename.c_str(), "rb"));
    if (!file)
        failToRead(filename);
    const long held = bytesLeft(file.get());
    if (held >= 0 && static_cast<unsigned long>(held) < size)
        failShortFile(filename, held, size);
    std::unique_ptr<unsigned char[]> pixels(new (std::nothrow) unsigned char[size]);
    if (!pixels) {
        std::printf("RAW Loader error: %s: no memory for %lu bytes\n", filename.c_str(),
                    static_cast<unsigned long>(size));
        std::fflush(stdout);
        std::exit(1);
    }
    const std::size_t got = std::fread(pixels.get(), 1, size, file.get());
    if (got < size)
        failShortFile(filename, static_cast<long>(got), size);
    return pixels;
}

void setWrap(int wrap) {
    const GLint mode = wrap != 0 ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(mode));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(mode));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, mode);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, mode);
}

// Returns what gluBuild2DMipmaps does: 0 once every level is in.
GLint uploadMipmaps(int channels, GLint width, GLint height, const unsigned char* pixels) {
    if (channels == 4)
        return gluBuild2DMipmaps(GL_TEXTURE_2D, 4, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                                 pixels);
    // RGB rows are packed with no padding, so any width is read right.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLint status =
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return status;
}

// Every loader's upload: a new texture named in name and left bound, its rows (3: RGB, 4: RGBA,
// top row first) mipmapped. Returns what gluBuild2DMipmaps does.
GLint makeTexture(GLuint& name, int channels, GLint width, GLint height,
                  const unsigned char* pixels, int wrap) {
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // Texel colours are multiplied by the vertex colour.
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    setWrap(wrap);
    return uploadMipmaps(channels, width, height, pixels);
}
}  // namespace

void TTextureClass::loadTextureRAW(const std::string& filename, short byteCount,
                                   std::int32_t RAWwidth, std::int32_t RAWheight, int wrap) {
    const std::size_t size = rawByteSize(filename, byteCount, RAWwidth, RAWheight);
    if (size == 0)
        return;
    const std::unique_ptr<unsigned char[]> pixels = readRawPixels(filename, size);
    makeTexture(Tname, byteCount, static_cast<GLint>(RAWwidth), static_cast<GLint>(RAWheight),
                pixels.get(), wrap);
    std::cout << "RAW Loading complete..." << std::endl;
}

void TTextureClass::loadTexture(const std::string& filename, int wrap) {
    std::string reason;
    if (!bm::loadTextureFile(*this, filename, wrap, reason))
        std::cout << "Texture loader: " << filename << ": " << reason << std::endl;
}

namespace bm {

bool loadTextureFile(TTextureClass& texture, const std::string& filename, int wrap,
                     std::string& reason) {
    DecodedImage image;
    if (!readImageFile(filename, image, reason))
        return false;
    GLuint name = 0;
    const GLint status =
        makeTexture(name, image.channels, image.width, image.height, image.pixels.get(), wrap);
    if (status != 0) {
        glDeleteTextures(1, &name);
        const GLubyte* text = gluErrorString(static_cast<GLenum>(status));
        reason = "GLU could not build its mipmaps (" +
                 (text != nullptr ? reinterpret_cast<const char*>(text) : std::to_string(status)) +
                 ")";
        return false;
    }
    texture.Tname = name;
    texture.Twidth = static_cast<NSUInteger>(image.width);
    texture.Theight = static_cast<NSUInteger>(image.height);
    return true;
}

}  // namespace bm
