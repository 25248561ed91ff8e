// Lwo2Projection.h - texture coordinates that a projected image layer (planar, cylindrical,
// spherical, cubic) gives the corners of a polygon.
#pragma once

#include "Lwo2Reader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bm {

constexpr int planarProjection = 0, cylindricalProjection = 1, sphericalProjection = 2,
              cubicProjection = 3, frontProjection = 4, uvProjection = 5;

// Whether the engine lays the layer on: planar, cylindrical, spherical and cubic.
inline bool isProjected(const ImageBlock& block) {
    return block.projection >= planarProjection && block.projection <= cubicProjection;
}

// Writes (u, v) for each corner of the polygon, v running up the image. Cylinders and spheres
// wrap: the polygon's u values are kept continuous across the seam (u may pass 1), and a corner
// on the axis takes the average u of the others.
void projectPolygon(const ImageBlock& block, const std::vector<VertexData>& points,
                    const std::int32_t* corners, std::size_t count, float* uv);

}  // namespace bm
