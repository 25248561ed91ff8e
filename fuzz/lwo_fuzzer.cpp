// lwo_fuzzer.cpp - libFuzzer entry: the model reader (LWO2, and LWOB through it) on arbitrary
// bytes, with and without surfaces' looks, its report discarded.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ostream discard(nullptr);
    checkPolygons(bm::readLwo2(data, size, discard, "fuzz.lwo"));
    bm::Lwo2Options looks;
    looks.appearance = true;
    checkPolygons(bm::readLwo2(data, size, discard, "fuzz.lwo", looks));
    return 0;
}
