// Lwo2Reader.h - reads the LWO2 subset the engine loads, from memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

struct TagData {
    std::string name;
    float Red, Green, Blue;       // from the surface's COLR
    std::int32_t colourEnvelope;  // COLR envelope index
};

struct VertexData {
    float X, Y, Z;
    float U, V;  // never filled
};

struct FaceData {
    std::int32_t VertexCount;   // corners, the low 10 bits of the count word
    std::int32_t Vertex[4];     // the first corners' point indices
    std::int32_t SurfaceID;     // tag index from PTAG
    std::uint32_t FirstCorner;  // where this polygon's corners start in Lwo2Data::Corners
};

namespace bm {
struct Lwo2Data {
    std::vector<TagData> Tags;
    std::vector<VertexData> Vertices;
    std::vector<FaceData> Faces;
    std::vector<std::int32_t> Corners;  // every polygon's point indices, file order
    std::int32_t LWOTriangleCount = 0;  // polygons read, quads included
};

// What a read collects and says beyond the points and polygons.
struct Lwo2Options {
    bool quiet = false;       // the report keeps only its "LoadLWO:" problem lines
    bool appearance = false;  // surfaces' looks, vertex maps and clips are read too
};

// Never reads past size: a chunk that runs off the end ends the scan. fileName only names the
// file in the report's "is not an LWO2 object" line.
Lwo2Data readLwo2(const unsigned char* data, std::size_t size, std::ostream& report,
                  const std::string& fileName = std::string(), Lwo2Options options = {});
}  // namespace bm
