// Lwo2TriangulatorTest.cpp - the triangulator's output on many polygons of every kind, pinned.
#include "Lwo2Triangulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

namespace {

// Random polygons from raw generator output, so that every standard library draws the same.
class PolygonDraw {
public:
    explicit PolygonDraw(std::uint32_t seed) : random(seed) {}

    unsigned below(unsigned n) { return static_cast<unsigned>(random() % n); }
    float coordinate() { return static_cast<float>(static_cast<int>(below(2001)) - 1000) / 256.0f; }

    // Corners on a circle in order, some pushed in or out, some doubled or on straight edges.
    std::vector<VertexData> ring(unsigned count, float wobble) {
        std::vector<VertexData> out;
        const float radius = 1.0f + static_cast<float>(below(100));
        for (unsigned k = 0; k < count; ++k) {
            const double angle = 6.283185307179586 * k / count;
            const float r = radius * (1.0f + wobble * (static_cast<float>(below(201)) - 100) / 100);
            out.push_back(place(static_cast<float>(r * std::cos(angle)),
                                static_cast<float>(r * std::sin(angle))));
            if (below(8) == 0 && k + 1 < count)
                out.push_back(out.back());
        }
        return out;
    }
    // A convex outline with corners in the middle of some edges.
    std::vector<VertexData> gridOutline(unsigned span) {
        std::vector<VertexData> out;
        for (unsigned c = 0; c <= span; ++c)
            out.push_back(place(static_cast<float>(c), 0));
        for (unsigned c = span + 1; c-- > 0;)
            out.push_back(place(static_cast<float>(c), 1));
        return out;
    }
    std::vector<VertexData> scatter(unsigned count) {
        std::vector<VertexData> out;
        for (unsigned k = 0; k < count; ++k)
            out.push_back(VertexData{coordinate(), coordinate(), coordinate(), 0, 0});
        return out;
    }
    // Nearly flat: the corners of a thin sliver along a line.
    std::vector<VertexData> sliver(unsigned count) {
        std::vector<VertexData> out;
        for (unsigned k = 0; k < count; ++k)
            out.push_back(place(static_cast<float>(k), (k % 2 ? 1e-5f : -1e-5f) * below(3)));
        return out;
    }

private:
    // A point of the plane the polygon is drawn in: one of the axis planes, turned either way.
    VertexData place(float u, float v) {
        if (axis == 0)
            return VertexData{offset, u, v, 0, 0};
        if (axis == 1)
            return VertexData{v, offset, u, 0, 0};
        return VertexData{u, v, offset, 0, 0};
    }

public:
    void choosePlane() {
        axis = below(3);
        offset = coordinate();
    }

private:
    std::mt19937 random;
    unsigned axis = 2;
    float offset = 0;
};

std::vector<VertexData> drawPolygon(PolygonDraw& draw, unsigned kind) {
    draw.choosePlane();
    switch (kind % 7) {
        case 0:
            return draw.scatter(4);
        case 1:
            return draw.ring(4, 0.9f);
        case 2:
            return draw.ring(5 + draw.below(10), 0.0f);
        case 3:
            return draw.gridOutline(2 + draw.below(3));
        case 4:
            return draw.ring(5 + draw.below(12), 0.7f);
        case 5:
            return draw.scatter(5 + draw.below(6));
        default:
            return draw.sliver(4 + draw.below(6));
    }
}

void hashInto(std::uint64_t& hash, std::uint32_t value) {
    for (int k = 0; k < 4; ++k) {
        hash ^= (value >> (8 * k)) & 0xFF;
        hash *= 1099511628211ull;  // FNV-1a
    }
}

}  // namespace

// The triangles each polygon becomes, in order and corner order, are what the surfaces' vertices
// are written from. Any faster path through the triangulator must give exactly these; the hash
// was taken from the plain implementation.
TEST(Lwo2Triangulator, GivesTheSameTrianglesAsEver) {
    PolygonDraw draw(2024);
    std::vector<VertexData> points;
    std::vector<std::vector<std::int32_t>> polygons;
    for (unsigned i = 0; i < 20000; ++i) {
        const std::vector<VertexData> outline = drawPolygon(draw, i);
        std::vector<std::int32_t> corners;
        for (const VertexData& p : outline) {
            corners.push_back(static_cast<std::int32_t>(points.size()));
            points.push_back(p);
        }
        polygons.push_back(corners);
    }
    bm::Triangulator triangulator(points);
    std::vector<bm::Triangle> triangles;
    std::uint64_t hash = 14695981039346656037ull;
    std::size_t count = 0;
    for (const std::vector<std::int32_t>& corners : polygons) {
        triangles.clear();
        triangulator.split(corners.data(), corners.size(), triangles);
        ASSERT_EQ(triangles.size(), corners.size() - 2);
        count += triangles.size();
        for (const bm::Triangle& t : triangles)
            for (std::int32_t corner : {t.a, t.b, t.c})
                hashInto(hash, static_cast<std::uint32_t>(corner - corners[0]));
    }
    EXPECT_EQ(count, 109826u);
    EXPECT_EQ(hash, 10242688422608953843ull);
}

namespace {

// corners points round a circle, joined step points apart.
std::vector<VertexData> star(unsigned corners, unsigned step) {
    std::vector<VertexData> places;
    for (unsigned k = 0; k < corners; ++k) {
        const double angle = 6.283185307179586 * ((std::uint64_t{k} * step) % corners) / corners;
        places.push_back({float(std::cos(angle)), float(std::sin(angle)), 0, 0, 0});
    }
    return places;
}

// Deep, narrow teeth: every gap between them a reflex corner, no edge crossing.
std::vector<VertexData> comb(unsigned teeth) {
    std::vector<VertexData> places;
    for (unsigned k = 0; k < teeth; ++k)
        for (const auto& [x, y] :
             {std::pair{0.0f, 0.0f}, {0.0f, 50.0f}, {0.5f, 50.0f}, {0.5f, 1.0f}})
            places.push_back({float(k) + x, y, 0, 0, 0});
    places.push_back({float(teeth), 1, 0, 0, 0});
    places.push_back({float(teeth), -1, 0, 0, 0});
    places.push_back({0, -1, 0, 0, 0});
    return places;
}

// Twice the signed area of (a, b, c) seen along z.
double area(const std::vector<VertexData>& p, std::int32_t a, std::int32_t b, std::int32_t c) {
    const VertexData &pa = p[std::size_t(a)], &pb = p[std::size_t(b)], &pc = p[std::size_t(c)];
    return (double(pb.X) - pa.X) * (double(pc.Y) - pa.Y) -
           (double(pb.Y) - pa.Y) * (double(pc.X) - pa.X);
}

}  // namespace

// Any outline becomes n - 2 triangles of its own corners, each used, wound as the outline is (their
// areas add up to its own): crossing ones without the tessellator, within a bound on steps that a
// search through every corner for each ear would pass many times over; the others through it.
TEST(Lwo2Triangulator, OutlinesOfManyCornersTakeBoundedWork) {
    PolygonDraw draw(7);
    draw.choosePlane();
    const struct {
        const char* name;
        std::vector<VertexData> points;
        std::size_t tessellated;
    } cases[] = {
        {"star of 1023 stepping 2", star(1023, 2), 0},
        {"star of 1023 stepping 16", star(1023, 16), 0},
        {"star of 1023 stepping 512", star(1023, 512), 0},
        {"star of 33 stepping 16", star(33, 16), 0},
        {"star of 31 stepping 15, clipped whole", star(31, 15), 0},
        {"1000 scattered corners", draw.scatter(1000), 0},
        {"comb of 200 teeth", comb(200), 1},
        {"comb of 3 teeth", comb(3), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t n = c.points.size();
        std::vector<std::int32_t> corners(n);
        std::iota(corners.begin(), corners.end(), 0);
        bm::Triangulator triangulator(c.points);
        std::vector<bm::Triangle> triangles;
        triangulator.split(corners.data(), n, triangles);
        ASSERT_EQ(triangles.size(), n - 2);
        std::vector<int> uses(n, 0);
        double sum = 0, scale = 0, outline = 0;
        for (const bm::Triangle& t : triangles) {
            EXPECT_TRUE(t.a != t.b && t.b != t.c && t.c != t.a);
            for (std::int32_t corner : {t.a, t.b, t.c})
                ++uses[std::size_t(corner)];
            sum += area(c.points, t.a, t.b, t.c);
            scale += std::fabs(area(c.points, t.a, t.b, t.c));
        }
        for (std::int32_t i = 1; i + 1 < std::int32_t(n); ++i)
            outline += area(c.points, 0, i, i + 1);
        EXPECT_EQ(std::count(uses.begin(), uses.end(), 0), 0);
        EXPECT_NEAR(sum, outline, 1e-6 * scale);
        EXPECT_EQ(triangulator.tessellated, c.tessellated);
        EXPECT_LE(triangulator.stepsTaken, 100 * n);
    }
}
