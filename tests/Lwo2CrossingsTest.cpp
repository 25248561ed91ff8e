// Lwo2CrossingsTest.cpp - the sweep that tells whether an outline crosses itself, against cases
// drawn by hand and against a check of every pair of edges.
#include "Lwo2Crossings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using bm::Vec3;

std::vector<Vec3> flat(const std::vector<std::pair<double, double>>& corners) {
    std::vector<Vec3> places;
    for (const auto& [x, y] : corners)
        places.push_back(Vec3{x, y, 0});
    return places;
}

bool crosses(const std::vector<Vec3>& places, Vec3 normal = Vec3{0, 0, 1}) {
    std::size_t steps = 0;
    return bm::outlineCrossesItself(places.data(), places.size(), normal, steps);
}

int side(Vec3 a, Vec3 b, Vec3 c) {
    const double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    return (area > 0) - (area < 0);
}

// Every pair of edges, in the plane z = 0.
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

TEST(Lwo2Crossings, TellsCrossingFromTouching) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        std::vector<Vec3> outline;
        Vec3 normal;
        bool crosses;
    } cases[] = {
        {"square", flat({{0, 0}, {2, 0}, {2, 2}, {0, 2}}), {0, 0, 1}, false},
        {"bow tie", flat({{0, 0}, {2, 2}, {2, 0}, {0, 2}}), {0, 0, 1}, true},
        {"bow tie on upright edges", flat({{0, 0}, {0, 2}, {2, 0}, {2, 2}}), {0, 0, 1}, true},
        {"figure of eight", flat({{0, 0}, {2, 0}, {0, 1}, {2, 1}}), {0, 0, 1}, true},
        {"square with a hole, joined there and back",
         flat({{0, 0},
               {10, 0},
               {10, 10},
               {0, 10},
               {0, 5},
               {3, 5},
               {3, 7},
               {7, 7},
               {7, 3},
               {3, 3},
               {3, 5},
               {0, 5}}),
         {0, 0, 1},
         false},
        {"a corner on another edge", flat({{0, 0}, {6, 0}, {6, 4}, {3, 0}}), {0, 0, 1}, false},
        {"upright edges along one another",
         flat({{0, 0}, {0, 4}, {1, 4}, {1, 2}, {0, 2}}),
         {0, 0, 1},
         false},
        {"two edges crossing where a corner stands",
         flat({{0, 0}, {4, 4}, {4, 0}, {0, 4}, {2, 2}}),
         {0, 0, 1},
         true},
        {"a corner twice, touching",
         flat({{0, 0}, {2, 0}, {1, 1}, {2, 2}, {0, 2}, {1, 1}}),
         {0, 0, 1},
         false},
        {"bow tie seen along x", {{0, 0, 0}, {0, 2, 2}, {0, 2, 0}, {0, 0, 2}}, {1, 0, 0}, true},
        {"bow tie seen edge on", {{0, 0, 0}, {0, 2, 2}, {0, 2, 0}, {0, 0, 2}}, {0, 0, 1}, false},
        {"a corner not a number", flat({{0, 0}, {2, 0}, {nan, 2}, {0, 2}}), {0, 0, 1}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(crosses(c.outline, c.normal), c.crosses) << c.name;
}

// Corners on a small grid: edges along one another, upright, meeting at corners and passing
// through them, in every combination. The sweep must agree with the check of every pair.
TEST(Lwo2Crossings, AgreesWithEveryPairOnCrowdedOutlines) {
    std::mt19937 random(99);
    int crossing = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::size_t n = 4 + random() % 9;
        std::vector<Vec3> outline;
        for (std::size_t k = 0; k < n; ++k)
            outline.push_back(Vec3{double(random() % 5), double(random() % 5), 0});
        const bool expected = crossesByEveryPair(outline);
        crossing += expected;
        ASSERT_EQ(crosses(outline), expected) << "outline " << i;
    }
    EXPECT_GT(crossing, 1000);
    EXPECT_LT(crossing, 19000);
}

// The sweep stops at the first crossing, and without one compares edges about n log n times.
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
