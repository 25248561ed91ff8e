// TCamera.h - one viewpoint: Render applies it to GL looking at the world origin; with its
// world view on, updateWorld shows the world as it sees it from its place and turn.
#pragma once

#include "BrackmoorGlu.h"

#include <cstdint>

class TEntityClass;

extern std::int32_t cameraCount;  // cameras set up so far; the next camera's Id

class cameraClass {
public:
    GLuint Id;                 // from cameraCount at SetupCamera
    GLfloat X, Y, Z;           // eye position, world units
    GLfloat Pitch, Yaw, Roll;  // degrees; printed, and the turn of the world view (below)
    GLfloat AspectRatio;       // width / height
    GLfloat FieldOfView;       // vertical, degrees
    GLint viewX, viewY;        // viewport lower-left corner, pixels
    GLsizei viewWidth, viewHeight;
    GLfloat zoomNear, zoomFar;    // printed, not applied
    GLfloat rangeNear, rangeFar;  // clip distances
    short active;
    gluClass BrackmoorGlu;
    // Switch: 1 makes updateWorld place entities and lights in the world as this camera sees it
    // (firstCamera's, for the engine), -1 leaves them in eye space.
    short worldView = -1;
    std::int32_t throughEntity = -1;  // ID of the entity it looks through; -1 for none

    void SetupCamera();
    void PositionCamera(GLfloat pX, GLfloat pY, GLfloat pZ);
    void RotateCamera(GLfloat rPitch, GLfloat rYaw, GLfloat rRoll);
    void SetCameraFOV(GLfloat FOV, GLfloat Aspect);
    void SetCameraZoom(GLfloat pNear, GLfloat pFar);
    void SetCameraRange(GLfloat rNear, GLfloat rFar);
    void SetCameraViewport(GLint vX, GLint vY, GLsizei vWidth, GLsizei vHeight);
    void Render();
    // Render's viewport, scissor and projection, for a view, field of view, aspect or range that
    // changed, without its report and its look-at: GL is left in model-view mode, that matrix
    // untouched.
    void UpdateCamera();
    // Looks through the entity from now on: the camera stands where the entity's pivot lands and
    // turns with it, its parents included, as the registry's records have it. Null, or an
    // entity never created, gives the camera back its own place and turn.
    void CameraEntity(const TEntityClass* entity);
    // Where the camera stands and how it is turned, camera to world, column-major:
    // T(X, Y, Z) · Ry(Yaw) · Rx(Pitch) · Rz(Roll), so Yaw is its heading, Pitch its pitch and Roll
    // its bank; or the matrix of the entity it looks through. It looks down its own -Z, +Y up.
    void CameraMatrix(GLfloat m[16]) const;
    // World to eye: CameraMatrix with any scale taken out, inverted.
    void ViewMatrix(GLfloat m[16]) const;
    void debugCameraInformation();
};

typedef cameraClass TCamera;
