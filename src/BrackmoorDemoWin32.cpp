// BrackmoorDemoWin32.cpp - the demonstration: a model, a quad, a triangle and a cube turning.
#include "Brackmoor.h"
#include "BrackmoorScreenshot.h"

#include <GL/freeglut.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

TEntityClass Square;
TEntityClass Triangle;
TEntityClass Cube;
TEntityClass LWO;
TTextureClass Texture;
GLfloat angle = 0;
std::int32_t ID = 0;

namespace {

// --frames N and --screenshot FILE.png, taken out of the arguments before GLUT sees them.
struct DemoOptions {
    long frames = 0;             // 0: run until the window is closed
    std::string screenshotPath;  // empty: no screenshot
};

DemoOptions options;
long framesDrawn = 0;
std::vector<unsigned char> lastFrame;

[[noreturn]] void badOption(const std::string& message) {
    std::cerr << "BrackmoorDemoWin32: " << message << std::endl;
    std::exit(2);
}

bool allDigits(const char* text) {
    if (*text == '\0')
        return false;
    for (; *text != '\0'; ++text)
        if (!std::isdigit(static_cast<unsigned char>(*text)))
            return false;
    return true;
}

long parseFrames(const char* text) {
    errno = 0;
    // Digits only: strtol alone would also take leading blanks and a sign.
    const long frames = text && allDigits(text) ? std::strtol(text, nullptr, 10) : 0;
    if (errno == ERANGE || frames <= 0)
        badOption(std::string("--frames wants a whole number above 0, not '") + (text ? text : "") +
                  "'");
    return frames;
}

std::string folderOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Checks that the picture can be written, without touching a file that is already there: the
// file is only opened once the picture exists.
std::string checkScreenshot(const char* path) {
    if (!path || *path == '\0')
        badOption("--screenshot wants the name of a PNG file to write");
    const std::string name = path;
    struct stat info;
    const bool exists = stat(path, &info) == 0;
    if (exists && S_ISDIR(info.st_mode))
        badOption("--screenshot cannot write '" + name + "': it is a directory");
    if (access(exists ? path : folderOf(name).c_str(), W_OK) != 0)
        badOption("--screenshot cannot write '" + name + "': " + std::strerror(errno));
    return name;
}

// Removes the demonstration's own options from argv, leaving the rest for GLUT.
void takeOptions(int& argc, char** argv) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--frames") {
            options.frames = parseFrames(i + 1 < argc ? argv[++i] : nullptr);
        } else if (argument == "--screenshot") {
            options.screenshotPath = checkScreenshot(i + 1 < argc ? argv[++i] : nullptr);
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    argv[argc] = nullptr;
}

void captureFrame() {
    lastFrame.resize(static_cast<std::size_t>(BrackmoorWidth) * BrackmoorHeight * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, BrackmoorWidth, BrackmoorHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                 lastFrame.data());
}

// Called after each frame is drawn and before it is shown.
void afterFrameDrawn() {
    ++framesDrawn;
    const bool lastOne = options.frames > 0 && framesDrawn >= options.frames;
    if (!options.screenshotPath.empty() && (lastOne || options.frames == 0))
        captureFrame();
    if (lastOne)
        glutLeaveMainLoop();
}

bool savePicture() {
    if (lastFrame.empty())
        return false;  // no frame was drawn; an existing file is left alone
    bm::FilePtr file(std::fopen(options.screenshotPath.c_str(), "wb"));
    return file && bm::writePng(file.get(), BrackmoorWidth, BrackmoorHeight, lastFrame) &&
           std::fclose(file.release()) == 0;
}

int writeScreenshot() {
    if (options.screenshotPath.empty() || savePicture())
        return 0;
    std::cerr << "BrackmoorDemoWin32: could not write the screenshot '" << options.screenshotPath
              << "'" << std::endl;
    return 1;
}

}  // namespace

void DrawGLScene() {
    angle = static_cast<GLfloat>(angle + 0.1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, Texture.Tname);
    Brackmoor.EnableEngineStates();
    Square.RotateEntity(angle, 0, 0);
    Triangle.RotateEntity(0, angle, -angle);
    Cube.RotateEntity(angle, 0, -angle);
    LWO.RotateEntity(-angle, 0, angle);
    Brackmoor.updateWorld();
    glFlush();
    afterFrameDrawn();
    glutSwapBuffers();
}

namespace {
void buildScene() {
    LWO.LoadLWO("Zarodoru.lwo", 1);
    Square.CreateQuad();
    Texture.loadTextureRAW("RAWTest", 4, 128, 128, -1);
    Square.EntityTexture(Texture, 0, 0);
    Triangle.CreateEntity();
    ID = Triangle.CreateSurface();
    Triangle.hidden = -1;
    TSurfaceClass& triangleSurface = *Triangle.Surface[static_cast<std::size_t>(ID)];
    triangleSurface.AddVertex(0, 1, 0, 0.5f, 0, 50);
    triangleSurface.AddVertex(-1, -1, 0, 0, 1, 50);
    triangleSurface.AddVertex(1, -1, 0, 1, 1, 50);
    triangleSurface.AddTriangle(0, 1, 2);
    triangleSurface.texturePoints = 3;
    Triangle.updateRegistry();
    Triangle.EntityTexture(Texture, 0, 0);
    Square.backfaceCulling = 1;
    Square.EntityFX(16);
    std::cout << 3 << std::endl;
    Cube.CreateCube();
    Square.PositionEntity(1.5f, 0, -6);
    Triangle.PositionEntity(-1.5f, 0, -6);
    Cube.PositionEntity(0, 0, -8);
    LWO.PositionEntity(0, 0, -6);
    glEnable(GL_CULL_FACE);
}
}  // namespace

int main(int argc, char** argv) {
    takeOptions(argc, argv);
    Brackmoor.startupWindowTitle("Brackmoor OSX version test (0.1nl)");
    Brackmoor.startupWindowSize(640, 480, 16);
    Brackmoor.startupEngine(1, argc, argv);
    glutDisplayFunc(DrawGLScene);
    glutIdleFunc(DrawGLScene);
    buildScene();
    glutMainLoop();
    Brackmoor.shutdownEngine();
    return writeScreenshot();
}
