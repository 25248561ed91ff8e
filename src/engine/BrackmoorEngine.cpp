// BrackmoorEngine.cpp - the engine object: configuration, start-up, per-frame states, shut-down.
#include "BrackmoorEngine.h"

#include "BrackmoorVariables.h"
#include "TINIT.h"
#include "TRegistry.h"

#include <iostream>

void BrackmoorClass::startupWindowTitle(std::string windowTitle) {
    BrackmoorWindowTitle = windowTitle;
}

void BrackmoorClass::startupWindowSize(std::int32_t width, std::int32_t height,
                                       std::int32_t depth) {
    BrackmoorWidth = width;
    BrackmoorHeight = height;
    BrackmoorDepth = depth;
}

void BrackmoorClass::startupEngine(short ThreeD, int SEargc, char** SEargv) {
    endianess();
    std::cout << "Startup OpenGL Engine..." << std::endl;
    InitGL(SEargc, SEargv);
    std::cout << "GLUT Initialise complete..." << std::endl;
    glMatrixMode(GL_PROJECTION);
    setupProjection(ThreeD);
    glMatrixMode(GL_MODELVIEW);
    setupEngineStates();
    gNumSprites = 0;
    gNumTextures = 0;
    gNumEntities = 0;
    resetEngineColours();
    std::cout << "Startup complete." << std::endl;
}

void BrackmoorClass::setupProjection(short ThreeD) {
    if (ThreeD == -1) {
        // Multiplied onto the projection as it stands, which at start-up is the identity.
        glOrtho(-160, 160, -240, 240, -500, 500);
        return;
    }
    firstCamera.SetupCamera();
    firstCamera.SetCameraViewport(0, 0, BrackmoorWidth, BrackmoorHeight);
    firstCamera.SetCameraRange(0.01f, 1000.0f);
    firstCamera.SetCameraZoom(0.01f, 500.0f);
    firstCamera.SetCameraFOV(50.0f, 0.75f);
    firstCamera.PositionCamera(0.0f, 0.0f, 450.0f);
    firstCamera.RotateCamera(0.0f, 0.0f, 0.0f);
    firstCamera.Render();
}

void BrackmoorClass::setupEngineStates() {
    glViewport(0, 0, BrackmoorWidth, BrackmoorHeight);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
}

void BrackmoorClass::resetEngineColours() {
    setAlpha(1.0f);
    setColour(255, 255, 255);
    SetClsColour(0, 0, 0);
    SetMaskColour(255, 255, 255);
    MaskAlpha = 1.0f;
    ClsAlpha = 1.0f;
    MaskActive = -1;
    GLAlpha = 1.0f;
}

void BrackmoorClass::EnableEngineStates() {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void BrackmoorClass::setColour(GLfloat red, GLfloat green, GLfloat blue) {
    GLRed = red;
    GLGreen = green;
    GLBlue = blue;
}

void BrackmoorClass::setAlpha(GLfloat alpha) {
    GLAlpha = alpha;
}

void BrackmoorClass::SetClsColour(GLfloat red, GLfloat green, GLfloat blue) {
    ClsRed = red;
    ClsGreen = green;
    ClsBlue = blue;
}

void BrackmoorClass::SetMaskColour(unsigned short red, unsigned short green, unsigned short blue) {
    MaskRed = red;
    MaskGreen = green;
    MaskBlue = blue;
    MaskActive = 1;
}

void BrackmoorClass::shutdownEngine() {
    TTextureRegistry.ShutdownRegistry();
}
