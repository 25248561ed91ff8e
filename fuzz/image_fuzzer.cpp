// image_fuzzer.cpp - libFuzzer entry: the texture image decoder on arbitrary bytes.
#include "TTextureImage.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Larger images are sound input, but decoding one takes seconds and gigabytes under the
// sanitizers; the header check that refuses the largest is run on every input all the same.
constexpr long long mostPixelsDecoded = 1LL << 22;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    bm::Image header;
    std::string reason;
    const bool sized = bm::decodeImageHeader(data, size, header, reason);
    if (sized && static_cast<long long>(header.width) * header.height > mostPixelsDecoded)
        return 0;
    bm::Image image{-1, -1, -1, {}};
    reason.clear();
    if (!bm::decodeImage(data, size, image, reason)) {
        // A refusal says why and leaves the image alone.
        if (reason.empty() || image.width != -1 || !image.pixels.empty())
            __builtin_trap();
        return 0;
    }
    // A decoded image has its header's size, in packed RGB or RGBA rows.
    const std::size_t expected = static_cast<std::size_t>(image.width) *
                                 static_cast<std::size_t>(image.height) *
                                 static_cast<std::size_t>(image.channels);
    if (!sized || image.width != header.width || image.height != header.height ||
        (image.channels != 3 && image.channels != 4) || image.pixels.size() != expected)
        __builtin_trap();
    return 0;
}
