// TSurface.cpp - filling a surface's vertex and triangle arrays.
#include "TSurface.h"

namespace {
// A third texture coordinate of exactly this value means the vertex has none.
constexpr GLfloat noThirdCoordinate = 50.0f;
}  // namespace

std::int32_t TSurfaceClass::AddVertex(GLfloat x, GLfloat y, GLfloat z, GLfloat u, GLfloat v,
                                      GLfloat w) {
    verts.push_back(x);
    verts.push_back(y);
    verts.push_back(z);
    for (int channel = 0; channel < 4; ++channel)
        vertexColours.push_back(1.0f);
    tverts.push_back(u);
    tverts.push_back(v);
    if (!(w == noThirdCoordinate))
        tverts.push_back(w);
    ++vertexPoints;
    return vertexPoints - 1;
}

void TSurfaceClass::AddTriangle(GLuint v1, GLuint v2, GLuint v3) {
    // Corners wrap at 256: indices are 8 bits wide.
    triangleIndex.push_back(static_cast<unsigned char>(v1 & 0xFFu));
    triangleIndex.push_back(static_cast<unsigned char>(v2 & 0xFFu));
    triangleIndex.push_back(static_cast<unsigned char>(v3 & 0xFFu));
}
