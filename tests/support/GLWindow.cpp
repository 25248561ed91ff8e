// GLWindow.cpp - the test binary's one GLUT window.
#include "support/GLWindow.h"

#include "BrackmoorVariables.h"
#include "TINIT.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace bm::test {

void openGLWindow() {
    if (OpenGLWindow != 0)
        return;
    BrackmoorWidth = 640;
    BrackmoorHeight = 480;
    static char name[] = "brackmoor_tests";
    static char* argv[] = {name, nullptr};
    testing::internal::CaptureStdout();
    InitGL(1, argv);
    testing::internal::GetCapturedStdout();
}

std::array<unsigned char, 4> readPixel(int x, int y) {
    std::array<unsigned char, 4> rgba{};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

void stdoutToStderr() {
    std::fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

std::string makeTempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base ? base : "/tmp") + "/brackmoor-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    return pattern;
}

}  // namespace bm::test
