// Lwo2ProjectionTest.cpp - planar, cylindrical, spherical and cubic image layers: the texture
// coordinates of known corners, seams and poles (real models' corners: Lwo2AppearanceTest).
#include "Lwo2Projection.h"
#include "support/Lwo2Builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace bm::test;

bm::ImageBlock block(int projection, int axis) {
    bm::ImageBlock b;
    b.projection = projection;
    b.axis = axis;
    return b;
}

// (u, v) of each corner of a polygon through the given points.
std::vector<float> project(const bm::ImageBlock& b, const std::vector<VertexData>& points) {
    std::vector<std::int32_t> corners(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        corners[i] = static_cast<std::int32_t>(i);
    std::vector<float> uv(2 * points.size());
    bm::projectPolygon(b, points, corners.data(), corners.size(), uv.data());
    return uv;
}

VertexData at(float x, float y, float z) {
    return VertexData{x, y, z, 0, 0};
}

void expectUV(const std::vector<float>& uv, std::vector<float> want, const std::string& what) {
    ASSERT_EQ(uv.size(), want.size()) << what;
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(uv[i], want[i], 1e-5) << what << ", value " << i;
}

}  // namespace

// Known corners for each projection and axis, from the placement's centre and size.
TEST(Lwo2Projection, KnownCornersLandWhereTheLayerPutsThem) {
    bm::ImageBlock flat = block(bm::planarProjection, 2);
    flat.centre[0] = 1;
    flat.size[0] = 4;
    flat.size[1] = 2;
    expectUV(project(flat, {at(-1, -1, 5), at(3, 1, -5), at(1, 0, 0)}), {0, 0, 1, 1, 0.5f, 0.5f},
             "planar Z");
    expectUV(project(block(bm::planarProjection, 0), {at(9, 0.25f, -0.5f)}), {0, 0.75f},
             "planar X: u from z, v from y");
    // Round the Y axis u grows to the right seen from outside: 0.5 at -Z, 0.75 at +X, 0.25 at -X.
    expectUV(project(block(bm::cylindricalProjection, 1),
                     {at(0, 0.5f, -1), at(1, 0, 0), at(-1, -0.5f, 0)}),
             {0.5f, 1, 0.75f, 0.5f, 0.25f, 0}, "cylindrical Y");
    // A sphere's positive pole is the image's top, its equator the middle row.
    const std::vector<float> sphere =
        project(block(bm::sphericalProjection, 1), {at(0, 0, -2), at(0, 3, 0), at(-1, 1, 0)});
    expectUV({sphere[0], sphere[1], sphere[3], sphere[5]}, {0.5f, 0.5f, 1, 0.75f}, "spherical Y");
    // Cubic: the axis of the normal's largest component, then planar along it.
    expectUV(
        project(block(bm::cubicProjection, 2), {at(2, 0, 0), at(2, 0.25f, 0), at(2, 0, 0.25f)}),
        {0.5f, 0.5f, 0.5f, 0.75f, 0.75f, 0.5f}, "cubic, facing X");
    // A heading of 90 degrees turns +X onto the planar Z layer's centre line.
    bm::ImageBlock turned = block(bm::planarProjection, 2);
    turned.rotation[0] = float(M_PI / 2);
    expectUV(project(turned, {at(0.25f, 0, 0)}), {0.5f, 0.5f}, "heading undone");
    bm::ImageBlock twice = block(bm::cylindricalProjection, 1);
    twice.widthRepeats = 2;
    expectUV(project(twice, {at(1, 0, 0)}), {0.5f, 0.5f}, "two turns of the image");
}

// A polygon across the seam keeps its u continuous; a corner on the axis takes its neighbours'.
TEST(Lwo2Projection, SeamsAndPolesStayContinuous) {
    const float a = 0.1f, step = a / float(2 * M_PI);  // either side of +Z, where the seam is
    const std::vector<float> seam =
        project(block(bm::cylindricalProjection, 1),
                {at(-std::sin(a), 0, std::cos(a)), at(std::sin(a), 0, std::cos(a)),
                 at(std::sin(a), 1, std::cos(a))});
    expectUV({seam[0], seam[2], seam[4]}, {1 + step, 1 - step, 1 - step}, "seam");
    const std::vector<float> pole =
        project(block(bm::sphericalProjection, 1), {at(0, 1, 0), at(1, 0, 0), at(0, 0, -1)});
    expectUV({pole[0], pole[1]}, {0.625f, 1}, "pole: the others' u averaged, top row");
}
