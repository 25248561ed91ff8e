// TEntityLwoCompactTest.cpp - shared vertices: a plain conversion's triangles, corner for corner,
// from fewer vertices; corners that differ in any value kept apart; 8-bit indices.
#include "BrackmoorEngine.h"
#include "Lwo2Appearance.h"
#include "TEntity.h"
#include "support/GLWindow.h"
#include "support/LwoFiles.h"
#include "support/SceneGL.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace bm::test;
namespace lwo = bm::lwo;

// One triangle corner as the renderer draws it: every value's bits, and its surface's texture.
struct Corner {
    std::array<std::uint32_t, 12> bits{};  // position, colour, texture coordinates, normal
    bool hasNormal = false;
    short ownTexture = 0;
    GLuint texture = 0;

    bool operator==(const Corner& o) const {
        return bits == o.bits && hasNormal == o.hasNormal && ownTexture == o.ownTexture &&
               texture == o.texture;
    }
};

// A surface of one colour gives every vertex its first colour and texture coordinates.
std::array<std::uint32_t, 12> vertexBits(const TSurfaceClass& s, std::size_t v) {
    float values[12] = {};
    const std::size_t coloured = s.fxOneColour == 1 ? 0 : v;
    std::copy_n(s.verts.begin() + 3 * v, 3, values);
    std::copy_n(s.vertexColours.begin() + 4 * coloured, 4, values + 3);
    std::copy_n(s.tverts.begin() + 2 * coloured, 2, values + 7);
    if (!s.normals.empty())
        std::copy_n(s.normals.begin() + 3 * v, 3, values + 9);
    std::array<std::uint32_t, 12> bits;
    std::memcpy(bits.data(), values, sizeof values);
    return bits;
}

// Every corner the entity's surfaces draw, in drawing order: vertexPoints indices a surface.
std::vector<Corner> cornersDrawn(const TEntityClass& e) {
    std::vector<Corner> out;
    for (const TSurfaceClass* s : e.Surface) {
        const std::size_t drawn =
            std::min<std::size_t>(s->triangleIndex.size(), std::size_t(s->vertexPoints));
        for (std::size_t i = 0; i < drawn; ++i) {
            Corner c;
            c.bits = vertexBits(*s, s->triangleIndex[i]);
            c.hasNormal = !s->normals.empty();
            c.ownTexture = s->fxOwnTexture;
            c.texture = s->textureID[0].Tname;
            out.push_back(c);
        }
    }
    return out;
}

std::size_t verticesOf(const TEntityClass& e) {
    std::size_t vertices = 0;
    for (const TSurfaceClass* s : e.Surface)
        vertices += s->verts.size() / 3;
    return vertices;
}

// A shared-vertex surface: at most 256 vertices, every one used and no two alike, every array
// sized for them (colours once when they are one, which only unlit surfaces are), and
// vertexPoints the corners its triangles draw.
void expectCompactSurfaces(const TEntityClass& e, const std::string& what) {
    for (const TSurfaceClass* s : e.Surface) {
        const std::size_t vertices = s->verts.size() / 3;
        const std::size_t coloured = s->fxOneColour == 1 ? 1 : vertices;
        ASSERT_LE(vertices, 256u) << what;
        ASSERT_EQ(s->verts.size(), 3 * vertices) << what;
        ASSERT_EQ(s->vertexColours.size(), 4 * coloured) << what;
        ASSERT_EQ(s->tverts.size(), 2 * coloured) << what;
        ASSERT_TRUE(s->fxOneColour != 1 || s->normals.empty()) << what;
        ASSERT_TRUE(s->normals.empty() || s->normals.size() == 3 * vertices) << what;
        ASSERT_EQ(std::size_t(s->vertexPoints), s->triangleIndex.size()) << what;
        ASSERT_EQ(s->triangleIndex.size() % 3, 0u) << what;
        std::vector<bool> used(vertices, false);
        for (unsigned char index : s->triangleIndex) {
            ASSERT_LT(index, vertices) << what;
            used[index] = true;
        }
        EXPECT_EQ(std::count(used.begin(), used.end(), false), 0) << what << ": unused vertex";
        std::set<std::array<std::uint32_t, 12>> distinct;
        for (std::size_t v = 0; v < vertices; ++v)
            distinct.insert(vertexBits(*s, v));
        EXPECT_EQ(distinct.size(), vertices) << what << ": two vertices alike";
    }
}

TEntityClass converted(const bm::Lwo2Data& lwo, std::int32_t flags, std::string* report = nullptr) {
    TEntityClass e;
    std::ostringstream out;
    bm::addLwo2Surface(e, lwo, out, flags);
    if (report != nullptr)
        *report = out.str();
    return e;
}

// As if every image the looks name had loaded, so that they lay on their texture coordinates.
TEntityClass convertedTextured(const bm::Lwo2Data& lwo, std::int32_t flags) {
    std::ostringstream discard;
    bm::ReportWriter out(discard, true);
    bm::ModelLooks found = bm::findLooks(lwo, out, true);
    for (bm::SurfaceLook& look : found.looks)
        look.textured = look.image != nullptr;
    const std::vector<TTextureClass> textures(found.looks.size(), TTextureClass{});
    TEntityClass e;
    bm::addLwo2Surface(e, lwo, discard, flags, &found, &textures);
    return e;
}

constexpr std::int32_t looks = BrackmoorLwoSurfaces | BrackmoorLwoNormals;

class TEntityLwoCompactGL : public GLFixture {};

// Records drawn before in this test stay out of the picture; the test guard shows them again.
void hideEveryRecord() {
    for (TEntityClass* record : TEntityRegistry)
        record->hidden = 0;
}

// The whole window after drawing only this entity, turned, under the application's texture.
std::vector<unsigned char> pictureOf(TEntityClass& e, const TTextureClass& texture) {
    hideEveryRecord();
    e.PositionEntity(0, 0, -8);
    e.RotateEntity(35, 50, 0);
    setOrthoView();
    glBindTexture(GL_TEXTURE_2D, texture.Tname);
    Brackmoor.updateWorld();
    std::vector<unsigned char> pixels(640 * 480 * 4);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    e.hidden = 0;
    e.updateRegistry();
    return pixels;
}

}  // namespace

// Real models with colours, UVs and smooth normals, a tessellated one, and a grid that fills
// many surfaces, under each combination of flags: the compact surfaces draw the very corners the
// plain ones draw, in the same order and winding, with the same bits and textures.
TEST(TEntityLwoCompact, DrawsThePlainTrianglesCornerForCorner) {
    struct Model {
        std::string name;
        bm::Lwo2Data lwo;
    };
    std::vector<Model> models = {{"grid", readWithLooks(gridObject(2, 60)).lwo}};
    if (!sharedModels.empty())
        for (const char* file : {"ModoExport_vertNormals.lwo", "sphere_with_mat_gloss_10pc.lwo",
                                 "boxuv.lwo", "MappingModes_earth_spherical_x.lwo", "hierarchy.lwo",
                                 "concave_self_intersecting.lwo"})
            models.push_back({file, readShared(file).lwo});
    const std::int32_t flagSets[] = {0, BrackmoorLwoNormals, looks,
                                     looks | BrackmoorLwoRightHanded};
    for (const Model& model : models) {
        for (const std::int32_t flags : flagSets) {
            const std::string what = model.name + " with flags " + std::to_string(flags);
            const TEntityClass plain = converted(model.lwo, flags | BrackmoorLwoQuiet);
            const TEntityClass compact =
                converted(model.lwo, flags | BrackmoorLwoQuiet | BrackmoorLwoCompact);
            const std::vector<Corner> want = cornersDrawn(plain), got = cornersDrawn(compact);
            ASSERT_EQ(got.size(), want.size()) << what;
            for (std::size_t i = 0; i < want.size(); ++i)
                ASSERT_TRUE(got[i] == want[i])
                    << what << ", triangle " << i / 3 << " corner " << i % 3;
            expectCompactSurfaces(compact, what);
            EXPECT_LT(verticesOf(compact), verticesOf(plain)) << what;
            EXPECT_LE(compact.Surface.size(), plain.Surface.size()) << what;
        }
    }
}

// A fan adds one vertex a triangle: a surface fills to exactly 256 vertices, index 255 in use,
// and the next triangle opens a new one. Triangles that share nothing take 85 a surface. The
// report gives each triangle its own vertices.
TEST(TEntityLwoCompact, SurfacesFillToTheLastEightBitIndex) {
    std::vector<lwo::Point> fanPoints = {{0, 0, 0}};
    std::vector<Corners> fan;
    for (std::uint32_t i = 0; i <= 600; ++i)
        fanPoints.push_back({std::cos(i * 0.01f), std::sin(i * 0.01f), 0});
    for (std::uint32_t i = 1; i <= 600; ++i)
        fan.push_back({0, i, i + 1});
    std::vector<lwo::Point> apartPoints;
    std::vector<Corners> apart;
    for (std::uint32_t i = 0; i < 100; ++i) {
        apartPoints.insert(apartPoints.end(),
                           {{float(i), 0, 0}, {float(i), 1, 0}, {i + 0.5f, 0, 0}});
        apart.push_back({3 * i, 3 * i + 1, 3 * i + 2});
    }
    const struct {
        const char* what;
        std::vector<lwo::Point> points;
        std::vector<Corners> polygons;
        std::vector<std::size_t> triangles, vertices;  // per surface
    } cases[] = {{"fan", fanPoints, fan, {254, 254, 92}, {256, 256, 94}},
                 {"apart", apartPoints, apart, {85, 15}, {255, 45}}};
    for (const auto& c : cases) {
        const bm::Lwo2Data lwo =
            read(object({tags({"A"}), points(c.points), polygons("FACE", c.polygons)})).lwo;
        std::string report;
        const TEntityClass e = converted(lwo, BrackmoorLwoCompact, &report);
        expectCompactSurfaces(e, c.what);
        std::vector<std::size_t> triangles, vertices;
        std::string lines = "Converting LWO mesh data to Brackmoor Entity data...\n";
        for (const TSurfaceClass* s : e.Surface) {
            triangles.push_back(s->triangleIndex.size() / 3);
            vertices.push_back(s->verts.size() / 3);
            const std::vector<unsigned char>& t = s->triangleIndex;
            for (std::size_t i = 0; i < t.size(); i += 3)
                lines += "Vert1:" + std::to_string(t[i]) + " Vert2:" + std::to_string(t[i + 1]) +
                         " Vert3:" + std::to_string(t[i + 2]) + "\n";
        }
        EXPECT_EQ(triangles, c.triangles) << c.what;
        EXPECT_EQ(vertices, c.vertices) << c.what;
        EXPECT_EQ(report, lines) << c.what;
        EXPECT_EQ(cornersDrawn(e), cornersDrawn(converted(lwo, BrackmoorLwoQuiet))) << c.what;
    }
}

// Two squares side by side share the edge x = 1. Its corners become one vertex each only where
// every value agrees: a UV seam, a hard edge or a vertex colour that changes across the edge
// keeps them apart. Two points at the same place with the same values are one vertex.
TEST(TEntityLwoCompact, SharesOnlyCornersThatAgreeInEveryValue) {
    const std::vector<lwo::Point> flat = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0},
                                          {0, 1, 0}, {2, 0, 0}, {2, 1, 0}};
    // The second square folded up by 90 degrees along the shared edge.
    const std::vector<lwo::Point> folded = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0},
                                            {0, 1, 0}, {1, 0, 1}, {1, 1, 1}};
    const std::vector<Corners> squares = {{0, 1, 2, 3}, {1, 4, 5, 2}};
    const Bytes uvs = vertexMap(
        "VMAP", "TXUV", 2, "uv",
        {{0, {0, 0}}, {1, {0.5f, 0}}, {2, {0.5f, 1}}, {3, {0, 1}}, {4, {1, 0}}, {5, {1, 1}}});
    const Bytes seam = vertexMap("VMAD", "TXUV", 2, "uv", {{1, {0.6f, 0}, 1}, {2, {0.6f, 1}, 1}});
    const Bytes paint = vertexMap("VMAP", "RGB ", 3, "paint", {{1, {1, 0, 0}}, {2, {1, 0, 0}}});
    const Bytes paintBoundary =
        vertexMap("VMAD", "RGB ", 3, "paint", {{1, {0, 0, 1}, 1}, {2, {0, 0, 1}, 1}});
    // The squares on surface S, the maps after them, as VMADs name polygons already read.
    const auto squaresWith = [&](const std::vector<lwo::Point>& place, std::vector<Bytes> maps,
                                 const std::vector<Bytes>& looks) {
        std::vector<Bytes> chunks = {tags({"S"}), points(place), polygons("FACE", squares),
                                     polygonTags("SURF", {{0, 0}, {1, 0}})};
        chunks.insert(chunks.end(), maps.begin(), maps.end());
        chunks.push_back(stillClip(1, "image.png"));
        chunks.push_back(surface("S", looks));
        return object(chunks);
    };
    const auto textured = [&](std::vector<Bytes> maps) {
        return squaresWith(flat, maps, {imageBlock(5, 1, "uv")});
    };
    const auto smoothed = [&](float degrees) {
        return squaresWith(folded, {}, {attribute("SMAN", degrees * 3.14159265f / 180)});
    };
    const auto painted = [&](std::vector<Bytes> maps) {
        return squaresWith(flat, maps, {vertexColours(1, "RGB ", "paint")});
    };
    // The second square's copy of the edge: points 6 and 7 where 1 and 2 are.
    std::vector<lwo::Point> doubled = flat;
    doubled.insert(doubled.end(), {{1, 0, 0}, {1, 1, 0}});
    const struct {
        const char* what;
        ByteList model;
        std::int32_t flags;
        std::size_t vertices;
    } cases[] = {
        {"one UV map", textured({uvs}), looks, 6},
        {"a UV seam", textured({uvs, seam}), looks, 8},
        {"a smooth fold", smoothed(100), looks, 6},
        {"a hard edge", smoothed(30), looks, 8},
        {"a hard edge, colours only", smoothed(30), BrackmoorLwoSurfaces, 6},
        {"one vertex colour a point", painted({paint}), looks, 6},
        {"a vertex colour boundary", painted({paint, paintBoundary}), looks, 8},
        {"the edge's points twice",
         object({tags({"S"}), points(doubled), polygons("FACE", {{0, 1, 2, 3}, {6, 4, 5, 7}})}), 0,
         6},
    };
    for (const auto& c : cases) {
        const bm::Lwo2Data lwo = readWithLooks(c.model).lwo;
        const TEntityClass e =
            convertedTextured(lwo, c.flags | BrackmoorLwoQuiet | BrackmoorLwoCompact);
        ASSERT_EQ(e.Surface.size(), 1u) << c.what;
        expectCompactSurfaces(e, c.what);
        EXPECT_EQ(verticesOf(e), c.vertices) << c.what;
        EXPECT_EQ(cornersDrawn(e),
                  cornersDrawn(convertedTextured(lwo, c.flags | BrackmoorLwoQuiet)))
            << c.what;
    }
}

// A load with the flag counts what a plain one counts, and prints the same problem lines.
TEST(TEntityLwoCompact, LoadsCountAndReportAsPlainOnes) {
    const std::string bad = makeTempDir() + "/bad.lwo";
    ASSERT_TRUE(lwo::writeFile(bad, object({tags({"A"}), points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                                            polygons("FACE", {{0, 1, 2}, {0, 1, 7}})})));
    std::vector<std::string> files = {bad};
    if (!sharedModels.empty())
        files.push_back(sharedModels + "/hierarchy.lwo");
    for (const std::string& file : files) {
        std::string said[2];
        bm::LwoSummary summary[2];
        for (int compact = 0; compact < 2; ++compact) {
            TEntityClass e;
            testing::internal::CaptureStdout();
            e.LoadLWO(file,
                      BrackmoorLwoQuiet | BrackmoorLwoNormals | (compact ? BrackmoorLwoCompact : 0),
                      summary[compact]);
            said[compact] = testing::internal::GetCapturedStdout();
        }
        EXPECT_EQ(said[1], said[0]) << file;
        EXPECT_EQ(problemLines(said[0]).empty(), file != bad) << file;
        EXPECT_EQ(summary[1].triangles, summary[0].triangles) << file;
        EXPECT_EQ(summary[1].points, summary[0].points) << file;
        EXPECT_EQ(summary[1].polygons, summary[0].polygons) << file;
        EXPECT_EQ(summary[1].surfaces, summary[0].surfaces) << file;
        EXPECT_GT(summary[1].triangles, 0u) << file;
    }
}

// A plain load's surfaces have one colour and one pair of texture coordinates, which GL's
// current values stand for: drawn under the application's texture, the demonstration's model
// and real ones look exactly as with a vertex per corner.
TEST_F(TEntityLwoCompactGL, PlainLoadsDrawTheSamePicture) {
    std::vector<std::string> models = {std::string(BRACKMOOR_DATA_DIR) + "/Zarodoru.lwo"};
    if (!sharedModels.empty())
        for (const char* file : {"ModoExport_vertNormals.lwo", "hierarchy.lwo"})
            models.push_back(sharedModels + "/" + file);
    const TTextureClass texture = loadTexture(quadrantColour);
    for (const std::string& model : models) {
        std::vector<unsigned char> pictures[2];
        for (const int compact : {0, 1}) {
            TEntityClass e;
            testing::internal::CaptureStdout();
            e.LoadLWO(model, 1 | BrackmoorLwoQuiet | (compact ? BrackmoorLwoCompact : 0));
            testing::internal::GetCapturedStdout();
            for (const TSurfaceClass* s : e.Surface)
                ASSERT_EQ(s->fxOneColour, compact ? 1 : -1) << model;
            pictures[compact] = pictureOf(e, texture);
        }
        EXPECT_TRUE(pictures[1] == pictures[0]) << model;
        EXPECT_GT(std::count(pictures[0].begin(), pictures[0].end(), 255), 10000) << model;
    }
}
