// GLWindow.h - the test binary's one GLUT window and what GL tests read back from it.
#pragma once

#include "BrackmoorCompatibility.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace bm::test {

// Opens the process's only window (640 x 480) on first use and makes it current.
void openGLWindow();

// Base of every fixture whose name ends in GL: the window exists and is current.
class GLFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { openGLWindow(); }
};

// RGBA of the pixel at window coordinates (x, y), origin at the lower left, from the back buffer.
std::array<unsigned char, 4> readPixel(int x, int y);

// Inside a death test: the child's standard output goes to standard error, where gtest looks.
void stdoutToStderr();

// A fresh, empty directory under the system's temporary directory.
std::string makeTempDir();

}  // namespace bm::test
