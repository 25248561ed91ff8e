// LwoReportLines.h - the report lines the LWO2 and LWOB readers print alike: points, polygons,
// chunk ids and the report's last line.
#pragma once

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
