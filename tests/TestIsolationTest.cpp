// TestIsolationTest.cpp - what a test leaves behind is put back before the next one runs.
#include "support/TestIsolation.h"

#include "BrackmoorEngine.h"
#include "BrackmoorVariables.h"
#include "TEntity.h"
#include "TRegistry.h"
#include "support/GLWindow.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class TestIsolationGL : public bm::test::GLFixture {};

// What the guard must put back: globals, visible records and their places, GL's state.
std::vector<double> observed() {
    std::vector<double> seen = {double(gNumEntities), double(BrackmoorWidth),
                                double(Brackmoor.lightCount()),
                                double(TTextureRegistry.Texture.size())};
    for (const TEntityClass* r : TEntityRegistry)
        if (r->hidden == -1)
            seen.insert(seen.end(), {double(r->ID), r->X, r->Y, r->Z});
    for (GLenum name : {GL_MODELVIEW_STACK_DEPTH, GL_ATTRIB_STACK_DEPTH, GL_MATRIX_MODE,
                        GL_TEXTURE_BINDING_2D, GL_LIGHTING, GL_COLOR_ARRAY}) {
        GLint value = 0;
        glGetIntegerv(name, &value);
        seen.push_back(value);
    }
    GLfloat m[32];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    glGetFloatv(GL_MODELVIEW_MATRIX, m + 16);
    seen.insert(seen.end(), m, m + 32);
    return seen;
}

}  // namespace

// A second guard sees a test change the engine and GL, unbalanced pushes and a pending error
// included, and must undo it all: catches anything a test could leave for the next.
TEST_F(TestIsolationGL, WhatATestLeavesIsPutBack) {
    TEntityClass before;
    before.CreateQuad();
    before.PositionEntity(1, 2, -3);
    const std::vector<double> start = observed();
    bm::test::EngineStateGuard guard;
    const testing::TestInfo& info = *testing::UnitTest::GetInstance()->current_test_info();
    guard.OnTestStart(info);
    Brackmoor.CreateLight();
    BrackmoorWidth = 17;
    TEntityClass added;
    added.CreateCube();
    before.PositionEntity(9, 9, 9);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    TTextureRegistry.Texture.push_back(name);
    glMatrixMode(GL_PROJECTION);
    glOrtho(-1, 1, -1, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glPushAttrib(GL_ENABLE_BIT);
    glEnable(GL_LIGHTING);
    glEnableClientState(GL_COLOR_ARRAY);
    glMatrixMode(GL_TEXTURE);
    glEnable(GL_INVALID_ENUM);  // leaves an error pending
    guard.OnTestEnd(info);
    EXPECT_EQ(observed(), start);
    EXPECT_FALSE(glIsTexture(name));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
