// BrackmoorTransformTest.cpp - parents, scale, pivots and turn orders; the camera's world view;
// lights placed in the world: matrices worked by hand, GL's model-view and real pixels.
#include "BrackmoorEngine.h"
#include "BrackmoorTransform.h"
#include "TEntity.h"
#include "support/SceneGL.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <string>

namespace {
using Matrix = std::array<GLfloat, 16>;
using Vector = std::array<GLfloat, 3>;

TEntityClass createdEntity() {
    TEntityClass e;
    e.CreateEntity();
    return e;
}

void expectMatrix(const GLfloat* seen, const Matrix& expected, const std::string& what) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(seen[i], expected[i], 1e-4f) << what << ", element " << i;
}

Matrix worldOf(const TEntityClass& e) {
    Matrix m;
    EXPECT_TRUE(e.EntityWorldMatrix(m.data()));
    return m;
}

// A chain three deep. The grandparent: at (10, 0, 0), heading 90, scale 2 about the pivot
// (1, 0, 0). The parent: at (0, 1, 0) in it, pitch 90, scale (1, 3, 1) about (0, 1, 0). The child:
// at (0, 0, 2) in that, turned 90 about Z by RotateEntity.
struct Chain {
    TEntityClass grandparent = createdEntity(), parent = createdEntity(), child = createdEntity();
    Chain() {
        child.EntityParent(&parent);  // before the parent has a record: found when drawn
        child.PositionEntity(0, 0, 2);
        child.RotateEntity(0, 0, 90);
        parent.EntityParent(&grandparent);
        parent.PositionEntity(0, 1, 0);
        parent.RotateEntityHPB(0, 90, 0);
        parent.ScaleEntity(1, 3, 1);
        parent.EntityPivot(0, 1, 0);
        grandparent.PositionEntity(10, 0, 0);
        grandparent.RotateEntityHPB(90, 0, 0);
        grandparent.ScaleEntity(2, 2, 2);
        grandparent.EntityPivot(1, 0, 0);
    }
};

// Worked by hand, column by column: the images of the three axes, then of the origin. Heading 90
// takes x to -z and z to x; pitch 90 takes y to z and z to -y; Z by 90 takes x to y and y to -x.
// The grandparent's origin: (0 - 1) * 2 = (-2, 0, 0), turned (0, 0, 2), moved (10, 0, 2).
const Matrix grandparentWorld{0, 0, -2, 0, 0, 2, 0, 0, 2, 0, 0, 0, 10, 0, 2, 1};
// The parent's origin: (0, -3, 0) scaled and less its pivot, pitched (0, 0, -3), plus (0, 1, 0):
// (0, 1, -3) in the grandparent, which puts it at (4, 2, 2).
const Matrix parentWorld{0, 0, -2, 0, 6, 0, 0, 0, 0, -2, 0, 0, 4, 2, 2, 1};
// The child's x is the parent's y, 3 long, the grandparent's z, 6 long, the world's x. Its origin,
// (0, 0, 2) in the parent, is (0, -1, -3) in the grandparent and (4, -2, 2) in the world.
const Matrix childWorld{6, 0, 0, 0, 0, 0, 2, 0, 0, -2, 0, 0, 4, -2, 2, 1};

// A camera at (1, 0, 0) with a heading of 90 sees world x as its depth toward it (+z) and world
// z as its left (-x): the child's model-view is the view times the child's world matrix.
const Matrix childSeenFromTheSide{0, 0, 6, 0, -2, 0, 0, 0, 0, -2, 0, 0, -2, -2, 3, 1};

// A new surface of e: a triangle of white corners, 0.4 wide and high, around (x, 0, 0).
TSurfaceClass& addPatch(TEntityClass& e, GLfloat x) {
    TSurfaceClass& s = *e.Surface[static_cast<std::size_t>(e.CreateSurface())];
    s.AddVertex(x - 0.2f, -0.2f, 0, 0, 0, 50);
    s.AddVertex(x + 0.2f, -0.2f, 0, 0, 0, 50);
    s.AddVertex(x, 0.2f, 0, 0, 0, 50);
    s.AddTriangle(0, 1, 2);
    return s;
}

Vector transformDirection(const GLfloat* m, const Vector& v) {
    Vector r{};
    for (int row = 0; row < 3; ++row)
        r[row] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2];
    return r;
}
}  // namespace

TEST(BrackmoorTransform, ThreeDeepChainWithPivotsAndScaleMatchesTheHandWorkedMatrices) {
    const Chain chain;
    expectMatrix(worldOf(chain.grandparent).data(), grandparentWorld, "grandparent");
    expectMatrix(worldOf(chain.parent).data(), parentWorld, "parent");
    expectMatrix(worldOf(chain.child).data(), childWorld, "child");
}

// A parent that is missing, itself, or on a loop makes a root; an entity below a loop is placed
// in the loop's entity it hangs from, that one drawn as a root.
TEST(BrackmoorTransform, MissingParentsAndLoopsMakeRoots) {
    TEntityClass a = createdEntity(), b = createdEntity(), below = createdEntity();
    TEntityClass unregistered = createdEntity(), orphan = createdEntity(), self = createdEntity();
    a.PositionEntity(1, 0, 0);
    b.PositionEntity(0, 2, 0);
    a.EntityParent(&b);
    b.EntityParent(&a);
    below.EntityParent(&a);
    below.PositionEntity(0, 0, 4);
    // Entity numbers are handed out again after each test, so this one takes a number no test
    // reaches, to be sure no record holds it.
    unregistered.ID = std::numeric_limits<std::int32_t>::max();
    orphan.EntityParent(&unregistered);
    orphan.PositionEntity(8, 0, 0);
    self.parentID = self.ID;
    self.PositionEntity(0, 0, -5);
    struct Case {
        const TEntityClass* e;
        Vector place;
    };
    const Case cases[] = {{&a, {1, 0, 0}},
                          {&b, {0, 2, 0}},
                          {&below, {1, 0, 4}},
                          {&orphan, {8, 0, 0}},
                          {&self, {0, 0, -5}}};
    for (const Case& c : cases) {
        const Matrix m = worldOf(*c.e);
        EXPECT_EQ((Vector{m[12], m[13], m[14]}), c.place) << "entity " << c.e->ID;
    }
    GLfloat m[16];
    EXPECT_FALSE(unregistered.EntityWorldMatrix(m));
    self.EntityParent(&self);
    EXPECT_EQ(self.parentID, -1);
    TEntityClass neverCreated;
    orphan.EntityParent(&neverCreated);
    EXPECT_EQ(orphan.parentID, -1);
}

// Heading about Y, then pitch about X, then bank about Z, applied bank first; RotateEntity's
// pitch, yaw, roll turn X first instead. In the engine's right-handed terms: heading 90 turns +Z
// to +X and the view direction -Z to -X; pitch 90 turns +Z to -Y and -Z to +Y (up).
TEST(BrackmoorTransform, HeadingPitchBankTurnInLightWavesOrder) {
    struct Case {
        bool hpb;
        GLfloat first, second, third;  // heading, pitch, bank or pitch, yaw, roll
        Vector from, to;
    };
    const Case cases[] = {
        {true, 90, 0, 0, {0, 0, 1}, {1, 0, 0}},   {true, 90, 0, 0, {0, 0, -1}, {-1, 0, 0}},
        {true, 0, 90, 0, {0, 0, 1}, {0, -1, 0}},  {true, 0, 90, 0, {0, 0, -1}, {0, 1, 0}},
        {true, 0, 0, 90, {1, 0, 0}, {0, 1, 0}},   {true, 90, 90, 0, {0, 1, 0}, {1, 0, 0}},
        {true, 90, 90, 0, {0, 0, 1}, {0, -1, 0}}, {false, 90, 90, 0, {0, 1, 0}, {0, 0, 1}},
        {false, 90, 90, 0, {0, 0, 1}, {1, 0, 0}}, {true, 90, 0, 90, {1, 0, 0}, {0, 1, 0}},
        {true, 0, 90, 90, {1, 0, 0}, {0, 0, 1}},
    };
    for (const Case& c : cases) {
        TEntityClass e = createdEntity();
        if (c.hpb)
            e.RotateEntityHPB(c.first, c.second, c.third);
        else
            e.RotateEntity(c.first, c.second, c.third);
        Matrix m;
        bm::entityLocalMatrix(e, m.data());
        const Vector to = transformDirection(m.data(), c.from);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(to[i], c.to[i], 1e-6f)
                << (c.hpb ? "HPB " : "RotateEntity ") << c.first << " " << c.second << " "
                << c.third << ", axis " << i;
    }
}

class BrackmoorTransformGL : public bm::test::GLFixture {
protected:
    BrackmoorClass engine{};  // its own camera and lights
};

// The model-view GL holds for the child, as updateWorld loads it: its world matrix in eye space,
// the view times it under a camera placed by its own fields or looking through a scaled,
// parented entity; GL_NORMALIZE on for the scaled chain.
TEST_F(BrackmoorTransformGL, ModelViewIsTheViewTimesTheWorldMatrix) {
    const Chain chain;
    TEntityClass rig = createdEntity(), eye = createdEntity();
    rig.PositionEntity(1, 0, 0);
    rig.ScaleEntity(5, 5, 5);
    eye.EntityParent(&rig);
    eye.RotateEntityHPB(90, 0, 0);
    struct Case {
        const char* name;
        const TEntityClass* through;
        const GLfloat* view;
        const Matrix& modelView;
    };
    GLfloat view[16], seen[16];
    const Case cases[] = {{"eye space", nullptr, nullptr, childWorld},
                          {"camera's own place", nullptr, view, childSeenFromTheSide},
                          {"through an entity", &eye, view, childSeenFromTheSide}};
    engine.firstCamera.PositionCamera(1, 0, 0);
    engine.firstCamera.RotateCamera(0, 90, 0);
    for (const Case& c : cases) {
        engine.firstCamera.CameraEntity(c.through);
        engine.firstCamera.ViewMatrix(view);
        glMatrixMode(GL_MODELVIEW);
        glDisable(GL_NORMALIZE);
        EXPECT_TRUE(bm::placeEntity(*TEntityRegistry.find(chain.child.ID), c.view));
        glGetFloatv(GL_MODELVIEW_MATRIX, seen);
        expectMatrix(seen, c.modelView, c.name);
        EXPECT_TRUE(glIsEnabled(GL_NORMALIZE)) << c.name;
    }
    glDisable(GL_NORMALIZE);
}

// A 90-degree field of view, 4:3, given by UpdateCamera without a word: eye (x, y, -10) lands on
// pixel (320 + 24x, 240 + 24y). Eye x is the camera's right, y its up: for a camera at (0, 10, 0)
// pitched -90, looking down, up is -Z, so (2, 0, -3) is eye (2, 3, -10). A camera looking
// through an entity under a scaled, turned parent sees what one with the same turn does.
TEST_F(BrackmoorTransformGL, EntitySeenThroughAMovedAndTurnedCameraLandsOnItsPixel) {
    struct Case {
        const char* name;
        Vector camera, turn;  // X, Y, Z; Pitch, Yaw, Roll
        bool throughEntity;
        Vector patch;
        int x, y;
    };
    const Case cases[] = {
        {"looking down", {0, 10, 0}, {-90, 0, 0}, false, {2, 0, -3}, 368, 312},
        {"heading 90 then down", {0, 10, 0}, {-90, 90, 0}, false, {2, 0, -3}, 392, 192},
        {"the same through an entity", {0, 10, 0}, {-90, 90, 0}, true, {2, 0, -3}, 392, 192},
        {"rolled 90", {0, 0, 10}, {0, 0, 90}, false, {2, 1, 0}, 344, 192},
    };
    const bm::test::Rgba green{0, 255, 0, 255}, black{0, 0, 0, 255};
    TCamera& camera = engine.firstCamera;
    camera.SetCameraViewport(0, 0, 640, 480);
    camera.SetCameraFOV(90, 640.0f / 480.0f);
    camera.SetCameraRange(1, 100);
    camera.worldView = 1;
    testing::internal::CaptureStdout();
    camera.UpdateCamera();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    for (const Case& c : cases) {
        TEntityClass patch = createdEntity(), rig = createdEntity(), eye = createdEntity();
        TSurfaceClass& s = addPatch(patch, 0);
        for (std::size_t i = 0; i < s.vertexColours.size(); i += 4)
            s.vertexColours[i] = s.vertexColours[i + 2] = 0;  // green
        patch.PositionEntity(c.patch[0], c.patch[1], c.patch[2]);
        patch.RotateEntityHPB(c.turn[1], c.turn[0], c.turn[2]);  // square to the view
        rig.PositionEntity(c.camera[0], c.camera[1], c.camera[2]);
        rig.RotateEntityHPB(c.turn[1], 0, 0);
        rig.ScaleEntity(3, 3, 3);
        eye.EntityParent(&rig);
        eye.RotateEntityHPB(0, c.turn[0], c.turn[2]);
        camera.CameraEntity(c.throughEntity ? &eye : nullptr);
        camera.PositionCamera(c.camera[0], c.camera[1], c.camera[2]);
        camera.RotateCamera(c.turn[0], c.turn[1], c.turn[2]);
        bm::test::setOrthoView();  // GL's states, a cleared window; then the projection
        camera.UpdateCamera();
        glDisable(GL_TEXTURE_2D);
        engine.updateWorld();
        EXPECT_EQ(bm::test::readPixel(c.x, c.y), green) << c.name;
        EXPECT_EQ(bm::test::readPixel(640 - c.x, 480 - c.y), black) << c.name;
        patch.hidden = 0;
        patch.updateRegistry();
    }
}

// Two white patches, scaled 2 about the entity's origin to (-1.2, 0) and (1.2, 0), their normals
// tilted out to the left, (-0.6, 0, 0.8), and to the right, (0.6, 0, 0.8). Each light is given
// in eye space with the patches at (0, 0, -6); then in the world, where the camera at (0, 0, -6)
// turned 180 sees the patches at the origin turned 180 just so; then by entities under a rig
// placed as that camera. A distant light from the right (heading 60) lights the right patch
// 0.92, not the left; a spot of 20 degrees lights only the patch before it, 0.8 at its centre; a
// point light lights both, the far one dimly.
TEST_F(BrackmoorTransformGL, DistantSpotAndPointLightsLightTheExpectedSide) {
    struct Case {
        const char* name;
        std::int32_t type;
        Vector place;  // eye space
        GLfloat heading;
        int left, right;  // red seen, of 255
    };
    const Case cases[] = {
        {"distant from the right", BrackmoorLightDistant, {0, 0, 0}, 60, 0, 235},
        {"distant from the left", BrackmoorLightDistant, {0, 0, 0}, -60, 235, 0},
        {"spot on the right", BrackmoorLightSpot, {1.2f, 0, -3}, 0, 0, 200},
        {"spot on the left", BrackmoorLightSpot, {-1.2f, 0, -3}, 0, 200, 0},
        {"point on the right", BrackmoorLightPoint, {1.2f, 0, -3}, 0, 64, 200},
    };
    enum Mode { eyeSpace, world, followingEntities };
    TEntityClass patches = createdEntity(), rig = createdEntity(), lamp = createdEntity();
    for (GLfloat side : {-0.6f, 0.6f}) {
        TSurfaceClass& s = addPatch(patches, side);
        for (int corner = 0; corner < 3; ++corner)
            s.normals.insert(s.normals.end(), {side, 0, 0.8f});
    }
    patches.ScaleEntity(2, 2, 2);
    rig.PositionEntity(0, 0, -6);
    rig.RotateEntityHPB(180, 0, 0);
    lamp.EntityParent(&rig);
    const std::int32_t n = engine.CreateLight();
    engine.firstCamera.PositionCamera(0, 0, -6);
    engine.firstCamera.RotateCamera(0, 180, 0);
    for (Mode mode : {eyeSpace, world, followingEntities}) {
        engine.firstCamera.worldView = mode == eyeSpace ? -1 : 1;
        patches.PositionEntity(0, 0, mode == eyeSpace ? -6 : 0);
        patches.RotateEntityHPB(mode == eyeSpace ? 0 : 180, 0, 0);
        for (const Case& c : cases) {
            engine.LightType(n, c.type);
            engine.LightCone(n, 20);
            // The camera's placement, T(0, 0, -6) Ry(180), takes eye space to the world.
            const bool inWorld = mode == world;
            engine.PositionLight(n, inWorld ? -c.place[0] : c.place[0], c.place[1],
                                 inWorld ? -6 - c.place[2] : c.place[2]);
            engine.RotateLightHPB(n, c.heading + (inWorld ? 180 : 0), 0, 0);
            lamp.PositionEntity(c.place[0], c.place[1], c.place[2]);
            lamp.RotateEntityHPB(c.heading, 0, 0);
            engine.LightEntity(n, mode == followingEntities ? &lamp : nullptr);
            bm::test::setOrthoView();
            glDisable(GL_TEXTURE_2D);
            engine.updateWorld();
            const std::string name = std::string(c.name) + ", mode " + std::to_string(mode);
            EXPECT_NEAR(bm::test::pixelAtEye(-1.2f, -0.05f)[0], c.left, 25) << name;
            EXPECT_NEAR(bm::test::pixelAtEye(1.2f, -0.05f)[0], c.right, 25) << name;
            EXPECT_FALSE(glIsEnabled(GL_NORMALIZE)) << name;
        }
    }
}
