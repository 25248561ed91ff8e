// Lwo2Reader.cpp - walks an LWO2 file's chunks in memory, fills the loader's lists and reports.
#include "Lwo2Reader.h"

#include "BrackmoorConversion.h"
#include "Lwo2AppearanceReader.h"
#include "Lwo2Report.h"
#include "LwoReportLines.h"
#include "LwobReader.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace {

constexpr std::size_t tagListStart = 20;     // FORM, size, LWO2, the first chunk's id and length
constexpr std::size_t longestTagName = 254;  // names are assembled in 255 characters
constexpr std::size_t chunkHeader = 8;       // id and U4 length
constexpr std::size_t subchunkHeader = 6;    // id and U2 length
constexpr std::size_t pointBytes = 12;       // X, Y, Z as F4
constexpr std::size_t layerMinimum = 18;     // number, flags, pivot, the shortest name
constexpr std::uint32_t cornerCountBits = 0x3FF;  // the upper 6 bits of the count are flags

bool matchId(const unsigned char* at, const char* id) {
    return std::memcmp(at, id, 4) == 0;
}

std::uint32_t readU4(const unsigned char* at) {
    return static_cast<std::uint32_t>(convertBytesToLong(at));
}

std::uint32_t readU2(const unsigned char* at) {
    const unsigned char scratch[4] = {0, 0, at[0], at[1]};
    return static_cast<std::uint32_t>(convertBytesToLong(scratch));
}

// A polygon's corner index: two bytes, or four when the first is 0xFF, the index then being the
// low 24 bits. False, with nothing read, when the bytes up to limit are too few.
inline bool readIndex(const unsigned char*& at, const unsigned char* limit, std::uint32_t& index) {
    if (limit - at < 2)
        return false;
    if (at[0] != 0xFF) {
        index = (std::uint32_t(at[0]) << 8) | at[1];
        at += 2;
        return true;
    }
    if (limit - at < 4)
        return false;
    index = (std::uint32_t(at[1]) << 16) | (std::uint32_t(at[2]) << 8) | at[3];
    at += 4;
    return true;
}

std::size_t padded(std::size_t length) {
    return length + (length & 1);
}

using bm::printableId;

class Scanner {
public:
    Scanner(const unsigned char* bytes, std::size_t count, std::ostream& report,
            const std::string& name, bm::Lwo2Options options)
        : data(bytes), size(count), out(report, options.quiet), fileName(name), opts(options) {}

    bm::Lwo2Data run() {
        std::size_t scanStart = 0;
        if (readHeader() && readTags(scanStart)) {
            reserveLists(scanStart);
            bm::walkChunks(
                out, data, scanStart, end,
                [this](std::size_t start, std::uint32_t length) { handleChunk(start, length); });
        }
        bm::reportEnd(out);
        out.flush();
        return std::move(lwo);
    }

private:
    bool readHeader();
    bool readTags(std::size_t& scanStart);
    void addTag(std::size_t first, std::size_t last);
    void reserveLists(std::size_t from);
    void handleChunk(std::size_t start, std::uint32_t length);
    void readLayer(std::size_t start, std::uint32_t length);
    void readPoints(std::size_t start, std::uint32_t length);
    void readBox(std::size_t start, std::uint32_t length);
    void printTriples(std::size_t start, std::uint32_t length);
    void readPolygons(std::size_t start, std::uint32_t length);
    bool readPolygon(std::size_t& at, std::size_t limit);
    void readPolygonTags(std::size_t start, std::uint32_t length);
    bool readPolygonTag(std::size_t& at, std::size_t limit, bool surfaces);
    void readSurface(std::size_t start, std::uint32_t length);
    void readLooks(std::size_t start, std::uint32_t length);
    bool readName(std::size_t& at, std::size_t limit, std::string_view& name);
    TagData* tagNamed(std::string_view name);
    bool readAttribute(std::size_t& at, std::size_t limit, TagData* tag);
    void readColour(std::size_t at, std::uint32_t length, TagData* tag);
    bool readIndex(std::size_t& at, std::size_t limit, std::uint32_t& index) const;
    bool tooShort(std::size_t start, std::uint32_t length, std::size_t needed);
    bm::ReportWriter& problem() { return out.problem(); }
    bm::ReportWriter& chunkProblem(std::size_t start) { return bm::chunkProblem(out, data, start); }

    const unsigned char* data;
    std::size_t size;
    std::size_t end = 0;  // the FORM's end, never beyond size
    bm::ReportWriter out;
    const std::string& fileName;
    bm::Lwo2Options opts;
    bm::Lwo2Data lwo;
    std::size_t pointBase = 0;    // first point of the most recent PNTS chunk
    std::size_t polygonBase = 0;  // first polygon of the most recent POLS chunk
};

bool Scanner::readHeader() {
    if (size < 12 || !matchId(data, "FORM") || !matchId(data + 8, "LWO2")) {
        problem().text(fileName).text(" is not an LWO2 object").endLine();
        return false;
    }
    out.text("Lightwave object identified, located header for file.").endLine();
    end = bm::reportFormSize(out, data, size, "LWO2");
    return true;
}

bool Scanner::readTags(std::size_t& scanStart) {
    out.text("Reading Tags array...").endLine();
    if (end < tagListStart) {
        problem().text("the tag list header at offset 12 runs past the end of the data at offset ");
        out.number(static_cast<std::int64_t>(end)).endLine();
        return false;
    }
    const std::uint32_t length = readU4(data + 16);
    out.text("      tags length ").number(length).endLine();
    std::size_t listEnd = tagListStart + length;
    if (listEnd > end) {
        problem().text("the tag list at offset 12 has length ").number(length);
        out.text(", past the end of the data at offset ").number(static_cast<std::int64_t>(end));
        out.endLine();
        listEnd = end;
    }
    std::size_t nameStart = tagListStart;
    for (std::size_t at = tagListStart; at < listEnd; ++at) {
        if (data[at] != 0)
            continue;
        if (at > nameStart)
            addTag(nameStart, at);
        nameStart = at + 1;
    }
    out.text("      tag count ").number(static_cast<std::int64_t>(lwo.Tags.size())).endLine();
    out.text("Reading Lightwave Object Data...").endLine();
    scanStart = tagListStart + padded(length);
    return true;
}

void Scanner::addTag(std::size_t first, std::size_t last) {
    if (last - first > longestTagName) {
        problem().text("the tag name at offset ").number(static_cast<std::int64_t>(first));
        out.text(" is longer than 254 characters; tag passed over").endLine();
        return;
    }
    const std::string_view name(reinterpret_cast<const char*>(data + first), last - first);
    lwo.Tags.push_back(TagData{std::string(name), 0.0f, 0.0f, 0.0f, 0});
    out.text("      Tag name:").text(name).endLine();
}

// Polygons and corners in a POLS chunk's body, counted without decoding the indices.
void countPolygons(const unsigned char* body, std::size_t length, std::size_t& polygons,
                   std::size_t& corners) {
    std::size_t at = 4;  // past the polygon type
    while (at + 2 <= length) {
        std::size_t count = ((std::size_t(body[at]) << 8) | body[at + 1]) & cornerCountBits;
        at += 2;
        corners += count;
        ++polygons;
        for (; count > 0 && at + 2 <= length; --count)
            at += body[at] == 0xFF ? 4 : 2;
    }
}

// Sizes the lists for every layer's points and polygons at once, exactly, so that they are not
// regrown and copied layer by layer, and so that the memory of one load can serve the next.
void Scanner::reserveLists(std::size_t from) {
    std::size_t points = 0, polygons = 0, corners = 0;
    for (std::size_t at = from; at < end && end - at >= chunkHeader;) {
        const std::uint32_t length = readU4(data + at + 4);
        if (length > end - at - chunkHeader)
            break;
        const unsigned char* body = data + at + chunkHeader;
        if (matchId(data + at, "PNTS"))
            points += length / pointBytes;
        if (matchId(data + at, "POLS") && length >= 4)
            countPolygons(body, length, polygons, corners);
        at += chunkHeader + padded(length);
    }
    lwo.Vertices.reserve(points);
    lwo.Corners.reserve(corners);
    lwo.Faces.reserve(polygons);
}

void Scanner::handleChunk(std::size_t start, std::uint32_t length) {
    const unsigned char* id = data + start;
    if (matchId(id, "LAYR"))
        readLayer(start, length);
    else if (matchId(id, "PNTS"))
        readPoints(start, length);
    else if (matchId(id, "BBOX"))
        readBox(start, length);
    else if (matchId(id, "POLS"))
        readPolygons(start, length);
    else if (matchId(id, "PTAG"))
        readPolygonTags(start, length);
    else if (matchId(id, "SURF"))
        readSurface(start, length);
    else if (opts.appearance)
        readLooks(start, length);
}

// Vertex maps and clips, read only when asked for; they add nothing to the report but problems.
void Scanner::readLooks(std::size_t start, std::uint32_t length) {
    const unsigned char* id = data + start;
    const bm::ChunkPlace place{start, length, pointBase, polygonBase};
    if (matchId(id, "VMAP") || matchId(id, "VMAD"))
        bm::readVertexMap(data, place, matchId(id, "VMAD"), lwo, out);
    else if (matchId(id, "CLIP"))
        bm::readClip(data, place, lwo, out);
}

bool Scanner::tooShort(std::size_t start, std::uint32_t length, std::size_t needed) {
    if (length >= needed)
        return false;
    chunkProblem(start).text(" is too short (").number(length).text(" bytes); chunk passed over");
    out.endLine();
    return true;
}

void Scanner::readLayer(std::size_t start, std::uint32_t length) {
    out.text("New layer located").endLine();
    out.text("      Layer data length:").number(length).endLine();
    if (tooShort(start, length, layerMinimum))
        return;
    const unsigned char* body = data + start + chunkHeader;
    lwo.Layers.push_back(
        bm::LayerData{static_cast<std::int32_t>(readU2(body)),
                      {convertBytesToFloat(body + 4), convertBytesToFloat(body + 8),
                       convertBytesToFloat(body + 12)},
                      lwo.Vertices.size(),
                      lwo.Faces.size()});
    out.text("      Index:").number(readU2(body)).endLine();
    out.text("      Flags:").number(readU2(body + 2)).endLine();
    // The name's first two bytes, read as one number: 0 when the name is empty.
    const std::uint32_t nameStart = readU2(body + 16);
    out.text("      identifier Length:").number(nameStart).endLine();
    out.text(nameStart == 0 ? "          No identifier set" : "          to be implemented");
    out.endLine();
}

void Scanner::readPoints(std::size_t start, std::uint32_t length) {
    bm::reportPointsStart(out, length);
    pointBase = lwo.Vertices.size();
    const unsigned char* at = data + start + chunkHeader;
    const unsigned char* last = at + (length / pointBytes) * pointBytes;
    for (; at < last; at += pointBytes)
        lwo.Vertices.push_back(VertexData{convertBytesToFloat(at), convertBytesToFloat(at + 4),
                                          convertBytesToFloat(at + 8), 0.0f, 0.0f});
    printTriples(start, length);
    bm::reportPointCount(out, lwo.Vertices.size());
}

void Scanner::readBox(std::size_t start, std::uint32_t length) {
    out.text("BOUNDING BOX DATA LOCATED").endLine();
    out.text("      Bounding box data length:").number(length).endLine();
    printTriples(start, length);
}

void Scanner::printTriples(std::size_t start, std::uint32_t length) {
    // A quiet report has no point lines, so they are not formatted at all.
    const unsigned char* at = data + start + chunkHeader;
    const unsigned char* last = out.isQuiet() ? at : at + (length / pointBytes) * pointBytes;
    for (; at < last; at += pointBytes)
        bm::reportPoint(out, convertBytesToFloat(at), convertBytesToFloat(at + 4),
                        convertBytesToFloat(at + 8));
    if (length % pointBytes != 0) {
        chunkProblem(start).text(" has ").number(length % pointBytes);
        out.text(" bytes after its last whole point; they are passed over").endLine();
    }
}

bool Scanner::readIndex(std::size_t& at, std::size_t limit, std::uint32_t& index) const {
    const unsigned char* next = data + at;
    if (!::readIndex(next, data + limit, index))
        return false;
    at = static_cast<std::size_t>(next - data);
    return true;
}

void Scanner::readPolygons(std::size_t start, std::uint32_t length) {
    bm::reportPolygonsStart(out, length);
    polygonBase = lwo.Faces.size();
    if (tooShort(start, length, 4))
        return;
    const std::size_t body = start + chunkHeader;
    if (matchId(data + body, "FACE"))
        out.text("      Face data identified").endLine();
    const std::size_t limit = body + length;
    std::size_t at = body + 4;
    while (at < limit) {
        if (readPolygon(at, limit))
            continue;
        problem().text("the polygon at offset ").number(static_cast<std::int64_t>(at));
        out.text(" runs past the end of its POLS chunk; the rest of the chunk is passed over");
        out.endLine();
        break;
    }
    bm::reportTriangleCount(out, lwo.LWOTriangleCount);
}

bool Scanner::readPolygon(std::size_t& at, std::size_t limit) {
    if (limit - at < 2)
        return false;
    FaceData face{};
    face.VertexCount = static_cast<std::int32_t>(readU2(data + at) & cornerCountBits);
    face.SurfaceID = -1;
    face.SurfaceTag = -1;
    face.FirstCorner = static_cast<std::uint32_t>(lwo.Corners.size());
    const unsigned char* next = data + at + 2;
    std::uint32_t highest = 0;  // the largest index the corners give
    for (std::int32_t corner = 0; corner < face.VertexCount; ++corner) {
        std::uint32_t index = 0;
        if (!::readIndex(next, data + limit, index)) {
            lwo.Corners.resize(face.FirstCorner);
            return false;
        }
        highest = std::max(highest, index);
        const auto point = static_cast<std::int32_t>(pointBase + index);
        if (corner < 4)
            face.Vertex[corner] = point;
        lwo.Corners.push_back(point);
    }
    // A quiet report has no polygon lines, so they are not formatted at all.
    if (!out.isQuiet())
        bm::reportPolygon(out, lwo.Corners.data() + face.FirstCorner, face.VertexCount, pointBase);
    if (face.VertexCount > 0 && pointBase + highest >= lwo.Vertices.size()) {
        bm::reportPointBeyondList(out, at, lwo.Vertices.size());
        face.VertexCount = 0;
    }
    at = static_cast<std::size_t>(next - data);
    lwo.Faces.push_back(face);
    ++lwo.LWOTriangleCount;
    return true;
}

void Scanner::readPolygonTags(std::size_t start, std::uint32_t length) {
    out.text("POLYGON SURFACE INDEX DATA LOCATED").endLine();
    out.text("      Polygon surface index data length:").number(length).endLine();
    if (tooShort(start, length, 4))
        return;
    const std::size_t body = start + chunkHeader;
    // The type only chooses the line: every PTAG chunk sets SurfaceID, a later one over an
    // earlier one.
    const bool surfaces = matchId(data + body, "SURF");
    if (surfaces)
        out.text("      Surface information located").endLine();
    const std::size_t limit = body + length;
    std::size_t at = body + 4;
    while (at < limit) {
        if (readPolygonTag(at, limit, surfaces))
            continue;
        problem().text("the PTAG entry at offset ").number(static_cast<std::int64_t>(at));
        out.text(" runs past the end of its chunk; passed over").endLine();
        break;
    }
}

bool Scanner::readPolygonTag(std::size_t& at, std::size_t limit, bool surfaces) {
    std::size_t next = at;
    std::uint32_t index = 0;
    if (!readIndex(next, limit, index) || limit - next < 2)
        return false;
    const std::uint32_t tag = readU2(data + next);
    const std::size_t polygon = polygonBase + index;
    if (polygon >= lwo.Faces.size()) {
        problem().text("the PTAG entry at offset ").number(static_cast<std::int64_t>(at));
        out.text(" names polygon ").number(static_cast<std::int64_t>(polygon));
        out.text(", beyond the ").number(static_cast<std::int64_t>(lwo.Faces.size()));
        out.text(" polygons read; entry passed over").endLine();
    } else {
        lwo.Faces[polygon].SurfaceID = static_cast<std::int32_t>(tag);
        if (surfaces)
            lwo.Faces[polygon].SurfaceTag = static_cast<std::int32_t>(tag);
        // A quiet report has no tag lines, so they are not formatted at all.
        if (!out.isQuiet())
            out.line(64)
                .text("      Vertex ID:")
                .number(index)
                .text("  Surface ID:")
                .number(tag)
                .endLine();
    }
    at = next + 2;
    return true;
}

void Scanner::readSurface(std::size_t start, std::uint32_t length) {
    out.text("SURFACE DATA LOCATED").endLine();
    out.text("      Surface data length:").number(length).endLine();
    const std::size_t limit = start + chunkHeader + length;
    std::size_t at = start + chunkHeader;
    std::string_view name, source;
    if (!readName(at, limit, name) || !readName(at, limit, source)) {
        chunkProblem(start).text(" ends inside its surface names; chunk passed over").endLine();
    } else {
        TagData* tag = tagNamed(name);
        while (at < limit && readAttribute(at, limit, tag)) {
        }
    }
    out.endLine();
    if (opts.appearance)
        bm::readSurfaceLooks(data, bm::ChunkPlace{start, length, pointBase, polygonBase}, lwo, out);
}

bool Scanner::readName(std::size_t& at, std::size_t limit, std::string_view& name) {
    const void* zero = std::memchr(data + at, 0, limit - at);
    if (zero == nullptr)
        return false;
    const std::size_t length =
        static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - (data + at));
    name = std::string_view(reinterpret_cast<const char*>(data + at), length);
    at = std::min(limit, at + padded(length + 1));
    return true;
}

TagData* Scanner::tagNamed(std::string_view name) {
    for (TagData& tag : lwo.Tags)
        if (tag.name == name)
            return &tag;
    return nullptr;
}

bool Scanner::readAttribute(std::size_t& at, std::size_t limit, TagData* tag) {
    char id[5];
    if (limit - at < subchunkHeader) {
        problem().text("the surface attribute at offset ").number(static_cast<std::int64_t>(at));
        out.text(" runs past the end of its SURF chunk; passed over").endLine();
        return false;
    }
    const std::uint32_t length = readU2(data + at + 4);
    if (length > limit - at - subchunkHeader) {
        problem().text(printableId(data + at, id)).text(" sub-chunk at offset ");
        out.number(static_cast<std::int64_t>(at)).text(" runs past the end of its SURF chunk;");
        out.text(" the rest of the surface is passed over").endLine();
        return false;
    }
    const unsigned char* body = data + at + subchunkHeader;
    const bool colour = matchId(data + at, "COLR");
    const bool diffuse = matchId(data + at, "DIFF");
    const bool specular = matchId(data + at, "SPEC");
    if ((colour && length < 14) || ((diffuse || specular) && length < 4)) {
        problem().text(printableId(data + at, id)).text(" sub-chunk at offset ");
        out.number(static_cast<std::int64_t>(at)).text(" is too short (").number(length);
        out.text(" bytes); passed over").endLine();
    } else if (colour) {
        readColour(at, length, tag);
    } else if (diffuse) {
        out.text("      Diffusion ").general(convertBytesToFloat(body)).endLine();
    } else if (specular) {
        out.text("      Specularity/Shininess ").general(convertBytesToFloat(body)).endLine();
    }
    at = std::min(limit, at + subchunkHeader + padded(length));
    return true;
}

void Scanner::readColour(std::size_t at, std::uint32_t length, TagData* tag) {
    const unsigned char* body = data + at + subchunkHeader;
    const float red = convertBytesToFloat(body);
    const float green = convertBytesToFloat(body + 4);
    const float blue = convertBytesToFloat(body + 8);
    // The envelope is a two-byte number; the four-byte index form counts only where the
    // sub-chunk has room for it.
    const std::size_t envelopeAt = at + subchunkHeader + 12;
    std::uint32_t envelope = readU2(data + envelopeAt);
    if (length >= 16 && data[envelopeAt] == 0xFF)
        envelope = readU4(data + envelopeAt) & 0x00FFFFFFu;
    out.text("      Surface colour information identified.").endLine();
    out.text("      Red:").fixed(red, 3, 2).text(" Green:").fixed(green, 3, 2);
    out.text(" Blue:").fixed(blue, 3, 2).endLine();
    out.text("      Envelope ").number(envelope).endLine();
    if (tag == nullptr)
        return;
    tag->Red = red;
    tag->Green = green;
    tag->Blue = blue;
    tag->colourEnvelope = static_cast<std::int32_t>(envelope);
}

}  // namespace

namespace bm {

Lwo2Data readLwo2(const unsigned char* data, std::size_t size, std::ostream& report,
                  const std::string& fileName, Lwo2Options options) {
    Lwo2Data lwo = isLwob(data, size) ? readLwob(data, size, report, fileName, options)
                                      : Scanner(data, size, report, fileName, options).run();
    if (lwo.Layers.empty())
        lwo.Layers.push_back(LayerData{});
    return lwo;
}

}  // namespace bm
