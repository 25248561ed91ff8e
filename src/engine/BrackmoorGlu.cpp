// BrackmoorGlu.cpp - single-precision perspective and look-at matrices multiplied onto GL's.
#include "BrackmoorGlu.h"

#include <cmath>

namespace {
void normalise(GLfloat v[3]) {
    const GLfloat mag = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (mag != 0.0f) {
        v[0] /= mag;
        v[1] /= mag;
        v[2] /= mag;
    }
}

// result = a x b
void cross(const GLfloat a[3], const GLfloat b[3], GLfloat result[3]) {
    result[0] = a[1] * b[2] - a[2] * b[1];
    result[1] = -a[0] * b[2] + a[2] * b[0];
    result[2] = a[0] * b[1] - a[1] * b[0];
}
}  // namespace

namespace bm {

void makeIdentity(GLfloat m[16]) {
    for (int i = 0; i < 16; ++i)
        m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

bool makePerspective(GLfloat m[16], GLfloat fovy, GLfloat aspect, GLfloat zNear, GLfloat zFar) {
    // 3.14, not pi: the half-angle comes out about 0.05 % small, as the engine always had it.
    const GLfloat radians = static_cast<GLfloat>(fovy / 2 * 3.14 / 180);
    const GLfloat deltaZ = zFar - zNear;
    const GLfloat sine = std::sin(radians);
    if (deltaZ == 0.0f || sine == 0.0f || aspect == 0.0f)
        return false;
    const GLfloat cotangent = std::cos(radians) / sine;
    makeIdentity(m);
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(zFar + zNear) / deltaZ;
    m[11] = -1.0f;
    m[14] = zNear * -2.0f * zFar / deltaZ;
    m[15] = 0.0f;
    return true;
}

void makeLookAtRotation(GLfloat m[16], GLfloat eyex, GLfloat eyey, GLfloat eyez, GLfloat centerx,
                        GLfloat centery, GLfloat centerz, GLfloat upx, GLfloat upy, GLfloat upz) {
    GLfloat z[3] = {eyex - centerx, eyey - centery, eyez - centerz};
    normalise(z);
    GLfloat y[3] = {upx, upy, upz};
    GLfloat x[3];
    cross(y, z, x);
    // y comes from the side axis before that axis is normalised.
    cross(z, x, y);
    normalise(x);
    normalise(y);
    const GLfloat rows[3][3] = {{x[0], x[1], x[2]}, {y[0], y[1], y[2]}, {z[0], z[1], z[2]}};
    makeIdentity(m);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            m[column * 4 + row] = rows[row][column];
}

}  // namespace bm

void gluClass::__gluMakeIdentityf(GLfloat m[16]) {
    bm::makeIdentity(m);
}

void gluClass::gluPerspective(GLfloat fovy, GLfloat aspect, GLfloat zNear, GLfloat zFar) {
    GLfloat m[16];
    if (bm::makePerspective(m, fovy, aspect, zNear, zFar))
        glMultMatrixf(m);
}

void gluClass::gluLookAt(GLfloat eyex, GLfloat eyey, GLfloat eyez, GLfloat centerx, GLfloat centery,
                         GLfloat centerz, GLfloat upx, GLfloat upy, GLfloat upz) {
    GLfloat m[16];
    bm::makeLookAtRotation(m, eyex, eyey, eyez, centerx, centery, centerz, upx, upy, upz);
    glMultMatrixf(m);
    glTranslatef(-eyex, -eyey, -eyez);
}
