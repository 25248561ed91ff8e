// TTextureImageTest.cpp - the image decoder: every format into rows top first, and bad bytes.
#include "BombFiles.h"
#include "TTextureImage.h"
#include "support/ImageFiles.h"
#include "support/SceneGL.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using bm::test::ImageBytes;
using bm::test::imageFile;
using bm::test::ImageFormat;
using bm::test::Picture;

// 3 x 2 pixels, all different, with four levels of alpha; the odd width pads BMP rows.
const Picture source{3, 2, 4, {255, 0,   0,   255, 0,  255, 0,  128, 0,   0,   255, 0,
                               250, 250, 250, 255, 10, 20,  30, 40,  200, 100, 50,  255}};

// Each pixel's bytes picked from the source's RGBA: {0} is grey, {0, 0, 0} grey as RGB.
Picture pick(const std::vector<int>& channels) {
    Picture picked{source.width, source.height, static_cast<int>(channels.size()), {}};
    for (std::size_t at = 0; at < source.pixels.size(); at += 4)
        for (int channel : channels)
            picked.pixels.push_back(source.pixels[at + static_cast<std::size_t>(channel)]);
    return picked;
}

// 2 x 2 over four palette colours; with a transparent colour the last pixel is see-through.
ImageBytes gifFile(bool transparent) {
    ImageBytes file{'G', 'I', 'F', '8', '9', 'a', 2, 0, 2,   0,   0x81, 0,  0,  // 4 colours
                    255, 0,   0,   0,   255, 0,   0, 0, 255, 255, 255,  255};
    if (transparent)
        file.insert(file.end(), {0x21, 0xF9, 4, 1, 0, 0, 3, 0});  // colour 3 is transparent
    // Codes clear, 0, 1, 2, 3, end: three bits each, four from the fifth on.
    file.insert(file.end(), {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, 2, 3, 0x44, 0x34, 0x05, 0, 0x3B});
    return file;
}

// Two 8 x 8 blocks, red over blue, so that JPEG keeps them nearly exact.
Picture redOverBlue() {
    Picture blocks{8, 16, 3, {}};
    const ImageBytes red{240, 16, 16}, blue{0, 16, 240};
    for (int i = 0; i < 128; ++i)
        blocks.pixels.insert(blocks.pixels.end(), (i < 64 ? red : blue).begin(),
                             (i < 64 ? red : blue).end());
    return blocks;
}

struct DecodeCase {
    const char* name;
    ImageBytes file;
    Picture expected;
    int tolerance;  // per byte; JPEG is lossy
};

std::vector<DecodeCase> decodeCases() {
    const Picture rgb = pick({0, 1, 2}), grey = pick({0}), greyAlpha = pick({0, 3});
    const ImageBytes indices{0, 1, 2, 3, 4, 5};
    const Picture gifRgb{2, 2, 3, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}},
        gifRgba{2, 2, 4, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 0, 0, 0, 0}};
    return {
        {"rgb.png", imageFile(ImageFormat::png, rgb), rgb, 0},
        {"rgba.png", imageFile(ImageFormat::png, source), source, 0},
        {"grey.png", imageFile(ImageFormat::png, grey), pick({0, 0, 0}), 0},
        {"grey-alpha.png", imageFile(ImageFormat::png, greyAlpha), pick({0, 0, 0, 3}), 0},
        {"palette.png", bm::test::palettePngFile(3, 2, indices, rgb.pixels, 3), rgb, 0},
        {"palette-alpha.png", bm::test::palettePngFile(3, 2, indices, source.pixels, 4), source, 0},
        {"rgb.bmp", imageFile(ImageFormat::bmp, rgb), rgb, 0},
        {"rgb.tga", imageFile(ImageFormat::tga, rgb), rgb, 0},
        {"rgba.tga", imageFile(ImageFormat::tga, source), source, 0},
        {"grey.tga", imageFile(ImageFormat::tga, grey), pick({0, 0, 0}), 0},
        {"palette.gif", gifFile(false), gifRgb, 0},
        {"palette-alpha.gif", gifFile(true), gifRgba, 0},
        {"blocks.jpg", imageFile(ImageFormat::jpeg, redOverBlue()), redOverBlue(), 8},
    };
}

struct Decoded {
    bool ok;
    bm::Image image;
    std::string reason;
};

// Decodes from an exact-size copy, so that a read past the end is caught by the sanitizers.
Decoded decode(const ImageBytes& bytes) {
    const ImageBytes exact(bytes);
    Decoded result{false, bm::Image{-1, -1, -1, {7}}, ""};
    result.ok = bm::decodeImage(exact.data(), exact.size(), result.image, result.reason);
    return result;
}

}  // namespace

// Each format into rows top first; cut off in its header or its pixels, none passes, where
// stb_image alone would read on in zeros. With BRACKMOOR_IMAGE_SEEDS set to a folder, the whole
// files are left there for the image fuzzer.
TEST(TTextureImage, DecodesEachFormatAndRefusesItCutOff) {
    const char* seeds = std::getenv("BRACKMOOR_IMAGE_SEEDS");
    for (const DecodeCase& c : decodeCases()) {
        SCOPED_TRACE(c.name);
        if (seeds != nullptr)
            bm::test::writeBytes(std::string(seeds) + "/" + c.name, c.file);
        const Decoded d = decode(c.file);
        ASSERT_TRUE(d.ok) << d.reason;
        EXPECT_EQ((std::vector<int>{d.image.width, d.image.height, d.image.channels}),
                  (std::vector<int>{c.expected.width, c.expected.height, c.expected.channels}));
        ASSERT_EQ(d.image.pixels.size(), c.expected.pixels.size());
        for (std::size_t i = 0; i < d.image.pixels.size(); ++i)
            EXPECT_NEAR(d.image.pixels[i], c.expected.pixels[i], c.tolerance) << "byte " << i;
        for (const std::size_t size : {c.file.size() / 3, c.file.size() * 2 / 3}) {
            const Decoded cut = decode(ImageBytes(c.file.begin(), c.file.begin() + size));
            EXPECT_FALSE(cut.ok) << "cut to " << size << " bytes";
            EXPECT_EQ(cut.image.pixels, ImageBytes{7}) << "cut to " << size << " bytes";
            EXPECT_FALSE(cut.reason.empty()) << "cut to " << size << " bytes";
        }
    }
}

// Each check the decoder makes before and around stb_image names its reason, the image untouched.
TEST(TTextureImage, RefusesBadBytesSayingWhy) {
    const ImageBytes bmp = imageFile(ImageFormat::bmp, pick({0, 1, 2}));
    ImageBytes zeroWide = bmp, huge = bmp, badZlib = imageFile(ImageFormat::png, source),
               shortTga = imageFile(ImageFormat::tga, pick({0, 1, 2}));
    // The BMP's width and height are 32-bit little-endian at offsets 18 and 22; 70000 is 0x11170.
    zeroWide[18] = 0;
    for (const std::size_t at : {18, 22})
        std::copy_n(ImageBytes{0x70, 0x11, 0x01}.begin(), 3, huge.begin() + std::ptrdiff_t(at));
    const std::size_t idat = std::string(badZlib.begin(), badZlib.end()).find("IDAT");
    badZlib[idat + 4] = 0x79;  // the deflate stream's first byte no longer checks out
    shortTga.pop_back();
    ImageBytes manyCodes = imageFile(ImageFormat::jpeg, redOverBlue());
    const std::size_t dht = std::string(manyCodes.begin(), manyCodes.end()).find("\xFF\xC4");
    manyCodes[dht + 5] = 255;  // 16 code counts follow the length and the table's number
    manyCodes[dht + 6] = 255;
    ImageBytes filledManyCodes = manyCodes;  // stb_image takes fill bytes before the start marker
    filledManyCodes.insert(filledManyCodes.begin(), 3, 0xFF);
    const std::string text = "no picture here";
    const struct {
        ImageBytes bytes;
        std::string reason;
    } cases[] = {
        {{}, "empty (0 bytes)"},
        {ImageBytes(text.begin(), text.end()), "not a PNG, JPEG, BMP, TGA or GIF image"},
        {zeroWide, "image size 0 x 2, both must be above 0"},
        {huge, "image size 70000 x 70000 is too large (14700000000 bytes)"},
        {badZlib, "corrupt image (bad zlib header)"},
        {manyCodes, "corrupt image (a Huffman table of more than 256 codes)"},
        {filledManyCodes, "corrupt image (a Huffman table of more than 256 codes)"},
        {shortTga,
         "truncated image (" + std::to_string(shortTga.size()) + " bytes are not all of it)"},
    };
    for (const auto& c : cases) {
        const Decoded d = decode(c.bytes);
        EXPECT_FALSE(d.ok) << c.reason;
        EXPECT_EQ(d.reason, c.reason);
        EXPECT_EQ(d.image.pixels, ImageBytes{7}) << c.reason;
    }
}

// The budget is checked against the header's size, before a pixel is decoded: the default takes
// 8192 x 8192 and no more, and a budget set by the program moves the line either way.
TEST(TTextureImage, RefusesImagesOverThePixelBudgetFromTheirHeader) {
    EXPECT_EQ(bm::imagePixelBudget(), bm::defaultImagePixelBudget);
    const struct {
        std::uint32_t width, height;
        std::size_t budget;
        std::string reason;  // empty: accepted
    } cases[] = {
        {8192, 8192, bm::defaultImagePixelBudget, ""},
        {8192, 8193, bm::defaultImagePixelBudget,
         "image size 8192 x 8193 (67117056 pixels) is over the budget of 67108864 pixels"},
        {16000, 16000, 256000000, ""},
        {10, 10, 100, ""},
        {11, 10, 100, "image size 11 x 10 (110 pixels) is over the budget of 100 pixels"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        bm::setImagePixelBudget(c.budget);
        const ImageBytes png = bm::lwo::zeroPng(c.width, c.height);
        bm::Image header;
        std::string reason;
        EXPECT_EQ(bm::decodeImageHeader(png.data(), png.size(), header, reason), c.reason.empty());
        EXPECT_EQ(reason, c.reason);
        if (c.reason.empty())
            EXPECT_EQ((std::vector<int>{header.width, header.height}),
                      (std::vector<int>{int(c.width), int(c.height)}));
        else
            EXPECT_EQ(decode(png).reason, c.reason);
    }
    bm::setImagePixelBudget(bm::defaultImagePixelBudget);
}
