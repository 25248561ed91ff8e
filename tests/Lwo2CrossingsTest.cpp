// Lwo2CrossingsTest.cpp - the sweep that tells whether an outline crosses itself, against a check
// of every pair of edges and cases drawn by hand.
#include "Lwo2Crossings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using bm::Vec3;

bool crosses(const std::vector<Vec3>& places, Vec3 normal = Vec3{0, 0, 1}) {
    std::size_t steps = 0;
    return bm::outlineCrossesItself(places.data(), places.size(), normal, steps);
}

int side(Vec3 a, Vec3 b, Vec3 c) {
    const double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    return (area > 0) - (area < 0);
}

// Every pair of edges, in the plane z = 0: each passes strictly from one side of the other.
bool crossesByEveryPair(const std::vector<Vec3>& p) {
    const std::size_t n = p.size();
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j) {
            const Vec3 a = p[i], b = p[(i + 1) % n], c = p[j], d = p[(j + 1) % n];
            if (side(a, b, c) * side(a, b, d) < 0 && side(c, d, a) * side(c, d, b) < 0)
                return true;
        }
    return false;
}

}  // namespace

// Corners on a small grid: edges along one another, upright, meeting at corners and passing
// through them, in every combination. A sweep that misorders touching edges disagrees here.
TEST(Lwo2Crossings, AgreesWithEveryPairOnCrowdedOutlines) {
    std::mt19937 random(99);
    int crossing = 0;
    for (int i = 0; i < 20000; ++i) {
        std::vector<Vec3> outline(4 + random() % 9);
        for (Vec3& corner : outline)
            corner = Vec3{double(random() % 5), double(random() % 5), 0};
        const bool expected = crossesByEveryPair(outline);
        crossing += expected;
        ASSERT_EQ(crosses(outline), expected) << "outline " << i;
    }
    EXPECT_GT(crossing, 1000);
    EXPECT_LT(crossing, 19000);
}

// What the grid does not draw: an outline seen along another axis, or edge on; a corner not a
// number; a hole joined to its outline there and back along one edge, as a hole is joined.
TEST(Lwo2Crossings, TellsCrossingFromTouching) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<Vec3> upright = {{0, 0, 0}, {0, 2, 2}, {0, 2, 0}, {0, 0, 2}};  // a bow tie
    const std::vector<Vec3> hole = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0},
                                    {0, 5, 0}, {3, 5, 0},  {3, 7, 0},   {7, 7, 0},
                                    {7, 3, 0}, {3, 3, 0},  {3, 5, 0},   {0, 5, 0}};
    EXPECT_TRUE(crosses(upright, Vec3{1, 0, 0}));
    EXPECT_FALSE(crosses(upright, Vec3{0, 0, 1}));
    EXPECT_TRUE(crosses({{0, 0, 0}, {2, 0, 0}, {nan, 2, 0}, {0, 2, 0}}));
    EXPECT_FALSE(crosses(hole));
}

// The sweep compares edges about n log n times on an outline without a crossing.
TEST(Lwo2Crossings, StepsGrowAsNLogN) {
    for (const std::size_t n : {100u, 1000u, 10000u}) {
        std::vector<Vec3> circle;
        for (std::size_t k = 0; k < n; ++k)
            circle.push_back(
                Vec3{std::cos(6.283185307179586 * k / n), std::sin(6.283185307179586 * k / n), 0});
        std::size_t steps = 0;
        EXPECT_FALSE(bm::outlineCrossesItself(circle.data(), n, Vec3{0, 0, 1}, steps));
        EXPECT_LE(steps, 8 * n * static_cast<std::size_t>(std::log2(n))) << n << " corners";
    }
}
