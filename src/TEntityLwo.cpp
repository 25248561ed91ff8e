// TEntityLwo.cpp - loading a LightWave object into an entity: the file read and the mesh
// conversion.
#include "TEntity.h"

#include "Lwo2Report.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr std::size_t trianglesPerSurface = 85;  // 255 vertices: every index fits in 8 bits
constexpr GLfloat noThirdCoordinate = 50.0f;

struct Triangle {
    std::int32_t a, b, c;  // point indices, in the file's winding
};

struct Vec3 {
    double x, y, z;
};

Vec3 pointAt(const std::vector<VertexData>& points, std::int32_t index) {
    const VertexData& p = points[static_cast<std::size_t>(index)];
    return Vec3{p.X, p.Y, p.Z};
}

Vec3 minus(Vec3 a, Vec3 b) {
    return Vec3{a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 cross(Vec3 a, Vec3 b) {
    return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Newell's normal: the polygon's corners run counter-clockwise around it.
Vec3 polygonNormal(const std::int32_t* corners, std::size_t count,
                   const std::vector<VertexData>& points) {
    Vec3 n{0, 0, 0};
    for (std::size_t i = 0; i < count; ++i) {
        const Vec3 p = pointAt(points, corners[i]);
        const Vec3 q = pointAt(points, corners[(i + 1) % count]);
        n.x += (p.y - q.y) * (p.z + q.z);
        n.y += (p.z - q.z) * (p.x + q.x);
        n.z += (p.x - q.x) * (p.y + q.y);
    }
    return n;
}

// Twice the signed area of the triangle, seen along the normal.
double turn(const std::vector<VertexData>& points, std::int32_t a, std::int32_t b, std::int32_t c,
            Vec3 normal) {
    const Vec3 pa = pointAt(points, a);
    return dot(cross(minus(pointAt(points, b), pa), minus(pointAt(points, c), pa)), normal);
}

bool pointInTriangle(const std::vector<VertexData>& points, std::int32_t p, const Triangle& t,
                     Vec3 normal) {
    return turn(points, t.a, t.b, p, normal) >= 0 && turn(points, t.b, t.c, p, normal) >= 0 &&
           turn(points, t.c, t.a, p, normal) >= 0;
}

using TessPtr = std::unique_ptr<GLUtesselator, void (*)(GLUtesselator*)>;

// Splits polygons into n - 2 triangles of their own corners, keeping the file's winding. Convex
// polygons of five corners or more lose their corners one by one; concave ones go through GLU's
// tessellator, and when it has to add vertices (the outline crosses itself) or leaves corners
// out, ear clipping gives the n - 2 triangles instead.
class Triangulator {
public:
    explicit Triangulator(const std::vector<VertexData>& meshPoints);
    void split(const std::int32_t* corners, std::size_t count, std::vector<Triangle>& out);

private:
    void splitQuad(const std::int32_t* corners, std::vector<Triangle>& out);
    bool tessellate(const std::int32_t* corners, std::size_t count, Vec3 normal,
                    std::vector<Triangle>& out);
    void clipEars(const std::int32_t* corners, std::size_t count, Vec3 normal,
                  std::vector<Triangle>& out);
    bool isEar(std::size_t at, Vec3 normal) const;
    bool samePlace(std::int32_t a, std::int32_t b) const;
    void clipConvex(const std::int32_t* corners, std::size_t count, Vec3 normal,
                    std::vector<Triangle>& out);
    bool isConvex(const std::int32_t* corners, std::size_t count, Vec3 normal) const;

    static void GLAPIENTRY onVertex(void* vertex, void* self);
    static void GLAPIENTRY onCombine(GLdouble coords[3], void* data[4], GLfloat weight[4],
                                     void** outData, void* self);
    static void GLAPIENTRY onError(GLenum error, void* self);
    static void GLAPIENTRY onBegin(GLenum type, void* self);
    static void GLAPIENTRY onEdgeFlag(GLboolean flag, void* self);

    const std::vector<VertexData>& points;
    TessPtr tess;
    std::vector<GLdouble> coords;      // x, y, z per corner, as the tessellator wants them
    std::vector<std::int32_t> output;  // corner positions the tessellator emitted
    std::vector<std::int32_t> ring;    // corners not yet clipped
    bool failed = false;
};

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
    if (count == 3) {
        out.push_back(Triangle{corners[0], corners[1], corners[2]});
        return;
    }
    if (count == 4) {
        splitQuad(corners, out);
        return;
    }
    const Vec3 normal = polygonNormal(corners, count, points);
    const std::size_t before = out.size();
    // A convex outline needs no sweep; a concave one goes to the tessellator.
    if (isConvex(corners, count, normal)) {
        clipConvex(corners, count, normal, out);
        return;
    }
    if (tessellate(corners, count, normal, out))
        return;
    out.resize(before);
    clipEars(corners, count, normal, out);
}

bool Triangulator::isConvex(const std::int32_t* corners, std::size_t count, Vec3 normal) const {
    for (std::size_t i = 0; i < count; ++i)
        if (turn(points, corners[i], corners[(i + 1) % count], corners[(i + 2) % count], normal) <
            0)
            return false;
    // Turning left at every corner is not enough: a star drawn in one stroke does so too, but
    // goes round more than once. Seen along the normal, a convex outline changes direction
    // along one axis exactly twice.
    const double ax = std::fabs(normal.x), ay = std::fabs(normal.y), az = std::fabs(normal.z);
    const auto along = [&](std::int32_t index) {
        const Vec3 p = pointAt(points, index);
        return ax >= ay && ax >= az ? p.y : p.x;
    };
    const auto step = [&](std::size_t i) {
        return along(corners[(i + 1) % count]) - along(corners[i]);
    };
    // Start from the last edge that moves along the axis, so the count goes all the way round.
    double previous = 0;
    for (std::size_t i = count; i-- > 0 && previous == 0;)
        previous = step(i);
    int changes = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double now = step(i);
        if (now == 0)
            continue;
        if ((now > 0) != (previous > 0))
            ++changes;
        previous = now;
    }
    return changes <= 2;
}

void Triangulator::splitQuad(const std::int32_t* c, std::vector<Triangle>& out) {
    // A concave quad must be cut from its reflex corner, which can only be corner 1 or 3 when
    // the 0-2 diagonal is wrong. A quad's vector area is half the cross product of its
    // diagonals, which gives the normal without a walk around the corners.
    const Vec3 p0 = pointAt(points, c[0]), p1 = pointAt(points, c[1]);
    const Vec3 p2 = pointAt(points, c[2]), p3 = pointAt(points, c[3]);
    const Vec3 normal = cross(minus(p2, p0), minus(p3, p1));
    const bool reflex = dot(cross(minus(p1, p0), minus(p2, p0)), normal) < 0 ||
                        dot(cross(minus(p3, p2), minus(p0, p2)), normal) < 0;
    if (reflex) {
        out.push_back(Triangle{c[1], c[2], c[3]});
        out.push_back(Triangle{c[1], c[3], c[0]});
    } else {
        out.push_back(Triangle{c[0], c[1], c[2]});
        out.push_back(Triangle{c[0], c[2], c[3]});
    }
}

bool Triangulator::tessellate(const std::int32_t* corners, std::size_t count, Vec3 normal,
                              std::vector<Triangle>& out) {
    if (!tess || dot(normal, normal) == 0.0)
        return false;
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
    // cut later, once they turn, so no triangle is empty.
    ring.assign(corners, corners + count);
    std::size_t at = 0;
    while (ring.size() > 3) {
        const std::size_t n = ring.size();
        std::size_t tried = 0;
        for (; tried < n; ++tried, at = (at + 1) % n)
            if (turn(points, ring[(at + n - 1) % n], ring[at], ring[(at + 1) % n], normal) > 0)
                break;
        out.push_back(Triangle{ring[(at + n - 1) % n], ring[at], ring[(at + 1) % n]});
        ring.erase(ring.begin() + static_cast<std::ptrdiff_t>(at));
        if (at == ring.size())
            at = 0;
    }
    out.push_back(Triangle{ring[0], ring[1], ring[2]});
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

// Fills the entity's surfaces with three fresh vertices per triangle, opening a new surface
// every 85 triangles.
class SurfaceFiller {
public:
    SurfaceFiller(TEntityClass& target, const std::vector<VertexData>& meshPoints,
                  bm::ReportWriter& report, std::size_t triangles)
        : entity(target), points(meshPoints), out(report), remaining(triangles) {
        // Room for every surface at once, rather than one more with each.
        const std::size_t surfaces =
            std::max<std::size_t>(1, (triangles + 84) / trianglesPerSurface);
        entity.Surface.reserve(entity.Surface.size() + surfaces);
        open();
    }

    void add(const Triangle& t) {
        if (surface->triangleIndex.size() == 3 * trianglesPerSurface)
            open();
        const std::int32_t vert1 = addCorner(t.a);
        const std::int32_t vert2 = addCorner(t.b);
        const std::int32_t vert3 = addCorner(t.c);
        surface->AddTriangle(static_cast<GLuint>(vert1), static_cast<GLuint>(vert2),
                             static_cast<GLuint>(vert3));
        out.text("Vert1:").number(vert1).text(" Vert2:").number(vert2);
        out.text(" Vert3:").number(vert3).endLine();
        --remaining;
    }

private:
    void open() {
        surface = entity.Surface[static_cast<std::size_t>(entity.CreateSurface())];
        // The surface's final size is known: spare it the regrowing.
        const std::size_t vertices = 3 * std::min(remaining, trianglesPerSurface);
        surface->verts.reserve(3 * vertices);
        surface->vertexColours.reserve(4 * vertices);
        surface->tverts.reserve(2 * vertices);
        surface->triangleIndex.reserve(vertices);
    }

    std::int32_t addCorner(std::int32_t index) {
        const VertexData& p = points[static_cast<std::size_t>(index)];
        return surface->AddVertex(p.X, p.Y, p.Z, 0.0f, 0.0f, noThirdCoordinate);
    }

    TEntityClass& entity;
    const std::vector<VertexData>& points;
    bm::ReportWriter& out;
    std::size_t remaining;  // triangles still to add, for sizing the surfaces
    TSurfaceClass* surface = nullptr;
};

// A polygon is converted when it has three corners or more, all of them points that were read.
bool drawable(const FaceData& face, const bm::Lwo2Data& lwo) {
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

std::size_t countTriangles(const bm::Lwo2Data& lwo) {
    std::size_t triangles = 0;
    for (const FaceData& face : lwo.Faces)
        if (drawable(face, lwo))
            triangles += static_cast<std::size_t>(face.VertexCount) - 2;
    return triangles;
}

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The whole file in one read; the size is what ftell reports, the data what fread delivered.
std::unique_ptr<unsigned char[]> readWholeFile(std::FILE* file, long& size, std::size_t& got,
                                               bool quiet) {
    std::fseek(file, 0, SEEK_END);
    size = std::max(std::ftell(file), 0L);
    std::fseek(file, 0, SEEK_SET);
    std::unique_ptr<unsigned char[]> data(new (std::nothrow) unsigned char[size]);
    if (!data) {
        std::cout << "LoadLWO: Could not allocate buffer " << size << " Bytes" << std::endl;
        std::exit(1);
    }
    if (!quiet)
        std::cout << "Loading " << size << " Bytes" << std::endl;
    got = std::fread(data.get(), 1, static_cast<std::size_t>(size), file);
    return data;
}

}  // namespace

void TEntityClass::LoadLWO(const std::string& filename, std::int32_t Flags) {
    const bool quiet = (Flags & BrackmoorLwoQuiet) != 0;
    if (!quiet)
        std::cout << "STARTED:Lightwave Loader v1.0" << std::endl;
    FilePtr file(std::fopen(filename.c_str(), "rb"), &std::fclose);
    if (!file) {
        std::cout << "LoadLWO:Error loading " << filename << " could not file file." << std::endl;
        return;
    }
    if (!quiet)
        std::cout << "file exists, loading..." << std::endl;
    long size = 0;
    std::size_t got = 0;
    const std::unique_ptr<unsigned char[]> data = readWholeFile(file.get(), size, got, quiet);
    file.reset();
    if (got != static_cast<std::size_t>(size))
        std::cout << "LoadLWO: read " << got << " of " << size << " Bytes of " << filename
                  << std::endl;
    bm::Lwo2Options options;
    options.quiet = quiet;
    options.appearance = (Flags & (BrackmoorLwoSurfaces | BrackmoorLwoNormals)) != 0;
    const bm::Lwo2Data lwo = bm::readLwo2(data.get(), got, std::cout, filename, options);
    bm::addLwo2Surface(*this, lwo, std::cout, Flags);
}

namespace bm {

void addLwo2Surface(TEntityClass& entity, const Lwo2Data& lwo, std::ostream& report,
                    std::int32_t flags) {
    ReportWriter out(report, (flags & BrackmoorLwoQuiet) != 0);
    out.text("Converting LWO mesh data to Brackmoor Entity data...").endLine();
    out.flush();
    entity.CreateEntity();
    SurfaceFiller filler(entity, lwo.Vertices, out, countTriangles(lwo));
    Triangulator triangulator(lwo.Vertices);
    std::vector<Triangle> triangles;
    for (const FaceData& face : lwo.Faces) {
        if (!drawable(face, lwo))
            continue;
        triangles.clear();
        triangulator.split(lwo.Corners.data() + face.FirstCorner,
                           static_cast<std::size_t>(face.VertexCount), triangles);
        for (const Triangle& t : triangles)
            filler.add(t);
    }
    out.flush();
    entity.updateRegistry();
}

}  // namespace bm
