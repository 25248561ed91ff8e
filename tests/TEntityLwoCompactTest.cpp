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

// A corner as drawn: the bits of position, colour, UV and normal; has a normal; own; texture.
using Corner = std::array<std::uint32_t, 15>;

Corner vertexAt(const TSurfaceClass& s, std::size_t v) {
    float values[12] = {};
    const std::size_t coloured = s.fxOneColour == 1 ? 0 : v;  // one colour is kept once
    std::copy_n(s.verts.begin() + 3 * v, 3, values);
    std::copy_n(s.vertexColours.begin() + 4 * coloured, 4, values + 3);
    std::copy_n(s.tverts.begin() + 2 * coloured, 2, values + 7);
    if (!s.normals.empty())
        std::copy_n(s.normals.begin() + 3 * v, 3, values + 9);
    Corner c{};
    std::memcpy(c.data(), values, sizeof values);
    c[12] = !s.normals.empty();
    c[13] = std::uint32_t(s.fxOwnTexture);
    c[14] = s.textureID[0].Tname;
    return c;
}

// Every corner the entity draws, in order: vertexPoints indices a surface.
std::vector<Corner> cornersDrawn(const TEntityClass& e) {
    std::vector<Corner> out;
    for (const TSurfaceClass* s : e.Surface) {
        const std::size_t drawn = std::min(s->triangleIndex.size(), std::size_t(s->vertexPoints));
        for (std::size_t i = 0; i < drawn; ++i)
            out.push_back(vertexAt(*s, s->triangleIndex[i]));
    }
    return out;
}

// Each surface: at most 256 vertices, every one used and no two alike, colours sized for them
// (once on an unlit one-colour surface), vertexPoints every index.
void expectCompact(const TEntityClass& e, const std::string& what) {
    for (const TSurfaceClass* s : e.Surface) {
        const std::size_t n = s->verts.size() / 3, coloured = s->fxOneColour == 1 ? 1 : n;
        ASSERT_LE(n, 256u) << what;
        ASSERT_EQ(s->vertexColours.size(), 4 * coloured) << what;
        ASSERT_EQ(s->tverts.size(), 2 * coloured) << what;
        ASSERT_TRUE(s->normals.empty() || (s->normals.size() == 3 * n && coloured == n)) << what;
        ASSERT_EQ(std::size_t(s->vertexPoints), s->triangleIndex.size()) << what;
        const std::set<unsigned char> used(s->triangleIndex.begin(), s->triangleIndex.end());
        ASSERT_TRUE(used.empty() || *used.rbegin() < n) << what << ": index past the vertices";
        EXPECT_EQ(used.size(), n) << what << ": unused vertex";
        std::set<Corner> distinct;
        for (std::size_t v = 0; v < n; ++v)
            distinct.insert(vertexAt(*s, v));
        EXPECT_EQ(distinct.size(), n) << what << ": two vertices alike";
    }
}

constexpr std::int32_t looks = BrackmoorLwoSurfaces | BrackmoorLwoNormals;

// As if every image the looks name had loaded, so that it lays on its texture coordinates.
TEntityClass converted(const bm::Lwo2Data& lwo, std::int32_t flags, std::string* report = nullptr) {
    std::ostringstream out;
    bm::ReportWriter quiet(out, true);
    bm::ModelLooks found = bm::findLooks(lwo, quiet, true);
    for (bm::SurfaceLook& look : found.looks)
        look.textured = look.image != nullptr;
    const std::vector<TTextureClass> textures(found.looks.size(), TTextureClass{});
    TEntityClass e;
    bm::addLwo2Surface(e, lwo, out, flags, flags & looks ? &found : nullptr, &textures);
    if (report != nullptr)
        *report = out.str();
    return e;
}

class TEntityLwoCompactGL : public GLFixture {};

}  // namespace

// Real models with colours, UVs and smooth normals, a tessellated one and a grid over many
// surfaces, under each set of flags: a lost winding, a merged seam or a wrong texture shows as a
// corner that differs from the plain conversion's.
TEST(TEntityLwoCompact, DrawsThePlainTrianglesCornerForCorner) {
    std::vector<std::pair<std::string, bm::Lwo2Data>> models = {
        {"grid", readWithLooks(gridObject(2, 60)).lwo}};
    if (!sharedModels.empty())
        for (const char* file : {"ModoExport_vertNormals.lwo", "sphere_with_mat_gloss_10pc.lwo",
                                 "boxuv.lwo", "MappingModes_earth_spherical_x.lwo", "hierarchy.lwo",
                                 "concave_self_intersecting.lwo"})
            models.push_back({file, readShared(file).lwo});
    for (const auto& [name, lwo] : models)
        for (const std::int32_t flags :
             {0, BrackmoorLwoNormals, looks, looks | BrackmoorLwoRightHanded}) {
            const std::string what = name + " with flags " + std::to_string(flags);
            const TEntityClass plain = converted(lwo, flags | BrackmoorLwoQuiet);
            const TEntityClass compact =
                converted(lwo, flags | BrackmoorLwoQuiet | BrackmoorLwoCompact);
            const std::vector<Corner> want = cornersDrawn(plain), got = cornersDrawn(compact);
            ASSERT_EQ(got.size(), want.size()) << what;
            for (std::size_t i = 0; i < want.size(); ++i)
                ASSERT_EQ(got[i], want[i]) << what << ", triangle " << i / 3 << " corner " << i % 3;
            expectCompact(compact, what);
        }
}

// A fan adds a vertex a triangle: a surface fills to exactly 256 vertices, index 255 in use,
// before the next opens (an off-by-one either way shows); triangles sharing nothing take 85 a
// surface. The report numbers corners as shared; unlit white surfaces keep one colour.
TEST(TEntityLwoCompact, SurfacesFillToTheLastEightBitIndex) {
    std::vector<lwo::Point> fanPoints = {{0, 0, 0}}, apartPoints;
    std::vector<Corners> fan, apart;
    for (std::uint32_t i = 0; i <= 600; ++i) {
        fanPoints.push_back({std::cos(i * 0.01f), std::sin(i * 0.01f), 0});
        if (i > 0)
            fan.push_back({0, i, i + 1});
    }
    for (std::uint32_t i = 0; i < 100; ++i) {
        apartPoints.insert(apartPoints.end(),
                           {{float(i), 0, 0}, {float(i), 1, 0}, {i + .5f, 0, 0}});
        apart.push_back({3 * i, 3 * i + 1, 3 * i + 2});
    }
    // The report's lines where the first surface closes.
    const char *fanClose = "\nVert1:0 Vert2:254 Vert3:255\nVert1:0 Vert2:1 Vert3:2\n",
               *apartClose = "\nVert1:252 Vert2:253 Vert3:254\nVert1:0 Vert2:1 Vert3:2\n";
    const struct {
        const char* what;
        std::vector<lwo::Point> points;
        std::vector<Corners> polygons;
        std::vector<std::size_t> triangles, vertices;  // per surface
        const char* closing;
    } cases[] = {{"fan", fanPoints, fan, {254, 254, 92}, {256, 256, 94}, fanClose},
                 {"apart", apartPoints, apart, {85, 15}, {255, 45}, apartClose}};
    for (const auto& c : cases) {
        const bm::Lwo2Data lwo =
            read(object({tags({"A"}), points(c.points), polygons("FACE", c.polygons)})).lwo;
        std::string report;
        const TEntityClass e = converted(lwo, BrackmoorLwoCompact, &report);
        expectCompact(e, c.what);
        std::vector<std::size_t> triangles, vertices;
        for (const TSurfaceClass* s : e.Surface) {
            triangles.push_back(s->triangleIndex.size() / 3);
            vertices.push_back(s->verts.size() / 3);
            EXPECT_EQ(s->fxOneColour, 1) << c.what;
        }
        EXPECT_EQ(triangles, c.triangles) << c.what;
        EXPECT_EQ(vertices, c.vertices) << c.what;
        EXPECT_NE(report.find(c.closing), std::string::npos) << c.what;
        EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1 + c.polygons.size()) << c.what;
        EXPECT_EQ(cornersDrawn(e), cornersDrawn(converted(lwo, BrackmoorLwoQuiet))) << c.what;
    }
}

// Two squares share the edge x = 1, whose corners become one vertex each only where every value
// agrees: a UV seam, a hard edge or a vertex-colour boundary keeps them apart, and two points at
// one place with the same values are one vertex.
TEST(TEntityLwoCompact, SharesOnlyCornersThatAgreeInEveryValue) {
    const std::vector<lwo::Point> flat = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0},
                                          {0, 1, 0}, {2, 0, 0}, {2, 1, 0}};
    // The second square folded up by 90 degrees along the shared edge.
    const std::vector<lwo::Point> folded = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0},
                                            {0, 1, 0}, {1, 0, 1}, {1, 1, 1}};
    const Bytes uvs = vertexMap(
        "VMAP", "TXUV", 2, "uv",
        {{0, {0, 0}}, {1, {0.5f, 0}}, {2, {0.5f, 1}}, {3, {0, 1}}, {4, {1, 0}}, {5, {1, 1}}});
    const Bytes seam = vertexMap("VMAD", "TXUV", 2, "uv", {{1, {0.6f, 0}, 1}, {2, {0.6f, 1}, 1}});
    const Bytes red = vertexMap("VMAP", "RGB ", 3, "paint", {{1, {1, 0, 0}}, {2, {1, 0, 0}}});
    const Bytes blueEdge =
        vertexMap("VMAD", "RGB ", 3, "paint", {{1, {0, 0, 1}, 1}, {2, {0, 0, 1}, 1}});
    const Bytes image = imageBlock(5, 1, "uv"), paint = vertexColours(1, "RGB ", "paint");
    const Bytes smooth = attribute("SMAN", 100 * 3.14159265f / 180),
                hard = attribute("SMAN", 30 * 3.14159265f / 180);
    // The maps after the polygons, as VMADs name polygons already read.
    const auto squares = [](const std::vector<lwo::Point>& place, std::vector<Bytes> maps,
                            const Bytes& look) {
        std::vector<Bytes> chunks = {tags({"S"}), points(place),
                                     polygons("FACE", {{0, 1, 2, 3}, {1, 4, 5, 2}}),
                                     polygonTags("SURF", {{0, 0}, {1, 0}})};
        chunks.insert(chunks.end(), maps.begin(), maps.end());
        chunks.push_back(stillClip(1, "image.png"));
        chunks.push_back(surface("S", {look}));
        return object(chunks);
    };
    std::vector<lwo::Point> doubled = flat;  // the second square's own copy of the edge
    doubled.insert(doubled.end(), {{1, 0, 0}, {1, 1, 0}});
    const struct {
        const char* what;
        ByteList model;
        std::int32_t flags;
        std::size_t vertices;
    } cases[] = {
        {"one UV map", squares(flat, {uvs}, image), looks, 6},
        {"a UV seam", squares(flat, {uvs, seam}, image), looks, 8},
        {"a smooth fold", squares(folded, {}, smooth), looks, 6},
        {"a hard edge", squares(folded, {}, hard), looks, 8},
        {"a hard edge, colours only", squares(folded, {}, hard), BrackmoorLwoSurfaces, 6},
        {"one vertex colour a point", squares(flat, {red}, paint), looks, 6},
        {"a vertex colour boundary", squares(flat, {red, blueEdge}, paint), looks, 8},
        {"the edge's points twice",
         object({tags({"S"}), points(doubled), polygons("FACE", {{0, 1, 2, 3}, {6, 4, 5, 7}})}), 0,
         6},
    };
    for (const auto& c : cases) {
        const bm::Lwo2Data lwo = readWithLooks(c.model).lwo;
        const TEntityClass e = converted(lwo, c.flags | BrackmoorLwoQuiet | BrackmoorLwoCompact);
        ASSERT_EQ(e.Surface.size(), 1u) << c.what;
        expectCompact(e, c.what);
        EXPECT_EQ(e.Surface[0]->verts.size(), 3 * c.vertices) << c.what;
        EXPECT_EQ(cornersDrawn(e), cornersDrawn(converted(lwo, c.flags | BrackmoorLwoQuiet)))
            << c.what;
    }
}

// Drawn from their files under the application's texture, the demonstration's model and real
// ones with images and normals look exactly as with a vertex per corner, also where a surface
// keeps one colour and one UV pair for GL's current values to stand for.
TEST_F(TEntityLwoCompactGL, LoadsDrawTheSamePicture) {
    std::vector<std::pair<std::string, std::int32_t>> loads = {
        {std::string(BRACKMOOR_DATA_DIR) + "/Zarodoru.lwo", 1}};
    if (!sharedModels.empty())
        for (const char* file :
             {"ModoExport_vertNormals.lwo", "MappingModes_earth_spherical_x.lwo"})
            for (const std::int32_t flags : {1, looks})
                loads.push_back({sharedModels + "/" + file, flags});
    const TTextureClass texture = loadTexture(quadrantColour);
    for (const auto& [model, flags] : loads) {
        std::vector<unsigned char> pictures[2];
        for (const int compact : {0, 1}) {
            for (TEntityClass* record : TEntityRegistry)
                record->hidden = 0;  // the test guard shows them again
            TEntityClass e;
            testing::internal::CaptureStdout();
            e.LoadLWO(model, flags | BrackmoorLwoQuiet | (compact ? BrackmoorLwoCompact : 0));
            testing::internal::GetCapturedStdout();
            e.PositionEntity(0, 0, -8);
            e.RotateEntity(35, 50, 0);
            setOrthoView();
            glBindTexture(GL_TEXTURE_2D, texture.Tname);
            Brackmoor.updateWorld();
            pictures[compact].resize(640 * 480 * 4);
            glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, pictures[compact].data());
            e.hidden = 0;
            e.updateRegistry();
        }
        EXPECT_TRUE(pictures[1] == pictures[0]) << model << " with flags " << flags;
        // Not all black: fewer zeros than the red, green and blue of every pixel.
        EXPECT_LT(std::count(pictures[0].begin(), pictures[0].end(), 0), 640 * 480 * 3 - 10000)
            << model;
    }
}
