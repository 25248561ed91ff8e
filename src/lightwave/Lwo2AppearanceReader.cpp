// Lwo2AppearanceReader.cpp - surfaces' looks, vertex maps and clips from LWO2 chunks. Every
// field is read only where it fits inside its chunk; what does not fit is passed over with a
// "LoadLWO:" line.
#include "Lwo2AppearanceReader.h"

#include "Lwo2Bytes.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace bm {

namespace {

constexpr std::size_t chunkHeader = 8;
constexpr std::uint32_t largestClipIndex = 0xFFFFFF;

// Ids in messages: bytes that are not printable show as '?'.
std::string idText(const unsigned char* at) {
    std::string text(4, '?');
    for (int i = 0; i < 4; ++i)
        if (at[i] >= 0x20 && at[i] < 0x7F)
            text[static_cast<std::size_t>(i)] = char(at[i]);
    return text;
}

ReportWriter& problemAt(ReportWriter& out, const unsigned char* id, std::size_t offset,
                        const char* what) {
    out.problem().text(idText(id)).text(" ").text(what).text(" at offset ");
    return out.number(static_cast<std::int64_t>(offset));
}

ByteCursor chunkBody(const unsigned char* data, const ChunkPlace& chunk) {
    const std::size_t body = chunk.start + chunkHeader;
    return ByteCursor(data, body, body + chunk.length);
}

// The dimension each drawn map type must have; 0 for types the engine does not draw.
std::uint32_t dimensionOf(const unsigned char* type) {
    struct Known {
        const char* id;
        std::uint32_t dimension;
    };
    static constexpr Known known[] = {{"TXUV", 2}, {"RGB ", 3}, {"RGBA", 4}, {"NORM", 3}};
    for (const Known& k : known)
        if (std::memcmp(type, k.id, 4) == 0)
            return k.dimension;
    return 0;
}

VertexMap& mapNamed(Lwo2Data& lwo, const unsigned char* type, std::string_view name,
                    std::uint32_t dimension) {
    for (VertexMap& map : lwo.Maps)
        if (std::memcmp(map.type, type, 4) == 0 && map.name == name)
            return map;
    VertexMap& map = lwo.Maps.emplace_back();
    std::memcpy(map.type, type, 4);
    map.name = std::string(name);
    map.dimension = dimension;
    return map;
}

// Room for a value for every point read so far.
void coverPoints(VertexMap& map, std::size_t points) {
    if (map.has.size() < points) {
        map.has.resize(points, 0);
        map.values.resize(points * map.dimension, 0.0f);
    }
}

struct MapEntry {
    std::uint32_t point = 0, polygon = 0;
    float value[4] = {0, 0, 0, 0};
};

bool readEntry(ByteCursor& c, bool perPolygon, std::uint32_t dimension, MapEntry& entry) {
    if (!c.vx(entry.point) || (perPolygon && !c.vx(entry.polygon)))
        return false;
    for (std::uint32_t k = 0; k < dimension; ++k)
        if (!c.f4(entry.value[k]))
            return false;
    return true;
}

// Stores an entry whose point and polygon exist; false when one of them does not.
bool storeEntry(VertexMap& map, MapEntry entry, bool perPolygon, const ChunkPlace& chunk,
                const Lwo2Data& lwo) {
    const std::size_t point = chunk.pointBase + entry.point;
    const std::size_t polygon = chunk.polygonBase + entry.polygon;
    if (point >= lwo.Vertices.size() || (perPolygon && polygon >= lwo.Faces.size()))
        return false;
    if (perPolygon) {
        VertexMap::Corner corner{static_cast<std::uint32_t>(point),
                                 static_cast<std::uint32_t>(polygon),
                                 {entry.value[0], entry.value[1], entry.value[2], entry.value[3]}};
        map.corners.push_back(corner);
        return true;
    }
    map.has[point] = 1;
    std::copy(entry.value, entry.value + map.dimension, map.values.begin() + point * map.dimension);
    return true;
}

// The first TXUV map listing points of a layer is the one its surfaces without an image of their
// own take their coordinates from. Layers come in the order of their points, so one already
// noted is the last noted of some map.
void noteFirstUvMap(Lwo2Data& lwo, VertexMap& map, std::size_t layer) {
    for (const VertexMap& other : lwo.Maps)
        if (!other.firstInLayers.empty() && other.firstInLayers.back() == layer)
            return;
    map.firstInLayers.push_back(layer);
}

}  // namespace

void readVertexMap(const unsigned char* data, const ChunkPlace& chunk, bool perPolygon,
                   Lwo2Data& lwo, ReportWriter& out) {
    const unsigned char* id = data + chunk.start;
    ByteCursor c = chunkBody(data, chunk);
    const unsigned char* type = c.here();
    std::uint32_t dimension = 0;
    std::string_view name;
    if (!c.skip(4) || !c.u2(dimension) || !c.s0(name)) {
        problemAt(out, id, chunk.start, "chunk").text(" ends inside its header; passed over");
        out.endLine();
        return;
    }
    const std::uint32_t expected = dimensionOf(type);
    if (expected == 0)
        return;
    if (dimension != expected) {
        problemAt(out, id, chunk.start, "chunk").text(" gives ").text(idText(type));
        out.text(" map \"").text(name).text("\" dimension ").number(dimension);
        out.text(", not ").number(expected).text("; map passed over").endLine();
        return;
    }
    VertexMap& map = mapNamed(lwo, type, name, dimension);
    if (!perPolygon)
        coverPoints(map, lwo.Vertices.size());
    if (!perPolygon && std::memcmp(type, "TXUV", 4) == 0)
        noteFirstUvMap(lwo, map, chunk.pointBase);
    std::size_t missing = 0;
    while (!c.done()) {
        MapEntry entry;
        const std::size_t at = c.offset();
        if (!readEntry(c, perPolygon, dimension, entry)) {
            problemAt(out, id, chunk.start, "chunk").text(": the entry at offset ");
            out.number(static_cast<std::int64_t>(at)).text(" runs past its end; passed over");
            out.endLine();
            break;
        }
        if (!storeEntry(map, entry, perPolygon, chunk, lwo))
            ++missing;
    }
    if (missing != 0) {
        problemAt(out, id, chunk.start, "chunk").text(": ").number(std::int64_t(missing));
        out.text(" entries name points or polygons that were not read; passed over").endLine();
    }
}

void readClip(const unsigned char* data, const ChunkPlace& chunk, Lwo2Data& lwo,
              ReportWriter& out) {
    const unsigned char* id = data + chunk.start;
    ByteCursor c = chunkBody(data, chunk);
    std::uint32_t index = 0;
    if (!c.u4(index) || index > largestClipIndex) {
        problemAt(out, id, chunk.start, "chunk").text(" has no valid clip index; passed over");
        out.endLine();
        return;
    }
    Clip clip{index, std::string()};
    const unsigned char* source = nullptr;
    ByteCursor body = c;
    std::string_view file;
    if (c.subchunk(source, body) && std::memcmp(source, "STIL", 4) == 0) {
        if (body.s0(file))
            clip.file = std::string(file);
        else
            problemAt(out, source, body.offset(), "sub-chunk")
                .text(": the file name runs past its end; clip passed over")
                .endLine();
    }
    lwo.Clips.push_back(clip);
}

namespace {

// The sub-chunks of a texture mapping: centre, size, rotation and coordinate system.
void readTextureMapping(ByteCursor mapping, ImageBlock& block) {
    const unsigned char* id = nullptr;
    ByteCursor field = mapping;
    while (mapping.subchunk(id, field)) {
        std::uint32_t world = 0;
        if (std::memcmp(id, "CNTR", 4) == 0)
            field.vec3(block.centre);
        else if (std::memcmp(id, "SIZE", 4) == 0)
            field.vec3(block.size);
        else if (std::memcmp(id, "ROTA", 4) == 0)
            field.vec3(block.rotation);
        else if (std::memcmp(id, "CSYS", 4) == 0 && field.u2(world))
            block.worldCoordinates = world == 1;
    }
}

std::uint32_t readU2Or(ByteCursor field, std::uint32_t otherwise) {
    std::uint32_t value = otherwise;
    field.u2(value);
    return value;
}

void readBlockField(const unsigned char* id, ByteCursor field, ImageBlock& block) {
    std::uint32_t value = 0;
    std::string_view text;
    if (std::memcmp(id, "TMAP", 4) == 0) {
        readTextureMapping(field, block);
    } else if (std::memcmp(id, "PROJ", 4) == 0) {
        block.projection = static_cast<int>(readU2Or(field, 5));
    } else if (std::memcmp(id, "AXIS", 4) == 0) {
        block.axis = static_cast<int>(readU2Or(field, 0));
    } else if (std::memcmp(id, "IMAG", 4) == 0 && field.vx(value)) {
        block.clip = value;
    } else if (std::memcmp(id, "WRAP", 4) == 0) {
        block.wrapWidth = static_cast<int>(readU2Or(field, 1));
        field.skip(2);
        block.wrapHeight = static_cast<int>(readU2Or(field, 1));
    } else if (std::memcmp(id, "WRPW", 4) == 0) {
        field.f4(block.widthRepeats);
    } else if (std::memcmp(id, "WRPH", 4) == 0) {
        field.f4(block.heightRepeats);
    } else if (std::memcmp(id, "VMAP", 4) == 0 && field.s0(text)) {
        block.uvMap = std::string(text);
    }
}

// An image block's header: its ordinal, and whether it is an enabled layer of the colour
// channel.
bool readBlockHeader(ByteCursor header, ImageBlock& block) {
    std::string_view ordinal;
    if (!header.s0(ordinal))
        return false;
    block.ordinal = std::string(ordinal);
    bool colour = false, enabled = true;
    const unsigned char* id = nullptr;
    ByteCursor field = header;
    while (header.subchunk(id, field)) {
        if (std::memcmp(id, "CHAN", 4) == 0)
            colour = field.startsWith("COLR");
        else if (std::memcmp(id, "ENAB", 4) == 0)
            enabled = readU2Or(field, 1) != 0;
    }
    return colour && enabled;
}

// The block's rest holds no whole sub-chunk: too few bytes for one, or one running past it.
void reportBlockEnd(const ByteCursor& block, ReportWriter& out) {
    if (block.left() < 4) {  // not even an id to name
        out.problem().number(static_cast<std::int64_t>(block.left())).text(" bytes at offset ");
        out.number(static_cast<std::int64_t>(block.offset()));
        out.text(" end a BLOK with no room for a sub-chunk; block passed over").endLine();
        return;
    }
    problemAt(out, block.here(), block.offset(), "sub-chunk")
        .text(" runs past the end of its BLOK; block passed over")
        .endLine();
}

void readBlock(ByteCursor block, SurfaceData& surface, ReportWriter& out) {
    const unsigned char* id = nullptr;
    ByteCursor header = block;
    ImageBlock image;
    if (!block.subchunk(id, header) || std::memcmp(id, "IMAP", 4) != 0 ||
        !readBlockHeader(header, image))
        return;
    ByteCursor field = block;
    while (!block.done()) {
        if (!block.subchunk(id, field)) {
            reportBlockEnd(block, out);
            return;
        }
        readBlockField(id, field, image);
    }
    surface.images.push_back(std::move(image));
}

void readVertexColourMap(const unsigned char* id, ByteCursor field, SurfaceData& surface,
                         ReportWriter& out) {
    float intensity = 1.0f;
    std::uint32_t envelope = 0;
    std::string_view name;
    if (!field.f4(intensity) || !field.vx(envelope) || !field.skip(4) || !field.s0(name)) {
        problemAt(out, id, field.offset(), "sub-chunk")
            .text(" ends before its map name; passed over")
            .endLine();
        return;
    }
    surface.vertexColourIntensity = intensity;
    surface.vertexColourMap = std::string(name);
}

// A one-value attribute; too short, it is reported and the default stays.
void readLevel(const unsigned char* id, ByteCursor field, float& value, ReportWriter& out) {
    if (!field.f4(value))
        problemAt(out, id, field.offset(), "sub-chunk")
            .text(" is too short; passed over")
            .endLine();
}

void readSurfaceField(const unsigned char* id, ByteCursor field, SurfaceData& surface,
                      ReportWriter& out) {
    // COLR and DIFF that are too short are reported by the surface's report already.
    if (std::memcmp(id, "COLR", 4) == 0)
        field.vec3(surface.colour);
    else if (std::memcmp(id, "DIFF", 4) == 0)
        field.f4(surface.diffuse);
    else if (std::memcmp(id, "LUMI", 4) == 0)
        readLevel(id, field, surface.luminosity, out);
    else if (std::memcmp(id, "TRAN", 4) == 0)
        readLevel(id, field, surface.transparency, out);
    else if (std::memcmp(id, "LUMI", 4) == 0)
        readLevel(id, field, surface.luminosity, out);
    else if (std::memcmp(id, "SMAN", 4) == 0)
        readLevel(id, field, surface.smoothingAngle, out);
    else if (std::memcmp(id, "VCOL", 4) == 0)
        readVertexColourMap(id, field, surface, out);
    else if (std::memcmp(id, "BLOK", 4) == 0)
        readBlock(field, surface, out);
}

}  // namespace

void readSurfaceLooks(const unsigned char* data, const ChunkPlace& chunk, Lwo2Data& lwo,
                      ReportWriter& out) {
    ByteCursor c = chunkBody(data, chunk);
    std::string_view name, source;
    if (!c.s0(name) || !c.s0(source))
        return;  // the surface's report has said so
    SurfaceData surface;
    surface.name = std::string(name);
    const unsigned char* id = nullptr;
    ByteCursor field = c;
    // A sub-chunk running past the surface ends it; the surface's report has said so.
    while (c.subchunk(id, field))
        readSurfaceField(id, field, surface, out);
    std::stable_sort(
        surface.images.begin(), surface.images.end(),
        [](const ImageBlock& a, const ImageBlock& b) { return a.ordinal < b.ordinal; });
    for (SurfaceData& earlier : lwo.Surfaces)
        if (earlier.name == surface.name) {
            earlier = std::move(surface);
            return;
        }
    lwo.Surfaces.push_back(std::move(surface));
}

}  // namespace bm
