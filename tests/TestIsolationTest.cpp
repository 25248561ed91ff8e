// TestIsolationTest.cpp - what a test leaves behind is put back before the next one runs.
#include "support/TestIsolation.h"

#include "BrackmoorEngine.h"
#include "BrackmoorVariables.h"
#include "TCamera.h"
#include "TEntity.h"
#include "TRegistry.h"
#include "support/GLWindow.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

class TestIsolationGL : public bm::test::GLFixture {};

std::array<GLfloat, 16> matrix(GLenum which) {
    std::array<GLfloat, 16> m{};
    glGetFloatv(which, m.data());
    return m;
}

GLint integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

std::vector<std::int32_t> visibleIds() {
    std::vector<std::int32_t> ids;
    for (const TEntityClass* record : TEntityRegistry)
        if (record->hidden == -1)
            ids.push_back(record->ID);
    return ids;
}

}  // namespace

// A second guard inside this test sees what a test does to the engine and GL, the way the
// binary's own guard sees every test, and must undo all of it, unbalanced pushes included.
TEST_F(TestIsolationGL, WhatATestLeavesIsPutBack) {
    TEntityClass before;
    before.CreateQuad();
    before.PositionEntity(1, 2, -3);
    const std::vector<std::int32_t> idsBefore = visibleIds();
    const std::int32_t cameras = cameraCount, nextEntity = gNumEntities, width = BrackmoorWidth;
    const std::array<GLfloat, 16> projection = matrix(GL_PROJECTION_MATRIX),
                                  modelview = matrix(GL_MODELVIEW_MATRIX);
    const GLint modelviewDepth = integer(GL_MODELVIEW_STACK_DEPTH),
                attribDepth = integer(GL_ATTRIB_STACK_DEPTH), mode = integer(GL_MATRIX_MODE),
                bound = integer(GL_TEXTURE_BINDING_2D);
    const std::size_t textures = TTextureRegistry.Texture.size();

    bm::test::EngineStateGuard guard;
    const testing::TestInfo& info = *testing::UnitTest::GetInstance()->current_test_info();
    guard.OnTestStart(info);
    TCamera camera;
    camera.SetupCamera();
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
    glTranslatef(5, 0, 0);
    glPushAttrib(GL_ENABLE_BIT);
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glEnableClientState(GL_COLOR_ARRAY);
    glMatrixMode(GL_TEXTURE);
    glEnable(GL_INVALID_ENUM);  // leaves an error pending
    guard.OnTestEnd(info);

    EXPECT_EQ(cameraCount, cameras);
    EXPECT_EQ(gNumEntities, nextEntity);
    EXPECT_EQ(Brackmoor.lightCount(), 0u);
    EXPECT_EQ(BrackmoorWidth, width);
    EXPECT_EQ(visibleIds(), idsBefore);
    const TEntityClass* record = TEntityRegistry.find(before.ID);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->X + record->Y + record->Z, 1.0f + 2.0f - 3.0f);
    EXPECT_EQ(TEntityRegistry.find(added.ID)->hidden, 0);
    EXPECT_EQ(TTextureRegistry.Texture.size(), textures);
    EXPECT_FALSE(glIsTexture(name));
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), bound);
    EXPECT_EQ(matrix(GL_PROJECTION_MATRIX), projection);
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), modelview);
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), modelviewDepth);
    EXPECT_EQ(integer(GL_ATTRIB_STACK_DEPTH), attribDepth);
    EXPECT_EQ(integer(GL_MATRIX_MODE), mode);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
