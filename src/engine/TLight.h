// TLight.h - the lights the engine object holds: settings per light and what GL is given for them.
#pragma once

#include "BrackmoorCompatibility.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class TEntityClass;

// Kinds of light, for LightType.
constexpr std::int32_t BrackmoorLightLamp = 0;     // lights what is before it: a 90-degree spot
constexpr std::int32_t BrackmoorLightDistant = 1;  // parallel light along its facing direction
constexpr std::int32_t BrackmoorLightPoint = 2;    // from its position every way
constexpr std::int32_t BrackmoorLightSpot = 3;     // from its position, within its cone

// One light as GL takes it, in eye space or, under a camera's world view, in the world.
struct TLightSetup {
    GLfloat position[4];     // x, y, z, 1 at a point; toward the light, 0 for a distant one
    GLfloat direction[3];    // unit vector the light faces
    GLfloat colour[4];       // diffuse and specular, alpha 1
    GLfloat ambient[4];      // red, green, blue, alpha
    GLfloat cutoff;          // GL_SPOT_CUTOFF: a cone's half-angle, 0 to 90, or 180 for none
    GLfloat attenuation[3];  // constant, linear, quadratic
};

// What a light is beyond its place, turn and colours.
struct TLightKind {
    std::int32_t type;       // BrackmoorLightLamp, Distant, Point or Spot
    GLfloat cone;            // a spot's half-angle, degrees, 0 to 90
    GLfloat attenuation[3];  // constant, linear, quadratic
    short headingPitchBank;  // switch: 1 turns yaw, pitch, roll as heading, pitch, bank
    std::int32_t entity;     // ID of the entity it stands on; -1 for none
};

class TLight {
    // Per light, in declaration order before global_ambient; index n is light n.
    std::vector<short> enabled;  // 1 on, -1 off
    std::vector<GLfloat> X, Y, Z;
    std::vector<GLfloat> pitch, yaw, roll;  // degrees
    std::vector<GLfloat> ambientRed, ambientGreen, ambientBlue, ambientAlpha;
    std::vector<GLfloat> red, green, blue;
    std::vector<TLightKind> kind;

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
    // Faces -Z turned by bank about Z, then pitch about X, then heading about Y, degrees
    // (Ry · Rx · Rz); RotateLight brings back its own order.
    void RotateLightHPB(std::int32_t n, GLfloat heading, GLfloat pitch, GLfloat bank);
    // One of the BrackmoorLight kinds; another value changes nothing. Lights start as lamps.
    void LightType(std::int32_t n, std::int32_t type);
    // A spot's cone: its half-angle in degrees, held to 0 to 90; 45 at first.
    void LightCone(std::int32_t n, GLfloat halfAngle);
    // Light at distance d is divided by constant + linear d + quadratic d squared; 1, 0, 0 at
    // first. Values below 0 count as 0.
    void LightAttenuation(std::int32_t n, GLfloat constant, GLfloat linear, GLfloat quadratic);
    // Stands where the entity's pivot lands and faces its -Z, its parents included, as the
    // registry's records have them each frame. Null, or an entity never created or without a
    // record, gives the light back its own position and turn.
    void LightEntity(std::int32_t n, const TEntityClass* entity);
    void LightColour(std::int32_t n, GLfloat red, GLfloat green, GLfloat blue);
    void LightAmbient(std::int32_t n, GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
    void EnableLight(std::int32_t n, short onOff);  // 1 on, -1 off
    // The light model's ambient colour, alpha 1.
    void AmbientLight(GLfloat red, GLfloat green, GLfloat blue);

    std::size_t lightCount() const { return enabled.size(); }
    bool lightOn(std::size_t n) const { return n < enabled.size() && enabled[n] == 1; }
    bool anyLightOn() const;
    // Light n placed and turned the way an entity with the same position and angles is, or as
    // the entity it stands on.
    TLightSetup lightSetup(std::size_t n) const;

    // Entries over all fifteen per-light arrays: 0 while the engine holds no lights (for tests).
    std::size_t lightEntries() const;
};
