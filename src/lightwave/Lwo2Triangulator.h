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
// tessellator, unless their outline crosses itself, and when it would have to add vertices or
// leaves corners out, ear clipping gives the n - 2 triangles instead. The tessellator's time grows
// with the number of crossings, up to the square of the corner count, so crossing outlines are
// found first, by a sweep in n log n. Ear clipping tests every ear against every corner up to
// largestOutlineClippedWhole corners; above that only against reflex corners, and once it has
// taken stepsPerCorner steps for each corner it fans the rest.
class Triangulator {
public:
    static constexpr std::size_t largestOutlineClippedWhole = 32;
    static constexpr std::size_t stepsPerCorner = 64;

    // Work counted since construction: edges compared while looking for crossings, ears and
    // corners tested while clipping outlines of more than largestOutlineClippedWhole corners.
    // GLU's own work is not counted; the outlines handed to it are.
    std::size_t stepsTaken = 0;
    std::size_t tessellated = 0;

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
    void clipEarsWithin(const std::int32_t* corners, std::size_t count, Vec3 normal,
                        std::vector<Triangle>& out);
    bool isReflex(std::size_t at, Vec3 normal) const;
    bool isEarOfRing(std::size_t at, Vec3 normal);
    void linkRing(std::size_t count);
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
    // An outline's corners not yet cut: each one's next and previous, as positions.
    std::vector<std::size_t> following, preceding;
    std::vector<std::size_t> reflex;    // positions that were reflex when listed, some since cut
    std::vector<unsigned char> listed;  // per position: in reflex
    std::vector<unsigned char> cut;     // per position: no longer in the outline
    bool failed = false;
};

}  // namespace bm
