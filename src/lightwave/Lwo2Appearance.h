// Lwo2Appearance.h - how a read model looks, corner by corner: the surface of each polygon, its
// colour and vertex colours, its texture coordinates and its normals. Arithmetic on the reader's
// records only: no files, no GL.
#pragma once

#include "Lwo2Reader.h"
#include "Lwo2Report.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace bm {

// One LightWave surface as the engine draws it.
struct SurfaceLook {
    std::string name;                          // as the polygons' tags name it
    const SurfaceData* surface = nullptr;      // the file's SURF; null: LightWave's defaults
    const ImageBlock* image = nullptr;         // the colour image layer to draw, if any
    std::string imageFile;                     // that image's file name as the model writes it
    const VertexMap* uvMap = nullptr;          // its UV map
    const VertexMap* vertexColours = nullptr;  // an RGB or RGBA map
    bool textured = false;                     // the image is loaded: its colour is white
};

struct ModelLooks {
    std::vector<SurfaceLook> looks;           // in the order the polygons first use them
    std::vector<std::int32_t> lookOfPolygon;  // per polygon of Faces
};

// Groups the polygons by surface (untagged ones take the surface "Default") and, with colours,
// finds what each surface draws with: a map, clip or image the model names but does not hold,
// and an image laid on in a way not drawn, are reported and left out.
ModelLooks findLooks(const Lwo2Data& lwo, ReportWriter& out, bool withColours = true);

// Whether the surface is best drawn unlit, in the colour it shows in full light: its luminosity
// is above its diffuse level or above one half, so more of that colour is its own glow than the
// lights' share, and the unlit colour is nearer what LightWave shows, from the side turned away
// from the lights to the side facing them, than lighting would make it. Fully luminous surfaces
// are; surfaces without luminosity are not.
bool showsFullBright(const SurfaceLook& look);

// A vertex map's values at one polygon corner: the polygon's own (VMAD) before the point's (VMAP).
class MapReader {
public:
    explicit MapReader(const VertexMap* vertexMap = nullptr);
    // The values, or null where the map has none.
    const float* at(std::size_t polygon, std::int32_t point) const;

private:
    const VertexMap* map;
    std::unordered_map<std::uint64_t, const float*> corners;
};

// The colour, texture coordinates and normal of every corner of one polygon at a time. A
// corner's colour is its surface's (white under a loaded image) times the diffuse level plus the
// luminosity, at most 1: what the surface shows in full light; its vertex colours multiply it. A
// surface's coordinates come from its image's projection or UV map, whether or not the image
// loaded; a surface with no image it can lay on takes the first UV map of each point's layer,
// so that a texture the program gives it later has coordinates to go by.
class CornerValues {
public:
    CornerValues(const Lwo2Data& lwo, const ModelLooks& looks, bool withNormals);
    void compute(std::size_t polygon);
    // Of the corner at this position in the polygon last computed.
    const float* colour(std::size_t corner) const { return colours.data() + 4 * corner; }
    const float* uv(std::size_t corner) const { return uvs.data() + 2 * corner; }
    const float* normal(std::size_t corner) const { return normals.data() + 3 * corner; }

private:
    void computeColours(std::size_t polygon, const std::int32_t* points, std::size_t count);
    void computeUVs(std::size_t polygon, const std::int32_t* points, std::size_t count);
    const float* layerUv(std::size_t polygon, std::int32_t point) const;
    void computeNormals(std::size_t polygon, const std::int32_t* points, std::size_t count);
    void smoothedNormal(std::size_t polygon, std::int32_t point, float* out) const;
    void linkPointsToPolygons();

    const Lwo2Data& lwo;
    const ModelLooks& looks;
    bool withNormals;
    std::vector<float> baseColour;        // 4 per look
    std::vector<MapReader> colourMaps;    // per look
    std::vector<MapReader> uvMaps;        // per look
    std::vector<unsigned char> layerUvs;  // per look: takes the layers' first UV maps
    // The layers' first UV maps, by the first point of each layer, in the order of the points.
    std::vector<std::pair<std::size_t, MapReader>> firstUvMaps;
    MapReader normalMap;                  // the model's first NORM map
    std::vector<float> faceNormals;       // 3 per polygon, unit length
    std::vector<std::uint32_t> firstUse;  // per point: where its polygons start in uses
    std::vector<std::uint32_t> uses;      // polygons by point
    std::vector<float> colours, uvs, normals;
};

}  // namespace bm
