// BrackmoorEngine.h - the engine object: start-up, per-frame states, the world renderer, shut-down.
#pragma once

#include "BrackmoorGlu.h"
#include "TCamera.h"
#include "TLight.h"

#include <cstdint>
#include <string>

class TEntityClass;

namespace bm {
// Loads the model-view updateWorld draws a registry record under: view (null for the eye) times
// its world matrix, or its glTranslatef and glRotatef calls when it has no parent, scale, pivot
// or heading, pitch, bank order. Switches GL_NORMALIZE on for a scaled one and returns true: the
// caller switches it off again.
bool placeEntity(const TEntityClass& record, const GLfloat* view);
}  // namespace bm

class TInputClass {};
class TDebug {};

class BrackmoorClass : public cameraClass, public TLight, public TInputClass {
    [[maybe_unused]] int gLastName;
    [[maybe_unused]] char* machineID;
    [[maybe_unused]] std::int32_t machineOS;

public:
    gluClass BrackmoorGlu;
    GLfloat MaskRed, MaskBlue, MaskGreen, MaskAlpha;  // 0 to 255 scale
    GLfloat ClsRed, ClsBlue, ClsGreen, ClsAlpha;      // stored only
    TCamera firstCamera;                              // set up and rendered by a 3D start-up
    TDebug Debug;
    short MaskActive;  // switch: 1 on, -1 off
    int SetupCounter;

    void startupWindowTitle(std::string windowTitle);
    void startupWindowSize(std::int32_t width, std::int32_t height, std::int32_t depth);
    // ThreeD -1 multiplies a 2D orthographic projection; any other value sets up firstCamera.
    void startupEngine(short ThreeD, int SEargc, char** SEargv);
    void EnableEngineStates();
    void setColour(GLfloat red, GLfloat green, GLfloat blue);
    void setAlpha(GLfloat alpha);
    void SetClsColour(GLfloat red, GLfloat green, GLfloat blue);
    void SetMaskColour(unsigned short red, unsigned short green, unsigned short blue);
    void shutdownEngine();
    // Draws every visible registry record, one glDrawElements per surface.
    void updateWorld();

private:
    void setupProjection(short ThreeD);
    void setupEngineStates();
    void resetEngineColours();
};

extern BrackmoorClass Brackmoor;
