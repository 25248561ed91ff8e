// TCamera.cpp - the camera: defaults, setters, and Render, which applies it to GL.
#include "TCamera.h"

#include "BrackmoorTransform.h"
#include "TEntity.h"

#include <cstdio>

std::int32_t cameraCount = 0;

void cameraClass::SetupCamera() {
    Id = static_cast<GLuint>(cameraCount);
    X = Y = Z = 0.0f;
    Pitch = Yaw = Roll = 0.0f;
    viewX = 0;
    viewY = 0;
    viewWidth = 320;
    viewHeight = 480;
    zoomNear = 0.1f;
    zoomFar = 500.0f;
    rangeNear = 0.1f;
    rangeFar = 500.0f;
    FieldOfView = 50.0f;
    AspectRatio = 0.75f;
    worldView = -1;
    throughEntity = -1;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    BrackmoorGlu.gluPerspective(FieldOfView, AspectRatio, rangeNear, rangeFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    BrackmoorGlu.gluLookAt(0, 0, 0, 0, 0, 0, 0, 1, 0);
    ++cameraCount;
}

void cameraClass::PositionCamera(GLfloat pX, GLfloat pY, GLfloat pZ) {
    X = pX;
    Y = pY;
    Z = pZ;
}

void cameraClass::RotateCamera(GLfloat rPitch, GLfloat rYaw, GLfloat rRoll) {
    Pitch = rPitch;
    Yaw = rYaw;
    Roll = rRoll;
}

void cameraClass::SetCameraFOV(GLfloat FOV, GLfloat Aspect) {
    FieldOfView = FOV;
    AspectRatio = Aspect;
}

void cameraClass::SetCameraZoom(GLfloat pNear, GLfloat pFar) {
    zoomNear = pNear;
    zoomFar = pFar;
}

void cameraClass::SetCameraRange(GLfloat rNear, GLfloat rFar) {
    rangeNear = rNear;
    rangeFar = rFar;
}

void cameraClass::SetCameraViewport(GLint vX, GLint vY, GLsizei vWidth, GLsizei vHeight) {
    viewX = vX;
    viewY = vY;
    viewWidth = vWidth;
    viewHeight = vHeight;
}

void cameraClass::Render() {
    UpdateCamera();
    glLoadIdentity();
    debugCameraInformation();
    BrackmoorGlu.gluLookAt(X, Y, Z, 0, 0, 0, 0, 1, 0);
}

void cameraClass::UpdateCamera() {
    glViewport(viewX, viewY, viewWidth, viewHeight);
    glScissor(viewX, viewY, viewWidth, viewHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    BrackmoorGlu.gluPerspective(FieldOfView, AspectRatio, rangeNear, rangeFar);
    glMatrixMode(GL_MODELVIEW);
}

void cameraClass::CameraEntity(const TEntityClass* entity) {
    throughEntity = entity != nullptr && entity->created ? entity->ID : -1;
}

void cameraClass::CameraMatrix(GLfloat m[16]) const {
    // An entity without a record leaves the camera where its own fields put it.
    if (throughEntity >= 0 && bm::entityPivotMatrix(throughEntity, m))
        return;
    GLfloat turn[16];
    bm::makeHeadingPitchBank(turn, Yaw, Pitch, Roll);
    bm::makeIdentity(m);
    m[12] = X;
    m[13] = Y;
    m[14] = Z;
    bm::multiplyMatrices(m, turn, m);
}

void cameraClass::ViewMatrix(GLfloat m[16]) const {
    GLfloat camera[16];
    CameraMatrix(camera);
    bm::makeView(camera, m);
}

void cameraClass::debugCameraInformation() {
    std::printf("<< DEBUG CAMERA INFORMATION >>\n");
    std::printf("Camera ID: %i\n", static_cast<int>(Id));
    std::printf("Coords: X:%f Y:%f Z:%f\n", double(X), double(Y), double(Z));
    std::printf("Rotation: Pitch:%f Yaw:%f Roll:%f\n", double(Pitch), double(Yaw), double(Roll));
    std::printf("View: X:%i Y:%i Width:%i Height:%i\n", viewX, viewY, viewWidth, viewHeight);
    std::printf("Zoom: Near:%f Far:%f\n", double(zoomNear), double(zoomFar));
    std::printf("Range: Near:%f Far:%f\n", double(rangeNear), double(rangeFar));
    std::printf("Field of view:%f\n", double(FieldOfView));
    std::printf("Aspect Ratio:%f\n", double(AspectRatio));
    std::printf("<< END OF DEBUG CAMERA INFORMATION >>\n\n");
    std::fflush(stdout);
}
