// TSprite.h - the angle at which images are drawn.
#pragma once

#include "BrackmoorCompatibility.h"

extern GLfloat imageDrawAngle;  // degrees; 0 at start

void setSpriteRotation(GLfloat angle);
