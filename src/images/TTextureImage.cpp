// TTextureImage.cpp - image decoding through stb_image, and the whole-file read before it.
#include "TTextureImage.h"

#include <stb_image.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

namespace {

constexpr std::size_t largestInput = std::numeric_limits<int>::max();  // stb_image counts in int
constexpr long long largestTexture = std::numeric_limits<std::int32_t>::max();  // GL sizes are int

std::atomic<std::size_t> pixelBudget{bm::defaultImagePixelBudget};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

void freePixels(unsigned char* pixels) {
    stbi_image_free(pixels);
}

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
    if (bytes > largestTexture) {
        reason = "image size " + sizeText(width, height) + " is too large (" +
                 std::to_string(bytes) + " bytes)";
        return false;
    }
    const unsigned long long pixels = static_cast<unsigned long long>(width) * height;
    const std::size_t budget = pixelBudget.load(std::memory_order_relaxed);
    if (pixels <= budget)
        return true;
    reason = "image size " + sizeText(width, height) + " (" + std::to_string(pixels) +
             " pixels) is over the budget of " + std::to_string(budget) + " pixels";
    return false;
}

bool isGif(const unsigned char* bytes, std::size_t size) {
    return size >= 4 && std::memcmp(bytes, "GIF8", 4) == 0;
}

std::size_t byteCount(const bm::DecodedImage& image) {
    return static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) *
           static_cast<std::size_t>(image.channels);
}

bool everyPixelOpaque(const bm::DecodedImage& image) {
    const std::size_t count = byteCount(image);
    for (std::size_t i = 3; i < count; i += 4)
        if (image.pixels.get()[i] != 255)
            return false;
    return true;
}

// In place: the rows close up to three bytes a pixel.
void dropAlpha(bm::DecodedImage& image) {
    unsigned char* pixels = image.pixels.get();
    const std::size_t count = byteCount(image);
    std::size_t to = 0;
    for (std::size_t from = 0; from < count; from += 4, to += 3)
        std::copy_n(pixels + from, 3, pixels + to);
    image.channels = 3;
}

unsigned char byteAt(const unsigned char* bytes, std::size_t size, std::size_t at) {
    return at < size ? bytes[at] : 0;  // stb_image reads 0 past the end
}

// A DHT segment's tables from at on, read as stb_image reads them: table by table, each as long
// as its 16 code counts say, while the segment's length has bytes left.
bool huffmanTablesOverflow(const unsigned char* bytes, std::size_t size, std::size_t at,
                           long left) {
    while (left > 0 && at < size) {
        std::size_t codes = 0;
        for (std::size_t i = 1; i <= 16; ++i)
            codes += byteAt(bytes, size, at + i);
        if (codes > 256)
            return true;
        at += 17 + codes;
        left -= static_cast<long>(17 + codes);
    }
    return false;
}

// Where a JPEG's segments begin: past its start marker, which stb_image takes after any number
// of 0xFF fill bytes; 0 when the bytes are no JPEG.
std::size_t jpegSegmentsStart(const unsigned char* bytes, std::size_t size) {
    std::size_t at = 0;
    while (at < size && bytes[at] == 0xFF)
        ++at;
    return at > 0 && at < size && bytes[at] == 0xD8 ? at + 1 : 0;
}

// stb_image 2.27 builds a JPEG Huffman table without checking that its counts come to at most
// 256 codes, and writes past the table when they do not. This walk visits every marker segment
// stb_image could reach before the end marker, stepping byte by byte through entropy-coded data,
// whose stuffed bytes and restart markers start no segment.
bool jpegHuffmanTablesOverflow(const unsigned char* bytes, std::size_t size) {
    const std::size_t start = jpegSegmentsStart(bytes, size);
    if (start == 0)
        return false;
    for (std::size_t at = start; at + 1 < size;) {
        const unsigned char marker = bytes[at + 1];
        if (bytes[at] == 0xFF && marker == 0xD9)
            return false;
        const bool startsSegment = bytes[at] == 0xFF && marker != 0xFF && marker != 0x00 &&
                                   marker != 0x01 && (marker < 0xD0 || marker > 0xD8);
        if (!startsSegment) {
            ++at;
            continue;
        }
        const std::size_t length =
            (std::size_t{byteAt(bytes, size, at + 2)} << 8) | byteAt(bytes, size, at + 3);
        if (marker == 0xC4 &&
            huffmanTablesOverflow(bytes, size, at + 4, static_cast<long>(length) - 2))
            return true;
        at += 2 + length;
    }
    return false;
}

// Greyscale with alpha and RGBA (palette transparency included) keep alpha; the rest is RGB.
int channelsFor(int channelsInFile) {
    return channelsInFile == 2 || channelsInFile == 4 ? 4 : 3;
}

// Decodes after the header has been checked, into image's channels.
bool decodeChecked(const unsigned char* bytes, std::size_t size, bm::DecodedImage& image,
                   std::string& reason) {
    Reader reader{bytes, size, 0, false};
    const stbi_io_callbacks callbacks{readBytes, skipBytes, atEnd};
    const int channels = image.channels;
    int width = 0, height = 0, channelsInFile = 0;
    decltype(image.pixels) pixels(
        stbi_load_from_callbacks(&callbacks, &reader, &width, &height, &channelsInFile, channels),
        &freePixels);
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
    image.pixels = std::move(pixels);
    return true;
}

bool decodeWhole(const unsigned char* bytes, std::size_t size, bm::DecodedImage& out,
                 std::string& reason) {
    bm::Image header;
    if (!bm::decodeImageHeader(bytes, size, header, reason))
        return false;
    bm::DecodedImage image;
    image.channels = header.channels;
    if (!decodeChecked(bytes, size, image, reason))
        return false;
    // stb_image makes every GIF RGBA; one whose first frame has no transparent pixel has no alpha.
    if (isGif(bytes, size) && everyPixelOpaque(image))
        dropAlpha(image);
    out = std::move(image);
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

void setImagePixelBudget(std::size_t pixels) {
    pixelBudget.store(pixels, std::memory_order_relaxed);
}

std::size_t imagePixelBudget() {
    return pixelBudget.load(std::memory_order_relaxed);
}

bool decodeImageHeader(const unsigned char* bytes, std::size_t size, Image& header,
                       std::string& reason) {
    if (size == 0) {
        reason = "empty (0 bytes)";
        return false;
    }
    if (size > largestInput) {
        reason = tooLargeToDecode();
        return false;
    }
    if (jpegHuffmanTablesOverflow(bytes, size)) {
        reason = "corrupt image (a Huffman table of more than 256 codes)";
        return false;
    }
    int width = 0, height = 0, channelsInFile = 0;
    if (!stbi_info_from_memory(bytes, static_cast<int>(size), &width, &height, &channelsInFile)) {
        reason = "not a PNG, JPEG, BMP, TGA or GIF image";
        return false;
    }
    const int channels = channelsFor(channelsInFile);
    if (!fitsTexture(width, height, channels, reason))
        return false;
    header = Image{width, height, channels, {}};
    return true;
}

bool decodeImage(const unsigned char* bytes, std::size_t size, Image& out, std::string& reason) {
    DecodedImage image;
    if (!decodeWhole(bytes, size, image, reason))
        return false;
    out.width = image.width;
    out.height = image.height;
    out.channels = image.channels;
    out.pixels.assign(image.pixels.get(), image.pixels.get() + byteCount(image));
    return true;
}

bool readImageFile(const std::string& filename, Image& out, std::string& reason) {
    std::vector<unsigned char> bytes;
    return readWholeFile(filename, bytes, reason) &&
           decodeImage(bytes.data(), bytes.size(), out, reason);
}

bool readImageFile(const std::string& filename, DecodedImage& out, std::string& reason) {
    std::vector<unsigned char> bytes;
    return readWholeFile(filename, bytes, reason) &&
           decodeWhole(bytes.data(), bytes.size(), out, reason);
}

}  // namespace bm
