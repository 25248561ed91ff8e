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

// Scenes the trace test records, one per disabled test; the frame sits between two glFinish.
void traceOneFrame() {
    glFinish();
    Brackmoor.updateWorld();
    glFinish();
}
}  // namespace

class BrackmoorWorldGL : public bm::test::GLFixture {
protected:
    void SetUp() override {
        BrackmoorBackfaceCulling = -1;
        bm::test::setOrthoView();
    }
};

// A visible quad, a hidden one, then a two-surface entity with its own texture and culling off.
TEST_F(BrackmoorWorldGL, DISABLED_TracedScene) {
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
    const Case cases[] = {
        {"BrackmoorWorldGL.DISABLED_TracedScene",
         {begin[0],
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
          end[1]}},
        {"BrackmoorWorldGL.DISABLED_TracedHiddenOnly",
         {begin[0], begin[1], begin[2], "glDisable(cap = GL_CULL_FACE)", end[0], end[1]}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tracedFrame(c.test), c.calls) << c.test;
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
// triangles is, and its siblings are drawn as usual. A surface of one colour needs that colour
// and one pair of texture coordinates, no more.
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
        {"one colour kept once",
         [](TSurfaceClass& s) {
             s.fxOneColour = 1;
             s.vertexColours.resize(4);
             s.tverts.resize(2);
         },
         green},
        {"one colour, none kept",
         [](TSurfaceClass& s) {
             s.fxOneColour = 1;
             s.vertexColours.clear();
         },
         black},
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

// Own textures show, and own-texture surfaces without one show their vertex colours, whatever is
// bound or enabled. Later plain surfaces, and GL after the frame, have the texture and texturing
// they would have had without them: the bound texture, or their entity's.
TEST_F(BrackmoorWorldGL, OwnTextureSurfacesAndThePlainOnesAfterThem) {
    const TTextureClass redTexture = bm::test::loadSolidTexture(red);
    const TTextureClass greenTexture = bm::test::loadSolidTexture(green);
    TEntityClass plain, textured;
    plain.CreateEntity();
    addPatch(plain, -2.4f, {1, 1, 1, 1}).textureID[0] = greenTexture;
    addPatch(plain, -1.2f, {0, 0, 1, 1});
    addPatch(plain, 0, {1, 1, 1, 1});
    plain.Surface[0]->fxOwnTexture = plain.Surface[1]->fxOwnTexture = 1;
    plain.PositionEntity(0, 0, -6);
    textured.CreateEntity();
    textured.EntityTexture(greenTexture, -1, 0);
    addPatch(textured, 1.2f, {1, 1, 1, 1});
    addPatch(textured, 2.4f, {1, 1, 1, 1}).textureID[0] = redTexture;
    textured.Surface[1]->fxOwnTexture = 1;
    textured.PositionEntity(0, 0, -6);
    const Rgba blue{0, 0, 255, 255}, white{255, 255, 255, 255};
    for (bool texturing : {true, false}) {
        bm::test::setOrthoView();
        glBindTexture(GL_TEXTURE_2D, redTexture.Tname);
        if (!texturing)
            glDisable(GL_TEXTURE_2D);
        Brackmoor.updateWorld();
        const Rgba seen[] = {green, blue, texturing ? red : white, texturing ? green : white, red};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(bm::test::pixelAtEye(-2.4f + 1.2f * i, -0.1f), seen[i]) << i << texturing;
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(GLuint(bound), greenTexture.Tname);
        EXPECT_EQ(enabled(GL_TEXTURE_2D), texturing);
    }
}

// A white patch and a light at the eye facing -Z, red 0.5: lit, the patch is red 128 where its
// normals face the light and 0 where they face away; without a normal per vertex, with the
// vertex-colour or the full-bright switch or with the light off it stays unlit, 255, wherever
// the light comes from. GL's state is left as it was.
TEST_F(BrackmoorWorldGL, LightsShadeSurfacesWithANormalPerVertex) {
    struct Case {
        const char* name;
        GLfloat normalZ;
        std::size_t normals;  // values kept of the nine
        short vertexColour, lightOn;
        GLfloat lightYaw;
        int red;
        short fullBright = -1;
    };
    const Case cases[] = {
        {"facing the light", 1, 9, -1, 1, 0, 128},
        {"facing away", -1, 9, -1, 1, 0, 0},
        {"no normals", 1, 0, -1, 1, 0, 255},
        {"a normal short", 1, 8, -1, 1, 0, 255},
        {"vertex colour", 1, 9, 1, 1, 0, 255},
        {"light off", 1, 9, -1, -1, 0, 255},
        {"light turned away", 1, 9, -1, 1, 180, 0},
        {"full bright", 1, 9, -1, 1, 0, 255, 1},
        {"full bright, facing away", -1, 9, -1, 1, 0, 255, 1},
    };
    BrackmoorClass engine{};  // its own lights: the global engine keeps none for other tests
    engine.LightColour(engine.CreateLight(), 0.5f, 0.25f, 0);
    TEntityClass e;
    e.CreateEntity();
    TSurfaceClass& s = addPatch(e, 0, {1, 1, 1, 1});
    e.PositionEntity(0, 0, -6);
    for (const Case& c : cases) {
        s.normals.assign({0, 0, c.normalZ, 0, 0, c.normalZ, 0, 0, c.normalZ});
        s.normals.resize(c.normals);
        s.fxVertexColour = c.vertexColour;
        s.fxFullBright = c.fullBright;
        engine.EnableLight(0, c.lightOn);
        engine.RotateLight(0, 0, c.lightYaw, 0);
        bm::test::setOrthoView();
        glDisable(GL_TEXTURE_2D);
        engine.updateWorld();
        EXPECT_NEAR(bm::test::pixelAtEye(0, -0.1f)[0], c.red, 3) << c.name;
        EXPECT_EQ(enabled(GL_LIGHTING), c.vertexColour == 1) << c.name;
        for (GLenum cap : {GL_COLOR_MATERIAL, GL_LIGHT0, GL_NORMAL_ARRAY})
            EXPECT_FALSE(enabled(cap)) << c.name << ", " << cap;
    }
    e.hidden = 0;
    e.updateRegistry();
}

// Lights sit in eye space whatever the model-view holds, face the way an entity turned by the
// same angles faces and have the colours set; GL is given no more lights than it has.
TEST_F(BrackmoorWorldGL, LightsAreGivenInEyeSpaceTurnedAsEntitiesTurn) {
    BrackmoorClass engine{};
    GLint maxLights = 0;
    glGetIntegerv(GL_MAX_LIGHTS, &maxLights);
    for (GLint n = 0; n <= maxLights; ++n)
        engine.CreateLight();
    engine.PositionLight(0, 1, 2, -3);
    engine.RotateLight(0, 30, 50, 70);
    engine.LightColour(0, 0.5f, 0.25f, 0.75f);
    engine.LightAmbient(0, 0.1f, 0.2f, 0.3f, 0.4f);
    engine.AmbientLight(0.05f, 0.15f, 0.25f);
    glTranslatef(3, 4, 5);
    engine.updateWorld();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GLfloat turned[16], seen[19];
    glLoadIdentity();
    glRotatef(30, 1, 0, 0);
    glRotatef(50, 0, 1, 0);
    glRotatef(70, 0, 0, 1);
    glGetFloatv(GL_MODELVIEW_MATRIX, turned);
    glGetLightfv(GL_LIGHT0, GL_POSITION, seen);
    glGetLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, seen + 4);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, seen + 7);
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, seen + 11);
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, seen + 15);
    // Position, direction, colour, ambient, then the light model's ambient.
    const GLfloat expected[] = {1,    2,     -3,    1,     -turned[8], -turned[9], -turned[10],
                                0.5f, 0.25f, 0.75f, 1,     0.1f,       0.2f,       0.3f,
                                0.4f, 0.05f, 0.15f, 0.25f, 1};
    for (int i = 0; i < 19; ++i)
        EXPECT_NEAR(seen[i], expected[i], 1e-5f) << i;
}
