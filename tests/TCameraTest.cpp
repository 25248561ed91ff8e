// TCameraTest.cpp - camera defaults, Render's GL state and its debug dump.
#include "TCamera.h"
#include "support/GLWindow.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TCameraGL : public bm::test::GLFixture {
protected:
    TCamera camera;

    std::string renderCapturingOutput() {
        testing::internal::CaptureStdout();
        camera.Render();
        return testing::internal::GetCapturedStdout();
    }
    void matrix(GLenum which, GLfloat m[16]) { glGetFloatv(which, m); }
};

}  // namespace

TEST_F(TCameraGL, SetupGivesDefaultsAndNumbersCameras) {
    camera.SetupCamera();
    EXPECT_EQ(camera.Id, 0u);
    EXPECT_EQ(camera.X + camera.Y + camera.Z, 0.0f);
    EXPECT_EQ(camera.Pitch + camera.Yaw + camera.Roll, 0.0f);
    EXPECT_EQ(camera.viewX, 0);
    EXPECT_EQ(camera.viewY, 0);
    EXPECT_EQ(camera.viewWidth, 320);
    EXPECT_EQ(camera.viewHeight, 480);
    EXPECT_EQ(camera.FieldOfView, 50.0f);
    EXPECT_EQ(camera.AspectRatio, 0.75f);
    EXPECT_EQ(camera.rangeNear, 0.1f);
    EXPECT_EQ(camera.rangeFar, 500.0f);
    EXPECT_EQ(camera.zoomNear, 0.1f);
    EXPECT_EQ(camera.zoomFar, 500.0f);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    // Eye and centre coincide: the model-view's rotation block is all zero.
    GLfloat m[16];
    matrix(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[0], 0.0f);
    EXPECT_EQ(m[5], 0.0f);
    EXPECT_EQ(m[10], 0.0f);
    EXPECT_EQ(m[15], 1.0f);
    camera.SetupCamera();
    EXPECT_EQ(camera.Id, 1u);
    EXPECT_EQ(cameraCount, 2);
}

TEST_F(TCameraGL, RenderAppliesViewportPerspectiveAndView) {
    camera.SetupCamera();
    camera.SetCameraViewport(10, 20, 300, 200);
    camera.SetCameraFOV(60, 1.5f);
    camera.SetCameraRange(1, 100);
    camera.PositionCamera(0, 0, 450);
    renderCapturingOutput();
    GLint viewport[4], scissor[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_SCISSOR_BOX, scissor);
    for (GLint* box : {viewport, scissor}) {
        EXPECT_EQ(box[0], 10);
        EXPECT_EQ(box[1], 20);
        EXPECT_EQ(box[2], 300);
        EXPECT_EQ(box[3], 200);
    }
    GLfloat p[16];
    matrix(GL_PROJECTION_MATRIX, p);
    EXPECT_NEAR(p[5], 1.733113f, 1e-5f);  // cot(30 * 3.14 / 180)
    EXPECT_NEAR(p[0], p[5] / 1.5f, 1e-6f);
    EXPECT_NEAR(p[10], -101.0f / 99.0f, 1e-6f);
    EXPECT_NEAR(p[14], -200.0f / 99.0f, 1e-6f);
    GLfloat v[16];
    matrix(GL_MODELVIEW_MATRIX, v);
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_EQ(v[5], 1.0f);
    EXPECT_EQ(v[10], 1.0f);
    EXPECT_EQ(v[14], -450.0f);
}

// Rotation and zoom reach only the dump, never the matrices.
TEST_F(TCameraGL, RotationAndZoomChangeOnlyTheDump) {
    camera.SetupCamera();
    camera.PositionCamera(3, 4, 450);
    renderCapturingOutput();
    GLfloat before[16], after[16], projectionBefore[16], projectionAfter[16];
    matrix(GL_MODELVIEW_MATRIX, before);
    matrix(GL_PROJECTION_MATRIX, projectionBefore);
    camera.RotateCamera(30, 40, 50);
    camera.SetCameraZoom(2, 3);
    const std::string dump = renderCapturingOutput();
    matrix(GL_MODELVIEW_MATRIX, after);
    matrix(GL_PROJECTION_MATRIX, projectionAfter);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(before[i], after[i]);
        EXPECT_EQ(projectionBefore[i], projectionAfter[i]);
    }
    EXPECT_NE(dump.find("Rotation: Pitch:30.000000 Yaw:40.000000 Roll:50.000000\n"),
              std::string::npos);
    EXPECT_NE(dump.find("Zoom: Near:2.000000 Far:3.000000\n"), std::string::npos);
}

TEST_F(TCameraGL, RenderPrintsTheTenLineDump) {
    camera.SetupCamera();
    camera.PositionCamera(1.5f, -2, 450);
    camera.SetCameraViewport(0, 0, 640, 480);
    EXPECT_EQ(renderCapturingOutput(),
              "<< DEBUG CAMERA INFORMATION >>\n"
              "Camera ID: 0\n"
              "Coords: X:1.500000 Y:-2.000000 Z:450.000000\n"
              "Rotation: Pitch:0.000000 Yaw:0.000000 Roll:0.000000\n"
              "View: X:0 Y:0 Width:640 Height:480\n"
              "Zoom: Near:0.100000 Far:500.000000\n"
              "Range: Near:0.100000 Far:500.000000\n"
              "Field of view:50.000000\n"
              "Aspect Ratio:0.750000\n"
              "<< END OF DEBUG CAMERA INFORMATION >>\n\n");
}

TEST_F(TCameraGL, RenderFromTheYAxisLeavesOnlyTheBackwardRow) {
    camera.SetupCamera();
    camera.PositionCamera(0, 10, 0);
    renderCapturingOutput();
    GLfloat v[16];
    matrix(GL_MODELVIEW_MATRIX, v);
    EXPECT_EQ(v[0], 0.0f);
    EXPECT_EQ(v[5], 0.0f);
    EXPECT_EQ(v[6], 1.0f);
}

TEST_F(TCameraGL, SettersIssueNoGLCall) {
    camera.SetupCamera();
    GLint viewportBefore[4];
    glGetIntegerv(GL_VIEWPORT, viewportBefore);
    camera.SetCameraViewport(1, 2, 3, 4);
    camera.SetCameraFOV(60, 1.5f);
    GLint viewportAfter[4];
    glGetIntegerv(GL_VIEWPORT, viewportAfter);
    EXPECT_EQ(viewportBefore[2], viewportAfter[2]);
    EXPECT_EQ(camera.FieldOfView, 60.0f);
    EXPECT_EQ(camera.AspectRatio, 1.5f);
}
