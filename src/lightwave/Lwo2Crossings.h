// Lwo2Crossings.h - whether a polygon's outline crosses itself, found by one sweep over its edges.
#pragma once

#include "Lwo2Geometry.h"

#include <cstddef>

namespace bm {

// Whether two edges of the outline cross: each passes from one side of the other to the other,
// at a point inside both. Edges that touch, run along one another or meet at a corner do not
// cross. The outline is seen along the normal's longest axis, as GLU's tessellator sees it;
// corners whose places are not all finite numbers count as crossing. Takes time in n log n for
// n corners, adding to steps one for each comparison of two edges.
bool outlineCrossesItself(const Vec3* place, std::size_t count, Vec3 normal, std::size_t& steps);

}  // namespace bm
