// Lwo2AppearanceTest.cpp - models in their own colours: surfaces, vertex colours, UV maps and
// normals, from built files and real ones.
#include "Lwo2Appearance.h"
#include "TEntity.h"
#include "support/Lwo2Builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace bm::test;
namespace lwo = bm::lwo;

constexpr std::int32_t looksFlags = BrackmoorLwoSurfaces | BrackmoorLwoNormals;

bm::Lwo2Options withLooks() {
    bm::Lwo2Options options;
    options.appearance = true;
    return options;
}

ReadResult readShared(const std::string& file) {
    std::ifstream in(std::string(BRACKMOOR_SHARED_LWO_DIR) + "/" + file, std::ios::binary);
    const ByteList bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return read(bytes, file, withLooks());
}

struct Converted {
    TEntityClass entity;
    std::string report;
};

Converted convert(const bm::Lwo2Data& data, std::int32_t flags) {
    Converted c;
    std::ostringstream report;
    bm::addLwo2Surface(c.entity, data, report, flags);
    c.report = report.str();
    return c;
}

// The corner of the polygon last computed that stands on the point.
std::size_t cornerAt(const bm::Lwo2Data& data, std::size_t polygon, std::int32_t point) {
    const FaceData& face = data.Faces[polygon];
    const auto first = data.Corners.begin() + face.FirstCorner;
    return static_cast<std::size_t>(std::find(first, first + face.VertexCount, point) - first);
}

void expectFloats(const float* got, std::vector<float> want, const std::string& what) {
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(got[i], want[i], 1e-5) << what << ", value " << i;
}

#define NEEDS_SHARED_MODELS()                          \
    if (std::string(BRACKMOOR_SHARED_LWO_DIR).empty()) \
    GTEST_SKIP() << "the shared folder of LWO models (shared/lwo) is not here"

}  // namespace

// Each surface gets a run of engine surfaces of its own, in the order polygons first use them,
// every corner in the surface's colour times its diffuse level, alpha one less transparency.
TEST(Lwo2Appearance, SurfacesOfRealModelsKeepTheirColours) {
    NEEDS_SHARED_MODELS();
    struct Expected {
        std::size_t surfaces;
        std::vector<float> rgba;
    };
    const Converted hierarchy = convert(readShared("hierarchy.lwo").lwo, looksFlags);
    const std::vector<Expected> runs = {{1, {0.50196f, 0.50196f, 0.75294f, 1}},  // BoxOnLayer3
                                        {7, {0.78431f, 0.78431f, 0.78431f, 1}},  // Default
                                        {1, {1, 0, 0, 1}}};                      // RedBox
    std::size_t next = 0;
    for (const Expected& run : runs)
        for (std::size_t k = 0; k < run.surfaces; ++k, ++next) {
            ASSERT_LT(next, hierarchy.entity.Surface.size());
            const TSurfaceClass& s = *hierarchy.entity.Surface[next];
            EXPECT_EQ(s.fxOwnTexture, 1);
            for (std::size_t v = 0; v < std::size_t(s.vertexPoints); ++v)
                expectFloats(&s.vertexColours[4 * v], run.rgba, "surface " + std::to_string(next));
        }
    EXPECT_EQ(hierarchy.entity.Surface.size(), next);

    const Converted glass = convert(readShared("transparency.lwo").lwo, looksFlags);
    expectFloats(glass.entity.Surface[0]->vertexColours.data(), {1, 0.50196f, 0, 0.5f}, "glass");
    // Flags 1 reads the same file as before: white, untextured, one run.
    const Converted plain = convert(readShared("transparency.lwo").lwo, 1);
    expectFloats(plain.entity.Surface[0]->vertexColours.data(), {1, 1, 1, 1}, "plain");
    EXPECT_EQ(plain.entity.Surface[0]->fxOwnTexture, -1);
}

// A UV-mapped image: the block names its map and its clip's file; with the image loaded, each
// corner takes its point's (u, 1 - v), and a VMAD entry overrides it at its polygon only.
TEST(Lwo2Appearance, UVMapsGiveEachCornerItsCoordinates) {
    NEEDS_SHARED_MODELS();
    ReadResult box = readShared("boxuv.lwo");
    std::ostringstream report;
    bm::ReportWriter out(report);
    bm::ModelLooks looks = bm::findLooks(box.lwo, out);
    ASSERT_EQ(looks.looks.size(), 1u);
    EXPECT_EQ(looks.looks[0].imageFile, "boxuv.png");
    ASSERT_NE(looks.looks[0].uvMap, nullptr);
    EXPECT_EQ(looks.looks[0].uvMap->name, "Texture");
    looks.looks[0].textured = true;
    bm::CornerValues values(box.lwo, looks, false);
    values.compute(0);
    expectFloats(values.uv(cornerAt(box.lwo, 0, 0)), {0.327256f, 1 - 0.00654358f}, "point 0");
    expectFloats(values.colour(0), {1, 1, 1, 1}, "an imaged surface is white times diffuse");

    ReadResult twoMaps = readShared("box_2uv_1unused.lwo");
    bm::ModelLooks second = bm::findLooks(twoMaps.lwo, out);
    second.looks[0].textured = true;
    EXPECT_EQ(second.looks[0].uvMap->name, "testUV0");
    bm::CornerValues corners(twoMaps.lwo, second, false);
    const bm::VertexMap& map = *second.looks[0].uvMap;
    corners.compute(4);
    expectFloats(corners.uv(cornerAt(twoMaps.lwo, 4, 3)), {-0.115784f, 1 - 0.390549f}, "VMAD");
    for (std::size_t polygon = 0; polygon < 4; ++polygon) {
        const std::size_t corner = cornerAt(twoMaps.lwo, polygon, 3);
        if (corner == std::size_t(twoMaps.lwo.Faces[polygon].VertexCount))
            continue;
        corners.compute(polygon);
        expectFloats(corners.uv(corner), {map.values[6], 1 - map.values[7]}, "VMAP");
    }
}

namespace {
// A quad and a triangle on surface "Paint", which multiplies an RGBA map announced as RGB.
ByteList paintedModel(float intensity) {
    return object(
        {tags({"Paint"}), points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}),
         vertexMap("VMAP", "RGBA", 4, "paint", {{0, {0.5f, 1, 1, 0.5f}}, {1, {1, 0, 1, 1}}}),
         polygons("FACE", {{0, 1, 2, 3}, {0, 2, 3}}), polygonTags("SURF", {{0, 0}, {1, 0}}),
         vertexMap("VMAD", "RGBA", 4, "paint", {{0, {0, 0, 0, 1}, 1}}),
         surface("Paint", {colour(1, 1, 1), attribute("DIFF", 0.8f), attribute("TRAN", 0.25f),
                           vertexColours(intensity, "RGB ", "paint")})});
}
}  // namespace

// Vertex colours multiply the surface's colour and alpha, scaled by the intensity; a point the
// map does not list keeps the surface's colour.
TEST(Lwo2Appearance, VertexColourMapsMultiplyTheSurfaceColour) {
    for (const float intensity : {1.0f, 0.5f}) {
        const ReadResult r = read(paintedModel(intensity), "paint.lwo", withLooks());
        std::ostringstream report;
        bm::ReportWriter out(report);
        const bm::ModelLooks looks = bm::findLooks(r.lwo, out);
        bm::CornerValues values(r.lwo, looks, false);
        const auto scaled = [intensity](float base, float v) {
            return base * (1 + intensity * (v - 1));
        };
        const std::string what = "intensity " + std::to_string(intensity);
        values.compute(0);
        expectFloats(values.colour(0), {scaled(0.8f, 0.5f), 0.8f, 0.8f, scaled(0.75f, 0.5f)},
                     what + ", point 0");
        expectFloats(values.colour(1), {0.8f, scaled(0.8f, 0), 0.8f, 0.75f}, what + ", point 1");
        expectFloats(values.colour(2), {0.8f, 0.8f, 0.8f, 0.75f}, what + ", unlisted point");
        values.compute(1);
        expectFloats(values.colour(0), {scaled(0.8f, 0), scaled(0.8f, 0), scaled(0.8f, 0), 0.75f},
                     what + ", VMAD");
        EXPECT_EQ(report.str(), "");
    }
}

// Corners share a normal across a fold smaller than the smoothing angle and keep their own
// across a larger one; without a smoothing angle every polygon is flat.
TEST(Lwo2Appearance, SmoothingFollowsTheAngleBetweenPolygons) {
    const float a = 10.0f * float(M_PI) / 180, b = 70.0f * float(M_PI) / 180;
    // Three strips, folded along x = 1 by 10 degrees and along x = 2 by a further 60.
    const float x2 = 1 + std::cos(a), z2 = std::sin(a);
    const std::vector<lwo::Point> pts = {{0, 0, 0},
                                         {0, 1, 0},
                                         {1, 0, 0},
                                         {1, 1, 0},
                                         {x2, 0, z2},
                                         {x2, 1, z2},
                                         {x2 + std::cos(b), 0, z2 + std::sin(b)},
                                         {x2 + std::cos(b), 1, z2 + std::sin(b)}};
    // Each strip's normal: the first faces +Z, the others lean back by their fold.
    const auto leaning = [](float by) {
        return std::vector<float>{-std::sin(by), 0, std::cos(by)};
    };
    const std::vector<float> faces[3] = {leaning(0), leaning(a), leaning(b)};
    std::vector<float> blend(3);
    for (int k = 0; k < 3; ++k)
        blend[k] = (faces[0][k] + faces[1][k]) / (2 * std::cos(a / 2));
    for (const float angle : {0.0f, 30.0f * float(M_PI) / 180}) {
        const ReadResult r =
            read(object({tags({"Strip"}), points(pts),
                         polygons("FACE", {{0, 2, 3, 1}, {2, 4, 5, 3}, {4, 6, 7, 5}}),
                         polygonTags("SURF", {{0, 0}, {1, 0}, {2, 0}}),
                         surface("Strip", {attribute("SMAN", angle)})}),
                 "strip.lwo", withLooks());
        std::ostringstream report;
        bm::ReportWriter out(report);
        const bm::ModelLooks looks = bm::findLooks(r.lwo, out);
        bm::CornerValues values(r.lwo, looks, true);
        const auto normalAt = [&](std::size_t polygon, std::int32_t point) {
            values.compute(polygon);
            return values.normal(cornerAt(r.lwo, polygon, point));
        };
        const std::string what = angle > 0 ? "smoothed" : "flat";
        expectFloats(normalAt(0, 0), faces[0], what + ", first strip alone");
        expectFloats(normalAt(0, 2), angle > 0 ? blend : faces[0], what + ", small fold, first");
        expectFloats(normalAt(1, 2), angle > 0 ? blend : faces[1], what + ", small fold, second");
        expectFloats(normalAt(1, 4), faces[1], what + ", large fold, second strip");
        expectFloats(normalAt(2, 4), faces[2], what + ", large fold, third strip");
    }
}

// A NORM map gives the normal as it stands, its VMAD entries at their polygons only.
TEST(Lwo2Appearance, NormalMapsAreTakenAsTheyStand) {
    NEEDS_SHARED_MODELS();
    const ReadResult r = readShared("ModoExport_vertNormals.lwo");
    std::ostringstream report;
    bm::ReportWriter out(report);
    const bm::ModelLooks looks = bm::findLooks(r.lwo, out);
    bm::CornerValues values(r.lwo, looks, true);
    values.compute(1);
    expectFloats(values.normal(cornerAt(r.lwo, 1, 0)), {0.118874f, -0.992041f, -0.0415153f},
                 "VMAD");
    const Converted c = convert(r.lwo, looksFlags);
    for (const TSurfaceClass* s : c.entity.Surface)
        EXPECT_EQ(s->normals.size(), 3u * std::size_t(s->vertexPoints));
}

// Every new piece read with the same bounds discipline: a bad entry gets a "LoadLWO:" line, the
// model still loads; with flags 1 the same bytes say nothing new.
TEST(Lwo2Appearance, BadLooksAreReportedAndPassedOver) {
    const Bytes quad = polygons("FACE", {{0, 1, 2, 3}});
    const Bytes square = points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    const auto withSurface = [&](std::vector<Bytes> extra, std::vector<Bytes> attributes) {
        std::vector<Bytes> chunks = {tags({"S"}), square, quad, polygonTags("SURF", {{0, 0}})};
        chunks.insert(chunks.end(), extra.begin(), extra.end());
        chunks.push_back(surface("S", attributes));
        return object(chunks);
    };
    Bytes unterminated;  // a file name with no zero before the sub-chunk ends
    unterminated.u4(1).append(lwo::subchunk("STIL", Bytes().u1('a').u1('b')));
    Bytes shortName;  // a map name with no zero before the sub-chunk ends
    shortName.f4(1).u2(0).id("RGB ").u1('p').u1('a');
    Bytes runaway;  // a colour layer whose projection claims 40 bytes
    runaway.append(lwo::subchunk(
        "IMAP", Bytes().s0("\x80").append(lwo::subchunk("CHAN", Bytes().id("COLR")))));
    runaway.id("PROJ").u2(40).u2(5);
    const struct {
        const char* what;
        ByteList bytes;
        const char* line;
    } cases[] = {
        {"map entry for a missing point",
         withSurface({vertexMap("VMAP", "TXUV", 2, "uv", {{9, {0, 0}}})}, {}), "were not read"},
        {"corner entry for a missing polygon",
         withSurface({vertexMap("VMAD", "TXUV", 2, "uv", {{0, {0, 0}, 5}})}, {}), "were not read"},
        {"dimension unlike its type",
         withSurface({vertexMap("VMAP", "TXUV", 3, "uv", {{0, {0, 0, 0}}})}, {}),
         "dimension 3, not 2"},
        {"clip numbered 0", withSurface({stillClip(0, "a.png")}, {}), "no valid clip index"},
        {"clip name past its sub-chunk", withSurface({rawChunk("CLIP", unterminated)}, {}),
         "runs past its end"},
        {"vertex colour name past its sub-chunk",
         withSurface({}, {lwo::subchunk("VCOL", shortName)}), "ends before its map name"},
        {"vertex colour map not held", withSurface({}, {vertexColours(1, "RGB ", "none")}),
         "no vertex colour map \"none\""},
        {"image from a clip not held",
         withSurface({vertexMap("VMAP", "TXUV", 2, "uv", {{0, {0, 0}}})}, {imageBlock(5, 9)}),
         "names clip 9, which the model does not hold"},
        {"UV map not held", withSurface({stillClip(1, "a.png")}, {imageBlock(5, 1, "gone")}),
         "no UV map \"gone\""},
        {"front projection", withSurface({stillClip(1, "a.png")}, {imageBlock(4, 1)}),
         "front projection, which needs the camera"},
        {"block field past its block", withSurface({}, {lwo::subchunk("BLOK", runaway)}),
         "runs past the end of its BLOK"},
        {"smoothing angle too short", withSurface({}, {lwo::subchunk("SMAN", Bytes().u2(1))}),
         "too short"},
    };
    for (const auto& c : cases) {
        const ReadResult r = read(c.bytes, "bad.lwo", withLooks());
        const Converted converted = convert(r.lwo, looksFlags);
        const std::string said = r.report + converted.report;
        EXPECT_NE(said.find(c.line), std::string::npos) << c.what << ":\n" << said;
        EXPECT_EQ(said.find("LoadLWO:"), said.rfind("LoadLWO:")) << c.what << ": one line\n"
                                                                 << said;
        EXPECT_EQ(converted.entity.Surface[0]->vertexPoints, 6) << c.what;
        EXPECT_EQ(read(c.bytes).report.find(c.line), std::string::npos) << c.what;
    }
}

// Runs follow the order in which polygons first use their surfaces; no engine surface mixes two.
TEST(Lwo2Appearance, RunsFollowFirstUse) {
    std::vector<lwo::Point> pts;
    std::vector<Corners> polys;
    std::vector<std::pair<std::uint32_t, unsigned>> surfaceOf;
    for (std::uint32_t i = 0; i < 100; ++i) {
        pts.push_back({float(i), 0, 0});
        pts.push_back({float(i), 1, 0});
        pts.push_back({float(i) + 1, 0, 0});
        polys.push_back({3 * i, 3 * i + 2, 3 * i + 1});
        surfaceOf.push_back({i, i % 2 == 0 ? 1u : 0u});
    }
    const ReadResult r =
        read(object({tags({"Odd", "Even"}), points(pts), polygons("FACE", polys),
                     polygonTags("SURF", surfaceOf), surface("Odd", {colour(1, 0, 0)}),
                     surface("Even", {colour(0, 0, 1)})}),
             "runs.lwo", withLooks());
    const Converted c = convert(r.lwo, BrackmoorLwoSurfaces);
    const std::vector<int> triangles = {50, 50};
    ASSERT_EQ(c.entity.Surface.size(), 2u);
    expectFloats(c.entity.Surface[0]->vertexColours.data(), {0, 0, 1, 1}, "first used: Even");
    expectFloats(c.entity.Surface[1]->vertexColours.data(), {1, 0, 0, 1}, "then Odd");
    for (std::size_t s = 0; s < 2; ++s)
        EXPECT_EQ(c.entity.Surface[s]->vertexPoints, 3 * triangles[s]);
    EXPECT_TRUE(c.entity.Surface[0]->normals.empty());
}
