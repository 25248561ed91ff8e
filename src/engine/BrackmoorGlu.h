// BrackmoorGlu.h - the engine's single-precision perspective and look-at matrices, and GL error
// text.
#pragma once

#include "BrackmoorCompatibility.h"

#include <string>

namespace bm {
// Column-major 4x4: m[c * 4 + r] is row r, column c.
void makeIdentity(GLfloat m[16]);
// Fills m and returns true, or returns false (m untouched) for a zero depth range, sine or aspect.
bool makePerspective(GLfloat m[16], GLfloat fovy, GLfloat aspect, GLfloat zNear, GLfloat zFar);
// Fills m with the view rotation only; the translation by the negated eye is applied separately.
void makeLookAtRotation(GLfloat m[16], GLfloat eyex, GLfloat eyey, GLfloat eyez, GLfloat centerx,
                        GLfloat centery, GLfloat centerz, GLfloat upx, GLfloat upy, GLfloat upz);
}  // namespace bm

class gluClass {
public:
    void __gluMakeIdentityf(GLfloat m[16]);
    // Multiplies the current matrix by a perspective, or leaves it unchanged when degenerate.
    void gluPerspective(GLfloat fovy, GLfloat aspect, GLfloat zNear, GLfloat zFar);
    // Multiplies the current matrix by the view rotation, then translates by -eye.
    void gluLookAt(GLfloat eyex, GLfloat eyey, GLfloat eyez, GLfloat centerx, GLfloat centery,
                   GLfloat centerz, GLfloat upx, GLfloat upy, GLfloat upz);
};

// Fetches one pending GL error and returns its message, or "" when there is none.
std::string CheckErrors();
