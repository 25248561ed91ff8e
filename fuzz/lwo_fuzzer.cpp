// lwo_fuzzer.cpp - libFuzzer entry: the LWO2 reader on arbitrary bytes, its report discarded.
#include "Lwo2Reader.h"

#include <cstddef>
#include <cstdint>
#include <ostream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ostream discard(nullptr);
    const bm::Lwo2Data lwo = bm::readLwo2(data, size, discard, "fuzz.lwo");
    // Every polygon kept must lie within the corner list and name points that were read.
    for (const FaceData& face : lwo.Faces) {
        if (face.FirstCorner + static_cast<std::size_t>(face.VertexCount) > lwo.Corners.size())
            __builtin_trap();
        for (std::int32_t k = 0; k < face.VertexCount; ++k) {
            const std::int32_t point = lwo.Corners[face.FirstCorner + static_cast<std::size_t>(k)];
            if (point < 0 || static_cast<std::size_t>(point) >= lwo.Vertices.size())
                __builtin_trap();
        }
    }
    return 0;
}
