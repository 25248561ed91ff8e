// BrackmoorGluTest.cpp - the engine's perspective and look-at matrices, as maths and on GL's stack.
#include "BrackmoorGlu.h"
#include "support/GLWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

void expectNear(const GLfloat* actual, const GLfloat (&expected)[16], float tolerance) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

void fill(GLfloat m[16], GLfloat value) {
    for (int i = 0; i < 16; ++i)
        m[i] = value;
}

class BrackmoorGluGL : public bm::test::GLFixture {
protected:
    // A recognisable projection matrix, so "unchanged" cannot pass by chance.
    const GLfloat start[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 1, 2, 3, 1};

    void loadStart() {
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(start);
    }
    void expectProjection(const GLfloat (&expected)[16], float tolerance) {
        GLfloat m[16];
        glGetFloatv(GL_PROJECTION_MATRIX, m);
        expectNear(m, expected, tolerance);
    }
};

}  // namespace

TEST(BrackmoorGlu, IdentityOverwritesEveryValue) {
    GLfloat m[16];
    fill(m, std::numeric_limits<float>::quiet_NaN());
    gluClass().__gluMakeIdentityf(m);
    const GLfloat identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    expectNear(m, identity, 0);
}

// The half-angle uses 3.14, so cot(25 degrees) comes out 2.14575, not 2.14451.
TEST(BrackmoorGlu, PerspectiveMatchesTheEngineMatrix) {
    GLfloat m[16];
    ASSERT_TRUE(bm::makePerspective(m, 50, 0.75f, 0.01f, 1000));
    const GLfloat expected[16] = {2.860995f, 0, 0,           0,  0, 2.145746f, 0,           0,
                                  0,         0, -1.0000200f, -1, 0, 0,         -0.0200002f, 0};
    expectNear(m, expected, 2e-6f);
}

TEST(BrackmoorGlu, PerspectiveRefusesDegenerateInput) {
    struct Case {
        GLfloat fovy, aspect, zNear, zFar;
    };
    const Case cases[] = {{50, 0.75f, 5, 5}, {0, 0.75f, 1, 10}, {50, 0, 1, 10}};
    for (const Case& c : cases) {
        GLfloat m[16];
        fill(m, 9);
        EXPECT_FALSE(bm::makePerspective(m, c.fovy, c.aspect, c.zNear, c.zFar));
        EXPECT_EQ(m[0], 9.0f);
    }
    GLfloat m[16];
    EXPECT_TRUE(bm::makePerspective(m, 50, std::nanf(""), 1, 10)) << "a NaN is not zero";
}

TEST(BrackmoorGlu, LookAtRotationCases) {
    struct Case {
        GLfloat eye[3], center[3];
        GLfloat expected[16];
    };
    const Case cases[] = {
        // Straight down -Z: identity rotation.
        {{0, 0, 450}, {0, 0, 0}, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        // Eye on the centre: every axis zero, nothing divided by zero.
        {{0, 0, 0}, {0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
        // Looking along up: only the z row survives.
        {{0, 5, 0}, {0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
        // From +X: the side axis is -Z, the backward axis +X.
        {{3, 0, 0}, {0, 0, 0}, {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        GLfloat m[16];
        bm::makeLookAtRotation(m, c.eye[0], c.eye[1], c.eye[2], c.center[0], c.center[1],
                               c.center[2], 0, 1, 0);
        expectNear(m, c.expected, 1e-6f);
    }
}

TEST_F(BrackmoorGluGL, PerspectiveMultipliesOntoTheCurrentMatrix) {
    loadStart();
    gluClass().gluPerspective(90, 1, 1, 3);
    // start x P, with P: m0 = m5 = cot(45 * 3.14 / 180), m10 = -2, m11 = -1, m14 = -3.
    const GLfloat cot = 1.0f / std::tan(45 * 3.14f / 180);
    const GLfloat expected[16] = {2 * cot, 0,  0,      0,  0, 3 * cot, 0,   0,
                                  -1,      -2, -8 - 3, -1, 0, 0,       -12, 0};
    expectProjection(expected, 1e-5f);
}

TEST_F(BrackmoorGluGL, DegeneratePerspectiveLeavesTheMatrixUnchanged) {
    loadStart();
    gluClass().gluPerspective(50, 0.75f, 2, 2);
    gluClass().gluPerspective(0, 0.75f, 1, 10);
    gluClass().gluPerspective(50, 0, 1, 10);
    expectProjection(start, 0);
}

TEST_F(BrackmoorGluGL, LookAtTranslatesByTheNegatedEye) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluClass().gluLookAt(0, 0, 450, 0, 0, 0, 0, 1, 0);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const GLfloat expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -450, 1};
    expectNear(m, expected, 0);
}

TEST_F(BrackmoorGluGL, LookAtWithEyeOnCentreMapsEveryPointToTheEye) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluClass().gluLookAt(0, 0, 0, 0, 0, 0, 0, 1, 0);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const GLfloat expected[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    expectNear(m, expected, 0);
}
