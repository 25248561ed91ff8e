// TSurface.h - one drawable piece of a mesh, in the array layouts GL reads.
#pragma once

#include "TTexture.h"

#include <cstdint>
#include <vector>

class TSurfaceClass {
public:
    std::int32_t Id;                           // index in the entity's Surface list
    float ShineValue = 0.0f;                   // specular level, red = green = blue
    TTextureClass textureID[8];                // per-surface slots; 0 drawn under fxOwnTexture
    std::vector<GLfloat> verts;                // x, y, z per vertex
    std::vector<unsigned char> triangleIndex;  // three 8-bit corners per triangle
    std::vector<GLfloat> tverts;               // u, v per vertex (w too when not 50.0)
    std::vector<GLfloat> normals;              // x, y, z per vertex, or empty
    std::vector<GLfloat> vertexColours;        // r, g, b, a per vertex
    std::int32_t vertexPoints;                 // vertices added; corners when shared
    std::int32_t texturePoints;                // texture coordinates per vertex a builder declares
    short fxFullBright;                        // switches: 1 on, -1 off; this one: never lit
    short fxVertexColour;
    short fxFlatShaded;
    short fxFogDisabled;
    short fxBackfaceDisabled;
    short fxAlphaBlending;
    short fxOwnTexture;  // 1: drawn with textureID[0], untextured while its Tname is 0
    // 1: every vertex has the one colour vertexColours holds (r, g, b, a) and the one pair of
    // texture coordinates tverts holds (u, v); the arrays keep them once.
    short fxOneColour;

    // Appends a white vertex; w is appended too unless it is exactly 50.0. Returns its index.
    std::int32_t AddVertex(GLfloat x, GLfloat y, GLfloat z, GLfloat u, GLfloat v, GLfloat w);
    // Appends the three corners, each kept modulo 256.
    void AddTriangle(GLuint v1, GLuint v2, GLuint v3);
};
