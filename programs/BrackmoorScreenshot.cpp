// BrackmoorScreenshot.cpp - frames counted and read back from GL, PNG output through libpng.
#include "BrackmoorScreenshot.h"

#include "BrackmoorCompatibility.h"
#include "BrackmoorVariables.h"

#include <GL/freeglut.h>
#include <png.h>

#include <csetjmp>
#include <iostream>

namespace bm {

namespace {
// The PNG's top row is the last row GL read.
std::vector<png_bytep> topDownRows(int width, int height, const std::vector<unsigned char>& rgba) {
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    for (int row = 0; row < height; ++row)
        rows[static_cast<std::size_t>(row)] = const_cast<png_bytep>(
            rgba.data() + stride * static_cast<std::size_t>(height - 1 - row));
    return rows;
}
}  // namespace

bool writePng(std::FILE* file, int width, int height, const std::vector<unsigned char>& rgba) {
    if (width <= 0 || height <= 0 || rgba.size() < std::size_t(width) * std::size_t(height) * 4)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows = topDownRows(width, height, rgba);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, rows.data());
    // The window is opaque: GL's alpha (0 where the clear colour shows, with an alpha buffer)
    // would make the picture's background transparent.
    png_write_png(png, info, PNG_TRANSFORM_STRIP_FILLER_AFTER, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fflush(file) == 0;
}

void FrameRecorder::frameDrawn() {
    ++drawn;
    const bool lastOne = options.frames > 0 && drawn == options.frames;
    if (!options.screenshotPath.empty() && (lastOne || options.frames == 0))
        captureFrame();
    if (lastOne)
        glutLeaveMainLoop();
}

void FrameRecorder::captureFrame() {
    lastFrame.resize(static_cast<std::size_t>(BrackmoorWidth) * BrackmoorHeight * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, BrackmoorWidth, BrackmoorHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                 lastFrame.data());
}

bool FrameRecorder::savePicture() const {
    if (lastFrame.empty())
        return false;  // no frame was drawn; an existing file is left alone
    FilePtr file(std::fopen(options.screenshotPath.c_str(), "wb"));
    return file && writePng(file.get(), BrackmoorWidth, BrackmoorHeight, lastFrame) &&
           std::fclose(file.release()) == 0;
}

int FrameRecorder::writeScreenshot() const {
    if (options.screenshotPath.empty() || savePicture())
        return 0;
    std::cerr << options.program << ": could not write the screenshot '" << options.screenshotPath
              << "'" << std::endl;
    return 1;
}

}  // namespace bm
