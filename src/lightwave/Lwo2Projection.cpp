// Lwo2Projection.cpp - a point into the layer's texture space (less the centre, the rotation
// undone, over the size), then onto the image by the projection and its axis.
#include "Lwo2Projection.h"

#include "Lwo2Geometry.h"

#include <cmath>

namespace bm {

namespace {

constexpr double pi = 3.14159265358979323846;

// How far from the axis a point may lie and still count as on it, in texture units.
constexpr double onAxis = 1e-6;

// The rotation heading, pitch, bank undone: Rz(-bank) Rx(-pitch) Ry(-heading) v.
Vec3 unrotate(const ImageBlock& block, Vec3 v) {
    const double h = block.rotation[0], p = block.rotation[1], b = block.rotation[2];
    const Vec3 a{std::cos(h) * v.x - std::sin(h) * v.z, v.y, std::sin(h) * v.x + std::cos(h) * v.z};
    const Vec3 c{a.x, std::cos(p) * a.y + std::sin(p) * a.z,
                 -std::sin(p) * a.y + std::cos(p) * a.z};
    return Vec3{std::cos(b) * c.x + std::sin(b) * c.y, -std::sin(b) * c.x + std::cos(b) * c.y, c.z};
}

double sizeAlong(const ImageBlock& block, int axis) {
    const double size = block.size[axis];
    return std::isfinite(size) && std::fabs(size) > 0 ? size : 1.0;
}

double component(Vec3 v, int axis) {
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

int axisOf(const ImageBlock& block) {
    return block.axis >= 0 && block.axis <= 2 ? block.axis : 0;
}

double fraction(double x) {
    return x - std::floor(x);
}

// Planar: the two coordinates across the axis, centred on the image.
void planar(Vec3 q, int axis, const ImageBlock& block, float* uv) {
    static const int across[3][2] = {{2, 1}, {0, 2}, {0, 1}};  // u, v components per axis
    const int u = across[axis][0], v = across[axis][1];
    uv[0] = static_cast<float>(component(q, u) / sizeAlong(block, u) + 0.5);
    uv[1] = static_cast<float>(component(q, v) / sizeAlong(block, v) + 0.5);
}

// The angle round the axis, from the seam, in [0, 2 pi).
double turnRound(Vec3 q, int axis) {
    const double a = axis == 0   ? std::atan2(-q.z, -q.y)
                     : axis == 1 ? std::atan2(q.x, q.z)
                                 : std::atan2(q.x, -q.y);
    return a < 0 ? a + 2 * pi : a;
}

double distanceFromAxis(Vec3 q, int axis) {
    const double x = axis == 0 ? q.y : q.x, y = axis == 2 ? q.y : q.z;
    return std::sqrt(x * x + y * y);
}

double aroundU(Vec3 q, int axis, const ImageBlock& block) {
    const double u = 1.0 - turnRound(q, axis) / (2 * pi);
    return block.widthRepeats != 1.0f ? fraction(u * block.widthRepeats) : u;
}

double upV(Vec3 q, int axis, const ImageBlock& block) {
    if (block.projection == cylindricalProjection)
        return component(q, axis) / sizeAlong(block, axis) + 0.5;
    const double away = distanceFromAxis(q, axis), along = component(q, axis);
    const double elevation = away > 0 ? std::atan(along / away) : (along < 0 ? -pi / 2 : pi / 2);
    double t = 0.5 - elevation / pi;  // from the top of the image
    if (block.heightRepeats != 1.0f)
        t = fraction(t * block.heightRepeats);
    return 1.0 - t;
}

// Cylinders and spheres: u kept continuous across the seam, corners on the axis given the others'
// average.
void wrapRound(const std::vector<Vec3>& q, int axis, const ImageBlock& block, float* uv) {
    const std::size_t count = q.size();
    double low = 2, high = -1, sum = 0;
    std::size_t offAxis = 0;
    for (std::size_t k = 0; k < count; ++k) {
        uv[2 * k + 1] = static_cast<float>(upV(q[k], axis, block));
        if (distanceFromAxis(q[k], axis) <= onAxis)
            continue;
        const double u = aroundU(q[k], axis, block);
        uv[2 * k] = static_cast<float>(u);
        low = std::min(low, u);
        high = std::max(high, u);
        ++offAxis;
    }
    const bool acrossSeam = high - low > 0.5;
    for (std::size_t k = 0; k < count; ++k) {
        if (distanceFromAxis(q[k], axis) <= onAxis)
            continue;
        if (acrossSeam && uv[2 * k] < 0.5f)
            uv[2 * k] += 1.0f;
        sum += uv[2 * k];
    }
    for (std::size_t k = 0; k < count; ++k)
        if (distanceFromAxis(q[k], axis) <= onAxis)
            uv[2 * k] = offAxis ? static_cast<float>(sum / double(offAxis)) : 0.0f;
}

// Cubic: the planar axis along which the polygon's normal points most.
int cubicAxis(const ImageBlock& block, const std::int32_t* corners, std::size_t count,
              const std::vector<VertexData>& points) {
    const Vec3 n = unrotate(block, polygonNormal(corners, count, points));
    const double x = std::fabs(n.x), y = std::fabs(n.y), z = std::fabs(n.z);
    if (x < y)
        return z < y ? 1 : 2;
    return z < x ? 0 : 2;
}

}  // namespace

void projectPolygon(const ImageBlock& block, const std::vector<VertexData>& points,
                    const std::int32_t* corners, std::size_t count, float* uv) {
    std::vector<Vec3> q(count);
    const Vec3 centre{block.centre[0], block.centre[1], block.centre[2]};
    for (std::size_t k = 0; k < count; ++k)
        q[k] = unrotate(block, minus(pointAt(points, corners[k]), centre));
    const int axis = block.projection == cubicProjection ? cubicAxis(block, corners, count, points)
                                                         : axisOf(block);
    if (block.projection == cylindricalProjection || block.projection == sphericalProjection) {
        wrapRound(q, axis, block, uv);
        return;
    }
    for (std::size_t k = 0; k < count; ++k)
        planar(q[k], axis, block, uv + 2 * k);
}

}  // namespace bm
