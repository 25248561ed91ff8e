// BrackmoorDemoWin32.cpp - the demonstration: a model, a quad, a triangle and a cube turning.
#include "Brackmoor.h"
#include "BrackmoorProgramOptions.h"
#include "BrackmoorScreenshot.h"

#include <GL/freeglut.h>

#include <iostream>

TEntityClass Square;
TEntityClass Triangle;
TEntityClass Cube;
TEntityClass LWO;
TTextureClass Texture;
GLfloat angle = 0;
std::int32_t ID = 0;

namespace {

// --frames N and --screenshot FILE.png, taken out of the arguments before GLUT sees them.
bm::ProgramOptions options("BrackmoorDemoWin32");
bm::FrameRecorder recorder(options);

// Removes the demonstration's own options from argv, leaving the rest for GLUT.
void takeOptions(int& argc, char** argv) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (!options.take(argc, argv, i))
            argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;
}

}  // namespace

void DrawGLScene() {
    if (recorder.allDrawn())
        return;
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
    recorder.frameDrawn();
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
    return recorder.writeScreenshot();
}
