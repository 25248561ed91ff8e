// TCamera.h - one viewpoint looking at the world origin, applied to GL by Render.
#pragma once

#include "BrackmoorGlu.h"

#include <cstdint>

extern std::int32_t cameraCount;  // cameras set up so far; the next camera's Id

class cameraClass {
public:
    GLuint Id;                 // from cameraCount at SetupCamera
    GLfloat X, Y, Z;           // eye position, world units
    GLfloat Pitch, Yaw, Roll;  // printed, not applied
    GLfloat AspectRatio;       // width / height
    GLfloat FieldOfView;       // vertical, degrees
    GLint viewX, viewY;        // viewport lower-left corner, pixels
    GLsizei viewWidth, viewHeight;
    GLfloat zoomNear, zoomFar;    // printed, not applied
    GLfloat rangeNear, rangeFar;  // clip distances
    short active;
    gluClass BrackmoorGlu;

    void SetupCamera();
    void PositionCamera(GLfloat pX, GLfloat pY, GLfloat pZ);
    void RotateCamera(GLfloat rPitch, GLfloat rYaw, GLfloat rRoll);
    void SetCameraFOV(GLfloat FOV, GLfloat Aspect);
    void SetCameraZoom(GLfloat pNear, GLfloat pFar);
    void SetCameraRange(GLfloat rNear, GLfloat rFar);
    void SetCameraViewport(GLint vX, GLint vY, GLsizei vWidth, GLsizei vHeight);
    void Render();
    void debugCameraInformation();
};

typedef cameraClass TCamera;
