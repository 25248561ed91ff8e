// LwoReportLines.h - the report lines the LWO2 and LWOB readers print alike: points, polygons,
// chunk ids and the report's last line.
#pragma once

#include "Lwo2Report.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

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
    out.text("      X:").fixed(x, 8, 2).text("  Y:").fixed(y, 8, 2);
    out.text("  Z:").fixed(z, 8, 2).endLine();
}

inline void reportPointCount(ReportWriter& out, std::size_t points) {
    out.text("      Vertex group count ").number(static_cast<std::int64_t>(points)).endLine();
}

inline void reportPolygonsStart(ReportWriter& out, std::uint32_t length) {
    out.text("POLYGON DATA LOCATED").endLine();
    out.text("      Polygon data length:").number(length).endLine();
}

// fileIndices: the corners' point indices as the file has them.
inline void reportPolygon(ReportWriter& out, std::int32_t cornerCount,
                          const std::vector<std::uint32_t>& fileIndices) {
    out.text("      Face data ").number(cornerCount).endLine();
    if (cornerCount == 3)
        out.text("      Face data triangle").endLine();
    else if (cornerCount == 4)
        out.text("      Face data quad").endLine();
    else
        out.text("      Face data polygon").endLine();
    out.text("      Vertex data");
    for (std::size_t corner = 0; corner < fileIndices.size(); ++corner)
        out.text(" V")
            .number(static_cast<std::int64_t>(corner + 1))
            .text(":")
            .number(fileIndices[corner]);
    out.endLine();
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
