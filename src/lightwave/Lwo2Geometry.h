// Lwo2Geometry.h - vector arithmetic on a model's points, in double precision.
#pragma once

#include "Lwo2Reader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace bm {

struct Vec3 {
    double x, y, z;
};

inline Vec3 pointAt(const std::vector<VertexData>& points, std::int32_t index) {
    const VertexData& p = points[static_cast<std::size_t>(index)];
    return Vec3{p.X, p.Y, p.Z};
}

inline Vec3 minus(Vec3 a, Vec3 b) {
    return Vec3{a.x - b.x, a.y - b.y, a.z - b.z};
}

inline Vec3 cross(Vec3 a, Vec3 b) {
    return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline double dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// a scaled to length 1; a zero vector stays zero.
inline Vec3 unit(Vec3 a) {
    const double length = std::sqrt(dot(a, a));
    return length > 0 ? Vec3{a.x / length, a.y / length, a.z / length} : a;
}

// Newell's normal, twice the polygon's vector area: the polygon's corners run counter-clockwise
// around it.
inline Vec3 polygonNormal(const Vec3* place, std::size_t count) {
    Vec3 n{0, 0, 0};
    for (std::size_t i = 0; i < count; ++i) {
        const Vec3 p = place[i];
        const Vec3 q = place[i + 1 == count ? 0 : i + 1];
        n.x += (p.y - q.y) * (p.z + q.z);
        n.y += (p.z - q.z) * (p.x + q.x);
        n.z += (p.x - q.x) * (p.y + q.y);
    }
    return n;
}

// The same, of the polygon with these corners.
inline Vec3 polygonNormal(const std::int32_t* corners, std::size_t count,
                          const std::vector<VertexData>& points) {
    Vec3 n{0, 0, 0};
    for (std::size_t i = 0; i < count; ++i) {
        const Vec3 p = pointAt(points, corners[i]);
        const Vec3 q = pointAt(points, corners[i + 1 == count ? 0 : i + 1]);
        n.x += (p.y - q.y) * (p.z + q.z);
        n.y += (p.z - q.z) * (p.x + q.x);
        n.z += (p.x - q.x) * (p.y + q.y);
    }
    return n;
}

// A polygon is drawn when it has three corners or more, all of them points that were read.
inline bool drawable(const FaceData& face, const Lwo2Data& lwo) {
    if (face.VertexCount < 3)
        return false;
    const std::size_t count = static_cast<std::size_t>(face.VertexCount);
    if (face.FirstCorner > lwo.Corners.size() || lwo.Corners.size() - face.FirstCorner < count)
        return false;
    const std::int32_t* corners = lwo.Corners.data() + face.FirstCorner;
    for (std::size_t i = 0; i < count; ++i)
        if (corners[i] < 0 || static_cast<std::size_t>(corners[i]) >= lwo.Vertices.size())
            return false;
    return true;
}

}  // namespace bm
