// TEntityShapes.cpp - the cube and quad builders, their vertices written out one by one.
#include "TEntity.h"

namespace {
struct ShapeVertex {
    GLfloat x, y, z;  // position
    GLfloat u, v;     // texture coordinates
};

// Two triangles per face, faces +Z, -Z, +Y, -Y, +X, -X; counter-clockwise seen from outside.
const ShapeVertex cubeVertices[36] = {
    {-1, -1, 1, 1, 1}, {1, -1, 1, 1, 0},  {-1, 1, 1, 0, 1},   {1, -1, 1, 1, 0},
    {1, 1, 1, 0, 0},   {-1, 1, 1, 0, 1},  {-1, -1, -1, 1, 0}, {-1, 1, -1, 0, 0},
    {1, -1, -1, 1, 1}, {-1, 1, -1, 0, 0}, {1, 1, -1, 0, 1},   {1, -1, -1, 1, 1},
    {-1, 1, -1, 1, 0}, {-1, 1, 1, 0, 0},  {1, 1, -1, 1, 1},   {-1, 1, 1, 0, 0},
    {1, 1, 1, 0, 1},   {1, 1, -1, 1, 1},  {-1, -1, -1, 1, 1}, {1, -1, -1, 1, 0},
    {-1, -1, 1, 0, 1}, {1, -1, -1, 1, 0}, {1, -1, 1, 0, 0},   {-1, -1, 1, 0, 1},
    {1, -1, -1, 0, 1}, {1, 1, -1, 1, 1},  {1, -1, 1, 0, 0},   {1, 1, -1, 1, 1},
    {1, 1, 1, 1, 0},   {1, -1, 1, 0, 0},  {-1, -1, -1, 0, 0}, {-1, -1, 1, 0, 1},
    {-1, 1, -1, 1, 0}, {-1, -1, 1, 0, 1}, {-1, 1, 1, 1, 1},   {-1, 1, -1, 1, 0},
};

// A square in the XY plane facing +Z; v = 0 along its top edge.
const ShapeVertex quadVertices[6] = {
    {1, -1, 0, 1, 1}, {-1, -1, 0, 0, 1}, {1, 1, 0, 1, 0},
    {1, 1, 0, 1, 0},  {-1, 1, 0, 0, 0},  {-1, -1, 0, 0, 1},
};

constexpr GLfloat noThirdCoordinate = 50.0f;

GLuint addShapeVertex(TSurfaceClass& surface, const ShapeVertex& p) {
    return static_cast<GLuint>(surface.AddVertex(p.x, p.y, p.z, p.u, p.v, noThirdCoordinate));
}
}  // namespace

void TEntityClass::CreateCube() {
    CreateEntity();
    TSurfaceClass& surface = *Surface[static_cast<std::size_t>(CreateSurface())];
    for (std::size_t k = 0; k < 12; ++k) {
        const GLuint a = addShapeVertex(surface, cubeVertices[3 * k]);
        const GLuint b = addShapeVertex(surface, cubeVertices[3 * k + 1]);
        const GLuint c = addShapeVertex(surface, cubeVertices[3 * k + 2]);
        surface.AddTriangle(a, b, c);
    }
    updateRegistry();
}

void TEntityClass::CreateQuad() {
    CreateEntity();
    TSurfaceClass& surface = *Surface[static_cast<std::size_t>(CreateSurface())];
    for (const ShapeVertex& p : quadVertices)
        addShapeVertex(surface, p);
    surface.AddTriangle(2, 1, 0);
    surface.AddTriangle(3, 4, 5);
    surface.texturePoints = 3;
    updateRegistry();
}
