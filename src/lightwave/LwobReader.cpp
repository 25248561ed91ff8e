// LwobReader.cpp - walks a LightWave 5 (LWOB) file's chunks in memory, fills the loader's lists
// as the LWO2 reader does and reports in its words.
#include "LwobReader.h"

#include "BrackmoorConversion.h"
#include "Lwo2Report.h"
#include "LwoReportLines.h"
#include "LwobSurface.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr std::size_t formHeader = 12;  // FORM, size, LWOB
constexpr std::size_t chunkHeader = 8;  // id and U4 length
constexpr std::size_t pointBytes = 12;  // X, Y, Z as F4
constexpr std::size_t wordBytes = 2;    // corner counts, point indices, surface numbers

bool matchId(const unsigned char* at, const char* id) {
    return std::memcmp(at, id, 4) == 0;
}

std::uint32_t readU2(const unsigned char* at) {
    return (std::uint32_t(at[0]) << 8) | at[1];
}

std::int32_t readI2(const unsigned char* at) {
    return static_cast<std::int16_t>(readU2(at));
}

std::size_t padded(std::size_t length) {
    return length + (length & 1);
}

class LwobScanner {
public:
    LwobScanner(const unsigned char* bytes, std::size_t count, std::ostream& report,
                const std::string& name, bm::Lwo2Options options)
        : data(bytes), size(count), out(report, options.quiet), fileName(name), opts(options) {}

    bm::Lwo2Data run() {
        if (readHeader())
            bm::walkChunks(
                out, data, formHeader, end,
                [this](std::size_t start, std::uint32_t length) { handleChunk(start, length); });
        bm::reportEnd(out);
        out.flush();
        return std::move(lwo);
    }

private:
    bool readHeader();
    void handleChunk(std::size_t start, std::uint32_t length);
    void readSurfaceNames(std::size_t start, std::uint32_t length);
    void readPoints(std::size_t start, std::uint32_t length);
    void readPolygons(std::size_t start, std::uint32_t length);
    bool readPolygon(std::size_t& at, std::size_t limit);
    void setSurface(FaceData& face, std::int32_t number, std::size_t polygonAt);
    bool readDetailCount(std::size_t& at, std::size_t limit);
    void readSurface(std::size_t start, std::uint32_t length);
    bm::ReportWriter& chunkProblem(std::size_t start) { return bm::chunkProblem(out, data, start); }

    const unsigned char* data;
    std::size_t size;
    std::size_t end = 0;  // the FORM's end, never beyond size
    bm::ReportWriter out;
    const std::string& fileName;
    bm::Lwo2Options opts;
    bm::Lwo2Data lwo;
    std::size_t pointBase = 0;   // first point of the most recent PNTS chunk
    std::size_t tagBase = 0;     // first tag of the most recent SRFS chunk
    std::size_t detailsDue = 0;  // detail polygons announced but not yet read
};

bool LwobScanner::readHeader() {
    if (!bm::isLwob(data, size)) {
        out.problem().text(fileName).text(" is not an LWOB object").endLine();
        return false;
    }
    out.text("Lightwave 5 (LWOB) object identified, located header for file.").endLine();
    end = bm::reportFormSize(out, data, size, "LWOB");
    return true;
}

// CRVS, PCHS and whatever else the file holds are passed over by their lengths.
void LwobScanner::handleChunk(std::size_t start, std::uint32_t length) {
    const unsigned char* id = data + start;
    if (matchId(id, "SRFS"))
        readSurfaceNames(start, length);
    else if (matchId(id, "PNTS"))
        readPoints(start, length);
    else if (matchId(id, "POLS"))
        readPolygons(start, length);
    else if (matchId(id, "SURF"))
        readSurface(start, length);
}

void LwobScanner::readSurfaceNames(std::size_t start, std::uint32_t length) {
    tagBase = lwo.Tags.size();
    const std::size_t limit = start + chunkHeader + length;
    for (std::size_t at = start + chunkHeader; at < limit;) {
        const void* zero = std::memchr(data + at, 0, limit - at);
        const std::size_t nameLength =
            zero ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - (data + at))
                 : limit - at;
        const std::string_view name(reinterpret_cast<const char*>(data + at), nameLength);
        lwo.Tags.push_back(TagData{std::string(name), 0.0f, 0.0f, 0.0f, 0});
        at = std::min(limit, at + padded(nameLength + 1));
    }
}

void LwobScanner::readPoints(std::size_t start, std::uint32_t length) {
    bm::reportPointsStart(out, length);
    pointBase = lwo.Vertices.size();
    lwo.Vertices.reserve(pointBase + length / pointBytes);
    const unsigned char* at = data + start + chunkHeader;
    for (std::size_t k = 0; k < length / pointBytes; ++k, at += pointBytes) {
        const VertexData point{convertBytesToFloat(at), convertBytesToFloat(at + 4),
                               convertBytesToFloat(at + 8), 0.0f, 0.0f};
        lwo.Vertices.push_back(point);
        bm::reportPoint(out, point.X, point.Y, point.Z);
    }
    if (length % pointBytes != 0) {
        chunkProblem(start).text(" has ").number(length % pointBytes);
        out.text(" bytes after its last whole point; they are passed over").endLine();
    }
    bm::reportPointCount(out, lwo.Vertices.size());
}

void LwobScanner::readPolygons(std::size_t start, std::uint32_t length) {
    bm::reportPolygonsStart(out, length);
    const std::size_t limit = start + chunkHeader + length;
    std::size_t at = start + chunkHeader;
    detailsDue = 0;
    bool whole = true;
    while (at < limit && whole)
        whole = readPolygon(at, limit);
    if (whole && detailsDue > 0) {
        chunkProblem(start).text(" counts ").number(static_cast<std::int64_t>(detailsDue));
        out.text(" more detail polygons than it holds").endLine();
    }
    bm::reportTriangleCount(out, lwo.LWOTriangleCount);
}

// One record: U2 corner count, U2 point per corner, I2 surface number. A negative surface
// number -k means surface k with detail polygons after it: an I2 count, then that many records
// of the same form, read here as polygons of their own.
bool LwobScanner::readPolygon(std::size_t& at, std::size_t limit) {
    const std::size_t corners = limit - at >= wordBytes ? readU2(data + at) : 0;
    if (limit - at < wordBytes * (corners + 2)) {
        out.problem().text("the polygon at offset ").number(static_cast<std::int64_t>(at));
        out.text(" runs past the end of its POLS chunk; the rest of the chunk is passed over");
        out.endLine();
        return false;
    }
    FaceData face{};
    face.VertexCount = static_cast<std::int32_t>(corners);
    face.FirstCorner = static_cast<std::uint32_t>(lwo.Corners.size());
    bool inRange = true;
    for (std::size_t corner = 0; corner < corners; ++corner) {
        const std::uint32_t index = readU2(data + at + wordBytes * (corner + 1));
        const std::size_t point = pointBase + index;
        inRange = inRange && point < lwo.Vertices.size();
        if (corner < 4)
            face.Vertex[corner] = static_cast<std::int32_t>(point);
        lwo.Corners.push_back(static_cast<std::int32_t>(point));
    }
    bm::reportPolygon(out, lwo.Corners.data() + face.FirstCorner, face.VertexCount, pointBase);
    if (!inRange) {
        bm::reportPointBeyondList(out, at, lwo.Vertices.size());
        face.VertexCount = 0;
    }
    const std::size_t surfaceAt = at + wordBytes * (corners + 1);
    const std::int32_t surface = readI2(data + surfaceAt);
    setSurface(face, surface < 0 ? -surface : surface, at);
    lwo.Faces.push_back(face);
    ++lwo.LWOTriangleCount;
    detailsDue -= detailsDue > 0 ? 1 : 0;
    at = surfaceAt + wordBytes;
    return surface >= 0 || readDetailCount(at, limit);
}

// Surface numbers count from 1 in the most recent SRFS list.
void LwobScanner::setSurface(FaceData& face, std::int32_t number, std::size_t polygonAt) {
    const std::size_t names = lwo.Tags.size() - tagBase;
    if (number >= 1 && static_cast<std::size_t>(number) <= names) {
        face.SurfaceID = static_cast<std::int32_t>(tagBase) + number - 1;
        face.SurfaceTag = face.SurfaceID;
        return;
    }
    face.SurfaceID = -1;
    face.SurfaceTag = -1;
    out.problem().text("the polygon at offset ").number(static_cast<std::int64_t>(polygonAt));
    out.text(" names surface ").number(number).text(", not among the ");
    out.number(static_cast<std::int64_t>(names)).text(" surface names read; it keeps no surface");
    out.endLine();
}

bool LwobScanner::readDetailCount(std::size_t& at, std::size_t limit) {
    if (limit - at < wordBytes) {
        out.problem().text("the detail polygon count at offset ");
        out.number(static_cast<std::int64_t>(at)).text(" runs past the end of its POLS chunk");
        out.endLine();
        return false;
    }
    detailsDue += static_cast<std::size_t>(std::max(0, readI2(data + at)));
    at += wordBytes;
    return true;
}

void LwobScanner::readSurface(std::size_t start, std::uint32_t length) {
    const std::size_t limit = start + chunkHeader + length;
    std::optional<bm::LwobSurface> surface =
        bm::readLwobSurface(data, start, limit, out, opts.appearance);
    if (!surface)
        return;
    const bm::SurfaceData& looks = surface->looks;
    // The surface's tag takes its colour, as an LWO2 surface's COLR sets it.
    const auto tag = std::find_if(lwo.Tags.begin(), lwo.Tags.end(),
                                  [&](const TagData& t) { return t.name == looks.name; });
    if (surface->hasColour && tag != lwo.Tags.end()) {
        tag->Red = looks.colour[0];
        tag->Green = looks.colour[1];
        tag->Blue = looks.colour[2];
    }
    if (opts.appearance)
        lwo.Surfaces.push_back(std::move(surface->looks));
}

}  // namespace

namespace bm {

bool isLwob(const unsigned char* data, std::size_t size) {
    return size >= formHeader && matchId(data, "FORM") && matchId(data + 8, "LWOB");
}

Lwo2Data readLwob(const unsigned char* data, std::size_t size, std::ostream& report,
                  const std::string& fileName, Lwo2Options options) {
    return LwobScanner(data, size, report, fileName, options).run();
}

}  // namespace bm
