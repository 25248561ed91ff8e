// TSprite.cpp - the angle at which images are drawn.
#include "TSprite.h"

GLfloat imageDrawAngle = 0.0f;

void setSpriteRotation(GLfloat angle) {
    imageDrawAngle = angle;
}
