// TEntityLwoTest.cpp - LWO2 polygons turned into entity surfaces, and LoadLWO on real files.
#include "Lwo2Geometry.h"
#include "Lwo2Triangulator.h"
#include "TEntity.h"
#include "support/GLWindow.h"
#include "support/Lwo2Builder.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace bm::test;
namespace lwo = bm::lwo;

struct Vec {
    double x, y, z;
};

Vec sub(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec vertexOf(const TSurfaceClass& s, std::size_t index) {
    return {s.verts[3 * index], s.verts[3 * index + 1], s.verts[3 * index + 2]};
}

// Every triangle of the entity's surfaces from `first` on, as corner positions.
std::vector<std::array<Vec, 3>> trianglesOf(const TEntityClass& e, std::size_t first = 0) {
    std::vector<std::array<Vec, 3>> out;
    for (std::size_t k = first; k < e.Surface.size(); ++k) {
        const TSurfaceClass& s = *e.Surface[k];
        for (std::size_t i = 0; i + 2 < s.triangleIndex.size(); i += 3)
            out.push_back({vertexOf(s, s.triangleIndex[i]), vertexOf(s, s.triangleIndex[i + 1]),
                           vertexOf(s, s.triangleIndex[i + 2])});
    }
    return out;
}

// No surface holds more vertices than 8-bit indices reach, and no index names no vertex.
void expectIndicesInRange(const TEntityClass& e) {
    for (const TSurfaceClass* s : e.Surface) {
        EXPECT_LE(s->vertexPoints, 255);
        EXPECT_EQ(s->verts.size(), 3u * static_cast<std::size_t>(s->vertexPoints));
        for (unsigned char index : s->triangleIndex)
            EXPECT_LT(index, s->vertexPoints);
    }
}

std::string convert(TEntityClass& e, const bm::Lwo2Data& data) {
    std::ostringstream report;
    bm::addLwo2Surface(e, data, report);
    return report.str();
}

bm::Lwo2Data readModel(const std::vector<lwo::Point>& pts, const std::vector<Corners>& polys) {
    return read(object({tags({"A"}), points(pts), polygons("FACE", polys)})).lwo;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

ByteList readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteList(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What a conversion builds, the plain way: every triangle's corners added one by one through the
// surface's own calls, 85 triangles to a surface, and the report line of each.
std::vector<TSurfaceClass> plainSurfaces(const bm::Lwo2Data& lwo, std::string& report) {
    bm::Triangulator triangulator(lwo.Vertices);
    std::vector<TSurfaceClass> out;
    std::vector<bm::Triangle> triangles;
    for (const FaceData& face : lwo.Faces) {
        if (!bm::drawable(face, lwo))
            continue;
        triangles.clear();
        triangulator.split(lwo.Corners.data() + face.FirstCorner,
                           static_cast<std::size_t>(face.VertexCount), triangles);
        for (const bm::Triangle& t : triangles) {
            if (out.empty() || out.back().vertexPoints == 255)
                out.push_back(TSurfaceClass{});
            TSurfaceClass& s = out.back();
            for (std::int32_t point : {t.a, t.b, t.c}) {
                const VertexData& p = lwo.Vertices[static_cast<std::size_t>(point)];
                s.AddVertex(p.X, p.Y, p.Z, 0, 0, 50);
            }
            const auto v = static_cast<GLuint>(s.vertexPoints);
            s.AddTriangle(v - 3, v - 2, v - 1);
            report += "Vert1:" + std::to_string(v - 3) + " Vert2:" + std::to_string(v - 2) +
                      " Vert3:" + std::to_string(v - 1) + "\n";
        }
    }
    return out;
}

}  // namespace

// Two triangles sharing an edge: every corner becomes a vertex of its own.
TEST(TEntityLwo, TrianglesGetFreshVerticesInFileOrder) {
    TEntityClass e;
    const std::string report =
        convert(e, readModel({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {{0, 1, 2}, {2, 1, 3}}));
    EXPECT_EQ(report,
              "Converting LWO mesh data to Brackmoor Entity data...\n"
              "Vert1:0 Vert2:1 Vert3:2\nVert1:3 Vert2:4 Vert3:5\n");
    ASSERT_EQ(e.surfaceCount, 1);
    const TSurfaceClass& s = *e.Surface[0];
    EXPECT_EQ(s.verts,
              (std::vector<GLfloat>{0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1, 1, 0}));
    EXPECT_EQ(s.triangleIndex, (std::vector<unsigned char>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(s.tverts, std::vector<GLfloat>(12, 0.0f));
    const TEntityClass* record = TEntityRegistry.find(e.ID);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->surfaceCount, 1);
}

// Each polygon becomes n - 2 triangles that keep its winding and cover it exactly once.
TEST(TEntityLwo, PolygonsBecomeTrianglesThatCoverThem) {
    struct Case {
        const char* what;
        std::vector<lwo::Point> outline;
    };
    const std::vector<Case> cases = {
        {"square", {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}},
        {"dart, reflex corner 1", {{-1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 3, 0}}},
        {"dart, reflex corner 3", {{1, 0, 0}, {0, 3, 0}, {-1, 0, 0}, {0, 1, 0}}},
        {"dart, reflex corner 2", {{0, 3, 0}, {-1, 0, 0}, {0, 1, 0}, {1, 0, 0}}},
        {"L shape", {{0, 0, 0}, {3, 0, 0}, {3, 1, 0}, {1, 1, 0}, {1, 3, 0}, {0, 3, 0}}},
        {"comb",
         {{0, 0, 0},
          {5, 0, 0},
          {5, 3, 0},
          {4, 3, 0},
          {4, 1, 0},
          {3, 1, 0},
          {3, 3, 0},
          {2, 3, 0},
          {2, 1, 0},
          {1, 1, 0},
          {1, 3, 0},
          {0, 3, 0}}},
        {"clockwise star in YZ",
         {{0, 0, 3},
          {0, 0.7f, 1},
          {0, 2.8f, 1},
          {0, 1.1f, -0.4f},
          {0, 1.8f, -2.4f},
          {0, 0, -1.2f},
          {0, -1.8f, -2.4f},
          {0, -1.1f, -0.4f},
          {0, -2.8f, 1},
          {0, -0.7f, 1}}},
        {"bent pentagon", {{0, 0, 0}, {2, 0, 0.3f}, {3, 1, 0}, {1.5f, 2, 0.4f}, {0, 1, -0.2f}}},
        {"convex octagon in XZ",
         {{1, 0, 0},
          {0.7f, 0, 0.7f},
          {0, 0, 1},
          {-0.7f, 0, 0.7f},
          {-1, 0, 0},
          {-0.7f, 0, -0.7f},
          {0, 0, -1},
          {0.7f, 0, -0.7f}}},
        {"square with a square hole, bridged by points at the same places",
         {{0, 0, 0},
          {4, 0, 0},
          {4, 4, 0},
          {0, 4, 0},
          {0, 0, 0},
          {1, 1, 0},
          {1, 3, 0},
          {3, 3, 0},
          {3, 1, 0},
          {1, 1, 0}}},
        {"hexagon with a corner on a straight edge",
         {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 2, 0}, {0, 1, 0}}},
    };
    for (const Case& c : cases) {
        Corners corners;
        for (std::uint32_t i = 0; i < c.outline.size(); ++i)
            corners.push_back(i);
        TEntityClass e;
        convert(e, readModel(c.outline, {corners}));
        const auto triangles = trianglesOf(e);
        ASSERT_EQ(triangles.size(), c.outline.size() - 2) << c.what;
        Vec normal{0, 0, 0};  // twice the polygon's vector area
        for (std::size_t i = 0; i < c.outline.size(); ++i) {
            const lwo::Point& p = c.outline[i];
            const lwo::Point& q = c.outline[(i + 1) % c.outline.size()];
            normal = {normal.x + (p.y - q.y) * (p.z + q.z), normal.y + (p.z - q.z) * (p.x + q.x),
                      normal.z + (p.x - q.x) * (p.y + q.y)};
        }
        const double length = std::sqrt(dot(normal, normal));
        double covered = 0;
        for (const auto& t : triangles) {
            const double area = dot(cross(sub(t[1], t[0]), sub(t[2], t[0])), normal) / length;
            EXPECT_GT(area, 0.0) << c.what << ": a triangle turned the other way or is empty";
            covered += area;
        }
        EXPECT_NEAR(covered, length, 1e-3 * length)
            << c.what << ": triangles overlap or leave gaps";
    }
}

// 8-bit indices: at most 85 triangles a surface, the rest on new surfaces.
TEST(TEntityLwo, LargeMeshesAreSplitAcrossSurfaces) {
    std::vector<lwo::Point> pts;
    std::vector<Corners> polys;
    for (std::uint32_t i = 0; i < 100; ++i) {
        pts.push_back({float(i), 0, 0});
        pts.push_back({float(i), 1, 0});
        pts.push_back({float(i) + 1, 1, 0});
        pts.push_back({float(i) + 1, 0, 0});
        polys.push_back({4 * i, 4 * i + 1, 4 * i + 2, 4 * i + 3});  // 200 triangles
    }
    TEntityClass e;
    const std::string report = convert(e, readModel(pts, polys));
    ASSERT_EQ(e.surfaceCount, 3);
    EXPECT_EQ(e.Surface[0]->vertexPoints, 255);
    EXPECT_EQ(e.Surface[1]->vertexPoints, 255);
    EXPECT_EQ(e.Surface[2]->vertexPoints, 90);
    expectIndicesInRange(e);
    const std::string line85 = "Vert1:252 Vert2:253 Vert3:254\nVert1:0 Vert2:1 Vert3:2\n";
    EXPECT_NE(report.find(line85), std::string::npos);
    EXPECT_EQ(TEntityRegistry.find(e.ID)->surfaceCount, 3);
}

// Lines, points and polygons naming missing points give no triangles; a model always gets a
// surface, after any the entity already had.
TEST(TEntityLwo, UnusablePolygonsArePassedOver) {
    bm::Lwo2Data data = readModel({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0}, {0, 1}, {0, 1, 9}});
    FaceData bad{};
    bad.VertexCount = 3;
    bad.FirstCorner = static_cast<std::uint32_t>(data.Corners.size());
    data.Corners.insert(data.Corners.end(), {0, -1, 2});
    data.Faces.push_back(bad);
    FaceData beyondCorners = bad;
    beyondCorners.FirstCorner = 1000;
    data.Faces.push_back(beyondCorners);

    TEntityClass e;
    e.CreateEntity();
    e.CreateSurface();
    EXPECT_EQ(convert(e, data), "Converting LWO mesh data to Brackmoor Entity data...\n");
    ASSERT_EQ(e.surfaceCount, 2);
    EXPECT_EQ(e.Surface[1]->Id, 1);
    EXPECT_TRUE(e.Surface[1]->verts.empty());

    TEntityClass empty;
    convert(empty, bm::Lwo2Data{});
    EXPECT_EQ(empty.surfaceCount, 1);
    EXPECT_NE(TEntityRegistry.find(empty.ID), nullptr);
}

TEST(TEntityLwo, LoadLwoPrintsItsProgressAroundTheReport) {
    const std::string dir = makeTempDir();
    const std::string path = dir + "/tri.lwo";
    const ByteList bytes = object(
        {tags({"A"}), points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), polygons("FACE", {{0, 1, 2}})});
    ASSERT_TRUE(lwo::writeFile(path, bytes));
    TEntityClass e;
    testing::internal::CaptureStdout();
    e.LoadLWO(path, 1);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string head = "STARTED:Lightwave Loader v1.0\nfile exists, loading...\nLoading " +
                             std::to_string(bytes.size()) +
                             " Bytes\nLightwave object identified, located header for file.\n";
    EXPECT_EQ(out.substr(0, head.size()), head);
    const std::string tail =
        "      Triangle count 1\nEND OF LWO LOADER\n"
        "Converting LWO mesh data to Brackmoor Entity data...\n"
        "Vert1:0 Vert2:1 Vert3:2\n";
    ASSERT_GE(out.size(), tail.size());
    EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
    EXPECT_EQ(e.surfaceCount, 1);
    std::remove(path.c_str());
    std::remove(dir.c_str());

    TEntityClass missing;
    testing::internal::CaptureStdout();
    missing.LoadLWO(dir + "/none.lwo", 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "STARTED:Lightwave Loader v1.0\nLoadLWO:Error loading " + dir +
                  "/none.lwo could not file file.\n");
    EXPECT_FALSE(missing.created);
    EXPECT_TRUE(missing.Surface.empty());
}

// A quiet load prints its problem lines and nothing else, and builds what a loud one builds.
TEST(TEntityLwo, QuietLoadPrintsOnlyProblems) {
    const std::string dir = makeTempDir();
    const std::string path = dir + "/bad.lwo";
    const ByteList bytes = object({tags({"A"}), points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                                   polygons("FACE", {{0, 1, 2}, {0, 1, 7}})});
    ASSERT_TRUE(lwo::writeFile(path, bytes));
    TEntityClass loud, quiet;
    testing::internal::CaptureStdout();
    loud.LoadLWO(path, 1);
    const std::string loudOut = testing::internal::GetCapturedStdout();
    testing::internal::CaptureStdout();
    quiet.LoadLWO(path, BrackmoorLwoQuiet | 1);
    quiet.LoadLWO(dir + "/none.lwo", BrackmoorLwoQuiet);
    const std::string quietOut = testing::internal::GetCapturedStdout();
    std::string problems;
    for (const std::string& line : lines(loudOut))
        if (line.rfind("LoadLWO:", 0) == 0)
            problems += line + "\n";
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(quietOut,
              problems + "LoadLWO:Error loading " + dir + "/none.lwo could not file file.\n");
    ASSERT_EQ(quiet.surfaceCount, loud.surfaceCount);
    EXPECT_EQ(quiet.Surface[0]->verts, loud.Surface[0]->verts);
    std::remove(path.c_str());
    std::remove(dir.c_str());
}

// Models made by other tools, LWO2 and LWOB: the triangles a complete triangulation gives, and
// the box of the points the faces use.
TEST(TEntityLwo, RealModelsMatchTheCensus) {
    const std::string dir = BRACKMOOR_SHARED_LWO_DIR;
    if (dir.empty())
        GTEST_SKIP() << "the shared folder of LWO models (shared/lwo) is not here";
    std::ifstream census(dir + "/census.tsv");
    ASSERT_TRUE(census.is_open());
    std::vector<std::string> rows;
    for (std::string line; std::getline(census, line);)
        rows.push_back(line);
    // The folder's README gives this model's figures; census.tsv does not list it yet.
    rows.push_back(
        "lwob_sphere_with_mat_gloss_50pc.lwo\tLWOB\t266\t3:48,4:240\t-\t528\t"
        "-2.15,-2.1,-2.6,2.15,2.1,2.5");
    int files = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {  // row 0 names the columns
        std::vector<std::string> cols;
        std::stringstream row(rows[i]);
        for (std::string col; std::getline(row, col, '\t');)
            cols.push_back(col);
        cols.resize(7);
        const std::string& file = cols[0];
        TEntityClass e;
        testing::internal::CaptureStdout();
        e.LoadLWO(dir + "/" + file, 1);
        const std::string out = testing::internal::GetCapturedStdout();
        ++files;
        if (cols[1] == "not-LWO2") {
            EXPECT_NE(out.find(" is not an LWO2 object\nEND OF LWO LOADER\n"), std::string::npos)
                << file;
            EXPECT_EQ(e.surfaceCount, 1) << file;
            continue;
        }
        // LightWave 5 files load like LWO2 ones, under a header line of their own.
        const bool lwob = out.find("Lightwave 5 (LWOB) object identified") != std::string::npos;
        EXPECT_EQ(lwob, cols[1] == "LWOB") << file;
        EXPECT_EQ(out.find("LoadLWO:"), std::string::npos) << file;
        expectIndicesInRange(e);
        const auto triangles = trianglesOf(e);
        EXPECT_EQ(triangles.size(), std::stoul(cols[5])) << file;
        std::array<double, 6> box{1e30, 1e30, 1e30, -1e30, -1e30, -1e30};
        for (const auto& t : triangles)
            for (const Vec& p : t) {
                const double c[3] = {p.x, p.y, p.z};
                for (int k = 0; k < 3; ++k) {
                    box[k] = std::min(box[k], c[k]);
                    box[k + 3] = std::max(box[k + 3], c[k]);
                }
            }
        std::stringstream expected(cols[6]);
        for (int k = 0; k < 6; ++k) {
            std::string value;
            std::getline(expected, value, ',');
            EXPECT_NEAR(box[k], std::stod(value), 1e-4) << file << " box value " << k;
        }
    }
    EXPECT_EQ(files, 16);
}

// The demonstration's model, and a real one with looks read too, cut at every length: the reader
// stays inside the bytes it has and every polygon it keeps names points it read.
TEST(TEntityLwo, TruncatedModelsReadSafely) {
    struct Model {
        std::string path;
        std::int32_t flags;
    };
    std::vector<Model> models = {{std::string(BRACKMOOR_DATA_DIR) + "/Zarodoru.lwo", 1}};
    if (!std::string(BRACKMOOR_SHARED_LWO_DIR).empty())
        models.push_back({std::string(BRACKMOOR_SHARED_LWO_DIR) + "/box_2uv_1unused.lwo",
                          BrackmoorLwoSurfaces | BrackmoorLwoNormals});
    std::ostream discard(nullptr);
    for (const Model& model : models) {
        const ByteList whole = readFile(model.path);
        ASSERT_GT(whole.size(), 1000u) << model.path;
        bm::Lwo2Options options;
        options.appearance = model.flags != 1;
        for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
            const ByteList part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
            const bm::Lwo2Data data =
                bm::readLwo2(part.data(), part.size(), discard, "cut", options);
            for (const FaceData& face : data.Faces) {
                ASSERT_LE(face.FirstCorner + std::size_t(face.VertexCount), data.Corners.size());
                for (std::int32_t k = 0; k < face.VertexCount; ++k)
                    ASSERT_LT(std::size_t(data.Corners[face.FirstCorner + k]),
                              data.Vertices.size());
            }
            // Converting adds surfaces that live until exit, so only some cuts are converted.
            if (cut % 97 == 0 || cut == whole.size()) {
                TEntityClass e;
                std::ostringstream report;
                bm::addLwo2Surface(e, data, report, model.flags);
                expectIndicesInRange(e);
            }
        }
    }
}

// The summary counts what one load read and made: polygons as read, triangles as this load drew
// them, surfaces once their looks are read. A file that is no LightWave object reads nothing.
TEST(TEntityLwo, SummaryCountsWhatOneLoadRead) {
    const std::string dir = makeTempDir();
    ASSERT_TRUE(lwo::writeFile(
        dir + "/model.lwo",
        object({tags({"A", "B"}), points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}),
                polygons("FACE", {{0, 1, 2, 3}, {0, 2, 3}, {0, 1}}),
                polygonTags("SURF", {{0, 0}, {1, 1}, {2, 1}})})));
    std::ofstream(dir + "/text.lwo") << "FORM    LWO3 is not what the loader reads";
    const struct {
        const char* file;
        std::int32_t flags;
        const char* expected;  // read, points, polygons, triangles, surfaces, images
    } loads[] = {{"model.lwo", 0, "1 4 3 3 0 0"},
                 {"model.lwo", BrackmoorLwoNormals, "1 4 3 3 2 0"},
                 {"text.lwo", 0, "0 0 0 0 0 0"},
                 {"none.lwo", 0, "0 0 0 0 0 0"}};
    TEntityClass e;  // loaded into again and again
    for (const auto& load : loads) {
        bm::LwoSummary s;
        s.points = 99;
        testing::internal::CaptureStdout();
        e.LoadLWO(dir + "/" + load.file, BrackmoorLwoQuiet | load.flags, s);
        testing::internal::GetCapturedStdout();
        std::ostringstream got;
        got << s.read << ' ' << s.points << ' ' << s.polygons << ' ' << s.triangles << ' '
            << s.surfaces << ' ' << s.images;
        EXPECT_EQ(got.str(), load.expected) << load.file << " with flags " << load.flags;
    }
}

// Surfaces are sized once and filled in place, and a large fill has a second thread provide its
// memory: what they hold, and the report, are still exactly what adding vertex after vertex
// gives.
TEST(TEntityLwo, FilledSurfacesHoldWhatAddingVerticesGives) {
    // The large grid's surfaces take about 30 MB, enough for the second thread.
    for (const std::uint32_t size : {20u, 400u}) {
        const bm::Lwo2Data lwo = read(gridObject(1, size)).lwo;
        std::string expectedReport = "Converting LWO mesh data to Brackmoor Entity data...\n";
        const std::vector<TSurfaceClass> expected = plainSurfaces(lwo, expectedReport);
        TEntityClass e;
        EXPECT_EQ(convert(e, lwo), expectedReport) << size;
        ASSERT_EQ(e.Surface.size(), expected.size()) << size;
        for (std::size_t k = 0; k < expected.size(); ++k) {
            const TSurfaceClass& got = *e.Surface[k];
            const TSurfaceClass& want = expected[k];
            ASSERT_EQ(got.Id, static_cast<std::int32_t>(k));
            ASSERT_EQ(got.vertexPoints, want.vertexPoints) << k;
            ASSERT_EQ(got.verts, want.verts) << k;
            ASSERT_EQ(got.tverts, want.tverts) << k;
            ASSERT_EQ(got.vertexColours, want.vertexColours) << k;
            ASSERT_EQ(got.triangleIndex, want.triangleIndex) << k;
            ASSERT_TRUE(got.normals.empty()) << k;
        }
    }
}
