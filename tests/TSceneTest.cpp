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

    // Loads quietly unless flags say otherwise; what it printed is kept in printed.
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
        const bm::LwsMatrix expected = mirrored ? bm::rightHanded(world[i]) : world[i];
        GLfloat m[16];
        ASSERT_TRUE(scene.Entity[i].EntityWorldMatrix(m));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) {
                const double want = expected.m[r][c];
                EXPECT_NEAR(m[c * 4 + r], want, 2e-4 * std::max(1.0, std::fabs(want)))
                    << "item " << i << " (" << scene.scene.items[i].name << ") row " << r
                    << " column " << c << " at frame " << frame;
            }
    }
}

// A ride through the city: nulls and parents, a pivot, a flying camera. The entities' matrices
// are the scene's, mirrored in z with the right-handed flag and as written without it.
TEST_F(TSceneGL, EntitiesFollowTheSceneMirroredOrNot) {
    SKIP_WITHOUT_SHARED_SCENES();
    const std::string ride =
        sharedScenes + "/astrofra-demo-redline-assets/assets/3d/03_01_seq_01_ride.lws";
    for (const bool mirrored : {true, false}) {
        ASSERT_TRUE(load(ride, BrackmoorLwoQuiet | (mirrored ? BrackmoorLwoRightHanded : 0)));
        const auto& items = scene.scene.items;
        ASSERT_TRUE(std::any_of(items.begin(), items.end(),
                                [](const bm::LwsItem& i) { return i.parent >= 0; }));
        ASSERT_TRUE(std::any_of(items.begin(), items.end(), [](const bm::LwsItem& i) {
            return i.hasPivot && (i.pivot[0] != 0 || i.pivot[1] != 0 || i.pivot[2] != 0);
        }));
        for (const double frame : {1.0, 30.5, 65.0}) {
            scene.SceneFrame(frame);
            expectEntitiesFollowScene(scene, frame, mirrored);
        }
    }
}

// The worked example's light and camera: a distant light at (-2, 2, -2) with heading 45 and pitch
// 35 degrees, shining down toward the origin, and a camera at (-0.1, 0.95, -6.384) with zoom 3.2.
TEST_F(TSceneGL, LightAndCameraStandAndFaceAsTheSceneSays) {
    SKIP_WITHOUT_SHARED_SCENES();
    struct Case {
        bool mirrored;
        GLfloat towardLight[3];  // GL's position of a distant light
        GLfloat cameraAt[3], cameraLooks[3];
    };
    const Case cases[] = {
        {true, {-0.579228f, 0.573576f, 0.579228f}, {-0.1f, 0.95f, 6.384f}, {0, 0, -1}},
        {false, {-0.579228f, 0.573576f, -0.579228f}, {-0.1f, 0.95f, -6.384f}, {0, 0, 1}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(load(sharedScenes + "/assimp/test/models/LWS/move_x.lws",
                         BrackmoorLwoQuiet | (c.mirrored ? BrackmoorLwoRightHanded : 0)));
        ASSERT_EQ(scene.scene.items[1].type, bm::LwsLight);
        const TLightSetup light = Brackmoor.lightSetup(static_cast<std::size_t>(scene.Light[1]));
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(light.position[k], c.towardLight[k], 1e-5) << c.mirrored << " " << k;
        EXPECT_EQ(light.position[3], 0.0f);
        EXPECT_EQ(scene.cameraItem, 2);
        EXPECT_NEAR(Brackmoor.firstCamera.FieldOfView, 34.708f, 1e-3);
        GLfloat m[16];
        Brackmoor.firstCamera.CameraMatrix(m);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(m[12 + k], c.cameraAt[k], 1e-5) << c.mirrored << " " << k;
            EXPECT_NEAR(-m[8 + k], c.cameraLooks[k], 1e-5) << c.mirrored << " " << k;
        }
        EXPECT_EQ(Brackmoor.firstCamera.worldView, 1);
    }
    scene.ClearScene();
    EXPECT_EQ(Brackmoor.firstCamera.worldView, -1);
    EXPECT_EQ(Brackmoor.firstCamera.throughEntity, -1);
    EXPECT_FALSE(Brackmoor.anyLightOn());
}

// A box from low to low + side; its first layer's pivot is given.
lwo::Model box(float low, float side, lwo::Point pivot = {0, 0, 0}) {
    lwo::Model model;
    model.tags = {"Paint"};
    model.surfaces = {{"Paint", 0.2f, 0.6f, 1.0f}};
    lwo::Layer layer;
    layer.pivot = pivot;
    for (int i = 0; i < 8; ++i)
        layer.points.push_back({low + side * float(i & 1), low + side * float(i >> 1 & 1),
                                low + side * float(i >> 2)});
    const std::uint32_t faces[6][4] = {{2, 3, 1, 0}, {4, 5, 7, 6}, {0, 4, 6, 2},
                                       {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 6, 7, 3}};
    for (const auto& face : faces)
        layer.polygons.push_back({{face, face + 4}, 0});
    model.layers.push_back(layer);
    return model;
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// One item of a version-3 scene: x from one key, and its parent when it has one.
std::string objectItem(const std::string& declaration, double x, const char* parent = nullptr) {
    std::string text = declaration +
                       "\nObjectMotion\nNumChannels 9\nChannel 0\n{ Envelope\n  1\n"
                       "  Key " +
                       std::to_string(x) + " 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n";
    if (parent)
        text += std::string("ParentItem ") + parent + "\n";
    return text + "\n";
}

std::string sceneText(const std::string& items) {
    return "LWSC\n3\n\nFirstFrame 1\nLastFrame 10\nFramesPerSecond 30\n\n" + items;
}

int linesWith(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// A missing object is one line and an empty item whose child is still placed under it; a path
// naming a scene, this one or another, is refused with one line.
TEST_F(TSceneGL, MissingAndRefusedObjectsLeaveTheirItems) {
    const std::string dir = bm::test::makeTempDir();
    ASSERT_TRUE(lwo::writeFile(dir + "/Present.lwo", lwo::write(box(0, 1))));
    writeText(dir + "/other.lws", "LWSC\n3\n");
    writeText(dir + "/scene.lws",
              sceneText(objectItem("LoadObjectLayer 1 Missing.lwo", 2) +
                        objectItem("LoadObjectLayer 1 Present.lwo", 1, "10000000") +
                        objectItem("LoadObjectLayer 1 scene.lws", 0) +
                        objectItem("LoadObjectLayer 1 C:\\scenes\\other.lws", 0)));
    ASSERT_TRUE(load(dir + "/scene.lws", BrackmoorLwoQuiet | BrackmoorLwoRightHanded));
    EXPECT_EQ(summary.objects, 4u);
    EXPECT_EQ(summary.missing, 3u);
    EXPECT_EQ(summary.objectFiles, 1u);
    EXPECT_EQ(summary.triangles, 12u);
    struct Case {
        const char* written;
        const char* why;
    } const cases[] = {{"Missing.lwo", "is not found"},
                       {"scene.lws", "names a scene"},
                       {"other.lws", "names a scene"}};
    for (const Case& c : cases) {
        EXPECT_EQ(linesWith(printed, c.written), 1) << printed;
        EXPECT_EQ(linesWith(printed, std::string(c.written) + "\" " + c.why), 1) << printed;
    }
    EXPECT_EQ(linesWith(printed, "\n"), 3) << printed;
    EXPECT_TRUE(scene.Entity[0].Surface.empty());
    EXPECT_NE(scene.Entity[0].hidden, -1);
    EXPECT_FALSE(scene.Entity[1].Surface.empty());
    EXPECT_EQ(scene.Entity[1].hidden, -1);
    EXPECT_EQ(scene.Entity[1].parentID, scene.Entity[0].ID);
    GLfloat m[16];
    ASSERT_TRUE(scene.Entity[1].EntityWorldMatrix(m));
    EXPECT_FLOAT_EQ(m[12], 3.0f);  // its own 1 after its missing parent's 2
}

// Each object file is read once, however many items and layers use it and however the paths
// spell it; the same file and layer share surfaces; a layer's pivot is its item's pivot.
TEST_F(TSceneGL, EachObjectFileIsReadOnce) {
    const std::string dir = bm::test::makeTempDir();
    lwo::Model two = box(0, 1);
    two.layers.push_back(box(5, 1, {1, 2, 3}).layers[0]);
    ASSERT_TRUE(lwo::writeFile(dir + "/box.lwo", lwo::write(box(0, 2))));
    ASSERT_TRUE(lwo::writeFile(dir + "/two.lwo", lwo::write(two)));
    writeText(dir + "/scene.lws", sceneText(objectItem("LoadObjectLayer 1 box.lwo", 0) +
                                            objectItem("LoadObjectLayer 1 Q:BOX.LWO", 0) +
                                            objectItem("LoadObjectLayer 1 ./box.lwo", 0) +
                                            objectItem("LoadObjectLayer 1 two.lwo", 0) +
                                            objectItem("LoadObjectLayer 2 two.lwo", 0) +
                                            objectItem("LoadObjectLayer 2 TWO.lwo", 0)));
    ASSERT_TRUE(load(dir + "/scene.lws", BrackmoorLwoRightHanded));
    EXPECT_EQ(linesWith(printed, "STARTED:Lightwave Loader"), 2) << printed;
    EXPECT_EQ(summary.objectFiles, 2u);
    EXPECT_EQ(summary.missing, 0u);
    EXPECT_EQ(summary.triangles, 6u * 12u);
    const auto& e = scene.Entity;
    EXPECT_EQ(e[1].Surface, e[0].Surface);
    EXPECT_EQ(e[2].Surface, e[0].Surface);
    EXPECT_NE(e[4].Surface, e[3].Surface);
    EXPECT_EQ(e[5].Surface, e[4].Surface);
    // The second layer's points, from 5 to 6, not the first's.
    EXPECT_FLOAT_EQ(e[4].Surface[0]->verts[0], 5.0f);
    const double* pivot = scene.scene.items[4].defaultPivot;
    EXPECT_EQ(std::vector<double>(pivot, pivot + 3), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(std::vector<GLfloat>({e[4].pivotX, e[4].pivotY, e[4].pivotZ}),
              (std::vector<GLfloat>{1, 2, -3}));
    EXPECT_EQ(e[3].pivotY, 0.0f);
}

// Parents on a loop are cut as the scene reader cuts them, and the entities agree with it; so
// do items whose pivot has a turn of its own, under a scaled and turned parent, mirrored or not.
TEST_F(TSceneGL, ParentCycleIsCutAndPivotsTurn) {
    const std::string dir = bm::test::makeTempDir();
    const std::string half = "{ Envelope\n  1\n  Key 0.5 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n";
    writeText(dir + "/cycle.lws",
              sceneText(objectItem("AddNullObject A", 1, "10000001") +
                        objectItem("AddNullObject B", 2, "10000000") +
                        objectItem("AddNullObject C", 4, "10000000") +
                        "AddNullObject D\nObjectMotion\nNumChannels 9\nChannel 3\n" + half +
                        "Channel 6\n" + half + "ParentItem 10000002\n" +
                        "PivotPosition 1 2 3\nPivotRotation 30 -20 10\n\n" +
                        "AddNullObject E\nPivotRotation 0 90 40\nParentItem 10000003\n"));
    ASSERT_TRUE(load(dir + "/cycle.lws", BrackmoorLwoQuiet | BrackmoorLwoRightHanded));
    EXPECT_EQ(summary.nulls, 5u);
    EXPECT_NE(printed.find("LoadScene:"), std::string::npos);
    const auto& items = scene.scene.items;
    EXPECT_TRUE(items[0].parent < 0 || items[1].parent < 0);
    EXPECT_EQ(items[2].parent, 0);
    EXPECT_NE(items[3].pivotRotation[0], 0.0);
    expectEntitiesFollowScene(scene, 1, true);
    ASSERT_TRUE(load(dir + "/cycle.lws", BrackmoorLwoQuiet));
    expectEntitiesFollowScene(scene, 1, false);
}

// A surface lit by itself alone shows its whole colour, unlit; one partly so, its colour times
// its diffuse level and luminosity together, lit.
TEST_F(TSceneGL, LuminousSurfacesShowTheirColour) {
    const std::string dir = bm::test::makeTempDir();
    lwo::Model model = box(0, 1);
    model.tags = {"Lamp", "Wall"};
    model.surfaces = {{"Lamp", 0.2f, 0.6f, 1.0f, 0.0f, 1.0f}, {"Wall", 1, 1, 1, 0.5f, 0.25f}};
    model.layers[0].polygons[1].tag = 1;
    ASSERT_TRUE(lwo::writeFile(dir + "/lamp.lwo", lwo::write(model)));
    TEntityClass e;
    testing::internal::CaptureStdout();
    e.LoadLWO(dir + "/lamp.lwo", BrackmoorLwoQuiet | BrackmoorLwoSurfaces | BrackmoorLwoNormals);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(e.Surface.size(), 2u);
    const TSurfaceClass& lamp = *e.Surface[0];
    const TSurfaceClass& wall = *e.Surface[1];
    EXPECT_EQ(std::vector<GLfloat>(lamp.vertexColours.begin(), lamp.vertexColours.begin() + 4),
              (std::vector<GLfloat>{0.2f, 0.6f, 1.0f, 1.0f}));
    EXPECT_TRUE(lamp.normals.empty());
    EXPECT_EQ(std::vector<GLfloat>(wall.vertexColours.begin(), wall.vertexColours.begin() + 4),
              (std::vector<GLfloat>{0.75f, 0.75f, 0.75f, 1.0f}));
    EXPECT_EQ(wall.normals.size(), wall.verts.size());
    e.hidden = 0;
    e.updateRegistry();
}

}  // namespace
