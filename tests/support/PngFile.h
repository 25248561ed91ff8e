// PngFile.h - reads a PNG written by the demonstration, for pixel checks.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace bm::test {

struct PngImage {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;  // top row first, as stored in the file

    // Pixel at (x, y) with y counted from the bottom, as GL counts it.
    std::array<unsigned char, 4> at(int x, int y) const;
};

// An empty image (width 0) when the file is missing or not a PNG.
PngImage readPng(const std::string& path);

}  // namespace bm::test
