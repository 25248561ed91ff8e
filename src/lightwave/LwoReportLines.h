// LwoReportLines.h - what the LWO2 and LWOB readers share: the FORM's size and the walk over its
// chunks, and the report lines both print alike: points, polygons, chunk ids, the last line.
#pragma once

#include "BrackmoorConversion.h"
#include "Lwo2Report.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace bm {

// Chunk ids in messages: bytes that are not printable letters show as '?'.
inline std::string_view printableId(const unsigned char* at, char (&out)[5]) {
    for (int i = 0; i < 4; ++i)
        out[i] = (at[i] >= 0x20 && at[i] < 0x7F) ? char(at[i]) : '?';
    out[4] = 0;
    return std::string_view(out, 4);
}

// "ID chunk at offset N", the start of a problem line about a chunk.
inline ReportWriter& chunkProblem(ReportWriter& out, const unsigned char* data, std::size_t start) {
    char id[5];
    out.problem().text(printableId(data + start, id)).text(" chunk at offset ");
    return out.number(static_cast<std::int64_t>(start));
}

// Prints the FORM's size, of type "LWO2" or "LWOB", and returns where the scan ends: the FORM's
// end, or the end of the bytes read when it claims more.
inline std::size_t reportFormSize(ReportWriter& out, const unsigned char* data, std::size_t size,
                                  const char* type) {
    const std::uint32_t formSize = bigEndianBits(data + 4);
    out.text("File size ").number(formSize);
    out.text(" Bytes, (minus FORM and ").text(std::string_view(type, 4)).text(" identifiers)");
    out.endLine();
    const std::size_t end = static_cast<std::size_t>(formSize) + 8;
    if (end <= size)
        return end;
    out.problem().text("FORM size ").number(formSize).text(" at offset 4 runs past the ");
    out.number(static_cast<std::int64_t>(size)).text(" bytes read; only those are scanned");
    out.endLine();
    return size;
}

// Hands every whole chunk from `at` to `end` to handle(start, length), flushing the report after
// each. Too few bytes for a chunk, or a chunk running past the end, ends the walk with a line.
template <typename Handle>
void walkChunks(ReportWriter& out, const unsigned char* data, std::size_t at, std::size_t end,
                Handle&& handle) {
    constexpr std::size_t header = 8;  // id and U4 length
    while (at < end) {
        if (end - at < header) {
            out.problem().number(static_cast<std::int64_t>(end - at)).text(" bytes at offset ");
            out.number(static_cast<std::int64_t>(at)).text(" are too few for a chunk; scan ended");
            out.endLine();
            return;
        }
        const std::uint32_t length = bigEndianBits(data + at + 4);
        if (length > end - at - header) {
            chunkProblem(out, data, at).text(" has length ").number(length);
            out.text(", past the end of the data at offset ").number(std::int64_t(end));
            out.text("; scan ended").endLine();
            return;
        }
        handle(at, length);
        out.flush();
        at += header + length + (length & 1);
    }
}

// Inline: they run once per point or polygon of models with millions of them.

inline void reportPointsStart(ReportWriter& out, std::uint32_t length) {
    out.text("VERTEX POINTS DATA LOCATED").endLine();
    out.text("      Points data length:").number(length).endLine();
}

inline void reportPoint(ReportWriter& out, float x, float y, float z) {
    constexpr std::size_t longest = 16 + 3 * ReportWriter::fixedRoom + 1;
    out.line(longest)
        .text("      X:")
        .fixed(x, 8, 2)
        .text("  Y:")
        .fixed(y, 8, 2)
        .text("  Z:")
        .fixed(z, 8, 2)
        .endLine();
}

inline void reportPointCount(ReportWriter& out, std::size_t points) {
    out.text("      Vertex group count ").number(static_cast<std::int64_t>(points)).endLine();
}

inline void reportPolygonsStart(ReportWriter& out, std::uint32_t length) {
    out.text("POLYGON DATA LOCATED").endLine();
    out.text("      Polygon data length:").number(length).endLine();
}

// Three lines, written as one piece: the count, the kind, and the indices as the file has them.
// points holds them counted from the first point read; the file counts from base, the first
// point of its own layer.
inline void reportPolygon(ReportWriter& out, const std::int32_t* points, std::int32_t cornerCount,
                          std::size_t base) {
    const auto count = static_cast<std::uint32_t>(cornerCount);
    auto lines = out.line(96 + count * (4 + 2 * ReportWriter::numberRoom));
    lines.text("      Face data ").number(count);
    if (count == 3)
        lines.text("\n      Face data triangle\n      Vertex data");
    else if (count == 4)
        lines.text("\n      Face data quad\n      Vertex data");
    else
        lines.text("\n      Face data polygon\n      Vertex data");
    const auto first = static_cast<std::int64_t>(base);
    for (std::uint32_t corner = 0; corner < count; ++corner)
        lines.text(" V")
            .number(corner + 1)
            .text(":")
            .number(static_cast<std::uint32_t>(points[corner] - first));
    lines.endLine();
}

inline void reportPointBeyondList(ReportWriter& out, std::size_t polygonAt, std::size_t points) {
    out.problem().text("the polygon at offset ").number(static_cast<std::int64_t>(polygonAt));
    out.text(" names a point beyond the ").number(static_cast<std::int64_t>(points));
    out.text(" points read; polygon passed over").endLine();
}

// The count of polygons read, quads and larger ones included.
inline void reportTriangleCount(ReportWriter& out, std::int32_t polygons) {
    out.text("      Triangle count ").number(polygons).endLine();
}

inline void reportEnd(ReportWriter& out) {
    out.text("END OF LWO LOADER").endLine();
}

}  // namespace bm
