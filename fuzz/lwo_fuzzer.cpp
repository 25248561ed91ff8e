// lwo_fuzzer.cpp - libFuzzer entry: the LWO2 reader on arbitrary bytes, read loudly and quietly.
#include "Lwo2Reader.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The report's problem lines, those a quiet read keeps.
std::string problemLines(const std::string& report) {
    std::string out;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("LoadLWO:", 0) == 0)
            out += line + "\n";
    return out;
}

// Tag names are printed as the file has them; one with a newline in it could start a line that
// looks like a problem.
bool namesBreakLines(const bm::Lwo2Data& lwo) {
    for (const TagData& tag : lwo.Tags)
        if (tag.name.find('\n') != std::string::npos)
            return true;
    return false;
}

template <typename T>
bool sameBytes(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ostringstream loudReport, quietReport;
    const bm::Lwo2Data lwo = bm::readLwo2(data, size, loudReport, "fuzz.lwo");
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
    // A quiet read, which formats nothing but problems, builds the same lists and keeps exactly
    // the loud report's problem lines.
    bm::Lwo2Options quietly;
    quietly.quiet = true;
    const bm::Lwo2Data quiet = bm::readLwo2(data, size, quietReport, "fuzz.lwo", quietly);
    if (!sameBytes(quiet.Vertices, lwo.Vertices) || !sameBytes(quiet.Faces, lwo.Faces) ||
        quiet.Corners != lwo.Corners || quiet.Tags.size() != lwo.Tags.size() ||
        (!namesBreakLines(lwo) && quietReport.str() != problemLines(loudReport.str())))
        __builtin_trap();
    return 0;
}
