// TEntityShapesTest.cpp - the cube and quad tables: winding, texture mapping, registration, pixels.
#include "BrackmoorEngine.h"
#include "TEntity.h"
#include "support/SceneGL.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numeric>
#include <vector>

namespace {
using Vec3 = std::array<float, 3>;

Vec3 position(const TSurfaceClass& s, int vertex) {
    return {s.verts[3 * vertex], s.verts[3 * vertex + 1], s.verts[3 * vertex + 2]};
}

Vec3 minus(Vec3 a, Vec3 b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

Vec3 cross(Vec3 a, Vec3 b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

float dot(Vec3 a, Vec3 b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// The cube face a point lies on: axis 0 to 2 and side +1 or -1 (the coordinate that is +-1,
// nearest first when the point lies on an edge).
std::pair<int, int> faceOf(Vec3 p) {
    int axis = 0;
    for (int i = 1; i < 3; ++i) {
        if (std::fabs(p[i]) > std::fabs(p[axis]))
            axis = i;
    }
    return {axis, p[axis] > 0 ? 1 : -1};
}

// How each face carries the texture, in the two coordinates that vary on it.
std::array<float, 2> cubeTextureAt(std::pair<int, int> face, Vec3 p) {
    const float x = p[0], y = p[1], z = p[2];
    switch (face.first * 2 + (face.second > 0 ? 0 : 1)) {
        case 4:
            return {(1 - y) / 2, (1 - x) / 2};  // +Z
        case 5:
            return {(1 - y) / 2, (1 + x) / 2};  // -Z
        case 2:
            return {(1 - z) / 2, (1 + x) / 2};  // +Y
        case 3:
            return {(1 - z) / 2, (1 - x) / 2};  // -Y
        case 0:
            return {(1 + y) / 2, (1 - z) / 2};  // +X
        default:
            return {(1 + y) / 2, (1 + z) / 2};  // -X
    }
}

std::vector<unsigned char> sequence(unsigned char count) {
    std::vector<unsigned char> v(count);
    std::iota(v.begin(), v.end(), static_cast<unsigned char>(0));
    return v;
}

Vec3 rotateX(Vec3 p, float degrees) {
    const float r = degrees * static_cast<float>(M_PI) / 180.0f;
    return {p[0], p[1] * std::cos(r) - p[2] * std::sin(r), p[1] * std::sin(r) + p[2] * std::cos(r)};
}

Vec3 rotateY(Vec3 p, float degrees) {
    const float r = degrees * static_cast<float>(M_PI) / 180.0f;
    return {p[0] * std::cos(r) + p[2] * std::sin(r), p[1],
            -p[0] * std::sin(r) + p[2] * std::cos(r)};
}
}  // namespace

TEST(TEntityShapes, CubeTrianglesFaceOutwardAndMapTheTexturePerFace) {
    TEntityClass cube;
    cube.CreateCube();
    ASSERT_EQ(cube.surfaceCount, 1);
    const TSurfaceClass& s = *cube.Surface[0];
    ASSERT_EQ(s.vertexPoints, 36);
    ASSERT_EQ(s.tverts.size(), 72u);
    EXPECT_EQ(s.triangleIndex, sequence(36));
    EXPECT_EQ(s.vertexColours, std::vector<GLfloat>(144, 1.0f));
    EXPECT_EQ(s.texturePoints, 0);

    const std::pair<int, int> faceOrder[6] = {{2, 1}, {2, -1}, {1, 1}, {1, -1}, {0, 1}, {0, -1}};
    for (int k = 0; k < 12; ++k) {
        const Vec3 a = position(s, 3 * k), b = position(s, 3 * k + 1), c = position(s, 3 * k + 2);
        const Vec3 centre = {(a[0] + b[0] + c[0]) / 3, (a[1] + b[1] + c[1]) / 3,
                             (a[2] + b[2] + c[2]) / 3};
        EXPECT_GT(dot(cross(minus(b, a), minus(c, a)), centre), 0.0f) << "triangle " << k;
        const std::pair<int, int> face = faceOf(centre);
        EXPECT_EQ(face, faceOrder[k / 2]) << "triangle " << k;
        for (int v = 3 * k; v < 3 * k + 3; ++v) {
            const std::array<float, 2> uv = cubeTextureAt(face, position(s, v));
            EXPECT_EQ(s.tverts[2 * v], uv[0]) << "vertex " << v;
            EXPECT_EQ(s.tverts[2 * v + 1], uv[1]) << "vertex " << v;
        }
    }
}

TEST(TEntityShapes, QuadFacesPlusZWithVAlongTheTopEdge) {
    TEntityClass quad;
    quad.CreateQuad();
    const TSurfaceClass& s = *quad.Surface[0];
    ASSERT_EQ(s.vertexPoints, 6);
    EXPECT_EQ(s.triangleIndex, (std::vector<unsigned char>{2, 1, 0, 3, 4, 5}));
    EXPECT_EQ(s.texturePoints, 3);
    ASSERT_EQ(s.tverts.size(), 12u);
    for (int v = 0; v < 6; ++v) {
        const Vec3 p = position(s, v);
        EXPECT_EQ(p[2], 0.0f);
        EXPECT_EQ(s.tverts[2 * v], (p[0] + 1) / 2) << "vertex " << v;
        EXPECT_EQ(s.tverts[2 * v + 1], (1 - p[1]) / 2) << "vertex " << v;
    }
    for (int t = 0; t < 2; ++t) {
        const Vec3 a = position(s, s.triangleIndex[3 * t]);
        const Vec3 b = position(s, s.triangleIndex[3 * t + 1]);
        const Vec3 c = position(s, s.triangleIndex[3 * t + 2]);
        EXPECT_GT(cross(minus(b, a), minus(c, a))[2], 0.0f) << "triangle " << t;
    }
}

// A builder starts with CreateEntity: a fresh ID, defaults, and the record at the back.
TEST(TEntityShapes, BuildersRegisterAndRebuildOnANewId) {
    struct Builder {
        void (TEntityClass::*build)();
        std::size_t indices;
    };
    for (const Builder& b :
         {Builder{&TEntityClass::CreateCube, 36}, {&TEntityClass::CreateQuad, 6}}) {
        TEntityClass e;
        e.X = 4;
        (e.*b.build)();
        const std::int32_t firstId = e.ID;
        EXPECT_EQ(e.X, 0.0f);
        EXPECT_EQ(*std::prev(TEntityRegistry.end()), TEntityRegistry.find(firstId));

        e.PositionEntity(1, 2, 3);
        (e.*b.build)();
        EXPECT_EQ(e.ID, firstId + 1);
        ASSERT_EQ(e.surfaceCount, 2);
        EXPECT_EQ(e.Surface[1]->Id, 1);
        EXPECT_EQ(e.Surface[1]->triangleIndex.size(), b.indices);
        const TEntityClass* old = TEntityRegistry.find(firstId);
        ASSERT_NE(old, nullptr);
        EXPECT_EQ(old->X, 1.0f);
        EXPECT_EQ(old->surfaceCount, 1);
        EXPECT_EQ(TEntityRegistry.find(e.ID)->surfaceCount, 2);
    }
}

class TEntityShapesGL : public bm::test::GLFixture {
protected:
    void SetUp() override {
        texture = bm::test::loadTexture(bm::test::quadrantColour);
    }

    void draw() {
        bm::test::setOrthoView();
        glBindTexture(GL_TEXTURE_2D, texture.Tname);
        Brackmoor.updateWorld();
    }

    TTextureClass texture{};
};

// Each face turned towards the eye shows the texture quadrants where its mapping puts them.
TEST_F(TEntityShapesGL, CubeFacesShowTheirTextureQuadrants) {
    struct Face {
        const char* name;
        float pitch, yaw;
    };
    const Face faces[] = {{"+Z", 0, 0},   {"-Z", 0, 180}, {"+Y", 90, 0},
                          {"-Y", -90, 0}, {"+X", 0, -90}, {"-X", 0, 90}};
    TEntityClass cube;
    cube.CreateCube();
    cube.PositionEntity(0, 0, -6);
    for (const Face& f : faces) {
        cube.RotateEntity(f.pitch, f.yaw, 0);
        draw();
        for (float a : {-0.5f, 0.5f}) {
            for (float b : {-0.5f, 0.5f}) {
                const Vec3 onCube = rotateY(rotateX({a, b, 1}, -f.pitch), -f.yaw);
                const std::array<float, 2> uv = cubeTextureAt(faceOf(onCube), onCube);
                EXPECT_EQ(bm::test::pixelAtEye(a, b), bm::test::quadrantColour(uv[0], uv[1]))
                    << f.name << " at " << a << ", " << b;
            }
        }
        EXPECT_EQ(bm::test::pixelAtEye(1.5f, 0), (bm::test::Rgba{0, 0, 0, 255})) << f.name;
    }
}

// The quad shows u to the right and v downwards from its top edge; its back is culled.
TEST_F(TEntityShapesGL, QuadShowsTextureUprightAndCullsItsBack) {
    TEntityClass quad;
    quad.CreateQuad();
    quad.PositionEntity(0, 0, -6);
    draw();
    EXPECT_EQ(bm::test::pixelAtEye(-0.5f, 0.5f), bm::test::quadrantColour(0.25f, 0.25f));
    EXPECT_EQ(bm::test::pixelAtEye(0.5f, 0.5f), bm::test::quadrantColour(0.75f, 0.25f));
    EXPECT_EQ(bm::test::pixelAtEye(-0.5f, -0.5f), bm::test::quadrantColour(0.25f, 0.75f));
    EXPECT_EQ(bm::test::pixelAtEye(0.5f, -0.5f), bm::test::quadrantColour(0.75f, 0.75f));

    quad.RotateEntity(0, 180, 0);
    draw();
    EXPECT_EQ(bm::test::pixelAtEye(-0.5f, 0.5f), (bm::test::Rgba{0, 0, 0, 255}));
}
