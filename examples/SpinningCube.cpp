// SpinningCube.cpp - a textured cube turning beside a LightWave model, built on the installed
// engine.
//
//     SpinningCube [--frames N] DATA_DIR
//
// DATA_DIR holds RAWTest and Zarodoru.lwo: share/brackmoor in the install prefix. With --frames N
// the program leaves after N frames, which lets it run in tests.
#include <brackmoor/Brackmoor.h>

#include <GL/freeglut.h>

#include <cstdlib>
#include <iostream>
#include <string>

namespace {

TEntityClass cube;
TEntityClass rocket;
TTextureClass crate;
GLfloat angle = 0;
long framesLeft = 0;  // 0: run until the window is closed

void drawFrame() {
    angle += 0.5f;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Brackmoor.EnableEngineStates();
    cube.RotateEntity(angle, angle, 0);  // pitch, yaw, roll in degrees
    rocket.RotateEntity(0, -angle, 0);
    Brackmoor.updateWorld();  // draws every entity, in creation order
    glutSwapBuffers();
    if (framesLeft > 0 && --framesLeft == 0)
        glutLeaveMainLoop();  // glutMainLoop returns to main
}

void buildScene(const std::string& dataDir) {
    crate.loadTextureRAW(dataDir + "/RAWTest", 4, 128, 128, -1);  // RGBA, 128 x 128, repeat
    cube.CreateCube();
    cube.EntityTexture(crate, -1, 0);  // surface -1: the entity's own texture
    cube.PositionEntity(-2, 0, -10);   // the camera looks down -Z
    rocket.LoadLWO(dataDir + "/Zarodoru.lwo", 1);
    rocket.PositionEntity(1.2f, 0, -6);
}

// Reads [--frames N] DATA_DIR; false when they are not that.
bool readArguments(int argc, char** argv, std::string& dataDir) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument != "--frames")
            dataDir = argument;
        else if (i + 1 == argc || (framesLeft = std::strtol(argv[++i], nullptr, 10)) <= 0)
            return false;
    }
    return !dataDir.empty();
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataDir;
    if (!readArguments(argc, argv, dataDir)) {
        std::cerr << "usage: SpinningCube [--frames N] DATA_DIR" << std::endl;
        return 2;
    }
    std::cout << "SpinningCube on Brackmoor " << BRACKMOOR_VERSION << std::endl;

    Brackmoor.startupWindowTitle("Brackmoor example");
    Brackmoor.startupWindowSize(640, 480, 16);
    Brackmoor.startupEngine(1, 1, argv);  // 1: perspective camera; GLUT gets no arguments
    glutDisplayFunc(drawFrame);
    glutIdleFunc(drawFrame);
    buildScene(dataDir);
    glutMainLoop();
    Brackmoor.shutdownEngine();
    return 0;
}
