// TEntityLwoCompact.h - a model's triangles onto surfaces that share vertices: corners that agree
// in every value become one vertex, and a surface takes triangles while its vertices fit 8-bit
// indices.
#pragma once

#include "BrackmoorMemory.h"
#include "Lwo2Appearance.h"
#include "Lwo2Report.h"
#include "Lwo2Triangulator.h"
#include "TEntity.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace bm {

// What a conversion gives each corner beyond its position.
struct CornerParts {
    bool colours = false;      // its surface's colour, else opaque white
    bool uvs = false;          // its texture coordinates, else (0, 0)
    bool normals = false;      // its normal, else none
    bool rightHanded = false;  // z negated and the corners reversed, so fronts stay fronts
};

// Fills runs of the entity's surfaces with triangles in the order they come. A corner shares a
// vertex of the open surface whose values are the same bits; a triangle that would take the
// surface past 256 vertices opens the next one. Each surface's arrays are sized exactly when it
// is full; an unlit one whose vertices all have one colour and one pair of texture coordinates
// keeps them once (fxOneColour). The report gets each triangle's line, "Vert1:a Vert2:b Vert3:c",
// with its vertices.
class CompactFiller {
public:
    static constexpr std::size_t maxVertices = 256;  // what 8-bit indices name

    CompactFiller(TEntityClass& target, const std::vector<VertexData>& meshPoints,
                  CornerParts parts, HeapPrefault& heap, ReportWriter& report);

    // The next triangles go on new surfaces, drawn with texture when it is given, and unlit
    // when fullBright.
    void startRun(std::size_t triangles, const TTextureClass* texture, bool fullBright);
    // corners: the triangle's corners' positions in their polygon, whose values are computed.
    void add(const Triangle& t, const CornerValues* values, const std::size_t* corners);
    // Closes the last surface; a model without triangles still gets its one empty surface.
    void finish();

private:
    // One vertex as it is compared: fields a load does not give stay zero, so whole records
    // compare.
    struct Vertex {
        GLfloat position[3];
        GLfloat colour[4];
        GLfloat uv[2];
        GLfloat normal[3];
    };
    static constexpr std::size_t tableSize = 2 * maxVertices;  // open addressing, half full

    Vertex cornerVertex(std::int32_t point, const CornerValues* values, std::size_t corner) const;
    int lastOf(std::int32_t point, const Vertex& v) const;
    unsigned char findOrAdd(std::int32_t point, const Vertex& v);
    bool sameColourAndUv() const;
    void close();

    TEntityClass& entity;
    const std::vector<VertexData>& points;
    CornerParts wanted;
    HeapPrefault& prefault;
    ReportWriter& out;
    const TTextureClass* runTexture = nullptr;
    bool runFullBright = false;
    std::array<Vertex, maxVertices> vertices;  // the open surface's
    std::size_t vertexCount = 0;
    std::vector<unsigned char> indices;  // the open surface's triangles
    // The open surface's vertices by their values' hash: vertex + 1, or 0 for an empty slot.
    std::array<std::uint16_t, tableSize> table{};
    // Per point, the vertex it last became, as surface serial << 8 | vertex: most corners are
    // found there without hashing. Entries of earlier surfaces have another serial.
    std::vector<std::uint32_t> lastVertexOf;
    std::uint32_t serial = 1;
    bool madeAny = false;
};

}  // namespace bm
