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

}  // namespace bm
