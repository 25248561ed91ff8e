// Lwo2Builder.h - LWO2 bytes for tests: chunks with hand-chosen fields, and the reader run on them.
#pragma once

#include "Lwo2Reader.h"
#include "Lwo2Writer.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace bm::test {

using lwo::Bytes;
using ByteList = std::vector<unsigned char>;
using Corners = std::vector<std::uint32_t>;

inline Bytes tags(const std::vector<std::string>& names) {
    return lwo::tagsChunk(names);
}

inline Bytes layer(unsigned number, const std::string& name) {
    Bytes body;
    body.u2(number).u2(0).f4(0).f4(0).f4(0).s0(name);
    return lwo::chunk("LAYR", body);
}

inline Bytes points(const std::vector<lwo::Point>& list) {
    return lwo::pointsChunk(list);
}

// Each polygon's count word carries flags in its upper 6 bits.
inline Bytes polygons(const char* type, const std::vector<Corners>& list, unsigned flags = 0) {
    Bytes body;
    body.id(type);
    for (const Corners& polygon : list) {
        body.u2((flags << 10) | static_cast<unsigned>(polygon.size()));
        for (std::uint32_t corner : polygon)
            body.vx(corner);
    }
    return lwo::chunk("POLS", body);
}

// Pairs of polygon index and tag index.
inline Bytes polygonTags(const char* type,
                         const std::vector<std::pair<std::uint32_t, unsigned>>& list) {
    Bytes body;
    body.id(type);
    for (const auto& [polygon, tag] : list)
        body.vx(polygon).u2(tag);
    return lwo::chunk("PTAG", body);
}

inline Bytes colour(float red, float green, float blue) {
    Bytes body;
    body.f4(red).f4(green).f4(blue).u2(0);
    return lwo::subchunk("COLR", body);
}

// Diffuse, specular and the other one-value surface attributes.
inline Bytes attribute(const char* id, float value) {
    Bytes body;
    body.f4(value).u2(0);
    return lwo::subchunk(id, body);
}

inline Bytes surface(const std::string& name, const std::vector<Bytes>& attributes) {
    Bytes body;
    body.s0(name).s0("");
    for (const Bytes& a : attributes)
        body.append(a);
    return lwo::chunk("SURF", body);
}

// A vertex map: per point (VMAP), or with polygons per polygon corner (VMAD).
struct MapValue {
    std::uint32_t point;
    std::vector<float> values;
    std::uint32_t polygon = 0;  // VMAD only
};

inline Bytes vertexMap(const char* chunkId, const char* type, unsigned dimension,
                       const std::string& name, const std::vector<MapValue>& entries) {
    const bool perPolygon = std::string(chunkId) == "VMAD";
    Bytes body;
    body.id(type).u2(dimension).s0(name);
    for (const MapValue& e : entries) {
        body.vx(e.point);
        if (perPolygon)
            body.vx(e.polygon);
        for (float v : e.values)
            body.f4(v);
    }
    return lwo::chunk(chunkId, body);
}

inline Bytes stillClip(std::uint32_t index, const std::string& file) {
    Bytes still;
    still.s0(file);
    Bytes body;
    body.u4(index).append(lwo::subchunk("STIL", still));
    return lwo::chunk("CLIP", body);
}

inline Bytes u2Field(const char* id, unsigned value) {
    Bytes body;
    body.u2(value);
    return lwo::subchunk(id, body);
}

// A colour image layer: an IMAP block on the COLR channel, its mapping and its image's clip.
inline Bytes imageBlock(unsigned projection, std::uint32_t clip, const std::string& uvMap = "",
                        const std::string& ordinal = "\x80") {
    Bytes channel;
    channel.id("COLR");
    Bytes header;
    header.s0(ordinal).append(lwo::subchunk("CHAN", channel)).append(u2Field("ENAB", 1));
    Bytes centre, size;
    centre.f4(0).f4(0).f4(0).u2(0);
    size.f4(1).f4(1).f4(1).u2(0);
    Bytes mapping;
    mapping.append(lwo::subchunk("CNTR", centre)).append(lwo::subchunk("SIZE", size));
    Bytes body;
    body.append(lwo::subchunk("IMAP", header)).append(lwo::subchunk("TMAP", mapping));
    body.append(u2Field("PROJ", projection)).append(u2Field("AXIS", 2));
    Bytes image;
    image.vx(clip);
    body.append(lwo::subchunk("IMAG", image));
    if (!uvMap.empty()) {
        Bytes name;
        name.s0(uvMap);
        body.append(lwo::subchunk("VMAP", name));
    }
    return lwo::subchunk("BLOK", body);
}

inline Bytes vertexColours(float intensity, const char* type, const std::string& map) {
    Bytes body;
    body.f4(intensity).u2(0).id(type).s0(map);
    return lwo::subchunk("VCOL", body);
}

inline Bytes rawChunk(const char* id, const Bytes& body) {
    return lwo::chunk(id, body);
}

inline ByteList object(const std::vector<Bytes>& chunks) {
    return lwo::form(chunks).data;
}

// A grid of size x size points per layer, covered row by row with quads and, in every 16
// cells, a hexagon over two cells, an octagon over three and a cell cut into two triangles;
// the polygons of odd rows are on the second surface. Big grids need the long index form.
inline ByteList gridObject(std::uint32_t layers, std::uint32_t size) {
    lwo::Model model;
    model.tags = {"Even", "Odd"};
    model.surfaces = {{"Even", 0.8f, 0.8f, 0.8f, 1.0f}, {"Odd", 0.2f, 0.4f, 0.9f, 1.0f}};
    for (std::uint32_t l = 0; l < layers; ++l) {
        lwo::Layer layer;
        for (std::uint32_t r = 0; r < size; ++r)
            for (std::uint32_t c = 0; c < size; ++c)
                layer.points.push_back({c * 0.25f, r * 0.25f, l * 0.5f});
        const auto at = [size](std::uint32_t r, std::uint32_t c) { return r * size + c; };
        for (std::uint32_t r = 0; r + 1 < size; ++r)
            for (std::uint32_t c = 0; c + 1 < size;) {
                const std::uint32_t span = (c % 16 == 0 && c + 2 < size)   ? 2
                                           : (c % 16 == 8 && c + 3 < size) ? 3
                                                                           : 1;
                lwo::Polygon poly;
                poly.tag = r % 2;
                if (c % 16 == 4) {
                    poly.corners = {at(r, c), at(r, c + 1), at(r + 1, c + 1)};
                    layer.polygons.push_back(poly);
                    poly.corners = {at(r, c), at(r + 1, c + 1), at(r + 1, c)};
                } else {
                    for (std::uint32_t k = 0; k <= span; ++k)
                        poly.corners.push_back(at(r, c + k));
                    for (std::uint32_t k = span + 1; k-- > 0;)
                        poly.corners.push_back(at(r + 1, c + k));
                }
                layer.polygons.push_back(poly);
                c += span;
            }
        model.layers.push_back(std::move(layer));
    }
    return lwo::write(model);
}

struct ReadResult {
    Lwo2Data lwo;
    std::string report;
};

inline ReadResult read(const ByteList& bytes, const std::string& name = "test.lwo",
                       Lwo2Options options = {}) {
    // An exact-size copy, so a read one byte past the end is caught by the sanitizers.
    const ByteList exact(bytes);
    std::ostringstream report;
    Lwo2Data lwo = readLwo2(exact.data(), exact.size(), report, name, options);
    return ReadResult{std::move(lwo), report.str()};
}

}  // namespace bm::test
