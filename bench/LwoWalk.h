// LwoWalk.h - the floor under any loader: every point and every polygon corner of a file decoded,
// nothing kept and nothing printed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bm::bench {

struct WalkResult {
    float low[3] = {0, 0, 0}, high[3] = {0, 0, 0};  // the points' box
    std::uint64_t indexSum = 0;                     // of every corner's point index
    std::size_t points = 0, polygons = 0, corners = 0;
};

// Walks the FORM's chunks, decoding the PNTS and POLS ones. Stops at a chunk that runs past size.
WalkResult walkPointsAndPolygons(const unsigned char* data, std::size_t size);

}  // namespace bm::bench
