// LwsMotionTest.cpp - items' matrices: the format's worked examples, a parent chain with pivots,
// the order of a local matrix's factors and the camera's field of view.
#include "LwsMotion.h"
#include "support/LwsFiles.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

namespace {

using namespace bm;
using namespace bm::test;

constexpr double pi = 3.14159265358979323846;

void expectMatrix(const LwsMatrix& actual, const double (&expected)[4][4],
                  const std::string& what) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual.m[r][c], expected[r][c], 1e-6)
                << what << " [" << r << "][" << c << "]";
}

// M p for the point p.
std::array<double, 3> apply(const LwsMatrix& m, const double (&p)[3]) {
    std::array<double, 3> out;
    for (int r = 0; r < 3; ++r)
        out[r] = m.m[r][0] * p[0] + m.m[r][1] * p[1] + m.m[r][2] * p[2] + m.m[r][3];
    return out;
}

// The worked example to six decimals: the cube's TCB x, the last frame after its keys; the light
// turned heading 45, pitch 35 degrees, in radians (versions 3, 5) or degrees (2), and mirrored.
TEST(LwsMotion, WorkedExampleCubeAndLight) {
    SKIP_WITHOUT_SHARED_SCENES();
    const SceneRead read = readSharedScene("assimp/test/models/LWS/move_x.lws");
    ASSERT_EQ(read.scene.items.size(), 3u);
    for (const auto& [frame, x] :
         {std::pair{10.0, 1.441624}, {20.0, 2.069113}, {30.0, 0.254192}, {50.0, -2.374866}}) {
        const double cube[4][4] = {
            {0.979758, 0, 0, x}, {0, 0.885873, 0, -0.04}, {0, 0, 0.954916, 0}, {0, 0, 0, 1}};
        expectMatrix(worldMatrices(read.scene, frame)[0], cube, "cube at " + std::to_string(frame));
    }
    const double lightWave[4][4] = {{0.707107, 0.405580, 0.579228, -2},
                                    {0, 0.819152, -0.573576, 2},
                                    {-0.707107, 0.405580, 0.579228, -2},
                                    {0, 0, 0, 1}};
    const double openGl[4][4] = {{0.707107, 0.405580, -0.579228, -2},
                                 {0, 0.819152, 0.573576, 2},
                                 {0.707107, -0.405580, 0.579228, 2},
                                 {0, 0, 0, 1}};
    for (const char* file : {"move_x.lws", "move_x_oldformat_56.lws", "move_x_oldformat_6.lws"}) {
        const SceneRead light = readSharedScene(std::string("assimp/test/models/LWS/") + file);
        ASSERT_EQ(light.scene.items.size(), 3u) << file;
        const LwsMatrix world = worldMatrices(light.scene, 7)[1];
        expectMatrix(world, lightWave, file);
        expectMatrix(rightHanded(world), openGl, std::string(file) + " mirrored");
    }
}

// One arm part of the hierarchy example: y and z held, pitch keyed from 0 to an angle at 1 s.
std::string armPart(const char* file, const char* y, const char* z, const char* pitch,
                    const char* pivot, const char* parent) {
    const std::string key = "{ Envelope\n  1\n  Key ";
    return std::string("LoadObjectLayer 1 ") + file + "\nObjectMotion\nNumChannels 9\nChannel 1\n" +
           key + y + " 0 0 0 0 0 0 0 0\n}\nChannel 2\n" + key + z + " 0 0 0 0 0 0 0 0\n}\n" +
           "Channel 4\n{ Envelope\n  2\n  Key 0 0 0 0 0 0 0 0 0\n  Key " + pitch +
           " 1 0 0 0 0 0 0 0\n}\nPivotPosition " + pivot + "\nParentItem " + parent + "\n";
}

// A fore-arm on a shoulder on a chassis, naming its parent before it is declared: its pivot lands
// where the shoulder's pivoted, pitched matrix puts its position, or factors are out of order.
TEST(LwsMotion, ChildPivotFollowsItsParentsPivotedTurn) {
    const SceneRead read = readScene("LWSC\n3\n\nFramesPerSecond 30\n\n" +
                                     armPart("ForeArm.lwo", "1.8200001", "-5.4100022", "0.7971791",
                                             "0 1.82 -5.410002", "10000002") +
                                     "AddNullObject Chassis\n" +
                                     armPart("Shoulder.lwo", "1.8099999", "-4.2400012",
                                             "-0.40142572", "0 1.81 -4.240001", "10000001"));
    EXPECT_EQ(read.report, "");
    ASSERT_EQ(read.scene.items.size(), 3u);
    const double pivot[3] = {0, 1.82, -5.410002};
    const std::pair<double, std::array<double, 3>> frames[] = {{0, {0, 1.82, -5.410002}},
                                                               {15, {0, 1.5865385, -5.3885080}},
                                                               {30, {0, 1.362049, -5.320900}}};
    for (const auto& [frame, expected] : frames) {
        const std::array<double, 3> landed = apply(worldMatrices(read.scene, frame)[0], pivot);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(landed[i], expected[i], 2e-6) << "frame " << frame << " axis " << i;
    }
}

// Pivot rotation turns the item after its keyed rotation; scale applies in the item's own axes;
// the pivot is taken off first. Any two factors swapped move the point.
TEST(LwsMotion, LocalMatrixOrdersItsFactors) {
    LwsPose pose;
    pose.position[0] = 10;
    pose.rotation[0] = pi / 2;       // heading: +Z turns to +X
    pose.pivotRotation[1] = pi / 2;  // pitch: +Z turns to -Y
    pose.scale[2] = 2;
    pose.pivot[2] = 1;
    const double point[3] = {0, 0, 2};  // one unit along +Z from the pivot, two when scaled
    const std::array<double, 3> moved = apply(localMatrix(pose), point);
    EXPECT_NEAR(moved[0], 10, 1e-12);
    EXPECT_NEAR(moved[1], -2, 1e-12);
    EXPECT_NEAR(moved[2], 0, 1e-12);
}

// ZoomFactor z gives 2 atan(1 / z); an animated zoom changes the angle between keys; a zoom not
// above 0 counts as 3.2, 34.708 degrees.
TEST(LwsMotion, CameraFieldOfViewFollowsItsZoom) {
    const SceneRead read = readScene(
        "LWSC\n3\n\nAddCamera\nZoomFactor (envelope)\n{ Envelope\n  2\n"
        "  Key 1 0 3 0 0 0 0 0 0\n  Key 3 1 3 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
        "AddCamera\nZoomFactor -2\n");
    ASSERT_EQ(read.scene.items.size(), 2u);
    EXPECT_NEAR(verticalFieldOfView(read.scene.items[0], 0), pi / 2, 1e-12);
    EXPECT_NEAR(verticalFieldOfView(read.scene.items[0], 0.5), 2 * std::atan(0.5), 1e-12);
    EXPECT_NEAR(verticalFieldOfView(read.scene.items[1], 0) * 180 / pi, 34.708, 1e-3);
}

}  // namespace
