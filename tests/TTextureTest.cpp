// TTextureTest.cpp - the texture loaders: upload, filters, wrap, and every bad input.
#include "BombFiles.h"
#include "TTexture.h"
#include "TTextureImage.h"
#include "support/ImageFiles.h"
#include "support/LwoFiles.h"
#include "support/SceneGL.h"
#include "support/Trace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {
std::vector<unsigned char> countingBytes(std::size_t n) {
    std::vector<unsigned char> bytes(n);
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + 1);
    return bytes;
}

std::string rawFile(const std::vector<unsigned char>& bytes) {
    const std::string path = bm::test::makeTempDir() + "/pixels.raw";
    bm::test::writeBytes(path, bytes);
    return path;
}

GLint boundTexture() {
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

GLint texParameter(GLenum pname) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, pname, &value);
    return value;
}

GLint levelParameter(GLint level, GLenum pname) {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, pname, &value);
    return value;
}

std::vector<unsigned char> levelZero(GLenum format, std::size_t bytes) {
    std::vector<unsigned char> pixels(bytes);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
}  // namespace

class TTextureGL : public bm::test::GLFixture {};

// 128 x 128 RGBA: bound, mipmapped to 1 x 1, filtered and repeated; only Tname is written.
TEST_F(TTextureGL, LoadsRgbaWithMipmaps) {
    const std::vector<unsigned char> bytes = countingBytes(4 * 128 * 128);
    const std::string path = rawFile(bytes);
    TTextureClass texture{};
    texture.TID = 11;
    texture.rawSize = 12;
    texture.Twidth = 13;
    texture.TmaxS = 1.5f;
    texture.DepthRenderBuffer = 14;
    testing::internal::CaptureStdout();
    texture.loadTextureRAW(path, 4, 128, 128, -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "RAW Loading complete...\n");

    ASSERT_NE(texture.Tname, 0u);
    EXPECT_EQ(boundTexture(), static_cast<GLint>(texture.Tname));
    EXPECT_EQ(texture.TID, 11);
    EXPECT_EQ(texture.rawSize, 12);
    EXPECT_EQ(texture.Twidth, 13u);
    EXPECT_EQ(texture.TmaxS, 1.5f);
    EXPECT_EQ(texture.DepthRenderBuffer, 14u);

    EXPECT_EQ(texParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(texParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(texParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(texParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 128);
    EXPECT_EQ(levelParameter(7, GL_TEXTURE_WIDTH), 1);
    EXPECT_EQ(levelParameter(7, GL_TEXTURE_HEIGHT), 1);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_ALPHA_SIZE), 8);
    EXPECT_EQ(levelZero(GL_RGBA, bytes.size()), bytes);
}

// Rows of 3-byte pixels are packed: a 2-pixel row is 6 bytes, not padded to 8.
TEST_F(TTextureGL, LoadsPackedRgbRowsAndClampsWithoutWrap) {
    const std::vector<unsigned char> bytes = countingBytes(3 * 2 * 2);
    TTextureClass texture{};
    testing::internal::CaptureStdout();
    texture.loadTextureRAW(rawFile(bytes), 3, 2, 2, 0);
    testing::internal::GetCapturedStdout();

    ASSERT_NE(texture.Tname, 0u);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_ALPHA_SIZE), 0);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_RED_SIZE), 8);
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 1);
    EXPECT_EQ(levelZero(GL_RGB, bytes.size()), bytes);
    EXPECT_EQ(texParameter(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(texParameter(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);
}

// Bytes after width x height pixels are ignored; loading again makes a further texture.
TEST_F(TTextureGL, IgnoresExcessBytesAndReloadsIntoANewName) {
    std::vector<unsigned char> bytes = countingBytes(4 * 4 * 4);
    const std::vector<unsigned char> pixels = bytes;
    bytes.insert(bytes.end(), 100, 0xEE);
    const std::string path = rawFile(bytes);
    TTextureClass texture{};
    testing::internal::CaptureStdout();
    texture.loadTextureRAW(path, 4, 4, 4, 1);
    const GLuint first = texture.Tname;
    texture.loadTextureRAW(path, 4, 4, 4, 1);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(levelZero(GL_RGBA, pixels.size()), pixels);
    EXPECT_NE(texture.Tname, first);
    EXPECT_TRUE(glIsTexture(first));
}

// Sizes outside the format: one line naming the file and the value, no GL work, Tname kept.
TEST_F(TTextureGL, RejectsBadFormatWithoutTouchingGl) {
    struct Case {
        short byteCount;
        std::int32_t width, height;
        const char* value;
    };
    const Case cases[] = {{2, 4, 4, "2 bytes per pixel"},
                          {5, 4, 4, "5 bytes per pixel"},
                          {0, 4, 4, "0 bytes per pixel"},
                          {4, 0, 4, "size 0 x 4"},
                          {3, 4, -1, "size 4 x -1"},
                          {4, -8, -8, "size -8 x -8"},
                          {4, 70000, 70000, "19600000000 bytes"}};
    const std::string path = rawFile(countingBytes(64));
    glBindTexture(GL_TEXTURE_2D, 0);
    for (const Case& c : cases) {
        TTextureClass texture{};
        texture.Tname = 77;
        testing::internal::CaptureStdout();
        texture.loadTextureRAW(path, c.byteCount, c.width, c.height, -1);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(texture.Tname, 77u);
        EXPECT_EQ(boundTexture(), 0);
        EXPECT_NE(out.find("RAW Loader error: " + path), std::string::npos) << out;
        EXPECT_NE(out.find(c.value), std::string::npos) << out;
        EXPECT_EQ(out.find('\n'), out.size() - 1) << out;
        EXPECT_EQ(glIsTexture(78), GL_FALSE);
    }
}

// The child of a death test runs the body again, so each run has its own directory.
TEST(TTextureDeathTest, MissingFileEndsWithStatusOne) {
    const std::string path = bm::test::makeTempDir() + "/absent.raw";
    EXPECT_EXIT(
        {
            bm::test::stdoutToStderr();
            TTextureClass texture{};
            texture.loadTextureRAW(path, 4, 128, 128, -1);
        },
        testing::ExitedWithCode(1),
        "RAW Loader error: Could not read from file\nRAW Loader file: [^\n]*/absent.raw\n");
}

// A file shorter than its pixels is an error, not a texture of whatever memory held.
TEST(TTextureDeathTest, ShortFileEndsWithStatusOne) {
    const std::string path = rawFile(countingBytes(100));
    EXPECT_EXIT(
        {
            bm::test::stdoutToStderr();
            TTextureClass texture{};
            texture.loadTextureRAW(path, 4, 8, 8, -1);
        },
        testing::ExitedWithCode(1),
        "RAW Loader error: [^\n]*/pixels.raw holds 100 bytes, expected 256\n");
}

// Run in a child under apitrace: a raw load, an image file of the same size, two failed loads,
// each step after a glFinish.
TEST_F(TTextureGL, DISABLED_TracedLoads) {
    const std::string dir = bm::test::makeTempDir();
    const bm::test::Picture picture{8, 4, 3, countingBytes(3 * 8 * 4)};
    bm::test::writeBytes(dir + "/pixels.raw", picture.pixels);
    bm::test::writeBytes(dir + "/pixels.bmp", imageFile(bm::test::ImageFormat::bmp, picture));
    bm::test::writeBytes(dir + "/text.png", {'n', 'o', 't', ' ', 'P', 'N', 'G'});
    TTextureClass texture{};
    glFinish();
    texture.loadTextureRAW(dir + "/pixels.raw", 3, 8, 4, 0);
    glFinish();
    texture.loadTexture(dir + "/pixels.bmp", 0);
    glFinish();
    texture.loadTexture(dir + "/absent.png", 0);
    texture.loadTexture(dir + "/text.png", 0);
    glFinish();
}

// An image file is uploaded call for call as raw rows are; a file that cannot be had makes no
// GL call at all.
TEST_F(TTextureGL, LoadTextureCallsWhatTheRawLoaderCalls) {
    if (std::string(BRACKMOOR_APITRACE).empty())
        GTEST_SKIP() << "apitrace is not installed";
    std::vector<std::vector<std::string>> steps;
    for (const std::string& line : bm::test::tracedCalls("TTextureGL.DISABLED_TracedLoads")) {
        if (line.rfind("glFinish(", 0) == 0)
            steps.emplace_back();
        else if (!steps.empty())
            // The two textures differ only in their names.
            steps.back().push_back(
                std::regex_replace(line, std::regex("texture(s?) = &?\\d+"), "N"));
    }
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_FALSE(steps[0].empty());
    EXPECT_EQ(steps[1], steps[0]);
    EXPECT_EQ(steps[2], std::vector<std::string>{});
}

// A PNG and a wide JPEG made by other tools: level 0 holds the decoded rows, at the width and
// height the loader reports.
TEST_F(TTextureGL, LoadTextureUploadsSharedImages) {
    SKIP_WITHOUT_SHARED_MODELS();
    for (const char* file : {"boxuv.png", "earthCylindric.jpg"}) {
        const std::string path = bm::test::sharedModels + "/" + file;
        TTextureClass texture{};
        testing::internal::CaptureStdout();
        texture.loadTexture(path, -1);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << file;
        ASSERT_NE(texture.Tname, 0u) << file;
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), static_cast<GLint>(texture.Twidth)) << file;
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), static_cast<GLint>(texture.Theight))
            << file;
        bm::Image image;
        std::string reason;
        ASSERT_TRUE(bm::readImageFile(path, image, reason)) << reason;
        // Compared whole: a mismatch would otherwise print millions of bytes.
        EXPECT_TRUE(levelZero(image.channels == 4 ? GL_RGBA : GL_RGB, image.pixels.size()) ==
                    image.pixels)
            << file;
        glDeleteTextures(1, &texture.Tname);
    }
}

// A file that cannot be had: one line naming it and why (the decoder's reasons are its own
// test's), and the record as it was. That no GL call is made is checked under apitrace above,
// so no window is needed here.
TEST(TTexture, LoadTextureRefusesWithOneLine) {
    const std::string dir = bm::test::makeTempDir();
    std::ofstream(dir + "/empty.png").close();
    // About a megabyte declaring a gigabyte of pixels: refused from its header, at once.
    bm::test::writeBytes(dir + "/bomb.png", bm::lwo::zeroPng(16000, 16000));
    const struct {
        std::string path, reason;
    } cases[] = {
        {dir + "/absent.png", "cannot open (No such file or directory)"},
        {dir, "is a directory"},
        {dir + "/empty.png", "empty (0 bytes)"},
        {dir + "/bomb.png",
         "image size 16000 x 16000 (256000000 pixels) is over the budget of 67108864 pixels"},
    };
    for (const auto& c : cases) {
        TTextureClass texture{};
        texture.Tname = 77;
        texture.Twidth = 5;
        testing::internal::CaptureStdout();
        texture.loadTexture(c.path, -1);
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "Texture loader: " + c.path + ": " + c.reason + "\n");
        EXPECT_EQ(texture.Tname, 77u);
        EXPECT_EQ(texture.Twidth, 5u);
    }
}

// A large ordinary texture is within the default budget and loads whole.
TEST_F(TTextureGL, LoadsA4096By2048Image) {
    const std::string path = bm::test::makeTempDir() + "/large.png";
    bm::test::writeBytes(path, bm::lwo::zeroPng(4096, 2048));
    TTextureClass texture{};
    testing::internal::CaptureStdout();
    texture.loadTexture(path, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_NE(texture.Tname, 0u);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 4096);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), 2048);
    glDeleteTextures(1, &texture.Tname);
}
