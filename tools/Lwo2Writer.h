// Lwo2Writer.h - builds LWO2 object files byte by byte: chunks, sub-chunks and simple models.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace bm::lwo {

// A growing run of big-endian bytes; every appender returns *this so fields chain.
class Bytes {
public:
    std::vector<unsigned char> data;

    Bytes& u1(unsigned value) {
        data.push_back(static_cast<unsigned char>(value & 0xFF));
        return *this;
    }
    Bytes& u2(unsigned value) { return u1(value >> 8).u1(value); }
    Bytes& u4(std::uint32_t value) { return u2(value >> 16).u2(value & 0xFFFF); }
    Bytes& f4(float value) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return u4(bits);
    }
    // Exactly four characters, no terminator.
    Bytes& id(const char* tag) {
        for (int i = 0; i < 4; ++i)
            u1(static_cast<unsigned char>(tag[i]));
        return *this;
    }
    // Zero-terminated, with one more zero when that makes the length odd.
    Bytes& s0(const std::string& text) {
        for (char c : text)
            u1(static_cast<unsigned char>(c));
        u1(0);
        if ((text.size() + 1) % 2 != 0)
            u1(0);
        return *this;
    }
    // Variable-length index: two bytes below 0xFF00, else four with the top byte 0xFF.
    Bytes& vx(std::uint32_t index) {
        if (index < 0xFF00)
            return u2(index);
        return u4(0xFF000000u | (index & 0x00FFFFFFu));
    }
    Bytes& append(const Bytes& other) {
        data.insert(data.end(), other.data.begin(), other.data.end());
        return *this;
    }
    std::size_t size() const { return data.size(); }
};

// Top-level chunk: id, U4 length, body, and the IFF pad byte after odd-length data.
inline Bytes chunk(const char* tag, const Bytes& body) {
    Bytes out;
    out.id(tag).u4(static_cast<std::uint32_t>(body.size())).append(body);
    if (body.size() % 2 != 0)
        out.u1(0);
    return out;
}

// Sub-chunk inside a SURF: id, U2 length, body.
inline Bytes subchunk(const char* tag, const Bytes& body) {
    Bytes out;
    out.id(tag).u2(static_cast<unsigned>(body.size())).append(body);
    return out;
}

// The file: FORM, the size of what follows, the type, the chunks.
inline Bytes formOfType(const char* type, const std::vector<Bytes>& chunks) {
    Bytes body;
    body.id(type);
    for (const Bytes& c : chunks)
        body.append(c);
    Bytes out;
    out.id("FORM").u4(static_cast<std::uint32_t>(body.size())).append(body);
    return out;
}

inline Bytes form(const std::vector<Bytes>& chunks) {
    return formOfType("LWO2", chunks);
}

// A LightWave 5 object: the same framing, type LWOB.
inline Bytes lwobForm(const std::vector<Bytes>& chunks) {
    return formOfType("LWOB", chunks);
}

struct Point {
    float x, y, z;
};

struct Polygon {
    std::vector<std::uint32_t> corners;  // point indices local to the layer
    std::uint32_t tag = 0;               // index into Model::tags
};

struct Layer {
    Point pivot{0, 0, 0};  // LAYR's pivot point
    std::vector<Point> points;
    std::vector<Polygon> polygons;
    Bytes vmap;  // optional: a whole VMAP chunk written after the BBOX
};

struct Surface {
    std::string name;
    float red, green, blue;  // 0..1
    float diffuse = 1.0f;
    float luminosity = -1.0f;  // written as LUMI when 0 or more
};

struct Model {
    std::vector<std::string> tags;
    std::vector<Layer> layers;
    std::vector<Surface> surfaces;
    std::vector<Bytes> extraChunks;  // written after the surfaces
};

inline Bytes tagsChunk(const std::vector<std::string>& tags) {
    Bytes body;
    for (const std::string& t : tags)
        body.s0(t);
    return chunk("TAGS", body);
}

inline Bytes layerChunk(std::size_t number, Point pivot = {0, 0, 0}) {
    Bytes body;
    body.u2(static_cast<unsigned>(number)).u2(0);     // number, flags
    body.f4(pivot.x).f4(pivot.y).f4(pivot.z).s0("");  // pivot, empty name
    return chunk("LAYR", body);
}

inline Bytes pointsChunk(const std::vector<Point>& points) {
    Bytes body;
    body.data.reserve(points.size() * 12);
    for (const Point& p : points)
        body.f4(p.x).f4(p.y).f4(p.z);
    return chunk("PNTS", body);
}

inline Bytes boundsChunk(const std::vector<Point>& points) {
    Point lo{0, 0, 0}, hi{0, 0, 0};
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Point& p = points[i];
        if (i == 0 || p.x < lo.x)
            lo.x = p.x;
        if (i == 0 || p.y < lo.y)
            lo.y = p.y;
        if (i == 0 || p.z < lo.z)
            lo.z = p.z;
        if (i == 0 || p.x > hi.x)
            hi.x = p.x;
        if (i == 0 || p.y > hi.y)
            hi.y = p.y;
        if (i == 0 || p.z > hi.z)
            hi.z = p.z;
    }
    Bytes body;
    body.f4(lo.x).f4(lo.y).f4(lo.z).f4(hi.x).f4(hi.y).f4(hi.z);
    return chunk("BBOX", body);
}

// The corner count word keeps the count in its low 10 bits; the flag bits stay 0.
inline Bytes polygonsChunk(const std::vector<Polygon>& polygons) {
    Bytes body;
    body.id("FACE");
    for (const Polygon& poly : polygons) {
        body.u2(static_cast<unsigned>(poly.corners.size()) & 0x3FF);
        for (std::uint32_t corner : poly.corners)
            body.vx(corner);
    }
    return chunk("POLS", body);
}

inline Bytes polygonTagsChunk(const std::vector<Polygon>& polygons) {
    Bytes body;
    body.id("SURF");
    for (std::size_t i = 0; i < polygons.size(); ++i)
        body.vx(static_cast<std::uint32_t>(i)).u2(polygons[i].tag);
    return chunk("PTAG", body);
}

inline Bytes surfaceChunk(const Surface& surface) {
    Bytes colour;
    colour.f4(surface.red).f4(surface.green).f4(surface.blue).u2(0);
    Bytes diffuse;
    diffuse.f4(surface.diffuse).u2(0);
    Bytes body;
    body.s0(surface.name).s0("");
    body.append(subchunk("COLR", colour)).append(subchunk("DIFF", diffuse));
    if (surface.luminosity >= 0) {
        Bytes luminosity;
        luminosity.f4(surface.luminosity).u2(0);
        body.append(subchunk("LUMI", luminosity));
    }
    return chunk("SURF", body);
}

inline std::vector<unsigned char> write(const Model& model) {
    std::vector<Bytes> chunks{tagsChunk(model.tags)};
    for (std::size_t i = 0; i < model.layers.size(); ++i) {
        const Layer& layer = model.layers[i];
        chunks.push_back(layerChunk(i, layer.pivot));
        chunks.push_back(pointsChunk(layer.points));
        chunks.push_back(boundsChunk(layer.points));
        if (layer.vmap.size() > 0)
            chunks.push_back(layer.vmap);
        chunks.push_back(polygonsChunk(layer.polygons));
        chunks.push_back(polygonTagsChunk(layer.polygons));
    }
    for (const Surface& s : model.surfaces)
        chunks.push_back(surfaceChunk(s));
    for (const Bytes& extra : model.extraChunks)
        chunks.push_back(extra);
    return form(chunks).data;
}

struct UvEntry {
    std::uint32_t point;  // index local to the layer
    float u, v;
};

// A VMAP of UV pairs ("TXUV", dimension 2); readers that draw no texture pass it over.
inline Bytes uvMapChunk(const std::string& name, const std::vector<UvEntry>& entries) {
    Bytes body;
    body.id("TXUV").u2(2).s0(name);
    for (const UvEntry& e : entries)
        body.vx(e.point).f4(e.u).f4(e.v);
    return chunk("VMAP", body);
}

inline bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                         &std::fclose);
    if (!file)
        return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return false;
    return std::fflush(file.get()) == 0;
}

}  // namespace bm::lwo
