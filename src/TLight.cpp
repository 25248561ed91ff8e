// TLight.cpp - per-light settings.
#include "TLight.h"

std::size_t TLight::lightEntries() const {
    return enabled.size() + X.size() + Y.size() + Z.size() + pitch.size() + yaw.size() +
           roll.size() + ambientRed.size() + ambientGreen.size() + ambientBlue.size() +
           ambientAlpha.size() + red.size() + green.size() + blue.size();
}
