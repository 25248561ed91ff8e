// lwo_fuzzer.cpp - libFuzzer entry: the model reader (LWO2, and LWOB through it) on arbitrary
// bytes, with and without surfaces' looks, and the looks of every corner; reports discarded.
#include "Lwo2Appearance.h"
#include "Lwo2Geometry.h"
#include "Lwo2Reader.h"

#include <cstddef>
#include <cstdint>
#include <ostream>

namespace {

// Every polygon kept must lie within the corner list and name points that were read.
void checkPolygons(const bm::Lwo2Data& lwo) {
    for (const FaceData& face : lwo.Faces) {
        if (face.FirstCorner + static_cast<std::size_t>(face.VertexCount) > lwo.Corners.size())
            __builtin_trap();
        for (std::int32_t k = 0; k < face.VertexCount; ++k) {
            const std::int32_t point = lwo.Corners[face.FirstCorner + static_cast<std::size_t>(k)];
            if (point < 0 || static_cast<std::size_t>(point) >= lwo.Vertices.size())
                __builtin_trap();
        }
    }
}

// Every drawn corner's colour, texture coordinates and normal, every image taken as loaded.
void computeCorners(const bm::Lwo2Data& lwo, std::ostream& discard) {
    bm::ReportWriter out(discard);
    bm::ModelLooks looks = bm::findLooks(lwo, out);
    for (bm::SurfaceLook& look : looks.looks)
        look.textured = look.image != nullptr;
    bm::CornerValues values(lwo, looks, true);
    for (std::size_t p = 0; p < lwo.Faces.size(); ++p)
        if (bm::drawable(lwo.Faces[p], lwo))
            values.compute(p);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ostream discard(nullptr);
    checkPolygons(bm::readLwo2(data, size, discard, "fuzz.lwo"));
    bm::Lwo2Options looks;
    looks.appearance = true;
    const bm::Lwo2Data lwo = bm::readLwo2(data, size, discard, "fuzz.lwo", looks);
    checkPolygons(lwo);
    computeCorners(lwo, discard);
    return 0;
}
