// Lwo2Triangulator.cpp - quads by a diagonal, convex polygons corner by corner, concave ones
// through GLU's tessellator or by clipping ears.
#include "Lwo2Triangulator.h"

#include "Lwo2Crossings.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace bm {

namespace {
// Twice the signed area of the triangle, seen along the normal.
double turn(Vec3 pa, Vec3 pb, Vec3 pc, Vec3 normal) {
    return dot(cross(minus(pb, pa), minus(pc, pa)), normal);
}

double turn(const std::vector<VertexData>& points, std::int32_t a, std::int32_t b, std::int32_t c,
            Vec3 normal) {
    return turn(pointAt(points, a), pointAt(points, b), pointAt(points, c), normal);
}

// Scratch lists only grow: polygons of different sizes then cost no resizing.
template <typename T>
void atLeast(std::vector<T>& list, std::size_t count) {
    if (list.size() < count)
        list.resize(count);
}

// The position after i going round a polygon of count corners.
std::size_t after(std::size_t i, std::size_t count) {
    return i + 1 == count ? 0 : i + 1;
}

bool pointInTriangle(const std::vector<VertexData>& points, std::int32_t p, const Triangle& t,
                     Vec3 normal) {
    return turn(points, t.a, t.b, p, normal) >= 0 && turn(points, t.b, t.c, p, normal) >= 0 &&
           turn(points, t.c, t.a, p, normal) >= 0;
}

bool samePoint(Vec3 p, Vec3 q) {
    return p.x == q.x && p.y == q.y && p.z == q.z;
}
}  // namespace

Triangulator::Triangulator(const std::vector<VertexData>& meshPoints)
    : points(meshPoints), tess(gluNewTess(), &gluDeleteTess) {
    if (!tess)
        return;
    GLUtesselator* t = tess.get();
    gluTessCallback(t, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(&onVertex));
    gluTessCallback(t, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(&onCombine));
    gluTessCallback(t, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(&onError));
    gluTessCallback(t, GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(&onBegin));
    // With an edge-flag callback the tessellator emits separate triangles only.
    gluTessCallback(t, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(&onEdgeFlag));
}

void Triangulator::split(const std::int32_t* corners, std::size_t count,
                         std::vector<Triangle>& out) {
    Triangle small[2];
    if (const std::size_t made = splitSmall(corners, count, small)) {
        out.insert(out.end(), small, small + made);
        return;
    }
    // Each corner's place, converted once: the tests below visit every corner several times.
    atLeast(place, count);
    for (std::size_t i = 0; i < count; ++i)
        place[i] = pointAt(points, corners[i]);
    const Vec3 normal = polygonNormal(place.data(), count);
    const std::size_t before = out.size();
    // A convex outline needs no sweep; a concave one goes to the tessellator.
    if (isConvex(count, normal)) {
        clipConvex(corners, count, normal, out);
        return;
    }
    // Where the outline crosses itself the tessellator would have to add a vertex, after work
    // that grows with the number of crossings: such outlines are clipped without it.
    if (!outlineCrossesItself(place.data(), count, normal, stepsTaken) &&
        tessellate(corners, count, normal, out))
        return;
    out.resize(before);
    if (count <= largestOutlineClippedWhole)
        clipEars(corners, count, normal, out);
    else
        clipEarsWithin(corners, count, normal, out);
}

bool Triangulator::isConvex(std::size_t count, Vec3 normal) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t j = after(i, count), k = after(j, count);
        if (turn(place[i], place[j], place[k], normal) < 0)
            return false;
    }
    // Turning left at every corner is not enough: a star drawn in one stroke does so too, but
    // goes round more than once. Seen along the normal, a convex outline changes direction
    // along one axis exactly twice.
    const double ax = std::fabs(normal.x), ay = std::fabs(normal.y), az = std::fabs(normal.z);
    const bool alongY = ax >= ay && ax >= az;
    atLeast(steps, count);
    for (std::size_t i = 0; i < count; ++i) {
        const Vec3 p = place[i], q = place[after(i, count)];
        steps[i] = alongY ? q.y - p.y : q.x - p.x;
    }
    // Start from the last edge that moves along the axis, so the count goes all the way round.
    double previous = 0;
    for (std::size_t i = count; i-- > 0 && previous == 0;)
        previous = steps[i];
    int changes = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double now = steps[i];
        if (now == 0)
            continue;
        if ((now > 0) != (previous > 0))
            ++changes;
        previous = now;
    }
    return changes <= 2;
}

void Triangulator::splitQuad(const std::int32_t* c, Triangle* out) const {
    // A concave quad must be cut from its reflex corner, which can only be corner 1 or 3 when
    // the 0-2 diagonal is wrong. A quad's vector area is half the cross product of its
    // diagonals, which gives the normal without a walk around the corners.
    const Vec3 p0 = pointAt(points, c[0]), p1 = pointAt(points, c[1]);
    const Vec3 p2 = pointAt(points, c[2]), p3 = pointAt(points, c[3]);
    const Vec3 normal = cross(minus(p2, p0), minus(p3, p1));
    const bool reflex = dot(cross(minus(p1, p0), minus(p2, p0)), normal) < 0 ||
                        dot(cross(minus(p3, p2), minus(p0, p2)), normal) < 0;
    if (reflex) {
        out[0] = Triangle{c[1], c[2], c[3]};
        out[1] = Triangle{c[1], c[3], c[0]};
    } else {
        out[0] = Triangle{c[0], c[1], c[2]};
        out[1] = Triangle{c[0], c[2], c[3]};
    }
}

bool Triangulator::tessellate(const std::int32_t* corners, std::size_t count, Vec3 normal,
                              std::vector<Triangle>& out) {
    if (!tess || dot(normal, normal) == 0.0)
        return false;
    ++tessellated;
    coords.resize(count * 3);
    output.clear();
    failed = false;
    GLUtesselator* t = tess.get();
    gluTessNormal(t, normal.x, normal.y, normal.z);
    gluTessBeginPolygon(t, this);
    gluTessBeginContour(t);
    for (std::size_t i = 0; i < count; ++i) {
        const Vec3 p = pointAt(points, corners[i]);
        coords[3 * i] = p.x;
        coords[3 * i + 1] = p.y;
        coords[3 * i + 2] = p.z;
        gluTessVertex(t, &coords[3 * i], reinterpret_cast<void*>(static_cast<std::uintptr_t>(i)));
    }
    gluTessEndContour(t);
    gluTessEndPolygon(t);
    if (failed || output.size() != 3 * (count - 2))
        return false;
    for (std::size_t i = 0; i < output.size(); i += 3) {
        Triangle tri{corners[output[i]], corners[output[i + 1]], corners[output[i + 2]]};
        if (turn(points, tri.a, tri.b, tri.c, normal) < 0)
            std::swap(tri.b, tri.c);
        out.push_back(tri);
    }
    return true;
}

void Triangulator::onVertex(void* vertex, void* self) {
    auto* me = static_cast<Triangulator*>(self);
    me->output.push_back(static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(vertex)));
}

void Triangulator::onCombine(GLdouble position[3], void**, GLfloat*, void** outData, void* self) {
    // Corners at the same place, as where an outline runs to a hole and back, are merged into
    // one of them. Any other new vertex means the outline crosses itself; ear clipping takes over.
    auto* me = static_cast<Triangulator*>(self);
    *outData = nullptr;
    for (std::size_t i = 0; i + 2 < me->coords.size(); i += 3)
        if (me->coords[i] == position[0] && me->coords[i + 1] == position[1] &&
            me->coords[i + 2] == position[2]) {
            *outData = reinterpret_cast<void*>(static_cast<std::uintptr_t>(i / 3));
            return;
        }
    me->failed = true;
}

void Triangulator::onError(GLenum, void* self) {
    static_cast<Triangulator*>(self)->failed = true;
}

void Triangulator::onBegin(GLenum type, void* self) {
    if (type != GL_TRIANGLES)
        static_cast<Triangulator*>(self)->failed = true;
}

void Triangulator::onEdgeFlag(GLboolean, void*) {}

void Triangulator::clipEars(const std::int32_t* corners, std::size_t count, Vec3 normal,
                            std::vector<Triangle>& out) {
    ring.assign(corners, corners + count);
    while (ring.size() > 3) {
        std::size_t at = 0;
        while (at < ring.size() && !isEar(at, normal))
            ++at;
        // No ear at all (a crossing or degenerate outline): cut the first corner anyway.
        if (at == ring.size())
            at = 0;
        const std::size_t n = ring.size();
        out.push_back(Triangle{ring[(at + n - 1) % n], ring[at], ring[(at + 1) % n]});
        ring.erase(ring.begin() + static_cast<std::ptrdiff_t>(at));
    }
    out.push_back(Triangle{ring[0], ring[1], ring[2]});
}

void Triangulator::clipConvex(const std::int32_t* corners, std::size_t count, Vec3 normal,
                              std::vector<Triangle>& out) {
    // Every corner that turns is an ear of a convex outline; corners on a straight edge are
    // cut later, once they turn, so no triangle is empty. The corners not yet cut form a ring,
    // linked both ways in the polygon's order; the search resumes after the corner last cut.
    linkRing(count);
    std::size_t first = 0, at = 0;
    for (std::size_t left = count; left > 3; --left) {
        for (std::size_t tried = 0; tried < left; ++tried, at = following[at])
            if (turn(place[preceding[at]], place[at], place[following[at]], normal) > 0)
                break;
        const std::size_t before = preceding[at], next = following[at];
        out.push_back(Triangle{corners[before], corners[at], corners[next]});
        following[before] = next;
        preceding[next] = before;
        if (at == first)
            first = next;
        at = next;
    }
    const std::size_t second = following[first];
    out.push_back(Triangle{corners[first], corners[second], corners[following[second]]});
}

bool Triangulator::samePlace(std::int32_t a, std::int32_t b) const {
    const VertexData& p = points[static_cast<std::size_t>(a)];
    const VertexData& q = points[static_cast<std::size_t>(b)];
    return p.X == q.X && p.Y == q.Y && p.Z == q.Z;
}

bool Triangulator::isEar(std::size_t at, Vec3 normal) const {
    const std::size_t n = ring.size();
    const Triangle t{ring[(at + n - 1) % n], ring[at], ring[(at + 1) % n]};
    if (turn(points, t.a, t.b, t.c, normal) <= 0)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        const std::int32_t p = ring[i];
        // A corner at the same place as one of the ear's, as where an outline runs to a hole
        // and back, does not stand inside it.
        if (samePlace(p, t.a) || samePlace(p, t.b) || samePlace(p, t.c))
            continue;
        if (pointInTriangle(points, p, t, normal))
            return false;
    }
    return true;
}

}  // namespace bm

namespace bm {

void Triangulator::linkRing(std::size_t count) {
    atLeast(following, count);
    atLeast(preceding, count);
    for (std::size_t i = 0; i < count; ++i) {
        following[i] = after(i, count);
        preceding[i] = i == 0 ? count - 1 : i - 1;
    }
}

bool Triangulator::isReflex(std::size_t at, Vec3 normal) const {
    return turn(place[preceding[at]], place[at], place[following[at]], normal) <= 0;
}

// In an outline that does not cross itself, a corner inside the triangle brings a reflex corner
// in with it, so the reflex corners alone are tested. One step for the ear, one per corner tested.
bool Triangulator::isEarOfRing(std::size_t at, Vec3 normal) {
    ++stepsTaken;
    const std::size_t before = preceding[at], next = following[at];
    const Vec3 a = place[before], b = place[at], c = place[next];
    if (turn(a, b, c, normal) <= 0)
        return false;
    for (const std::size_t r : reflex) {
        if (cut[r] || r == before || r == at || r == next)
            continue;
        ++stepsTaken;
        const Vec3 p = place[r];
        // As in isEar: a corner at the place of one of the ear's stands outside it.
        if (samePoint(p, a) || samePoint(p, b) || samePoint(p, c))
            continue;
        if (turn(a, b, p, normal) >= 0 && turn(b, c, p, normal) >= 0 && turn(c, a, p, normal) >= 0)
            return false;
    }
    return true;
}

void Triangulator::clipEarsWithin(const std::int32_t* corners, std::size_t count, Vec3 normal,
                                  std::vector<Triangle>& out) {
    linkRing(count);
    cut.assign(count, 0);
    listed.assign(count, 0);
    reflex.clear();
    for (std::size_t i = 0; i < count; ++i)
        if (isReflex(i, normal)) {
            reflex.push_back(i);
            listed[i] = 1;
        }
    const std::size_t budget = stepsTaken + stepsPerCorner * count;
    std::size_t at = 0, left = count, missed = 0, cutListed = 0;
    while (left > 3 && stepsTaken < budget) {
        // A whole round without an ear (the outline crosses itself): cut this corner anyway.
        if (missed < left && !isEarOfRing(at, normal)) {
            at = following[at];
            ++missed;
            continue;
        }
        const std::size_t before = preceding[at], next = following[at];
        out.push_back(Triangle{corners[before], corners[at], corners[next]});
        following[before] = next;
        preceding[next] = before;
        cut[at] = 1;
        cutListed += listed[at];
        --left;
        missed = 0;
        // Where an outline crosses itself a corner can turn reflex once its neighbour is cut.
        for (const std::size_t n : {before, next})
            if (!listed[n] && isReflex(n, normal)) {
                listed[n] = 1;
                reflex.push_back(n);
            }
        if (2 * cutListed > reflex.size()) {
            reflex.erase(std::remove_if(reflex.begin(), reflex.end(),
                                        [this](std::size_t r) { return cut[r] != 0; }),
                         reflex.end());
            cutListed = 0;
        }
        // The corner before the ear has changed most; the search goes on from there.
        at = before;
    }
    // Out of steps: the corners left are fanned from the one reached.
    const std::size_t first = at;
    for (std::size_t k = following[first]; following[k] != first; k = following[k])
        out.push_back(Triangle{corners[first], corners[k], corners[following[k]]});
}

}  // namespace bm
