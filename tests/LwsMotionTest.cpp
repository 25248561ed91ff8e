// LwsMotionTest.cpp - items' matrices: the format's worked examples, parents with pivots, the
// camera's field of view and the right-handed mirror.
#include "LwsMotion.h"
#include "support/LwsFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace bm;
using namespace bm::test;

constexpr double pi = 3.14159265358979323846;

void expectMatrix(const LwsMatrix& actual, const double (&expected)[4][4], double tolerance,
                  const std::string& what) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual.m[r][c], expected[r][c], tolerance)
                << what << " row " << r << " column " << c;
}

// M p for the point p.
std::vector<double> apply(const LwsMatrix& m, const double (&p)[3]) {
    std::vector<double> out(3);
    for (int r = 0; r < 3; ++r)
        out[r] = m.m[r][0] * p[0] + m.m[r][1] * p[1] + m.m[r][2] * p[2] + m.m[r][3];
    return out;
}

// A version-3 channel block with TCB keys (time, value).
std::string channel(int index, const std::vector<std::pair<double, double>>& keys) {
    std::ostringstream text;
    text.precision(17);
    text << "Channel " << index << "\n{ Envelope\n  " << keys.size() << "\n";
    for (const auto& [time, value] : keys)
        text << "  Key " << value << " " << time << " 0 0 0 0 0 0 0\n";
    text << "  Behaviors 1 1\n}\n";
    return text.str();
}

// The cube of move_x.lws by hand: TCB x, constant y and scale, no parent, no pivot.
TEST(LwsMotion, CubeOfTheWorkedExampleAtFourFrames) {
    SKIP_WITHOUT_SHARED_SCENES();
    const SceneRead read = readSharedScene("assimp/test/models/LWS/move_x.lws");
    ASSERT_EQ(read.scene.items.size(), 3u);
    const std::pair<double, double> frames[] = {
        {10, 1.441624}, {20, 2.069113}, {30, 0.254192}, {50, -2.374866}};
    for (const auto& [frame, x] : frames) {
        const double expected[4][4] = {
            {0.979758, 0, 0, x}, {0, 0.885873, 0, -0.04}, {0, 0, 0.954916, 0}, {0, 0, 0, 1}};
        const LwsMatrix world = worldMatrices(read.scene, frame)[0];
        expectMatrix(world, expected, 1e-6, "frame " + std::to_string(frame));
        expectMatrix(rightHanded(world), expected, 1e-6,
                     "mirrored, frame " + std::to_string(frame));
    }
}

// The light of move_x.lws, and the same light in the version-2 copy of the scene, which writes
// its angles in degrees: heading 45 and pitch 35, so it shines down at the origin.
TEST(LwsMotion, LightTurnsHeadingThenPitchInEitherUnit) {
    SKIP_WITHOUT_SHARED_SCENES();
    const double lightWave[4][4] = {{0.707107, 0.405580, 0.579228, -2},
                                    {0, 0.819152, -0.573576, 2},
                                    {-0.707107, 0.405580, 0.579228, -2},
                                    {0, 0, 0, 1}};
    const double openGl[4][4] = {{0.707107, 0.405580, -0.579228, -2},
                                 {0, 0.819152, 0.573576, 2},
                                 {0.707107, -0.405580, 0.579228, 2},
                                 {0, 0, 0, 1}};
    for (const char* file : {"move_x.lws", "move_x_oldformat_56.lws", "move_x_oldformat_6.lws"}) {
        const SceneRead read = readSharedScene(std::string("assimp/test/models/LWS/") + file);
        ASSERT_EQ(read.scene.items.size(), 3u) << file;
        ASSERT_EQ(read.scene.items[1].type, LwsLight) << file;
        const LwsMatrix world = worldMatrices(read.scene, 7)[1];
        expectMatrix(world, lightWave, 1e-6, file);
        expectMatrix(rightHanded(world), openGl, 1e-6, std::string(file) + " mirrored");
    }
}

// A fore-arm on a shoulder on a chassis, as in the format's hierarchy example; the fore-arm is
// declared first and names its parent by the number it gets later. Its pivot lands where the
// shoulder's matrix puts the fore-arm's position: the shoulder's own pivot is taken off first.
TEST(LwsMotion, ChildPivotFollowsItsParentsPivotedTurn) {
    const std::string text =
        "LWSC\n3\n\nFramesPerSecond 30\n\n"
        "LoadObjectLayer 1 QuickDraw--Arm-ForeArm.lwo\nObjectMotion\nNumChannels 9\n" +
        channel(1, {{0, 1.8200001}}) + channel(2, {{0, -5.4100022}}) +
        channel(4, {{0, 0}, {1, 0.7971791}}) +
        "PivotPosition 0 1.82 -5.410002\nParentItem 10000002\n\n"
        "AddNullObject Chassis\n\n"
        "LoadObjectLayer 1 QuickDraw--Arm-Shoulder.lwo\nObjectMotion\nNumChannels 9\n" +
        channel(1, {{0, 1.8099999}}) + channel(2, {{0, -4.2400012}}) +
        channel(4, {{0, 0}, {1, -0.40142572}}) +
        "PivotPosition 0 1.81 -4.240001\nParentItem 10000001\n";
    const SceneRead read = readScene(text);
    EXPECT_EQ(read.report, "");
    ASSERT_EQ(read.scene.items.size(), 3u);
    EXPECT_EQ(read.scene.items[0].parent, 2);
    EXPECT_EQ(read.scene.items[2].parent, 1);
    const double pivot[3] = {0, 1.82, -5.410002};
    const std::pair<double, std::vector<double>> frames[] = {{0, {0, 1.82, -5.410002}},
                                                             {15, {0, 1.5865385, -5.3885080}}};
    for (const auto& [frame, expected] : frames) {
        const std::vector<double> landed = apply(worldMatrices(read.scene, frame)[0], pivot);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(landed[i], expected[i], 2e-6) << "frame " << frame << " axis " << i;
    }
}

// Real scenes with parents: an object turned about its pivot below another, and three trails
// below a null declared after them. Wherever they move, each child's pivot lands where its
// parent's world matrix puts the child's position.
TEST(LwsMotion, ChildrenOfARealSceneFollowTheirParents) {
    SKIP_WITHOUT_SHARED_SCENES();
    const SceneRead read =
        readSharedScene("astrofra-demo-redline-assets/assets/3d/03_01_seq_01_ride.lws");
    const std::vector<LwsItem>& items = read.scene.items;
    ASSERT_EQ(items.size(), 18u);
    EXPECT_EQ(items[1].parent, 2);
    EXPECT_TRUE(items[1].hasPivot);
    for (int trail : {9, 11, 12})
        EXPECT_EQ(items[trail].parent, 10) << trail;
    int checked = 0;
    for (double frame : {1.0, 17.5, 40.0, 65.0}) {
        const std::vector<LwsMatrix> world = worldMatrices(read.scene, frame);
        const double seconds = lwsSeconds(read.scene, frame);
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].parent < 0)
                continue;
            const LwsPose pose = poseAt(items[i], seconds);
            const std::vector<double> pivot = apply(world[i], pose.pivot);
            const std::vector<double> position = apply(world[items[i].parent], pose.position);
            for (int a = 0; a < 3; ++a)
                EXPECT_NEAR(pivot[a], position[a], 1e-9) << "item " << i << " frame " << frame;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 16);
}

// ZoomFactor is the distance at which the image is 2 high: 3.2 gives 34.708 degrees; an animated
// zoom changes the angle between keys.
TEST(LwsMotion, CameraFieldOfViewFollowsItsZoom) {
    const SceneRead read = readScene(
        "LWSC\n3\n\nAddCamera\nZoomFactor 3.2\nAddCamera\nZoomFactor (envelope)\n{ Envelope\n  2\n"
        "  Key 1 0 3 0 0 0 0 0 0\n  Key 3 1 3 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
        "AddCamera\nZoomFactor -2\n");
    ASSERT_EQ(read.scene.items.size(), 3u);
    EXPECT_NEAR(verticalFieldOfView(read.scene.items[0], 5) * 180 / pi, 34.708, 1e-3);
    EXPECT_NEAR(verticalFieldOfView(read.scene.items[1], 0), pi / 2, 1e-12);
    EXPECT_NEAR(verticalFieldOfView(read.scene.items[1], 0.5), 2 * std::atan(0.5), 1e-12);
    EXPECT_NEAR(verticalFieldOfView(read.scene.items[2], 0) * 180 / pi, 34.708, 1e-3);
}

// Pivot rotation turns the item about its pivot after its keyed rotation; scale applies in the
// item's own axes; the pivot is taken off first.
TEST(LwsMotion, LocalMatrixOrdersItsFactors) {
    LwsPose pose;
    pose.position[0] = 10;
    pose.rotation[0] = pi / 2;       // heading: +Z turns to +X
    pose.pivotRotation[1] = pi / 2;  // pitch: +Z turns to -Y
    pose.scale[2] = 2;
    pose.pivot[2] = 1;
    const double point[3] = {0, 0, 2};  // one unit along +Z from the pivot, two when scaled
    const std::vector<double> moved = apply(localMatrix(pose), point);
    EXPECT_NEAR(moved[0], 10, 1e-12);
    EXPECT_NEAR(moved[1], -2, 1e-12);
    EXPECT_NEAR(moved[2], 0, 1e-12);
}

}  // namespace
