// Lwo2TriangulatorTest.cpp - the triangulator's output on many polygons of every kind, pinned.
#include "Lwo2Triangulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
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

// Each corner of the outline at its own point, in order.
struct Outline {
    std::vector<VertexData> points;
    std::vector<std::int32_t> corners;
};

Outline outlineOf(const std::vector<VertexData>& places) {
    Outline o{places, {}};
    for (std::size_t i = 0; i < places.size(); ++i)
        o.corners.push_back(static_cast<std::int32_t>(i));
    return o;
}

// corners points round a circle, joined step points apart.
Outline star(unsigned corners, unsigned step) {
    std::vector<VertexData> places;
    for (unsigned k = 0; k < corners; ++k) {
        const double angle = 6.283185307179586 * ((std::uint64_t{k} * step) % corners) / corners;
        places.push_back(VertexData{static_cast<float>(std::cos(angle)),
                                    static_cast<float>(std::sin(angle)), 0, 0, 0});
    }
    return outlineOf(places);
}

// A comb: teeth deep and narrow, every gap between them a reflex corner, no edge crossing.
Outline comb(unsigned teeth) {
    std::vector<VertexData> places;
    for (unsigned k = 0; k < teeth; ++k) {
        const float x = static_cast<float>(k);
        places.push_back(VertexData{x, 0, 0, 0, 0});
        places.push_back(VertexData{x, 50, 0, 0, 0});
        places.push_back(VertexData{x + 0.5f, 50, 0, 0, 0});
        places.push_back(VertexData{x + 0.5f, 1, 0, 0, 0});
    }
    places.push_back(VertexData{static_cast<float>(teeth), 1, 0, 0, 0});
    places.push_back(VertexData{static_cast<float>(teeth), -1, 0, 0, 0});
    places.push_back(VertexData{0, -1, 0, 0, 0});
    return outlineOf(places);
}

double area(const std::vector<VertexData>& p, std::int32_t a, std::int32_t b, std::int32_t c) {
    const VertexData &pa = p[std::size_t(a)], &pb = p[std::size_t(b)], &pc = p[std::size_t(c)];
    return ((double(pb.X) - pa.X) * (double(pc.Y) - pa.Y) -
            (double(pb.Y) - pa.Y) * (double(pc.X) - pa.X)) /
           2;
}

}  // namespace

// However an outline crosses itself, it becomes n - 2 triangles of its own corners, each corner
// used, without the tessellator and within a bound on work that a search growing with the
// square of the corner count for each ear would pass many times over.
TEST(Lwo2Triangulator, CrossingOutlinesTakeBoundedWork) {
    PolygonDraw draw(7);
    draw.choosePlane();
    const struct {
        const char* name;
        Outline outline;
    } cases[] = {
        {"star of 1023 stepping 2", star(1023, 2)},
        {"star of 1023 stepping 16", star(1023, 16)},
        {"star of 1023 stepping 512", star(1023, 512)},
        {"star of 33 stepping 16", star(33, 16)},
        {"star of 31 stepping 15, clipped whole", star(31, 15)},
        {"1000 scattered corners", outlineOf(draw.scatter(1000))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t n = c.outline.corners.size();
        bm::Triangulator triangulator(c.outline.points);
        std::vector<bm::Triangle> triangles;
        triangulator.split(c.outline.corners.data(), n, triangles);
        ASSERT_EQ(triangles.size(), n - 2);
        std::vector<int> uses(n, 0);
        for (const bm::Triangle& t : triangles) {
            EXPECT_TRUE(t.a != t.b && t.b != t.c && t.c != t.a);
            for (std::int32_t corner : {t.a, t.b, t.c})
                ++uses[static_cast<std::size_t>(corner)];
        }
        EXPECT_EQ(std::count(uses.begin(), uses.end(), 0), 0);
        EXPECT_EQ(triangulator.tessellated, 0u);
        EXPECT_LE(triangulator.stepsTaken, 100 * n);
    }
}

// Concave outlines that do not cross themselves still go through the tessellator, whose
// triangles cover the outline exactly once.
TEST(Lwo2Triangulator, OutlinesThatDoNotCrossGoToTheTessellator) {
    const struct {
        const char* name;
        Outline outline;
    } cases[] = {
        {"comb of 200 teeth", comb(200)},
        {"comb of 3 teeth", comb(3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t n = c.outline.corners.size();
        bm::Triangulator triangulator(c.outline.points);
        std::vector<bm::Triangle> triangles;
        triangulator.split(c.outline.corners.data(), n, triangles);
        ASSERT_EQ(triangles.size(), n - 2);
        EXPECT_EQ(triangulator.tessellated, 1u);
        double outline = 0, covered = 0;
        for (std::size_t i = 0; i + 2 < n; ++i)
            outline +=
                area(c.outline.points, 0, c.outline.corners[i + 1], c.outline.corners[i + 2]);
        for (const bm::Triangle& t : triangles) {
            EXPECT_GT(area(c.outline.points, t.a, t.b, t.c) * outline, 0);
            covered += area(c.outline.points, t.a, t.b, t.c);
        }
        EXPECT_NEAR(covered, outline, 1e-6 * std::fabs(outline));
    }
}
