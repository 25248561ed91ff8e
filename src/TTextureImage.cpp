// TTextureImage.cpp - image decoding through stb_image, and the whole-file read before it.
#include "TTextureImage.h"

#include <stb_image.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

namespace {

constexpr std::size_t largestInput = std::numeric_limits<int>::max();  // stb_image counts in int
constexpr long long largestTexture = std::numeric_limits<std::int32_t>::max();  // GL sizes are int

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct StbFree {
    void operator()(unsigned char* pixels) const { stbi_image_free(pixels); }
};
using StbPixels = std::unique_ptr<unsigned char, StbFree>;

// stb_image reads through these callbacks so that a decoder wanting bytes past the end is seen:
// left to itself, stb_image goes on with zeros and a cut-off file passes for a whole one.
struct Reader {
    const unsigned char* bytes;
    std::size_t size;
    std::size_t position;
    bool ranOut;  // a read came after every byte had been handed over
};

int readBytes(void* user, char* data, int count) {
    Reader& reader = *static_cast<Reader*>(user);
    const std::size_t wanted = static_cast<std::size_t>(std::max(count, 0));
    const std::size_t given = std::min(wanted, reader.size - reader.position);
    if (given > 0)
        std::memcpy(data, reader.bytes + reader.position, given);
    reader.position += given;
    reader.ranOut = reader.ranOut || (wanted > 0 && given == 0);
    return static_cast<int>(given);
}

// A skip past the end is not a read: the bytes skipped are padding no pixel needs.
void skipBytes(void* user, int count) {
    Reader& reader = *static_cast<Reader*>(user);
    const long long target = static_cast<long long>(reader.position) + count;
    const long long end = static_cast<long long>(reader.size);
    reader.position = static_cast<std::size_t>(std::clamp(target, 0LL, end));
}

int atEnd(void* user) {
    const Reader& reader = *static_cast<const Reader*>(user);
    return reader.position >= reader.size ? 1 : 0;
}

std::string tooLargeToDecode() {
    return "more than " + std::to_string(largestInput) + " bytes, too large to decode";
}

std::string failureReason() {
    const char* reason = stbi_failure_reason();
    return reason != nullptr ? reason : "no reason given";
}

std::string sizeText(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

bool fitsTexture(int width, int height, int channels, std::string& reason) {
    if (width <= 0 || height <= 0) {
        reason = "image size " + sizeText(width, height) + ", both must be above 0";
        return false;
    }
    const long long bytes = static_cast<long long>(width) * height * channels;
    if (bytes <= largestTexture)
        return true;
    reason = "image size " + sizeText(width, height) + " is too large (" + std::to_string(bytes) +
             " bytes)";
    return false;
}

bool isGif(const unsigned char* bytes, std::size_t size) {
    return size >= 4 && std::memcmp(bytes, "GIF8", 4) == 0;
}

bool everyPixelOpaque(const bm::Image& image) {
    for (std::size_t i = 3; i < image.pixels.size(); i += 4)
        if (image.pixels[i] != 255)
            return false;
    return true;
}

void dropAlpha(bm::Image& image) {
    std::size_t to = 0;
    for (std::size_t from = 0; from < image.pixels.size(); from += 4, to += 3)
        std::copy_n(image.pixels.begin() + static_cast<std::ptrdiff_t>(from), 3,
                    image.pixels.begin() + static_cast<std::ptrdiff_t>(to));
    image.pixels.resize(to);
    image.channels = 3;
}

// Greyscale with alpha and RGBA (palette transparency included) keep alpha; the rest is RGB.
int channelsFor(int channelsInFile) {
    return channelsInFile == 2 || channelsInFile == 4 ? 4 : 3;
}

// Decodes after the header has been checked; the size is within stb_image's int.
bool decodeChecked(const unsigned char* bytes, std::size_t size, int channels, bm::Image& image,
                   std::string& reason) {
    Reader reader{bytes, size, 0, false};
    const stbi_io_callbacks callbacks{readBytes, skipBytes, atEnd};
    int width = 0, height = 0, channelsInFile = 0;
    const StbPixels pixels(
        stbi_load_from_callbacks(&callbacks, &reader, &width, &height, &channelsInFile, channels));
    if (!pixels) {
        reason = "corrupt image (" + failureReason() + ")";
        return false;
    }
    if (reader.ranOut) {
        reason = "truncated image (" + std::to_string(size) + " bytes are not all of it)";
        return false;
    }
    if (!fitsTexture(width, height, channels, reason))
        return false;
    image.width = width;
    image.height = height;
    image.channels = channels;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                              static_cast<std::size_t>(channels);
    image.pixels.assign(pixels.get(), pixels.get() + count);
    return true;
}

// The file's bytes to its end; false with the reason when it cannot be opened or read.
bool readWholeFile(const std::string& filename, std::vector<unsigned char>& bytes,
                   std::string& reason) {
    FilePtr file(std::fopen(filename.c_str(), "rb"));
    if (!file) {
        reason = std::string("cannot open (") + std::strerror(errno) + ")";
        return false;
    }
    struct stat info {};
    const bool known = fstat(fileno(file.get()), &info) == 0;
    if (known && S_ISDIR(info.st_mode)) {
        reason = "is a directory";
        return false;
    }
    if (known && S_ISREG(info.st_mode) && info.st_size > 0)
        bytes.reserve(std::min(static_cast<std::size_t>(info.st_size), largestInput + 1));
    unsigned char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        if (bytes.size() + got > largestInput) {
            reason = tooLargeToDecode();
            return false;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    if (std::ferror(file.get())) {
        reason = std::string("cannot read (") + std::strerror(errno) + ")";
        return false;
    }
    return true;
}

}  // namespace

namespace bm {

bool decodeImage(const unsigned char* bytes, std::size_t size, Image& out, std::string& reason) {
    if (size == 0) {
        reason = "empty (0 bytes)";
        return false;
    }
    if (size > largestInput) {
        reason = tooLargeToDecode();
        return false;
    }
    // The header alone gives the size, so an image too large is refused before it is decoded.
    int width = 0, height = 0, channelsInFile = 0;
    if (!stbi_info_from_memory(bytes, static_cast<int>(size), &width, &height, &channelsInFile)) {
        reason = "not a PNG, JPEG, BMP, TGA or GIF image";
        return false;
    }
    const int channels = channelsFor(channelsInFile);
    Image image;
    if (!fitsTexture(width, height, channels, reason) ||
        !decodeChecked(bytes, size, channels, image, reason))
        return false;
    // stb_image makes every GIF RGBA; one whose first frame has no transparent pixel has no alpha.
    if (isGif(bytes, size) && everyPixelOpaque(image))
        dropAlpha(image);
    out = std::move(image);
    return true;
}

bool readImageFile(const std::string& filename, Image& out, std::string& reason) {
    std::vector<unsigned char> bytes;
    return readWholeFile(filename, bytes, reason) &&
           decodeImage(bytes.data(), bytes.size(), out, reason);
}

}  // namespace bm
