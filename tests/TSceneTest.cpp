// TSceneTest.cpp - scenes in the engine: entity matrices against the scene's own, mirrored or
// not; lights and the camera; missing, refused and shared object files; parent cycles.
#include "BrackmoorEngine.h"
#include "Lwo2Writer.h"
#include "LwsMotion.h"
#include "TScene.h"
#include "support/GLWindow.h"
#include "support/LwsFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace lwo = bm::lwo;
using bm::test::sharedScenes;

class TSceneGL : public bm::test::GLFixture {
protected:
    void TearDown() override { scene.ClearScene(); }

    // What it printed is kept in printed.
    bool load(const std::string& file, std::int32_t flags) {
        testing::internal::CaptureStdout();
        const bool read = scene.LoadScene(file, flags, summary);
        printed = testing::internal::GetCapturedStdout();
        return read;
    }

    TSceneClass scene;
    bm::SceneSummary summary;
    std::string printed;
};

// Every entity's world matrix, top three rows, against the scene's, to float precision.
void expectEntitiesFollowScene(const TSceneClass& scene, double frame, bool mirrored) {
    const std::vector<bm::LwsMatrix> world = bm::worldMatrices(scene.scene, frame);
    for (std::size_t i = 0; i < world.size(); ++i) {
        const bm::LwsMatrix want = mirrored ? bm::rightHanded(world[i]) : world[i];
        GLfloat m[16];
        ASSERT_TRUE(scene.Entity[i].EntityWorldMatrix(m));
        for (int k = 0; k < 12; ++k) {
            const double cell = want.m[k / 4][k % 4];
            EXPECT_NEAR(m[k % 4 * 4 + k / 4], cell, 2e-4 * std::max(1.0, std::fabs(cell)))
                << "item " << i << ", frame " << frame << ", row " << k / 4 << " column " << k % 4;
        }
    }
}

// A ride through the city (parents, a pivot, a flying camera), and the worked example's distant
// light at (-2, 2, -2), heading 45, pitch 35, and camera at (-0.1, 0.95, -6.384), zoom 3.2,
// mirrored in z or not: catches a sign left unmirrored, another turn order, a light or camera
// facing +Z. ClearScene gives the camera and the lights back.
TEST_F(TSceneGL, EntitiesLightAndCameraFollowTheSceneMirroredOrNot) {
    SKIP_WITHOUT_SHARED_SCENES();
    for (const GLfloat z : {-1.0f, 1.0f}) {  // -1: mirrored
        const std::int32_t flags = BrackmoorLwoQuiet | (z < 0 ? BrackmoorLwoRightHanded : 0);
        ASSERT_TRUE(load(
            sharedScenes + "/astrofra-demo-redline-assets/assets/3d/03_01_seq_01_ride.lws", flags));
        for (const double frame : {1.0, 30.5, 65.0}) {
            scene.SceneFrame(frame);
            expectEntitiesFollowScene(scene, frame, z < 0);
        }
        ASSERT_TRUE(load(sharedScenes + "/assimp/test/models/LWS/move_x.lws", flags));
        ASSERT_GE(scene.Light[1], 0);
        const TLightSetup light = Brackmoor.lightSetup(static_cast<std::size_t>(scene.Light[1]));
        const GLfloat* p = light.position;
        GLfloat m[16];
        Brackmoor.firstCamera.CameraMatrix(m);
        const GLfloat seen[] = {p[0], p[1], p[2], p[3], m[12], m[13], m[14], -m[8], -m[9], -m[10]};
        const GLfloat want[] = {
            -0.579228f, 0.573576f, -0.579228f * z, 0, -0.1f, 0.95f, -6.384f * z, 0, 0, z};
        for (int k = 0; k < 10; ++k)
            EXPECT_NEAR(seen[k], want[k], 1e-5) << "z " << z << ", value " << k;
        EXPECT_NEAR(Brackmoor.firstCamera.FieldOfView, 34.708f, 1e-3);
        EXPECT_EQ(Brackmoor.firstCamera.worldView, 1);
    }
    scene.ClearScene();
    EXPECT_EQ(Brackmoor.firstCamera.worldView, -1);
    EXPECT_EQ(Brackmoor.firstCamera.throughEntity, -1);
    EXPECT_FALSE(Brackmoor.anyLightOn());
}

// A triangle from (x, 0, 0), its layer's pivot given.
lwo::Layer triangle(float x, lwo::Point pivot = {0, 0, 0}) {
    return {pivot, {{x, 0, 0}, {x + 1, 0, 0}, {x, 1, 0}}, {{{0, 1, 2}, 0}}, {}};
}

lwo::Model model(const std::vector<lwo::Layer>& layers) {
    return {{"Paint"}, layers, {{"Paint", 0.2f, 0.6f, 1.0f}}, {}};
}

// A version-3 scene of items; each object item's x is its one key, with a parent if given.
std::string writeScene(const std::string& path, const std::vector<std::string>& items) {
    std::string text = "LWSC\n3\n\nFirstFrame 1\nLastFrame 10\nFramesPerSecond 30\n\n";
    for (const std::string& item : items)
        text += item + "\n";
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string item(const std::string& declaration, double x = 0, const char* parent = nullptr) {
    return declaration + "\nObjectMotion\nNumChannels 9\nChannel 0\n{ Envelope\n  1\n  Key " +
           std::to_string(x) + " 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n" +
           (parent ? std::string("ParentItem ") + parent + "\n" : "");
}

int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// A missing object, or a path naming a scene (this one or another), is one line and an empty
// item whose child is still placed under it; the rest loads. Catches a lost item or a loop.
TEST_F(TSceneGL, MissingAndRefusedObjectsLeaveTheirItems) {
    const std::string dir = bm::test::makeTempDir();
    ASSERT_TRUE(lwo::writeFile(dir + "/Present.lwo", lwo::write(model({triangle(0)}))));
    writeScene(dir + "/other.lws", {});
    writeScene(dir + "/scene.lws", {item("LoadObjectLayer 1 Missing.lwo", 2),
                                    item("LoadObjectLayer 1 Present.lwo", 1, "10000000"),
                                    item("LoadObjectLayer 1 scene.lws"),
                                    item("LoadObjectLayer 1 C:\\scenes\\other.lws")});
    ASSERT_TRUE(load(dir + "/scene.lws", BrackmoorLwoQuiet | BrackmoorLwoRightHanded));
    EXPECT_EQ((std::vector<std::size_t>{summary.objects, summary.missing, summary.objectFiles,
                                        summary.triangles}),
              (std::vector<std::size_t>{4, 3, 1, 1}));
    for (const char* line :
         {"Missing.lwo\" is not found", "scene.lws\" names a scene", "other.lws\" names a scene"})
        EXPECT_EQ(count(printed, line), 1) << printed;
    EXPECT_EQ(count(printed, "\n"), 3) << printed;
    EXPECT_TRUE(scene.Entity[0].Surface.empty());
    EXPECT_NE(scene.Entity[0].hidden, -1);
    EXPECT_EQ(scene.Entity[1].hidden, -1);
    EXPECT_EQ(scene.Entity[1].parentID, scene.Entity[0].ID);
    GLfloat m[16];
    ASSERT_TRUE(scene.Entity[1].EntityWorldMatrix(m));
    EXPECT_FLOAT_EQ(m[12], 3.0f);  // its own 1 after its missing parent's 2
}

// Each object file is read once however many items use it and however paths spell it; the same
// file and layer share surfaces, another layer has its own points, and its pivot, mirrored.
TEST_F(TSceneGL, EachObjectFileIsReadOnce) {
    const std::string dir = bm::test::makeTempDir();
    ASSERT_TRUE(lwo::writeFile(dir + "/one.lwo", lwo::write(model({triangle(0)}))));
    ASSERT_TRUE(
        lwo::writeFile(dir + "/two.lwo", lwo::write(model({triangle(0), triangle(5, {1, 2, 3})}))));
    writeScene(dir + "/scene.lws",
               {item("LoadObjectLayer 1 one.lwo"), item("LoadObjectLayer 1 Q:ONE.LWO"),
                item("LoadObjectLayer 1 ./one.lwo"), item("LoadObjectLayer 1 two.lwo"),
                item("LoadObjectLayer 2 two.lwo"), item("LoadObjectLayer 2 TWO.lwo")});
    ASSERT_TRUE(load(dir + "/scene.lws", BrackmoorLwoRightHanded));
    EXPECT_EQ(count(printed, "STARTED:Lightwave Loader"), 2) << printed;
    EXPECT_EQ(summary.objectFiles, 2u);
    EXPECT_EQ(summary.triangles, 6u);
    const auto& e = scene.Entity;
    EXPECT_TRUE(e[1].Surface == e[0].Surface && e[2].Surface == e[0].Surface);
    EXPECT_TRUE(e[4].Surface != e[3].Surface && e[5].Surface == e[4].Surface);
    EXPECT_FLOAT_EQ(e[4].Surface[0]->verts[0], 5.0f);
    EXPECT_EQ(std::vector<GLfloat>({e[4].pivotX, e[4].pivotY, e[4].pivotZ}),
              (std::vector<GLfloat>{1, 2, -3}));
    EXPECT_EQ(e[3].pivotY, 0.0f);
}

// Parents on a loop are cut as the scene reader cuts them, and the entities agree; so do items
// whose pivot has a turn of its own, under a scaled, turned parent, mirrored or not.
TEST_F(TSceneGL, ParentCycleIsCutAndPivotsTurn) {
    const std::string half = "{ Envelope\n  1\n  Key 0.5 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n";
    const std::string file = writeScene(
        bm::test::makeTempDir() + "/cycle.lws",
        {item("AddNullObject A", 1, "10000001"), item("AddNullObject B", 2, "10000000"),
         item("AddNullObject C", 4, "10000000"),
         "AddNullObject D\nObjectMotion\nNumChannels 9\nChannel 3\n" + half + "Channel 6\n" + half +
             "ParentItem 10000002\nPivotPosition 1 2 3\nPivotRotation 30 -20 10\n",
         "AddNullObject E\nPivotRotation 0 90 40\nParentItem 10000003\n"});
    ASSERT_TRUE(load(file, BrackmoorLwoQuiet | BrackmoorLwoRightHanded));
    EXPECT_EQ(summary.nulls, 5u);
    EXPECT_NE(printed.find("LoadScene:"), std::string::npos);
    const auto& items = scene.scene.items;
    EXPECT_TRUE(items[0].parent < 0 || items[1].parent < 0);
    EXPECT_EQ(items[2].parent, 0);
    expectEntitiesFollowScene(scene, 1, true);
    ASSERT_TRUE(load(file, BrackmoorLwoQuiet));
    expectEntitiesFollowScene(scene, 1, false);
}

// A fully luminous surface is drawn unlit: catches normals made for it all the same, with shared
// vertices or without. Its colour is checked with the other luminosity rules.
TEST_F(TSceneGL, LuminousSurfacesKeepNoNormals) {
    lwo::Model lamp = model({triangle(0)});
    lamp.layers[0].polygons.push_back({{0, 2, 1}, 1});
    lamp.tags = {"Lamp", "Wall"};
    lamp.surfaces = {{"Lamp", 1, 1, 1, 0, 1}, {"Wall", 1, 1, 1}};
    const std::string file = bm::test::makeTempDir() + "/lamp.lwo";
    ASSERT_TRUE(lwo::writeFile(file, lwo::write(lamp)));
    for (const std::int32_t compact : {0, BrackmoorLwoCompact}) {
        TEntityClass e;
        testing::internal::CaptureStdout();
        e.LoadLWO(file, BrackmoorLwoQuiet | BrackmoorLwoSurfaces | BrackmoorLwoNormals | compact);
        testing::internal::GetCapturedStdout();
        ASSERT_EQ(e.Surface.size(), 2u);
        EXPECT_TRUE(e.Surface[0]->normals.empty() && !e.Surface[1]->normals.empty()) << compact;
    }
}

}  // namespace
