// TEntityLwoCompact.cpp - surfaces whose triangles share vertices.
#include "TEntityLwoCompact.h"

#include <algorithm>
#include <cstring>

namespace bm {

namespace {

constexpr short switchOn = 1;
// Serials live in the upper 24 bits of a point's entry.
constexpr std::uint32_t lastSerial = (1u << 24) - 1;

// Of a position's bits: corners at one place with other values share a chain of slots.
std::size_t hashOf(const GLfloat* position, std::size_t tableSize) {
    std::uint32_t words[3];
    std::memcpy(words, position, sizeof words);
    std::uint64_t h = 0;
    for (std::uint32_t w : words)
        h = (h + w) * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(h >> 40) % tableSize;
}

template <typename Record>
bool sameBits(const Record& a, const Record& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

CompactFiller::CompactFiller(TEntityClass& target, const std::vector<VertexData>& meshPoints,
                             CornerParts parts, HeapPrefault& heap, ReportWriter& report)
    : entity(target),
      points(meshPoints),
      wanted(parts),
      prefault(heap),
      out(report),
      lastVertexOf(meshPoints.size(), 0) {
    indices.reserve(3 * 2 * maxVertices);
}

void CompactFiller::startRun(std::size_t, const TTextureClass* texture, bool fullBright) {
    close();
    runTexture = texture;
    runFullBright = fullBright;
}

CompactFiller::Vertex CompactFiller::cornerVertex(std::int32_t point, const CornerValues* values,
                                                  std::size_t corner) const {
    Vertex v{};
    const VertexData& p = points[static_cast<std::size_t>(point)];
    v.position[0] = p.X;
    v.position[1] = p.Y;
    v.position[2] = wanted.rightHanded ? -p.Z : p.Z;
    if (values != nullptr && wanted.colours) {
        std::copy_n(values->colour(corner), 4, v.colour);
        std::copy_n(values->uv(corner), 2, v.uv);
    } else {
        std::fill_n(v.colour, 4, 1.0f);
    }
    if (values != nullptr && wanted.normals) {
        std::copy_n(values->normal(corner), 3, v.normal);
        if (wanted.rightHanded)
            v.normal[2] = -v.normal[2];
    }
    return v;
}

// The open surface's vertex that the point last became, when it has v's values; else -1.
int CompactFiller::lastOf(std::int32_t point, const Vertex& v) const {
    const std::uint32_t last = lastVertexOf[static_cast<std::size_t>(point)];
    return last >> 8 == serial && sameBits(vertices[last & 0xFFu], v)
               ? static_cast<int>(last & 0xFFu)
               : -1;
}

// The open surface's vertex with v's values, found or added.
unsigned char CompactFiller::findOrAdd(std::int32_t point, const Vertex& v) {
    int vertex = lastOf(point, v);
    if (vertex < 0) {
        std::size_t slot = hashOf(v.position, tableSize);
        for (; table[slot] != 0 && vertex < 0; slot = (slot + 1) % tableSize)
            if (sameBits(vertices[table[slot] - 1u], v))
                vertex = table[slot] - 1;
        if (vertex < 0) {
            table[slot] = static_cast<std::uint16_t>(vertexCount + 1);
            vertices[vertexCount] = v;
            vertex = static_cast<int>(vertexCount++);
        }
        lastVertexOf[static_cast<std::size_t>(point)] =
            serial << 8 | static_cast<std::uint32_t>(vertex);
    }
    return static_cast<unsigned char>(vertex);
}

void CompactFiller::add(const Triangle& t, const CornerValues* values, const std::size_t* corners) {
    // Mirrored in z, a triangle keeps its front only with its corners the other way round.
    const std::int32_t point[3] = {t.a, wanted.rightHanded ? t.c : t.b,
                                   wanted.rightHanded ? t.b : t.c};
    const std::size_t secondAt = wanted.rightHanded ? 2 : 1;
    const std::size_t at[3] = {corners[0], corners[secondAt], corners[3 - secondAt]};
    Vertex v[3];
    std::size_t fresh = 0;
    for (int k = 0; k < 3; ++k) {
        v[k] = cornerVertex(point[k], values, at[k]);
        fresh += lastOf(point[k], v[k]) < 0 ? 1 : 0;
    }
    // Corners not found through their point count as new, though one may be another point's
    // vertex or two may be alike: the surface then closes a triangle early, never late.
    if (vertexCount + fresh > maxVertices)
        close();
    unsigned char index[3];
    for (int k = 0; k < 3; ++k)
        index[k] = findOrAdd(point[k], v[k]);
    indices.insert(indices.end(), index, index + 3);
    if (!out.isQuiet()) {
        out.text("Vert1:").number(index[0]).text(" Vert2:").number(index[1]);
        out.text(" Vert3:").number(index[2]).endLine();
    }
}

void CompactFiller::close() {
    if (indices.empty())
        return;
    // CreateSurface makes room for one surface at a time: grow the list in steps instead.
    if (entity.Surface.size() == entity.Surface.capacity())
        entity.Surface.reserve(2 * entity.Surface.size() + 16);
    TSurfaceClass& s = *entity.Surface[static_cast<std::size_t>(entity.CreateSurface())];
    madeAny = true;
    // Unlit, one colour and one pair of texture coordinates draw alike from GL's current values.
    // Lit surfaces keep their arrays: GL may light a current colour by other arithmetic.
    const bool normals = wanted.normals && !runFullBright;
    const bool oneColour = !normals && sameColourAndUv();
    const std::size_t coloured = oneColour ? 1 : vertexCount;
    s.verts.resize(3 * vertexCount);
    s.vertexColours.resize(4 * coloured);
    s.tverts.resize(2 * coloured);
    if (normals)
        s.normals.resize(3 * vertexCount);
    s.triangleIndex.assign(indices.begin(), indices.end());
    for (std::size_t i = 0; i < vertexCount; ++i) {
        const Vertex& v = vertices[i];
        std::copy_n(v.position, 3, s.verts.data() + 3 * i);
        if (i < coloured) {
            std::copy_n(v.colour, 4, s.vertexColours.data() + 4 * i);
            std::copy_n(v.uv, 2, s.tverts.data() + 2 * i);
        }
        if (normals)
            std::copy_n(v.normal, 3, s.normals.data() + 3 * i);
    }
    if (oneColour)
        s.fxOneColour = switchOn;
    // The renderer draws vertexPoints indices: every corner of the surface's triangles.
    s.vertexPoints = static_cast<std::int32_t>(indices.size());
    prefault.reached(s.triangleIndex.data() + s.triangleIndex.size());
    if (wanted.colours) {
        // The surface shows its own image, or none at all: never the application's.
        s.fxOwnTexture = switchOn;
        if (runTexture != nullptr)
            s.textureID[0] = *runTexture;
    }
    if (runFullBright)
        s.fxFullBright = switchOn;
    indices.clear();
    vertexCount = 0;
    table.fill(0);
    if (++serial > lastSerial) {
        std::fill(lastVertexOf.begin(), lastVertexOf.end(), 0u);
        serial = 1;
    }
}

bool CompactFiller::sameColourAndUv() const {
    const Vertex& first = vertices[0];
    for (std::size_t i = 1; i < vertexCount; ++i)
        if (std::memcmp(first.colour, vertices[i].colour, sizeof first.colour) != 0 ||
            std::memcmp(first.uv, vertices[i].uv, sizeof first.uv) != 0)
            return false;
    return true;
}

void CompactFiller::finish() {
    close();
    if (entity.Surface.empty() || !madeAny)
        entity.CreateSurface();
}

}  // namespace bm
