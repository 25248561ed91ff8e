// TINIT.cpp - windowing start-up: GLUT and the engine's one double-buffered RGBA window.
#include "TINIT.h"

#include "BrackmoorVariables.h"
#include "TRegistry.h"

#include <GL/freeglut.h>

#include <iostream>

namespace {
bool glutStarted = false;

void startGlut(int argc, char** argv) {
    glutInit(&argc, argv);
    // Closing the window or glutLeaveMainLoop returns from glutMainLoop, so shut-down runs.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutStarted = true;
}

// GLUT destroys the window and its GL context when the main loop returns, before shut-down
// runs; the texture names go while the context they belong to is still current.
void releaseTexturesWhileCurrent() {
    TTextureRegistry.ShutdownRegistry();
}

void openWindow() {
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    glutInitWindowSize(BrackmoorWidth, BrackmoorHeight);
    glutInitWindowPosition(0, 0);
    OpenGLWindow = glutCreateWindow(BrackmoorWindowTitle.c_str());
    glutCloseFunc(releaseTexturesWhileCurrent);
}
}  // namespace

void InitGL(int SEargc, char** SEargv) {
    std::cout << "OpenGL InitGL Called..." << std::endl;
    if (!glutStarted)
        startGlut(SEargc, SEargv);
    if (OpenGLWindow == 0)
        openWindow();
    else
        glutSetWindow(OpenGLWindow);
}
