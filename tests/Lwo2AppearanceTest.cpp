// Lwo2AppearanceTest.cpp - models in their own colours: surfaces, vertex colours, UV maps and
// normals, from built files and real ones.
#include "Lwo2Appearance.h"
#include "TEntity.h"
#include "support/LwoFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace bm::test;
namespace lwo = bm::lwo;

constexpr std::int32_t looksFlags = BrackmoorLwoSurfaces | BrackmoorLwoNormals;

// The model's looks, each image taken as loaded; what findLooks reports is passed over.
bm::ModelLooks looksOf(const bm::Lwo2Data& lwo) {
    std::ostringstream report;
    bm::ReportWriter out(report);
    bm::ModelLooks looks = bm::findLooks(lwo, out);
    for (bm::SurfaceLook& look : looks.looks)
        look.textured = look.image != nullptr;
    return looks;
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

}  // namespace

// Each surface gets a run of engine surfaces of its own, every corner in the surface's colour
// times its diffuse level, alpha one less transparency; flags 1 reads as before: white, untextured.
TEST(Lwo2Appearance, SurfacesOfRealModelsKeepTheirColours) {
    SKIP_WITHOUT_SHARED_MODELS();
    const struct {
        const char* file;
        std::int32_t flags;
        std::vector<std::pair<std::size_t, std::vector<float>>> runs;  // engine surfaces, RGBA
    } models[] = {
        {"hierarchy.lwo",
         looksFlags,
         {{1, {0.50196f, 0.50196f, 0.75294f, 1}},  // BoxOnLayer3
          {7, {0.78431f, 0.78431f, 0.78431f, 1}},  // Default
          {1, {1, 0, 0, 1}}}},                     // RedBox
        {"transparency.lwo", looksFlags, {{7, {1, 0.50196f, 0, 0.5f}}}},
        {"transparency.lwo", 1, {{7, {1, 1, 1, 1}}}},
    };
    for (const auto& m : models) {
        const Converted c = convert(readShared(m.file).lwo, m.flags);
        std::size_t next = 0;
        for (const auto& [count, rgba] : m.runs)
            for (std::size_t k = 0; k < count; ++k, ++next) {
                ASSERT_LT(next, c.entity.Surface.size()) << m.file;
                const TSurfaceClass& s = *c.entity.Surface[next];
                EXPECT_EQ(s.fxOwnTexture, m.flags == 1 ? -1 : 1) << m.file;
                for (std::size_t v = 0; v < std::size_t(s.vertexPoints); ++v)
                    expectFloats(&s.vertexColours[4 * v], rgba, m.file + std::to_string(next));
            }
        EXPECT_EQ(c.entity.Surface.size(), next) << m.file;
    }
}

// Real models' maps: a corner takes its point's UV as (u, 1 - v), from the map the image block
// names, or its point's normal, and a VMAD entry overrides either at its polygon only; projected
// images lie where the model's layers put them.
TEST(Lwo2Appearance, RealModelsMapsGiveCornersTheirValues) {
    SKIP_WITHOUT_SHARED_MODELS();
    const struct {
        const char* file;
        std::size_t polygon;
        std::int32_t point;
        bool normal;  // else the UV
        std::vector<float> want;
    } cases[] = {
        {"boxuv.lwo", 0, 0, false, {0.327256f, 1 - 0.00654358f}},
        // The earth's point 2 under layers placed and sized to the model: planar along Y, towards
        // +Z and the image's top; round X, on a polygon across the seam, so u past 1.
        {"MappingModes_earth_planar_y.lwo", 0, 2, false, {0.625f, 0.4665064f}},
        {"MappingModes_earth_cylindrical_x.lwo", 0, 2, false, {1.011849f, 0.375f}},
        {"MappingModes_earth_spherical_x.lwo", 0, 2, false, {1.012849f, 0.4781854f}},
        // Point 3 is on polygons 0, 3 and 4 of the box; map testUV0 has a VMAD entry at 4.
        {"box_2uv_1unused.lwo", 0, 3, false, {0.884216f, 1 - 0.390549f}},
        {"box_2uv_1unused.lwo", 3, 3, false, {0.884216f, 1 - 0.390549f}},
        {"box_2uv_1unused.lwo", 4, 3, false, {-0.115784f, 1 - 0.390549f}},
        {"ModoExport_vertNormals.lwo", 1, 0, true, {0.118874f, -0.992041f, -0.0415153f}},
    };
    for (const auto& c : cases) {
        const ReadResult r = readShared(c.file);
        const bm::ModelLooks looks = looksOf(r.lwo);
        bm::CornerValues values(r.lwo, looks, c.normal);
        values.compute(c.polygon);
        const std::size_t corner = cornerAt(r.lwo, c.polygon, c.point);
        expectFloats(c.normal ? values.normal(corner) : values.uv(corner), c.want,
                     c.file + (", polygon " + std::to_string(c.polygon)));
    }
}

// Vertex colours multiply the surface's colour and alpha, scaled by the intensity; a point the
// map does not list keeps the surface's colour. The RGBA map is announced as RGB.
TEST(Lwo2Appearance, VertexColourMapsMultiplyTheSurfaceColour) {
    for (const float intensity : {1.0f, 0.5f}) {
        const ReadResult r = readWithLooks(object(
            {tags({"Paint"}), points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}),
             vertexMap("VMAP", "RGBA", 4, "paint", {{0, {0.5f, 1, 1, 0.5f}}, {1, {1, 0, 1, 1}}}),
             polygons("FACE", {{0, 1, 2, 3}, {0, 2, 3}}), polygonTags("SURF", {{0, 0}, {1, 0}}),
             vertexMap("VMAD", "RGBA", 4, "paint", {{0, {0, 0, 0, 1}, 1}}),
             surface("Paint", {colour(1, 1, 1), attribute("DIFF", 0.8f), attribute("TRAN", 0.25f),
                               vertexColours(intensity, "RGB ", "paint")})}));
        const bm::ModelLooks looks = looksOf(r.lwo);
        bm::CornerValues values(r.lwo, looks, false);
        const float half = 0.8f * (1 - intensity / 2), none = 0.8f * (1 - intensity);
        const std::string what = "intensity " + std::to_string(intensity);
        values.compute(0);
        expectFloats(values.colour(0), {half, 0.8f, 0.8f, 0.75f * (1 - intensity / 2)},
                     what + ", point 0");
        expectFloats(values.colour(1), {0.8f, none, 0.8f, 0.75f}, what + ", point 1");
        expectFloats(values.colour(2), {0.8f, 0.8f, 0.8f, 0.75f}, what + ", unlisted point");
        values.compute(1);
        expectFloats(values.colour(0), {none, none, none, 0.75f}, what + ", VMAD");
    }
}

// Corners share a normal across a fold smaller than the smoothing angle and keep their own
// across a larger one; without a smoothing angle every polygon is flat.
TEST(Lwo2Appearance, SmoothingFollowsTheAngleBetweenPolygons) {
    // Two strips, the second folded back by 10 degrees along x = 1.
    const float fold = 10.0f * float(M_PI) / 180, x = 1 + std::cos(fold), z = std::sin(fold);
    const auto leaning = [](float by) {  // a strip's normal when it leans back by this angle
        return std::vector<float>{-std::sin(by), 0, std::cos(by)};
    };
    for (const float degrees : {0.0f, 5.0f, 30.0f}) {
        const ReadResult r = readWithLooks(object(
            {tags({"Strip"}),
             points({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}, {x, 0, z}, {x, 1, z}}),
             polygons("FACE", {{0, 2, 3, 1}, {2, 4, 5, 3}}), polygonTags("SURF", {{0, 0}, {1, 0}}),
             surface("Strip", {attribute("SMAN", degrees * float(M_PI) / 180)})}));
        const bm::ModelLooks looks = looksOf(r.lwo);
        bm::CornerValues values(r.lwo, looks, true);
        const auto normalAt = [&](std::size_t polygon, std::int32_t point) {
            values.compute(polygon);
            return values.normal(cornerAt(r.lwo, polygon, point));
        };
        const bool smooth = degrees > 10;
        const std::string what = std::to_string(degrees) + " degrees";
        expectFloats(normalAt(0, 0), leaning(0), what + ", off the fold");
        expectFloats(normalAt(0, 2), leaning(smooth ? fold / 2 : 0), what + ", first strip");
        expectFloats(normalAt(1, 2), leaning(smooth ? fold / 2 : fold), what + ", second strip");
        expectFloats(normalAt(1, 4), leaning(fold), what + ", second strip off the fold");
    }
}

// Every new piece read with the same bounds discipline: a bad entry gets one "LoadLWO:" line, the
// model still loads; with flags 1 the same bytes say nothing new.
TEST(Lwo2Appearance, BadLooksAreReportedAndPassedOver) {
    const auto withSurface = [](std::vector<Bytes> extra, std::vector<Bytes> attributes) {
        std::vector<Bytes> chunks = {
            tags({"S"}), points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}),
            polygons("FACE", {{0, 1, 2, 3}}), polygonTags("SURF", {{0, 0}})};
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
    Bytes stray = runaway;  // the same layer ending in two stray bytes, the file's last
    runaway.id("PROJ").u2(40).u2(5);
    stray.u1('x').u1('y');
    const Bytes uvs = vertexMap("VMAP", "TXUV", 2, "uv", {{0, {0, 0}}});
    const struct {
        ByteList bytes;
        const char* line;
    } cases[] = {
        {withSurface({vertexMap("VMAP", "TXUV", 2, "uv", {{9, {0, 0}}})}, {}), "were not read"},
        {withSurface({vertexMap("VMAD", "TXUV", 2, "uv", {{0, {0, 0}, 5}})}, {}), "were not read"},
        {withSurface({vertexMap("VMAP", "TXUV", 3, "uv", {{0, {0, 0, 0}}})}, {}),
         "dimension 3, not 2"},
        {withSurface({stillClip(0x1000000, "a.png")}, {}), "no valid clip index"},
        {withSurface({rawChunk("CLIP", unterminated)}, {}), "runs past its end"},
        {withSurface({}, {lwo::subchunk("VCOL", shortName)}), "ends before its map name"},
        {withSurface({}, {vertexColours(1, "RGB ", "none")}), "no vertex colour map \"none\""},
        {withSurface({uvs}, {imageBlock(5, 9)}), "names clip 9, which the model does not hold"},
        {withSurface({stillClip(1, "a.png")}, {imageBlock(5, 1, "gone")}), "no UV map \"gone\""},
        {withSurface({stillClip(1, "a.png")}, {imageBlock(4, 1)}),
         "front projection, which needs the camera"},
        {withSurface({}, {lwo::subchunk("BLOK", runaway)}), "runs past the end of its BLOK"},
        {withSurface({}, {lwo::subchunk("BLOK", stray)}), "end a BLOK with no room"},
        {withSurface({}, {lwo::subchunk("SMAN", Bytes().u2(1))}), "too short"},
        {withSurface({}, {lwo::subchunk("LUMI", Bytes().u2(1))}), "LUMI sub-chunk at offset"},
    };
    for (const auto& c : cases) {
        const ReadResult r = readWithLooks(c.bytes);
        const Converted converted = convert(r.lwo, looksFlags);
        const std::string problems = problemLines(r.report + converted.report);
        EXPECT_NE(problems.find(c.line), std::string::npos) << c.line << ":\n" << problems;
        EXPECT_EQ(std::count(problems.begin(), problems.end(), '\n'), 1) << problems;
        EXPECT_EQ(converted.entity.Surface[0]->vertexPoints, 6) << c.line;
        EXPECT_EQ(read(c.bytes).report.find(c.line), std::string::npos) << c.line;
    }
}

// Runs follow the order in which polygons first use their surfaces, not the tags' order; no
// engine surface mixes two, however the polygons alternate; without normals asked, none are made.
TEST(Lwo2Appearance, RunsFollowFirstUse) {
    const ReadResult r = readWithLooks(
        object({tags({"Odd", "Even"}), points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                polygons("FACE", {{0, 1, 2}, {0, 1, 2}, {0, 1, 2}, {0, 1, 2}, {0, 1, 2}}),
                polygonTags("SURF", {{0, 1}, {1, 0}, {2, 1}, {3, 0}, {4, 1}}),
                surface("Odd", {colour(1, 0, 0)}), surface("Even", {colour(0, 0, 1)})}));
    const Converted c = convert(r.lwo, BrackmoorLwoSurfaces);
    ASSERT_EQ(c.entity.Surface.size(), 2u);
    expectFloats(c.entity.Surface[0]->vertexColours.data(), {0, 0, 1, 1}, "first used: Even");
    expectFloats(c.entity.Surface[1]->vertexColours.data(), {1, 0, 0, 1}, "then Odd");
    EXPECT_EQ(c.entity.Surface[0]->vertexPoints, 9);
    EXPECT_EQ(c.entity.Surface[1]->vertexPoints, 6);
    EXPECT_TRUE(c.entity.Surface[0]->normals.empty());
}

// A surface without a usable image takes the first UV map of its point's layer, not the file's
// first, a VMAD entry overriding it at its polygon; one whose image is clip 0 finds that clip and
// keeps its block's map. Corners as (u, 1 - v).
TEST(Lwo2Appearance, SurfacesWithoutAnImageTakeTheirLayersFirstUvMap) {
    const ReadResult r = readWithLooks(object(
        {tags({"Plain", "Clip0"}), layer(0, "near"), points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}),
         vertexMap("VMAP", "TXUV", 2, "first", {{0, {0.1f, 0.2f}}, {1, {0.3f, 0.4f}}}),
         vertexMap("VMAP", "TXUV", 2, "second", {{0, {0.9f, 0.9f}}}),
         polygons("FACE", {{0, 1, 2}, {0, 1, 2}, {0, 1, 2}}),
         polygonTags("SURF", {{0, 0}, {1, 0}, {2, 1}}),
         vertexMap("VMAD", "TXUV", 2, "first", {{1, {0.7f, 0.8f}, 1}}), layer(1, "far"),
         points({{0, 0, 1}, {1, 0, 1}, {1, 1, 1}}),
         vertexMap("VMAP", "TXUV", 2, "second", {{0, {0.5f, 0.6f}}}),
         vertexMap("VMAP", "TXUV", 2, "first", {{0, {0.05f, 0.05f}}}),
         polygons("FACE", {{0, 1, 2}}), polygonTags("SURF", {{0, 0}}),
         stillClip(0, "../../3DS/m_rifl.bmp"), surface("Plain", {}),
         surface("Clip0", {imageBlock(5, 0, "second")})}));
    const bm::ModelLooks looks = looksOf(r.lwo);
    ASSERT_EQ(looks.looks.size(), 2u);
    EXPECT_EQ(looks.looks[1].imageFile, "../../3DS/m_rifl.bmp");
    bm::CornerValues values(r.lwo, looks, false);
    const struct {
        std::size_t polygon;
        std::int32_t point;
        std::vector<float> want;
    } cases[] = {{0, 0, {0.1f, 0.8f}}, {0, 1, {0.3f, 0.6f}}, {0, 2, {0, 0}},
                 {1, 1, {0.7f, 0.2f}}, {2, 0, {0.9f, 0.1f}}, {3, 3, {0.5f, 0.4f}}};
    for (const auto& c : cases) {
        values.compute(c.polygon);
        expectFloats(values.uv(cornerAt(r.lwo, c.polygon, c.point)), c.want,
                     "polygon " + std::to_string(c.polygon) + ", point " + std::to_string(c.point));
    }
}

// A corner shows its surface's colour, or white under an image, times diffuse plus luminosity,
// at most 1; the surface is drawn unlit when more of that is glow than light, and then every
// engine surface of it is marked full bright, shared vertices or not, lit or not. Luminosity below
// 0 or not a number is none.
TEST(Lwo2Appearance, LuminosityAddsToTheColourShownInFullLight) {
    const float nan = std::nanf("");
    const std::optional<float> none;
    const struct {
        const char* name;
        std::optional<float> luminosity;  // written when given
        float diffuse;
        bool textured;
        float shown;  // the colour's share
        bool fullBright;
    } cases[] = {
        {"no luminosity", none, 0.8f, false, 0.8f, false},
        {"baked", 1, 0, false, 1, true},
        {"baked, image", 1, 0, true, 1, true},
        {"partial, image", 0.25f, 0.5f, true, 0.75f, false},
        {"more glow than light", 0.3f, 0.1f, false, 0.4f, true},
        {"half glow, half light", 0.5f, 1, false, 1, false},
        {"over half", 0.6f, 1, false, 1, true},
        {"over 1, clamped", 1.5f, 0.8f, false, 1, true},
        {"negative", -0.5f, 0.5f, false, 0.5f, false},
        {"not a number", nan, 0.5f, false, 0.5f, false},
        {"infinite", HUGE_VALF, 0.5f, false, 0.5f, false},
        {"diffuse not a number", 0.25f, nan, false, 1, false},
    };
    // 100 triangles of their own points: two engine surfaces either way.
    std::vector<lwo::Point> corners;
    std::vector<Corners> triangles;
    std::vector<std::pair<std::uint32_t, unsigned>> surfaceOf;
    for (std::uint32_t t = 0; t < 100; ++t) {
        corners.insert(corners.end(), {{float(t), 0, 0}, {float(t), 1, 0}, {float(t), 0, 1}});
        triangles.push_back({3 * t, 3 * t + 1, 3 * t + 2});
        surfaceOf.push_back({t, 0});
    }
    for (const auto& c : cases) {
        std::vector<Bytes> look = {colour(1, 0.5f, 0.25f), attribute("DIFF", c.diffuse)};
        if (c.luminosity)
            look.push_back(attribute("LUMI", *c.luminosity));
        if (c.textured)
            look.push_back(imageBlock(5, 1, "uv"));
        const ReadResult r = readWithLooks(
            object({tags({"S"}), points(corners), vertexMap("VMAP", "TXUV", 2, "uv", {{0, {0, 0}}}),
                    polygons("FACE", triangles), polygonTags("SURF", surfaceOf),
                    stillClip(1, "image.png"), surface("S", look)}));
        const bm::ModelLooks looks = looksOf(r.lwo);
        bm::CornerValues values(r.lwo, looks, false);
        values.compute(0);
        const float s = c.shown;
        expectFloats(values.colour(0),
                     c.textured ? std::vector<float>{s, s, s, 1}
                                : std::vector<float>{s, s * 0.5f, s * 0.25f, 1},
                     c.name);
        for (const std::int32_t flags :
             {BrackmoorLwoSurfaces, looksFlags | BrackmoorLwoCompact,
              looksFlags | BrackmoorLwoRightHanded, BrackmoorLwoNormals | BrackmoorLwoCompact}) {
            const Converted converted = convert(r.lwo, flags);
            ASSERT_EQ(converted.entity.Surface.size(), 2u) << c.name;
            for (const TSurfaceClass* each : converted.entity.Surface)
                EXPECT_EQ(each->fxFullBright,
                          c.fullBright && (flags & BrackmoorLwoSurfaces) != 0 ? 1 : -1)
                    << c.name << ", flags " << flags;
        }
    }
}
