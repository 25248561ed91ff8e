// SceneGL.h - what the scene's GL tests share: a known view and raw texture files.
#pragma once

#include "BrackmoorVariables.h"
#include "TEntity.h"
#include "TTexture.h"
#include "support/GLWindow.h"

#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace bm::test {

using Rgba = std::array<unsigned char, 4>;

// Writes bytes to path, replacing the file.
inline void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    if (!bytes.empty())  // an empty vector's data() may be null, which fwrite must not be given
        std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// RGBA rows, t = 0 first, each texel the colour of its (s, t) centre.
inline std::vector<unsigned char> rgbaImage(int size, const std::function<Rgba(float, float)>& at) {
    std::vector<unsigned char> bytes;
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            const Rgba c = at((column + 0.5f) / size, (row + 0.5f) / size);
            bytes.insert(bytes.end(), c.begin(), c.end());
        }
    }
    return bytes;
}

// Quadrant colours by texture coordinate: red, green along s, blue along t, yellow beyond both.
inline Rgba quadrantColour(float s, float t) {
    static const Rgba colours[4] = {
        {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}};
    return colours[(s >= 0.5f ? 1 : 0) + (t >= 0.5f ? 2 : 0)];
}

// Loads a size x size RGBA texture of one colour per texel function through the raw loader.
inline TTextureClass loadTexture(const std::function<Rgba(float, float)>& at, int size = 64) {
    const std::string path = makeTempDir() + "/texture.raw";
    writeBytes(path, rgbaImage(size, at));
    TTextureClass texture{};
    testing::internal::CaptureStdout();
    texture.loadTextureRAW(path, 4, size, size, -1);
    testing::internal::GetCapturedStdout();
    return texture;
}

inline TTextureClass loadSolidTexture(Rgba colour) {
    return loadTexture([colour](float, float) { return colour; }, 8);
}

// 100 pixels per unit, eye-space (0, 0) at the window centre (320, 240); depth 1 to 100.
inline void setOrthoView() {
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-3.2, 3.2, -2.4, 2.4, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnableClientState(GL_VERTEX_ARRAY);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The pixel where the eye-space point (x, y) lands under setOrthoView.
inline Rgba pixelAtEye(float x, float y) {
    return readPixel(static_cast<int>(320 + 100 * x), static_cast<int>(240 + 100 * y));
}

}  // namespace bm::test
