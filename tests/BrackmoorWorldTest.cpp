// BrackmoorWorldTest.cpp - the world renderer against real GL: calls, state left behind, pixels.
#include "BrackmoorEngine.h"
#include "TEntity.h"
#include "support/SceneGL.h"
#include "support/Trace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {
using bm::test::Rgba;
const Rgba black{0, 0, 0, 255}, red{255, 0, 0, 255}, green{0, 255, 0, 255};

bool enabled(GLenum cap) {
    return glIsEnabled(cap) == GL_TRUE;
}

// A quad entity at (x, y, -6), registered.
TEntityClass quadAt(GLfloat x, GLfloat y = 0) {
    TEntityClass e;
    e.CreateQuad();
    e.PositionEntity(x, y, -6);
    return e;
}

// Adds a one-triangle surface with corners a, b, c to e.
TSurfaceClass& addTriangle(TEntityClass& e, const GLfloat (&corners)[3][3]) {
    TSurfaceClass& s = *e.Surface[static_cast<std::size_t>(e.CreateSurface())];
    for (const GLfloat* p : corners)
        s.AddVertex(p[0], p[1], p[2], 0.5f, 0.5f, 50);
    s.AddTriangle(0, 1, 2);
    return s;
}

// A small one-triangle surface of e around (x, 0), every vertex the given colour.
TSurfaceClass& addPatch(TEntityClass& e, GLfloat x, const std::vector<GLfloat>& rgba) {
    TSurfaceClass& s = addTriangle(e, {{x - 0.4f, -0.4f, 0}, {x + 0.4f, -0.4f, 0}, {x, 0.4f, 0}});
    for (std::size_t i = 0; i < s.vertexColours.size(); ++i)
        s.vertexColours[i] = rgba[i % 4];
    return s;
}

GLuint boundTexture() {
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return static_cast<GLuint>(name);
}

// A visible quad, a hidden one, then a two-surface entity with its own texture and culling off.
void buildTracedScene() {
    TEntityClass a = quadAt(1, 2);
    TEntityClass hidden = quadAt(0);
    hidden.hidden = 0;
    hidden.updateRegistry();
    TEntityClass c;
    c.CreateQuad();
    TSurfaceClass& lit = addTriangle(c, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    lit.fxVertexColour = 1;
    lit.ShineValue = 0.5f;
    c.EntityFX(16);
    c.Red = 0.25f;
    c.name.Tname = 5;
    c.RotateEntity(10, 20, 30);
    c.PositionEntity(-1, 0, -8);
}

// Scenes the trace test records, one per disabled test; the frame sits between two glFinish.
void traceOneFrame(BrackmoorClass& engine = Brackmoor) {
    glFinish();
    engine.updateWorld();
    glFinish();
}
}  // namespace

class BrackmoorWorldGL : public bm::test::GLFixture {
protected:
    void SetUp() override {
        bm::test::hideEveryRecord();
        BrackmoorBackfaceCulling = -1;
        bm::test::setOrthoView();
    }
};

TEST_F(BrackmoorWorldGL, DISABLED_TracedScene) {
    buildTracedScene();
    traceOneFrame();
}

// The same scene with normals on every surface and a light that is off.
TEST_F(BrackmoorWorldGL, DISABLED_TracedSceneLightOff) {
    buildTracedScene();
    for (const TEntityClass* record : TEntityRegistry) {
        for (TSurfaceClass* surface : record->Surface)
            surface->normals.assign(surface->verts.size(), 1.0f);
    }
    BrackmoorClass engine{};
    engine.EnableLight(engine.CreateLight(), -1);
    traceOneFrame(engine);
}

// Surfaces with and without their own textures, one entity; the application bound texture 3.
TEST_F(BrackmoorWorldGL, DISABLED_TracedOwnTextures) {
    TEntityClass e;
    e.CreateEntity();
    const GLuint own[] = {0, 7, 7, 0, 0, 0};
    const short switches[] = {-1, 1, 1, 1, -1, 1};
    for (int i = 0; i < 6; ++i) {
        TSurfaceClass& s = addTriangle(e, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
        s.fxOwnTexture = switches[i];
        s.textureID[0].Tname = own[i];
    }
    e.PositionEntity(0, 0, -6);
    glBindTexture(GL_TEXTURE_2D, 3);
    traceOneFrame();
}

// Nothing visible, and the global switch turns culling off after the frame.
TEST_F(BrackmoorWorldGL, DISABLED_TracedHiddenOnly) {
    TEntityClass e = quadAt(0);
    e.hidden = 1;
    e.updateRegistry();
    BrackmoorBackfaceCulling = 0;
    traceOneFrame();
}

class BrackmoorWorldTraceGL : public bm::test::GLFixture {
protected:
    // The GL calls of the traced frame, in order, without apitrace's own array uploads.
    static std::vector<std::string> tracedFrame(const std::string& test) {
        std::vector<std::string> calls;
        int finishes = 0;
        for (const std::string& line : bm::test::tracedCalls(test)) {
            if (line.rfind("glFinish(", 0) == 0 && ++finishes == 2)
                break;
            if (line.rfind("glFinish(", 0) != 0 && finishes == 1 &&
                line.find("// fake") == std::string::npos)
                calls.push_back(line);
        }
        return calls;
    }
};

// Every step in its order; apitrace records client arrays at the draw, so the pointer calls
// themselves do not show.
TEST_F(BrackmoorWorldTraceGL, IssuesEveryStepInOrder) {
    if (std::string(BRACKMOOR_APITRACE).empty())
        GTEST_SKIP() << "apitrace is not installed";
    struct Case {
        const char* test;
        std::vector<std::string> calls;
    };
    const std::string begin[] = {"glMatrixMode(mode = GL_MODELVIEW)",
                                 "glEnableClientState(array = GL_COLOR_ARRAY)",
                                 "glEnableClientState(array = GL_TEXTURE_COORD_ARRAY)"};
    const std::string end[] = {"glDisableClientState(array = GL_TEXTURE_COORD_ARRAY)",
                               "glDisableClientState(array = GL_COLOR_ARRAY)"};
    const std::vector<std::string> scene = {
        begin[0],
        begin[1],
        begin[2],
        "glPushMatrix()",
        "glEnable(cap = GL_CULL_FACE)",
        "glLoadIdentity()",
        "glTranslatef(x = 1, y = 2, z = -6)",
        "glRotatef(angle = 0, x = 1, y = 0, z = 0)",
        "glRotatef(angle = 0, x = 0, y = 1, z = 0)",
        "glRotatef(angle = 0, x = 0, y = 0, z = 1)",
        "glColor4f(red = 1, green = 1, blue = 1, alpha = 1)",
        "glMaterialfv(face = GL_FRONT, pname = GL_SPECULAR, params = {0, 0, 0, 1})",
        "glDrawElements(mode = GL_TRIANGLES, count = 6, type = GL_UNSIGNED_BYTE, indices = "
        "blob(6))",
        "glPopMatrix()",
        "glPushMatrix()",
        "glDisable(cap = GL_CULL_FACE)",
        "glLoadIdentity()",
        "glTranslatef(x = -1, y = 0, z = -8)",
        "glRotatef(angle = 10, x = 1, y = 0, z = 0)",
        "glRotatef(angle = 20, x = 0, y = 1, z = 0)",
        "glRotatef(angle = 30, x = 0, y = 0, z = 1)",
        "glColor4f(red = 0.25, green = 1, blue = 1, alpha = 1)",
        "glMaterialfv(face = GL_FRONT, pname = GL_SPECULAR, params = {0, 0, 0, 1})",
        "glBindTexture(target = GL_TEXTURE_2D, texture = 5)",
        "glDrawElements(mode = GL_TRIANGLES, count = 6, type = GL_UNSIGNED_BYTE, indices = "
        "blob(6))",
        "glDisable(cap = GL_LIGHTING)",
        "glColor4f(red = 0.25, green = 1, blue = 1, alpha = 1)",
        "glMaterialfv(face = GL_FRONT, pname = GL_SPECULAR, params = {0.5, 0.5, 0.5, 1})",
        "glBindTexture(target = GL_TEXTURE_2D, texture = 5)",
        "glDrawElements(mode = GL_TRIANGLES, count = 3, type = GL_UNSIGNED_BYTE, indices = "
        "blob(3))",
        "glEnable(cap = GL_LIGHTING)",
        "glPopMatrix()",
        "glEnable(cap = GL_CULL_FACE)",
        end[0],
        end[1]};
    const Case cases[] = {
        {"BrackmoorWorldGL.DISABLED_TracedScene", scene},
        {"BrackmoorWorldGL.DISABLED_TracedSceneLightOff", scene},
        {"BrackmoorWorldGL.DISABLED_TracedHiddenOnly",
         {begin[0], begin[1], begin[2], "glDisable(cap = GL_CULL_FACE)", end[0], end[1]}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tracedFrame(c.test), c.calls) << c.test;
}

// Texture calls between draws: one query, at the first own-texture surface; no bind of what is
// bound already; the application's texture and texturing back for plain surfaces and at the end.
TEST_F(BrackmoorWorldTraceGL, OwnTexturesAskOnceAndBindOnlyWhatChanges) {
    if (std::string(BRACKMOOR_APITRACE).empty())
        GTEST_SKIP() << "apitrace is not installed";
    std::vector<std::string> calls;
    for (const std::string& call : tracedFrame("BrackmoorWorldGL.DISABLED_TracedOwnTextures")) {
        if (call.rfind("glDrawElements(", 0) == 0)
            calls.push_back("draw");
        else if (call.find("GL_TEXTURE_2D") != std::string::npos || call.rfind("glGet", 0) == 0)
            calls.push_back(call);
    }
    const std::string draw = "draw", off = "glDisable(cap = GL_TEXTURE_2D)",
                      on = "glEnable(cap = GL_TEXTURE_2D)";
    EXPECT_EQ(calls,
              (std::vector<std::string>{
                  draw, "glGetIntegerv(pname = GL_TEXTURE_BINDING_2D, params = &3)",
                  "glBindTexture(target = GL_TEXTURE_2D, texture = 7)", draw, draw, off, draw, on,
                  "glBindTexture(target = GL_TEXTURE_2D, texture = 3)", draw, off, draw, on}));
}

// Culling after the frame follows the global switch, whatever the last entity wanted.
TEST_F(BrackmoorWorldGL, LeavesCullingArraysAndMatrixAsDocumented) {
    struct Case {
        short global;
        bool cullingAfter;
    };
    const Case cases[] = {{-1, true}, {0, false}, {1, false}};
    TEntityClass twoSided = quadAt(0);
    twoSided.EntityFX(16);
    twoSided.updateRegistry();
    for (const Case& c : cases) {
        BrackmoorBackfaceCulling = c.global;
        glMatrixMode(GL_PROJECTION);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(3, 4, 5);
        glMatrixMode(GL_PROJECTION);
        Brackmoor.updateWorld();
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        EXPECT_EQ((std::vector<GLfloat>{m[12], m[13], m[14]}), (std::vector<GLfloat>{3, 4, 5}));
        EXPECT_EQ(enabled(GL_CULL_FACE), c.cullingAfter) << "global " << c.global;
        EXPECT_TRUE(enabled(GL_VERTEX_ARRAY));
        EXPECT_FALSE(enabled(GL_COLOR_ARRAY));
        EXPECT_FALSE(enabled(GL_TEXTURE_COORD_ARRAY));
        EXPECT_FALSE(enabled(GL_LIGHTING));
    }
}

// Drawing a vertex-colour surface turns lighting on for the rest, even if it was off.
TEST_F(BrackmoorWorldGL, VertexColourSurfaceLeavesLightingOn) {
    TEntityClass e = quadAt(0);
    e.Surface[0]->fxVertexColour = 1;
    glDisable(GL_LIGHTING);
    Brackmoor.updateWorld();
    EXPECT_TRUE(enabled(GL_LIGHTING));
}

// Without a texture of its own an entity shows the texture bound last.
TEST_F(BrackmoorWorldGL, TextureFallsThroughToTheLastBound) {
    const TTextureClass redTexture = bm::test::loadSolidTexture(red);
    const TTextureClass greenTexture = bm::test::loadSolidTexture(green);
    TEntityClass left = quadAt(-2), middle = quadAt(0), right = quadAt(2);
    middle.EntityTexture(greenTexture, -1, 0);
    middle.updateRegistry();
    right.updateRegistry();
    glBindTexture(GL_TEXTURE_2D, redTexture.Tname);
    Brackmoor.updateWorld();
    EXPECT_EQ(bm::test::pixelAtEye(-2, 0), red);
    EXPECT_EQ(bm::test::pixelAtEye(0, 0), green);
    EXPECT_EQ(bm::test::pixelAtEye(2, 0), green);
    EXPECT_EQ(bm::test::pixelAtEye(0, 1.5f), black);
}

// The renderer draws the record: changes show only after the next registration.
TEST_F(BrackmoorWorldGL, ChangesShowAtTheNextRegistration) {
    const TTextureClass redTexture = bm::test::loadSolidTexture(red);
    const TTextureClass greenTexture = bm::test::loadSolidTexture(green);
    TEntityClass quad = quadAt(0);
    const auto frame = [&] {
        bm::test::setOrthoView();
        glBindTexture(GL_TEXTURE_2D, redTexture.Tname);
        Brackmoor.updateWorld();
        return bm::test::pixelAtEye(0, 0);
    };
    quad.EntityTexture(greenTexture, -1, 0);
    EXPECT_EQ(frame(), red);
    quad.updateRegistry();
    EXPECT_EQ(frame(), green);
    quad.hidden = 0;
    EXPECT_EQ(frame(), green);
    quad.updateRegistry();
    EXPECT_EQ(frame(), black);
    quad.hidden = -1;
    quad.updateRegistry();
    EXPECT_EQ(frame(), green);
}

// Culling is off only for an entity whose switch is 1: the quad's back shows then.
TEST_F(BrackmoorWorldGL, BackfaceSwitchShowsTheBackOfTheQuad) {
    struct Case {
        short backfaceCulling;
        Rgba seen;
    };
    const TTextureClass greenTexture = bm::test::loadSolidTexture(green);
    for (const Case& c : {Case{1, green}, {-1, black}, {0, black}}) {
        TEntityClass quad = quadAt(0);
        quad.backfaceCulling = c.backfaceCulling;
        quad.RotateEntity(0, 180, 0);
        bm::test::setOrthoView();
        glBindTexture(GL_TEXTURE_2D, greenTexture.Tname);
        Brackmoor.updateWorld();
        EXPECT_EQ(bm::test::pixelAtEye(0, 0), c.seen) << "switch " << c.backfaceCulling;
        quad.hidden = 0;
        quad.updateRegistry();
    }
}

// Translation, then X, Y and Z rotations: (1, 0, 0) at (0, 0, -6) turned 90 about Y is (0, 0, -7).
TEST_F(BrackmoorWorldGL, PlacesVerticesInEyeSpace) {
    TEntityClass e;
    e.CreateEntity();
    addTriangle(e, {{1, 0, 0}, {1, 1, 0}, {1, 0, 1}});
    e.backfaceCulling = 1;
    e.PositionEntity(0, 0, -6);
    e.RotateEntity(0, 90, 0);
    GLfloat feedback[64] = {};
    glFeedbackBuffer(64, GL_3D, feedback);
    glRenderMode(GL_FEEDBACK);
    Brackmoor.updateWorld();
    ASSERT_EQ(glRenderMode(GL_RENDER), 11);
    ASSERT_EQ(feedback[0], GL_POLYGON_TOKEN);
    ASSERT_EQ(feedback[1], 3.0f);
    // Window x, y of eye (0, 0) and (1, 0); depth back to eye z under the 1 to 100 range.
    const auto eyeZ = [](GLfloat depth) { return -(1.0f + depth * 99.0f); };
    EXPECT_NEAR(feedback[2], 320.0f, 1e-3f);
    EXPECT_NEAR(feedback[3], 240.0f, 1e-3f);
    EXPECT_NEAR(eyeZ(feedback[4]), -7.0f, 1e-3f);
    EXPECT_NEAR(feedback[5], 320.0f, 1e-3f);
    EXPECT_NEAR(feedback[6], 340.0f, 1e-3f);
    EXPECT_NEAR(feedback[8], 420.0f, 1e-3f);
    EXPECT_NEAR(eyeZ(feedback[10]), -7.0f, 1e-3f);
}

// Both surfaces of one entity move with its single translation.
TEST_F(BrackmoorWorldGL, TwoSurfacesShareOneTransform) {
    const TTextureClass greenTexture = bm::test::loadSolidTexture(green);
    TEntityClass e;
    e.CreateQuad();
    addTriangle(e, {{-3, -0.5f, 0}, {-2, -0.5f, 0}, {-2.5f, 0.5f, 0}});
    e.PositionEntity(1.5f, 0.5f, -6);
    glBindTexture(GL_TEXTURE_2D, greenTexture.Tname);
    Brackmoor.updateWorld();
    EXPECT_EQ(bm::test::pixelAtEye(1.5f, 0.5f), green);
    EXPECT_EQ(bm::test::pixelAtEye(-1.0f, 0.5f), green);
    EXPECT_EQ(bm::test::pixelAtEye(-1.0f, -0.8f), black);
}

// A surface whose indices outrun its vertices is not drawn; what it does hold of whole
// triangles is, and its siblings are drawn as usual.
TEST_F(BrackmoorWorldGL, DrawsOnlyIndicesThatNameStoredVertices) {
    struct Case {
        const char* name;
        void (*spoil)(TSurfaceClass&);
        Rgba seen;
    };
    const Case cases[] = {
        {"index past the vertices", [](TSurfaceClass& s) { s.triangleIndex[2] = 5; }, black},
        {"vertex without triangle", [](TSurfaceClass& s) { s.AddVertex(9, 9, 9, 0, 0, 50); },
         green},
        {"colours cut short", [](TSurfaceClass& s) { s.vertexColours.resize(8); }, black},
        {"count beyond indices", [](TSurfaceClass& s) { s.vertexPoints = 200; }, green},
    };
    const TTextureClass greenTexture = bm::test::loadSolidTexture(green);
    for (const Case& c : cases) {
        TEntityClass e = quadAt(1.5f);
        c.spoil(addTriangle(e, {{-3.5f, -0.5f, 0}, {-2.5f, -0.5f, 0}, {-3, 0.5f, 0}}));
        e.updateRegistry();
        bm::test::setOrthoView();
        glBindTexture(GL_TEXTURE_2D, greenTexture.Tname);
        Brackmoor.updateWorld();
        EXPECT_EQ(bm::test::pixelAtEye(-1.5f, -0.2f), c.seen) << c.name;
        EXPECT_EQ(bm::test::pixelAtEye(1.5f, 0), green) << c.name;
        e.hidden = 0;
        e.updateRegistry();
    }
}

// Own textures and vertex colours show whatever the application bound, and the next plain
// surface has the texture it would have had without them: the bound one, or its entity's.
TEST_F(BrackmoorWorldGL, OwnTextureSurfacesAndThePlainOnesAfterThem) {
    const TTextureClass redTexture = bm::test::loadSolidTexture(red);
    const TTextureClass greenTexture = bm::test::loadSolidTexture(green);
    const std::vector<GLfloat> white{1, 1, 1, 1}, blueColour{0, 0, 1, 1};
    TEntityClass plain, textured;
    plain.CreateEntity();
    addPatch(plain, -2.4f, white).textureID[0] = greenTexture;
    addPatch(plain, -1.2f, blueColour).textureID[0].Tname = 0;
    addPatch(plain, 0, white);
    plain.Surface[0]->fxOwnTexture = plain.Surface[1]->fxOwnTexture = 1;
    plain.PositionEntity(0, 0, -6);
    textured.CreateEntity();
    textured.EntityTexture(greenTexture, -1, 0);
    addPatch(textured, 1.2f, blueColour).fxOwnTexture = 1;
    addPatch(textured, 2.4f, white);
    textured.PositionEntity(0, 0, -6);
    glBindTexture(GL_TEXTURE_2D, redTexture.Tname);
    Brackmoor.updateWorld();
    const Rgba blue{0, 0, 255, 255};
    EXPECT_EQ(bm::test::pixelAtEye(-2.4f, -0.1f), green);
    EXPECT_EQ(bm::test::pixelAtEye(-1.2f, -0.1f), blue);
    EXPECT_EQ(bm::test::pixelAtEye(0, -0.1f), red);
    EXPECT_EQ(bm::test::pixelAtEye(1.2f, -0.1f), blue);
    EXPECT_EQ(bm::test::pixelAtEye(2.4f, -0.1f), green);
}

// After the frame, the binding and texturing are what drawing without own textures leaves.
TEST_F(BrackmoorWorldGL, OwnTexturesLeaveTheTextureStateOfPlainDrawing) {
    struct Case {
        const char* name;
        bool texturingBefore;
        bool entityTexture;  // the entity has the green texture of its own
        bool ownTexture;     // the surface's own texture is green, else none
        Rgba seen;
        bool greenBoundAfter;
    };
    const Rgba white{255, 255, 255, 255};
    const Case cases[] = {
        {"own texture", true, false, true, green, false},
        {"own texture, texturing off", false, false, true, green, false},
        {"untextured", true, false, false, white, false},
        {"untextured, texturing off", false, false, false, white, false},
        {"untextured, entity texture", true, true, false, white, true},
    };
    const TTextureClass redTexture = bm::test::loadSolidTexture(red);
    const TTextureClass greenTexture = bm::test::loadSolidTexture(green);
    for (const Case& c : cases) {
        TEntityClass e;
        e.CreateEntity();
        if (c.entityTexture)
            e.EntityTexture(greenTexture, -1, 0);
        TSurfaceClass& s = addPatch(e, 0, {1, 1, 1, 1});
        s.fxOwnTexture = 1;
        s.textureID[0].Tname = c.ownTexture ? greenTexture.Tname : 0;
        e.PositionEntity(0, 0, -6);
        bm::test::setOrthoView();
        glBindTexture(GL_TEXTURE_2D, redTexture.Tname);
        if (!c.texturingBefore)
            glDisable(GL_TEXTURE_2D);
        Brackmoor.updateWorld();
        EXPECT_EQ(bm::test::pixelAtEye(0, -0.1f), c.seen) << c.name;
        EXPECT_EQ(boundTexture(), c.greenBoundAfter ? greenTexture.Tname : redTexture.Tname)
            << c.name;
        EXPECT_EQ(enabled(GL_TEXTURE_2D), c.texturingBefore) << c.name;
        e.hidden = 0;
        e.updateRegistry();
    }
}

namespace {
// Each channel within tolerance of the expected one.
::testing::AssertionResult near(const Rgba& seen, const Rgba& expected, int tolerance = 3) {
    for (int i = 0; i < 4; ++i) {
        if (std::abs(int(seen[i]) - int(expected[i])) > tolerance)
            return ::testing::AssertionFailure()
                   << "seen " << int(seen[0]) << "," << int(seen[1]) << "," << int(seen[2]) << ","
                   << int(seen[3]) << ", expected " << int(expected[0]) << "," << int(expected[1])
                   << "," << int(expected[2]) << "," << int(expected[3]);
    }
    return ::testing::AssertionSuccess();
}

// Every normal of s set to (x, y, z).
void setNormals(TSurfaceClass& s, GLfloat x, GLfloat y, GLfloat z) {
    s.normals.clear();
    for (std::int32_t v = 0; v < s.vertexPoints; ++v)
        s.normals.insert(s.normals.end(), {x, y, z});
}
}  // namespace

// A white, untextured patch at (0, 0, -6) and an engine object of its own, so the global one
// keeps no lights for other tests.
class BrackmoorWorldLightsGL : public BrackmoorWorldGL {
protected:
    void SetUp() override {
        BrackmoorWorldGL::SetUp();
        glDisable(GL_TEXTURE_2D);
        patch.CreateEntity();
        addPatch(patch, 0, {1, 1, 1, 1});
        patch.PositionEntity(0, 0, -6);
    }
    void TearDown() override {
        patch.hidden = 0;
        patch.updateRegistry();
    }
    TSurfaceClass& surface() { return *patch.Surface[0]; }

    BrackmoorClass engine{};
    TEntityClass patch;
};

// A light at the eye, facing -Z, colour (0.5, 0.25, 0), unless a case moves, turns or dims it.
TEST_F(BrackmoorWorldLightsGL, LightsShadeSurfacesWithANormalPerVertex) {
    struct Case {
        const char* name;
        void (*prepare)(BrackmoorClass&, TSurfaceClass&);
        Rgba seen;
    };
    const Rgba lit{128, 64, 0, 255}, dark{0, 0, 0, 255}, unlit{255, 255, 255, 255};
    const Case cases[] = {
        {"facing the light", [](BrackmoorClass&, TSurfaceClass& s) { setNormals(s, 0, 0, 1); },
         lit},
        {"facing away", [](BrackmoorClass&, TSurfaceClass& s) { setNormals(s, 0, 0, -1); }, dark},
        {"no normals", [](BrackmoorClass&, TSurfaceClass&) {}, unlit},
        {"a normal short",
         [](BrackmoorClass&, TSurfaceClass& s) {
             setNormals(s, 0, 0, 1);
             s.normals.pop_back();
         },
         unlit},
        {"vertex colour switch",
         [](BrackmoorClass&, TSurfaceClass& s) {
             setNormals(s, 0, 0, 1);
             s.fxVertexColour = 1;
         },
         unlit},
        {"light off",
         [](BrackmoorClass& e, TSurfaceClass& s) {
             setNormals(s, 0, 0, 1);
             e.EnableLight(0, -1);
         },
         unlit},
        {"light turned away",
         [](BrackmoorClass& e, TSurfaceClass& s) {
             setNormals(s, 0, 0, 1);
             e.RotateLight(0, 0, 180, 0);
         },
         dark},
        {"light behind the patch, turned to it",
         [](BrackmoorClass& e, TSurfaceClass& s) {
             setNormals(s, 0, 0, -1);
             e.PositionLight(0, 0, 0, -12);
             e.RotateLight(0, 0, 180, 0);
         },
         lit},
        {"ambient light, facing away",
         [](BrackmoorClass& e, TSurfaceClass& s) {
             setNormals(s, 0, 0, -1);
             e.AmbientLight(0.2f, 0.2f, 0.2f);
             e.LightAmbient(0, 0, 0.4f, 0, 1);
         },
         {51, 153, 51, 255}},
    };
    for (const Case& c : cases) {
        BrackmoorClass lights{};
        lights.LightColour(lights.CreateLight(), 0.5f, 0.25f, 0);
        TSurfaceClass& s = surface();
        s.fxVertexColour = -1;
        s.normals.clear();
        c.prepare(lights, s);
        bm::test::setOrthoView();
        glDisable(GL_TEXTURE_2D);
        lights.updateWorld();
        EXPECT_TRUE(near(bm::test::pixelAtEye(0, -0.1f), c.seen)) << c.name;
    }
}

// Lighting, colour material, the lights' switches and the normal array are as they were.
TEST_F(BrackmoorWorldLightsGL, LitSurfaceLeavesTheLightingStateAsItFoundIt) {
    setNormals(surface(), 0, 0, 1);
    engine.CreateLight();
    engine.EnableLight(engine.CreateLight(), -1);
    const GLenum caps[] = {GL_LIGHTING, GL_COLOR_MATERIAL, GL_LIGHT0, GL_LIGHT1, GL_NORMAL_ARRAY};
    for (bool before : {false, true}) {
        for (GLenum cap : caps)
            before ? glEnable(cap) : glDisable(cap);
        before ? glEnableClientState(GL_NORMAL_ARRAY) : glDisableClientState(GL_NORMAL_ARRAY);
        engine.updateWorld();
        for (GLenum cap : caps)
            EXPECT_EQ(enabled(cap), before) << "cap " << cap << ", before " << before;
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

// Lights sit in eye space whatever the model-view holds, facing the way an entity turned by the
// same angles faces; GL takes no more lights than it has.
TEST_F(BrackmoorWorldLightsGL, LightsAreGivenInEyeSpaceTurnedAsEntitiesTurn) {
    GLint maxLights = 0;
    glGetIntegerv(GL_MAX_LIGHTS, &maxLights);
    for (GLint n = 0; n <= maxLights; ++n)
        engine.CreateLight();
    engine.PositionLight(0, 1, 2, -3);
    engine.RotateLight(0, 30, 50, 70);
    engine.LightColour(0, 0.5f, 0.25f, 0.75f);
    engine.LightAmbient(0, 0.1f, 0.2f, 0.3f, 0.4f);
    engine.AmbientLight(0.05f, 0.15f, 0.25f);
    setNormals(surface(), 0, 0, 1);
    glLoadIdentity();
    glRotatef(40, 1, 1, 0);
    glTranslatef(3, 4, 5);
    engine.updateWorld();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GLfloat turned[16];
    glLoadIdentity();
    glRotatef(30, 1, 0, 0);
    glRotatef(50, 0, 1, 0);
    glRotatef(70, 0, 0, 1);
    glGetFloatv(GL_MODELVIEW_MATRIX, turned);
    const auto light = [](GLenum name, int count) {
        GLfloat v[4] = {};
        glGetLightfv(GL_LIGHT0, name, v);
        return std::vector<GLfloat>(v, v + count);
    };
    const auto expectNear = [](const std::vector<GLfloat>& seen,
                               const std::vector<GLfloat>& expected, const char* what) {
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_NEAR(seen[i], expected[i], 1e-5f) << what << " " << i;
    };
    expectNear(light(GL_POSITION, 4), {1, 2, -3, 1}, "position");
    expectNear(light(GL_SPOT_DIRECTION, 3), {-turned[8], -turned[9], -turned[10]}, "direction");
    expectNear(light(GL_SPOT_CUTOFF, 1), {90}, "cut-off");
    expectNear(light(GL_DIFFUSE, 4), {0.5f, 0.25f, 0.75f, 1}, "diffuse");
    expectNear(light(GL_SPECULAR, 4), {0.5f, 0.25f, 0.75f, 1}, "specular");
    expectNear(light(GL_AMBIENT, 4), {0.1f, 0.2f, 0.3f, 0.4f}, "ambient");
    expectNear({light(GL_CONSTANT_ATTENUATION, 1)[0], light(GL_LINEAR_ATTENUATION, 1)[0],
                light(GL_QUADRATIC_ATTENUATION, 1)[0]},
               {1, 0, 0}, "attenuation");
    GLfloat model[4] = {};
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, model);
    expectNear({model, model + 4}, {0.05f, 0.15f, 0.25f, 1}, "global ambient");
}
