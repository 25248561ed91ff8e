// lwo_fuzzer.cpp - libFuzzer entry: the model reader (LWO2, and LWOB through it) on arbitrary
// bytes, read loudly and quietly, with and without surfaces' looks, the looks of every corner,
// and the search for crossings in every polygon's outline.
#include "Lwo2Appearance.h"
#include "Lwo2Crossings.h"
#include "Lwo2Geometry.h"
#include "Lwo2Reader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
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

// A quiet read, which formats nothing but problems, builds the same lists and keeps exactly the
// loud report's problem lines.
void checkQuietRead(const std::uint8_t* data, std::size_t size) {
    std::ostringstream loudReport, quietReport;
    const bm::Lwo2Data loud = bm::readLwo2(data, size, loudReport, "fuzz.lwo");
    checkPolygons(loud);
    bm::Lwo2Options quietly;
    quietly.quiet = true;
    const bm::Lwo2Data quiet = bm::readLwo2(data, size, quietReport, "fuzz.lwo", quietly);
    if (!sameBytes(quiet.Vertices, loud.Vertices) || !sameBytes(quiet.Faces, loud.Faces) ||
        quiet.Corners != loud.Corners || quiet.Tags.size() != loud.Tags.size() ||
        (!namesBreakLines(loud) && quietReport.str() != problemLines(loudReport.str())))
        __builtin_trap();
}

// The sweep takes n log n steps on any outline, whatever its points hold.
void findCrossings(const bm::Lwo2Data& lwo) {
    std::vector<bm::Vec3> place;
    for (const FaceData& face : lwo.Faces) {
        if (!bm::drawable(face, lwo))
            continue;
        const std::size_t n = static_cast<std::size_t>(face.VertexCount);
        place.clear();
        for (std::size_t k = 0; k < n; ++k)
            place.push_back(bm::pointAt(lwo.Vertices, lwo.Corners[face.FirstCorner + k]));
        std::size_t steps = 0;
        bm::outlineCrossesItself(place.data(), n, bm::polygonNormal(place.data(), n), steps);
        if (steps > 8 * n * (1 + static_cast<std::size_t>(std::log2(double(n)))))
            __builtin_trap();
    }
}

// Every drawn corner's colour, texture coordinates and normal, every image taken as loaded.
void computeCorners(const std::uint8_t* data, std::size_t size) {
    std::ostream discard(nullptr);
    bm::Lwo2Options looks;
    looks.appearance = true;
    const bm::Lwo2Data lwo = bm::readLwo2(data, size, discard, "fuzz.lwo", looks);
    checkPolygons(lwo);
    bm::ReportWriter out(discard);
    bm::ModelLooks model = bm::findLooks(lwo, out);
    for (bm::SurfaceLook& look : model.looks)
        look.textured = look.image != nullptr;
    bm::CornerValues values(lwo, model, true);
    for (std::size_t p = 0; p < lwo.Faces.size(); ++p)
        if (bm::drawable(lwo.Faces[p], lwo))
            values.compute(p);
    findCrossings(lwo);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkQuietRead(data, size);
    computeCorners(data, size);
    return 0;
}
