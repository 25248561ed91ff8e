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
    std::int32_t SurfaceTag;    // tag index from a PTAG of type SURF; -1 for none
};

namespace bm {

// A colour image layer of a surface: which image, and how it is laid on the model.
struct ImageBlock {
    std::string ordinal;          // blocks are layered in the order of these strings
    int projection = 5;           // 0 planar, 1 cylindrical, 2 spherical, 3 cubic, 4 front, 5 UV
    int axis = 0;                 // 0 X, 1 Y, 2 Z
    std::uint32_t clip = 0;       // the CLIP holding the image; 0 when imageFile names it
    std::string imageFile;        // the image's file name, as the file writes it
    std::string uvMap;            // the TXUV map, for projection 5; empty: the first one
    float centre[3] = {0, 0, 0};  // texture placement, object units
    float size[3] = {1, 1, 1};
    float rotation[3] = {0, 0, 0};  // heading, pitch, bank in radians
    bool worldCoordinates = false;
    int wrapWidth = 1, wrapHeight = 1;  // 0 reset, 1 repeat, 2 mirror, 3 edge
    float widthRepeats = 1, heightRepeats = 1;
};

// How one surface looks, LightWave's defaults where the file says nothing.
struct SurfaceData {
    std::string name;
    float colour[3] = {200.0f / 255, 200.0f / 255, 200.0f / 255};
    float diffuse = 1.0f;
    float luminosity = 0.0f;  // glow: the colour times this is shown whatever the lights
    float transparency = 0.0f;
    float smoothingAngle = 0.0f;  // radians; 0 or less: flat
    std::string vertexColourMap;  // an RGB or RGBA map; empty for none
    float vertexColourIntensity = 1.0f;
    std::vector<ImageBlock> images;  // enabled colour image layers, in ordinal order
};

// Values of one vertex map, by the point index the mesh lists use.
struct VertexMap {
    char type[5] = {};  // "TXUV", "RGB ", "RGBA", "NORM", ...
    std::string name;
    std::uint32_t dimension = 0;       // values per entry, at most 4
    std::vector<float> values;         // dimension per point
    std::vector<unsigned char> has;    // 1 where the map lists the point
    struct Corner {                    // a per-polygon value from a VMAD
        std::uint32_t point, polygon;  // mesh point index, polygon index in Faces
        float value[4];
    };
    std::vector<Corner> corners;
    // TXUV: the layers whose first UV map this is, each by its first point (of its PNTS).
    std::vector<std::size_t> firstInLayers;
};

struct Clip {
    std::uint32_t index;  // 0 too: some exporters number their first clip 0
    std::string file;     // the still image's name; empty when the clip is no still image
};

// One LAYR chunk. Layers follow one another in the file, so each runs from its first point and
// polygon up to the next layer's.
struct LayerData {
    std::int32_t number = 0;       // the LAYR number: Modeler's layer 1 is 0
    float pivot[3] = {0, 0, 0};    // the layer's pivot point
    std::size_t firstPoint = 0;    // index in Vertices
    std::size_t firstPolygon = 0;  // index in Faces
};

struct Lwo2Data {
    std::vector<TagData> Tags;
    std::vector<VertexData> Vertices;
    std::vector<FaceData> Faces;
    std::vector<std::int32_t> Corners;  // every polygon's point indices, file order
    std::int32_t LWOTriangleCount = 0;  // polygons read, quads included
    // Read only when asked for: each surface's looks, vertex maps and image clips.
    std::vector<SurfaceData> Surfaces;
    std::vector<VertexMap> Maps;
    std::vector<Clip> Clips;
    std::vector<LayerData> Layers;  // in file order; one layer 0 for a file without LAYR, LWOB too
};

// What a read collects and says beyond the points and polygons.
struct Lwo2Options {
    bool quiet = false;       // the report keeps only its "LoadLWO:" problem lines
    bool appearance = false;  // surfaces' looks, vertex maps and clips are read too
};

// Never reads past size: a chunk that runs off the end ends the scan. fileName only names the
// file in the report's "is not an LWO2 object" line. LWOB files go to readLwob (LwobReader.h).
Lwo2Data readLwo2(const unsigned char* data, std::size_t size, std::ostream& report,
                  const std::string& fileName = std::string(), Lwo2Options options = {});
}  // namespace bm
