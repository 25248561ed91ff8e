// Lwo2Triangulator.h - polygons of a model split into triangles of their own corners.
#pragma once

#include "BrackmoorCompatibility.h"
#include "Lwo2Geometry.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace bm {

struct Triangle {
    std::int32_t a, b, c;  // point indices, in the file's winding
};

using TessPtr = std::unique_ptr<GLUtesselator, void (*)(GLUtesselator*)>;

// Splits polygons into n - 2 triangles of their own corners, keeping the file's winding. Convex
// polygons of five corners or more lose their corners one by one; concave ones go through GLU's
// tessellator, and when it has to add vertices (the outline crosses itself) or leaves corners
// out, ear clipping gives the n - 2 triangles instead.
class Triangulator {
public:
    explicit Triangulator(const std::vector<VertexData>& meshPoints);
    void split(const std::int32_t* corners, std::size_t count, std::vector<Triangle>& out);
    // The same for a triangle or a quad, the bulk of most models, written to out (room for two)
    // without a list; returns how many, 0 for a polygon of any other count, which split() takes.
    std::size_t splitSmall(const std::int32_t* corners, std::size_t count, Triangle* out) const {
        if (count == 3) {
            out[0] = Triangle{corners[0], corners[1], corners[2]};
            return 1;
        }
        if (count == 4) {
            splitQuad(corners, out);
            return 2;
        }
        return 0;
    }

private:
    void splitQuad(const std::int32_t* corners, Triangle* out) const;
    bool tessellate(const std::int32_t* corners, std::size_t count, Vec3 normal,
                    std::vector<Triangle>& out);
    void clipEars(const std::int32_t* corners, std::size_t count, Vec3 normal,
                  std::vector<Triangle>& out);
    bool isEar(std::size_t at, Vec3 normal) const;
    bool samePlace(std::int32_t a, std::int32_t b) const;
    void clipConvex(const std::int32_t* corners, std::size_t count, Vec3 normal,
                    std::vector<Triangle>& out);
    bool isConvex(std::size_t count, Vec3 normal);

    static void GLAPIENTRY onVertex(void* vertex, void* self);
    static void GLAPIENTRY onCombine(GLdouble coords[3], void* data[4], GLfloat weight[4],
                                     void** outData, void* self);
    static void GLAPIENTRY onError(GLenum error, void* self);
    static void GLAPIENTRY onBegin(GLenum type, void* self);
    static void GLAPIENTRY onEdgeFlag(GLboolean flag, void* self);

    const std::vector<VertexData>& points;
    TessPtr tess;
    std::vector<Vec3> place;           // the polygon's corners' positions
    std::vector<GLdouble> coords;      // x, y, z per corner, as the tessellator wants them
    std::vector<std::int32_t> output;  // corner positions the tessellator emitted
    std::vector<std::int32_t> ring;    // corners not yet clipped, as points
    std::vector<double> steps;         // a convex test's moves along one axis, edge by edge
    // A convex outline's corners not yet cut: each one's next and previous, as positions.
    std::vector<std::size_t> following, preceding;
    bool failed = false;
};

}  // namespace bm
