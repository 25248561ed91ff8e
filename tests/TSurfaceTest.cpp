// TSurfaceTest.cpp - vertex and triangle appends.
#include "TSurface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {
TSurfaceClass emptySurface() {
    TSurfaceClass s{};
    return s;
}
}  // namespace

// Each vertex: position, opaque white, u and v; the index counts from 0.
TEST(TSurface, AddVertexAppendsInGlLayout) {
    TSurfaceClass s = emptySurface();
    EXPECT_EQ(s.AddVertex(1, 2, 3, 0.25f, 0.75f, 50), 0);
    EXPECT_EQ(s.AddVertex(4, 5, 6, 0.5f, 1.0f, 50), 1);
    EXPECT_EQ(s.verts, (std::vector<GLfloat>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(s.vertexColours, std::vector<GLfloat>(8, 1.0f));
    EXPECT_EQ(s.tverts, (std::vector<GLfloat>{0.25f, 0.75f, 0.5f, 1.0f}));
    EXPECT_EQ(s.vertexPoints, 2);
    EXPECT_TRUE(s.normals.empty());
    EXPECT_TRUE(s.triangleIndex.empty());
}

// Only exactly 50.0 means "no third coordinate".
TEST(TSurface, ThirdTextureCoordinateUnlessFifty) {
    struct Case {
        GLfloat w;
        std::size_t tverts;
    };
    const Case cases[] = {{50.0f, 2},      {0.0f, 3},   {49.999996f, 3},
                          {50.000004f, 3}, {-50.0f, 3}, {NAN, 3}};
    for (const Case& c : cases) {
        TSurfaceClass s = emptySurface();
        s.AddVertex(0, 0, 0, 0.1f, 0.2f, c.w);
        EXPECT_EQ(s.tverts.size(), c.tverts) << "w = " << c.w;
        EXPECT_EQ(s.vertexPoints, 1);
    }
}

// Corners wrap at 256, keep their call order and are not checked against the vertices.
TEST(TSurface, AddTriangleKeepsLowEightBits) {
    TSurfaceClass s = emptySurface();
    s.AddTriangle(256, 257, 258);
    s.AddTriangle(300, 1, 2);
    s.AddTriangle(255, 511, 0xFFFFFFFFu);
    EXPECT_EQ(s.triangleIndex, (std::vector<unsigned char>{0, 1, 2, 44, 1, 2, 255, 255, 255}));
    EXPECT_EQ(s.vertexPoints, 0);
}
