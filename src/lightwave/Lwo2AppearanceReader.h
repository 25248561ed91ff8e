// Lwo2AppearanceReader.h - the LWO2 chunks that say how a model looks: surfaces' colours and
// image layers, vertex maps and image clips, read into the loader's records.
#pragma once

#include "Lwo2Reader.h"
#include "Lwo2Report.h"

#include <cstddef>
#include <cstdint>

namespace bm {

// One chunk, and the first point and polygon its indices count from.
struct ChunkPlace {
    std::size_t start;        // offset of the chunk's id
    std::uint32_t length;     // of its data
    std::size_t pointBase;    // first point of the most recent PNTS
    std::size_t polygonBase;  // first polygon of the most recent POLS
};

// A VMAP, or with perPolygon a VMAD: values of the map types the engine draws (TXUV, RGB, RGBA,
// NORM), merged with the earlier chunks of the same type and name.
void readVertexMap(const unsigned char* data, const ChunkPlace& chunk, bool perPolygon,
                   Lwo2Data& lwo, ReportWriter& out);

void readClip(const unsigned char* data, const ChunkPlace& chunk, Lwo2Data& lwo, ReportWriter& out);

// A SURF chunk's colour, diffuse level, luminosity, transparency, smoothing, vertex colour map
// and colour image layers. A later surface of the same name replaces an earlier one.
void readSurfaceLooks(const unsigned char* data, const ChunkPlace& chunk, Lwo2Data& lwo,
                      ReportWriter& out);

}  // namespace bm
