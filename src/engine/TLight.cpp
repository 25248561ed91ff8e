// TLight.cpp - the engine's light settings and their eye-space form.
#include "TLight.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {
constexpr short switchOn = 1;
constexpr GLfloat radiansPerDegree = 3.14159265358979f / 180.0f;
}  // namespace

std::vector<GLfloat> TLight::*const TLight::floatArrays[13] = {
    &TLight::X,           &TLight::Y,
    &TLight::Z,           &TLight::pitch,
    &TLight::yaw,         &TLight::roll,
    &TLight::ambientRed,  &TLight::ambientGreen,
    &TLight::ambientBlue, &TLight::ambientAlpha,
    &TLight::red,         &TLight::green,
    &TLight::blue};

bool TLight::knownLight(std::int32_t n) const {
    return n >= 0 && static_cast<std::size_t>(n) < enabled.size();
}

std::int32_t TLight::CreateLight() {
    const std::size_t n = enabled.size();
    // Room first in every array, so a failed allocation leaves them all the same length.
    enabled.reserve(n + 1);
    for (auto array : floatArrays)
        (this->*array).reserve(n + 1);
    // Position, angles, ambient red to alpha, then white light, in floatArrays' order.
    const GLfloat initial[std::size(floatArrays)] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1};
    enabled.push_back(switchOn);
    for (std::size_t i = 0; i < std::size(floatArrays); ++i)
        (this->*floatArrays[i]).push_back(initial[i]);
    return static_cast<std::int32_t>(n);
}

void TLight::PositionLight(std::int32_t n, GLfloat x, GLfloat y, GLfloat z) {
    if (!knownLight(n))
        return;
    X[n] = x;
    Y[n] = y;
    Z[n] = z;
}

void TLight::RotateLight(std::int32_t n, GLfloat pitchAngle, GLfloat yawAngle, GLfloat rollAngle) {
    if (!knownLight(n))
        return;
    pitch[n] = pitchAngle;
    yaw[n] = yawAngle;
    roll[n] = rollAngle;
}

void TLight::LightColour(std::int32_t n, GLfloat r, GLfloat g, GLfloat b) {
    if (!knownLight(n))
        return;
    red[n] = r;
    green[n] = g;
    blue[n] = b;
}

void TLight::LightAmbient(std::int32_t n, GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    if (!knownLight(n))
        return;
    ambientRed[n] = r;
    ambientGreen[n] = g;
    ambientBlue[n] = b;
    ambientAlpha[n] = a;
}

void TLight::EnableLight(std::int32_t n, short onOff) {
    if (knownLight(n))
        enabled[n] = onOff;
}

void TLight::AmbientLight(GLfloat r, GLfloat g, GLfloat b) {
    global_ambient[0] = r;
    global_ambient[1] = g;
    global_ambient[2] = b;
    global_ambient[3] = 1.0f;
}

bool TLight::anyLightOn() const {
    return std::find(enabled.begin(), enabled.end(), switchOn) != enabled.end();
}

TLightSetup TLight::lightSetup(std::size_t n) const {
    // -Z turned about Z (no change), then Y, then X: the order entities' rotations take.
    const GLfloat p = pitch[n] * radiansPerDegree, y = yaw[n] * radiansPerDegree;
    return {{X[n], Y[n], Z[n], 1.0f},
            {-std::sin(y), std::sin(p) * std::cos(y), -std::cos(p) * std::cos(y)},
            {red[n], green[n], blue[n], 1.0f},
            {ambientRed[n], ambientGreen[n], ambientBlue[n], ambientAlpha[n]}};
}

std::size_t TLight::lightEntries() const {
    std::size_t entries = enabled.size();
    for (auto array : floatArrays)
        entries += (this->*array).size();
    return entries;
}
