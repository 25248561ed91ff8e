// TLight.cpp - the engine's light settings and their eye-space form.
#include "TLight.h"

#include "BrackmoorTransform.h"
#include "TEntity.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {
constexpr short switchOn = 1;
constexpr short switchOff = -1;
constexpr GLfloat radiansPerDegree = 3.14159265358979f / 180.0f;
constexpr GLfloat noCone = 180.0f;  // GL_SPOT_CUTOFF's value for light every way
constexpr GLfloat lampCone = 90.0f;

// Where the light stands and the way it faces, from its entity or its own fields.
struct Placement {
    GLfloat position[3];
    GLfloat direction[3];
};
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
    kind.reserve(n + 1);
    for (auto array : floatArrays)
        (this->*array).reserve(n + 1);
    // Position, angles, ambient red to alpha, then white light, in floatArrays' order.
    const GLfloat initial[std::size(floatArrays)] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1};
    enabled.push_back(switchOn);
    kind.push_back({BrackmoorLightLamp, 45.0f, {1, 0, 0}, switchOff, -1});
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
    kind[n].headingPitchBank = switchOff;
}

void TLight::RotateLightHPB(std::int32_t n, GLfloat heading, GLfloat pitchAngle, GLfloat bank) {
    if (!knownLight(n))
        return;
    yaw[n] = heading;
    pitch[n] = pitchAngle;
    roll[n] = bank;
    kind[n].headingPitchBank = switchOn;
}

void TLight::LightType(std::int32_t n, std::int32_t type) {
    if (knownLight(n) && type >= BrackmoorLightLamp && type <= BrackmoorLightSpot)
        kind[n].type = type;
}

void TLight::LightCone(std::int32_t n, GLfloat halfAngle) {
    // GL refuses a cut-off outside 0 to 90 and keeps the last one: so does a NaN here.
    if (knownLight(n) && !std::isnan(halfAngle))
        kind[n].cone = std::min(std::max(halfAngle, 0.0f), lampCone);
}

void TLight::LightAttenuation(std::int32_t n, GLfloat constant, GLfloat linear, GLfloat quadratic) {
    if (!knownLight(n))
        return;
    // GL refuses negative factors; std::max also turns a NaN into 0.
    const GLfloat factors[3] = {constant, linear, quadratic};
    for (int i = 0; i < 3; ++i)
        kind[n].attenuation[i] = std::max(0.0f, factors[i]);
}

void TLight::LightEntity(std::int32_t n, const TEntityClass* entity) {
    if (knownLight(n))
        kind[n].entity = entity != nullptr && entity->created ? entity->ID : -1;
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
    const TLightKind& k = kind[n];
    Placement at{{X[n], Y[n], Z[n]}, {}};
    GLfloat m[16];
    if (k.entity >= 0 && bm::entityPivotMatrix(k.entity, m)) {
        std::copy(m + 12, m + 15, at.position);
        bm::facingDirection(m, at.direction);
    } else if (k.headingPitchBank == switchOn) {
        bm::makeHeadingPitchBank(m, yaw[n], pitch[n], roll[n]);
        bm::facingDirection(m, at.direction);
    } else {
        // -Z turned about Z (no change), then Y, then X: the order entities' rotations take.
        const GLfloat p = pitch[n] * radiansPerDegree, y = yaw[n] * radiansPerDegree;
        const GLfloat facing[3] = {-std::sin(y), std::sin(p) * std::cos(y),
                                   -std::cos(p) * std::cos(y)};
        std::copy(facing, facing + 3, at.direction);
    }
    TLightSetup s{{at.position[0], at.position[1], at.position[2], 1.0f},
                  {at.direction[0], at.direction[1], at.direction[2]},
                  {red[n], green[n], blue[n], 1.0f},
                  {ambientRed[n], ambientGreen[n], ambientBlue[n], ambientAlpha[n]},
                  noCone,
                  {k.attenuation[0], k.attenuation[1], k.attenuation[2]}};
    if (k.type == BrackmoorLightDistant) {
        // GL takes a distant light as the direction toward it, w 0.
        for (int i = 0; i < 3; ++i)
            s.position[i] = -at.direction[i];
        s.position[3] = 0.0f;
    }
    if (k.type == BrackmoorLightLamp)
        s.cutoff = lampCone;
    if (k.type == BrackmoorLightSpot)
        s.cutoff = k.cone;
    return s;
}

std::size_t TLight::lightEntries() const {
    std::size_t entries = enabled.size() + kind.size();
    for (auto array : floatArrays)
        entries += (this->*array).size();
    return entries;
}
