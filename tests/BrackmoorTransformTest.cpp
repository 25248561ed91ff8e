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

// Grandparent at (10, 0, 0), heading 90, scale 2 about (1, 0, 0); parent at (0, 1, 0) in it,
// pitch 90, scale (1, 3, 1) about (0, 1, 0); child at (0, 0, 2) in that, RotateEntity 90 about Z.
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

// By hand, the axes' images then the origin's: the grandparent's origin (0 - 1) * 2 turned and
// moved; the child's x is the parent's y, 3 long, the grandparent's z, 6 long, the world's x.
const Matrix grandparentWorld{0, 0, -2, 0, 0, 2, 0, 0, 2, 0, 0, 0, 10, 0, 2, 1};
const Matrix parentWorld{0, 0, -2, 0, 6, 0, 0, 0, 0, -2, 0, 0, 4, 2, 2, 1};
const Matrix childWorld{6, 0, 0, 0, 0, 0, 2, 0, 0, -2, 0, 0, 4, -2, 2, 1};
// Seen by a camera at (1, 0, 0), heading 90: world x is its +z, world z its -x.
const Matrix childSeenFromTheSide{0, 0, 6, 0, -2, 0, 0, 0, 0, -2, 0, 0, -2, -2, 3, 1};

// A new surface of e: a white triangle 0.4 wide and high around (x, 0, 0).
TSurfaceClass& addPatch(TEntityClass& e, GLfloat x) {
    TSurfaceClass& s = *e.Surface[static_cast<std::size_t>(e.CreateSurface())];
    s.AddVertex(x - 0.2f, -0.2f, 0, 0, 0, 50);
    s.AddVertex(x + 0.2f, -0.2f, 0, 0, 0, 50);
    s.AddVertex(x, 0.2f, 0, 0, 0, 50);
    s.AddTriangle(0, 1, 2);
    return s;
}
}  // namespace

// Catches a product taken in the wrong order, a pivot added instead of taken off, a lost scale.
TEST(BrackmoorTransform, ThreeDeepChainWithPivotsAndScaleMatchesTheHandWorkedMatrices) {
    const Chain chain;
    expectMatrix(worldOf(chain.grandparent).data(), grandparentWorld, "grandparent");
    expectMatrix(worldOf(chain.parent).data(), parentWorld, "parent");
    expectMatrix(worldOf(chain.child).data(), childWorld, "child");
}

// A missing parent, oneself or a loop makes a root, not a hang or an identity; an entity below
// a loop is placed in the loop's entity it hangs from.
TEST(BrackmoorTransform, MissingParentsAndLoopsMakeRoots) {
    TEntityClass a = createdEntity(), b = createdEntity(), below = createdEntity(),
                 unregistered = createdEntity(), orphan = createdEntity(), self = createdEntity();
    a.EntityParent(&b);
    b.EntityParent(&a);
    below.EntityParent(&a);
    unregistered.ID = std::numeric_limits<std::int32_t>::max();  // a number no record holds
    orphan.EntityParent(&unregistered);
    self.parentID = self.ID;
    const struct {
        TEntityClass* e;
        Vector own, world;
    } cases[] = {{&a, {1, 0, 0}, {1, 0, 0}},
                 {&b, {0, 2, 0}, {0, 2, 0}},
                 {&below, {0, 0, 4}, {1, 0, 4}},
                 {&orphan, {8, 0, 0}, {8, 0, 0}},
                 {&self, {0, 0, -5}, {0, 0, -5}}};
    for (const auto& c : cases)
        c.e->PositionEntity(c.own[0], c.own[1], c.own[2]);
    for (const auto& c : cases) {
        const Matrix m = worldOf(*c.e);
        EXPECT_EQ((Vector{m[12], m[13], m[14]}), c.world) << "entity " << c.e->ID;
    }
    GLfloat m[16];
    EXPECT_FALSE(unregistered.EntityWorldMatrix(m));
    self.EntityParent(&self);
    TEntityClass neverCreated;
    orphan.EntityParent(&neverCreated);
    EXPECT_EQ(self.parentID, -1);
    EXPECT_EQ(orphan.parentID, -1);
}

// Heading (Y), pitch (X), bank (Z) turn bank first, RotateEntity X first; each row is the image of
// one axis. Catches a lost order or a turn's sign (pitch 90 takes a camera's -Z up).
TEST(BrackmoorTransform, HeadingPitchBankTurnInLightWavesOrder) {
    const struct {
        bool hpb;
        GLfloat first, second, third;  // heading, pitch, bank; or pitch, yaw, roll
        int axis;
        Vector to;
    } cases[] = {
        {true, 90, 0, 0, 2, {1, 0, 0}},   {true, 0, 90, 0, 2, {0, -1, 0}},
        {true, 0, 0, 90, 0, {0, 1, 0}},   {true, 90, 90, 0, 1, {1, 0, 0}},
        {true, 90, 90, 0, 2, {0, -1, 0}}, {false, 90, 90, 0, 1, {0, 0, 1}},
        {false, 90, 90, 0, 2, {1, 0, 0}}, {true, 90, 0, 90, 0, {0, 1, 0}},
        {true, 0, 90, 90, 0, {0, 0, 1}},
    };
    for (const auto& c : cases) {
        TEntityClass e = createdEntity();
        if (c.hpb)
            e.RotateEntityHPB(c.first, c.second, c.third);
        else
            e.RotateEntity(c.first, c.second, c.third);
        Matrix m;
        bm::entityLocalMatrix(e, m.data());
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(m[4 * c.axis + i], c.to[i], 1e-6f) << "row " << &c - cases;
    }
}

class BrackmoorTransformGL : public bm::test::GLFixture {
protected:
    BrackmoorClass engine{};  // its own camera and lights
};

// GL holds the child's world matrix, times the view of a camera placed by its fields or through a
// scaled entity (its scale kept out of the view); catches a view multiplied on the wrong side.
TEST_F(BrackmoorTransformGL, ModelViewIsTheViewTimesTheWorldMatrix) {
    const Chain chain;
    TEntityClass rig = createdEntity(), eye = createdEntity();
    rig.PositionEntity(1, 0, 0);
    rig.ScaleEntity(5, 5, 5);
    eye.EntityParent(&rig);
    eye.RotateEntityHPB(90, 0, 0);
    GLfloat view[16], seen[16];
    const struct {
        const char* name;
        const TEntityClass* through;
        const GLfloat* view;
        const Matrix& modelView;
    } cases[] = {{"eye space", nullptr, nullptr, childWorld},
                 {"camera's own place", nullptr, view, childSeenFromTheSide},
                 {"through an entity", &eye, view, childSeenFromTheSide}};
    engine.firstCamera.PositionCamera(1, 0, 0);
    engine.firstCamera.RotateCamera(0, 90, 0);
    for (const auto& c : cases) {
        engine.firstCamera.CameraEntity(c.through);
        engine.firstCamera.ViewMatrix(view);
        glMatrixMode(GL_MODELVIEW);
        glDisable(GL_NORMALIZE);
        EXPECT_TRUE(bm::placeEntity(*TEntityRegistry.find(chain.child.ID), c.view));
        glGetFloatv(GL_MODELVIEW_MATRIX, seen);
        expectMatrix(seen, c.modelView, c.name);
        EXPECT_TRUE(glIsEnabled(GL_NORMALIZE)) << c.name;
    }
}

// 90 degrees, 4:3: eye (x, y, -10) lands on (320 + 24x, 240 + 24y); looking down from (0, 10, 0),
// (2, 0, -3) is eye (2, 3, -10). Catches a camera turn inverted wrongly or in the wrong order.
TEST_F(BrackmoorTransformGL, EntitySeenThroughAMovedAndTurnedCameraLandsOnItsPixel) {
    const struct {
        const char* name;
        Vector camera, turn, patch;  // turn: pitch, yaw, roll
        int x, y;
    } cases[] = {
        {"looking down", {0, 10, 0}, {-90, 0, 0}, {2, 0, -3}, 368, 312},
        {"heading 90 then down", {0, 10, 0}, {-90, 90, 0}, {2, 0, -3}, 392, 192},
        {"rolled 90", {0, 0, 10}, {0, 0, 90}, {2, 1, 0}, 344, 192},
    };
    TCamera& camera = engine.firstCamera;
    camera.SetCameraViewport(0, 0, 640, 480);
    camera.SetCameraFOV(90, 640.0f / 480.0f);
    camera.SetCameraRange(1, 100);
    camera.worldView = 1;
    for (const auto& c : cases) {
        TEntityClass patch = createdEntity();
        addPatch(patch, 0);
        patch.PositionEntity(c.patch[0], c.patch[1], c.patch[2]);
        patch.RotateEntityHPB(c.turn[1], c.turn[0], c.turn[2]);  // square to the view
        camera.PositionCamera(c.camera[0], c.camera[1], c.camera[2]);
        camera.RotateCamera(c.turn[0], c.turn[1], c.turn[2]);
        bm::test::setOrthoView();  // GL's states, a cleared window; then the projection
        camera.UpdateCamera();
        glDisable(GL_TEXTURE_2D);
        engine.updateWorld();
        EXPECT_EQ(bm::test::readPixel(c.x, c.y), (bm::test::Rgba{255, 255, 255, 255})) << c.name;
        EXPECT_EQ(bm::test::readPixel(640 - c.x, 480 - c.y)[0], 0) << c.name;  // not mirrored
        patch.hidden = 0;
        patch.updateRegistry();
    }
}

// Patches at (-1.2, 0) and (1.2, 0), normals tilted outward, seen by a camera at (0, 0, -6) turned
// 180; the light placed in the world or by an entity under a rig placed as the camera. Catches a
// light mirrored or left unturned by the view: only its side lit (a point light's far side dimly).
TEST_F(BrackmoorTransformGL, DistantSpotAndPointLightsLightTheExpectedSide) {
    const struct {
        const char* name;
        std::int32_t type;
        Vector place;  // in the camera's eye space
        GLfloat heading;
        int left, right;  // red seen, of 255
    } cases[] = {
        {"distant from the right", BrackmoorLightDistant, {0, 0, 0}, 60, 0, 235},
        {"spot on the right", BrackmoorLightSpot, {1.2f, 0, -3}, 0, 0, 200},
        {"point on the right", BrackmoorLightPoint, {1.2f, 0, -3}, 0, 64, 200},
    };
    TEntityClass patches = createdEntity(), rig = createdEntity(), lamp = createdEntity();
    for (GLfloat side : {-0.6f, 0.6f}) {
        TSurfaceClass& s = addPatch(patches, side);
        for (int corner = 0; corner < 3; ++corner)
            s.normals.insert(s.normals.end(), {side, 0, 0.8f});
    }
    patches.ScaleEntity(2, 2, 2);
    patches.RotateEntityHPB(180, 0, 0);
    rig.PositionEntity(0, 0, -6);
    rig.RotateEntityHPB(180, 0, 0);
    lamp.EntityParent(&rig);
    const std::int32_t n = engine.CreateLight();
    engine.LightCone(n, 20);
    engine.firstCamera.PositionCamera(0, 0, -6);
    engine.firstCamera.RotateCamera(0, 180, 0);
    engine.firstCamera.worldView = 1;
    for (const bool byEntity : {false, true}) {
        for (const auto& c : cases) {
            engine.LightType(n, c.type);
            // The camera's place, T(0, 0, -6) Ry(180), takes its eye space to the world.
            engine.PositionLight(n, -c.place[0], c.place[1], -6 - c.place[2]);
            engine.RotateLightHPB(n, c.heading + 180, 0, 0);
            lamp.PositionEntity(c.place[0], c.place[1], c.place[2]);
            lamp.RotateEntityHPB(c.heading, 0, 0);
            engine.LightEntity(n, byEntity ? &lamp : nullptr);
            bm::test::setOrthoView();
            glDisable(GL_TEXTURE_2D);
            engine.updateWorld();
            const std::string name = c.name + std::string(byEntity ? ", by an entity" : "");
            EXPECT_NEAR(bm::test::pixelAtEye(-1.2f, -0.05f)[0], c.left, 25) << name;
            EXPECT_NEAR(bm::test::pixelAtEye(1.2f, -0.05f)[0], c.right, 25) << name;
            EXPECT_FALSE(glIsEnabled(GL_NORMALIZE)) << name;
        }
    }
}
