// TLight.h - the lights the engine object holds: settings per light and what GL is given for them.
#pragma once

#include "BrackmoorCompatibility.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// One light as GL takes it, in eye space.
struct TLightSetup {
    GLfloat position[4];   // x, y, z, 1: a lamp at a point
    GLfloat direction[3];  // unit vector the light faces
    GLfloat colour[4];     // diffuse and specular, alpha 1
    GLfloat ambient[4];    // red, green, blue, alpha
};

class TLight {
    // Per light, in declaration order before global_ambient; index n is light n.
    std::vector<short> enabled;  // 1 on, -1 off
    std::vector<GLfloat> X, Y, Z;
    std::vector<GLfloat> pitch, yaw, roll;  // degrees
    std::vector<GLfloat> ambientRed, ambientGreen, ambientBlue, ambientAlpha;
    std::vector<GLfloat> red, green, blue;

    // Every per-light array but enabled, in declaration order.
    static std::vector<GLfloat> TLight::*const floatArrays[13];
    bool knownLight(std::int32_t n) const;

public:
    GLfloat global_ambient[4];  // red, green, blue, alpha; black until AmbientLight

    // Appends an enabled white light at the eye, facing -Z, without ambient; returns its index.
    std::int32_t CreateLight();
    // Each of these changes nothing when n names no light.
    void PositionLight(std::int32_t n, GLfloat x, GLfloat y, GLfloat z);
    void RotateLight(std::int32_t n, GLfloat pitch, GLfloat yaw, GLfloat roll);  // degrees
    void LightColour(std::int32_t n, GLfloat red, GLfloat green, GLfloat blue);
    void LightAmbient(std::int32_t n, GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
    void EnableLight(std::int32_t n, short onOff);  // 1 on, -1 off
    // The light model's ambient colour, alpha 1.
    void AmbientLight(GLfloat red, GLfloat green, GLfloat blue);

    std::size_t lightCount() const { return enabled.size(); }
    bool lightOn(std::size_t n) const { return n < enabled.size() && enabled[n] == 1; }
    bool anyLightOn() const;
    // Light n placed and turned the way an entity with the same position and angles is.
    TLightSetup lightSetup(std::size_t n) const;

    // Entries over all fourteen per-light arrays: 0 while the engine holds no lights (for tests).
    std::size_t lightEntries() const;
};
