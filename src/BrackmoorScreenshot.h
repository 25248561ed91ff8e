// BrackmoorScreenshot.h - writes a frame read back from GL as a PNG file.
#pragma once

#include <cstdio>
#include <memory>
#include <vector>

namespace bm {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// rgba holds height rows of width RGBA pixels, bottom row first, as glReadPixels returns them;
// the file gets them as opaque RGB. Returns false when libpng reports an error.
bool writePng(std::FILE* file, int width, int height, const std::vector<unsigned char>& rgba);

}  // namespace bm
