// TSurface.cpp - filling a surface's vertex and triangle arrays.
#include "TSurface.h"

namespace {
// A third texture coordinate of exactly this value means the vertex has none.
constexpr GLfloat noThirdCoordinate = 50.0f;
}  // namespace

std::int32_t TSurfaceClass::AddVertex(GLfloat x, GLfloat y, GLfloat z, GLfloat u, GLfloat v,
                                      GLfloat w)
{
    verts.insert(verts.end(), {x, y, z});
    vertexColours.insert(vertexColours.end(), {1.0f, 1.0f, 1.0f, 1.0f});
    tverts.insert(tverts.end(), {u, v});
    if (!(w == noThirdCoordinate))
        tverts.push_back(w);
    ++vertexPoints;
    return vertexPoints - 1;
}

void TSurfaceClass::AddTriangle(GLuint v1, GLuint v2, GLuint v3)
{
    // Corners wrap at 256: indices are 8 bits wide.
    triangleIndex.insert(triangleIndex.end(), {static_cast<unsigned char>(v1 & 0xFFu),
                                               static_cast<unsigned char>(v2 & 0xFFu),
                                               static_cast<unsigned char>(v3 & 0xFFu)});
}
