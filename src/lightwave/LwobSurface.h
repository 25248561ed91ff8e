// LwobSurface.h - one LWOB SURF chunk: its name, colour, levels, smoothing and colour images.
#pragma once

#include "Lwo2Reader.h"
#include "Lwo2Report.h"

#include <cstddef>
#include <optional>

namespace bm {

struct LwobSurface {
    SurfaceData looks;
    bool hasColour = false;  // the chunk had a COLR, so the surface's tag takes its colour
};

// Reads the SURF chunk at offset start of data, whose body ends at limit (never beyond the
// data). Problems go to out; nothing when the chunk ends inside the surface's name. Without
// withLooks, fields that only the looks use are not reported.
std::optional<LwobSurface> readLwobSurface(const unsigned char* data, std::size_t start,
                                           std::size_t limit, ReportWriter& out, bool withLooks);

}  // namespace bm
