// LwobReaderTest.cpp - LightWave 5 (LWOB) objects read through the model reader: polygons with
// their details and surfaces, surface looks, real files and bad input.
#include "LwobReader.h"
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

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The report's problem lines, each with its line end.
std::string problemLines(const std::string& report) {
    std::istringstream in(report);
    std::string problems;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("LoadLWO:", 0) == 0)
            problems += line + "\n";
    return problems;
}

Bytes surfaceNames(const std::vector<std::string>& names) {
    Bytes body;
    for (const std::string& name : names)
        body.s0(name);
    return lwo::chunk("SRFS", body);
}

// One polygon record; a negative surface announces detail polygons, whose count the caller
// appends.
Bytes record(const Corners& corners, int surface) {
    Bytes body;
    body.u2(static_cast<unsigned>(corners.size()));
    for (std::uint32_t corner : corners)
        body.u2(corner);
    return body.u2(static_cast<unsigned>(surface) & 0xFFFF);
}

Bytes polygonRecords(const std::vector<Bytes>& records) {
    Bytes body;
    for (const Bytes& r : records)
        body.append(r);
    return lwo::chunk("POLS", body);
}

Bytes lwobSurface(const std::string& name, const std::vector<Bytes>& attributes) {
    Bytes body;
    body.s0(name);
    for (const Bytes& a : attributes)
        body.append(a);
    return lwo::chunk("SURF", body);
}

Bytes level(const char* id, unsigned value) {
    return lwo::subchunk(id, Bytes().u2(value));
}
Bytes fraction(const char* id, float value) {
    return lwo::subchunk(id, Bytes().f4(value));
}
Bytes vector(const char* id, float x, float y, float z) {
    return lwo::subchunk(id, Bytes().f4(x).f4(y).f4(z));
}
Bytes name(const char* id, const std::string& text) {
    return lwo::subchunk(id, Bytes().s0(text));
}
Bytes colourBytes(unsigned red, unsigned green, unsigned blue) {
    return lwo::subchunk("COLR", Bytes().u1(red).u1(green).u1(blue).u1(0));
}

ByteList lwobObject(const std::vector<Bytes>& chunks) {
    return lwo::lwobForm(chunks).data;
}

ReadResult readLwob(const ByteList& bytes, bool appearance = true, bool quiet = false) {
    const ByteList exact(bytes);  // exact size: a read past the end shows under the sanitizers
    bm::Lwo2Options options;
    options.appearance = appearance;
    options.quiet = quiet;
    std::ostringstream report;
    bm::Lwo2Data data = bm::readLwo2(exact.data(), exact.size(), report, "test.lwo", options);
    return ReadResult{std::move(data), report.str()};
}

// Every polygon kept lies within the corner list and names points that were read.
void expectPolygonsNameReadPoints(const bm::Lwo2Data& data, const std::string& what) {
    for (const FaceData& face : data.Faces) {
        ASSERT_LE(face.FirstCorner + std::size_t(face.VertexCount), data.Corners.size()) << what;
        for (std::int32_t k = 0; k < face.VertexCount; ++k)
            ASSERT_LT(std::size_t(data.Corners[face.FirstCorner + k]), data.Vertices.size())
                << what;
    }
}

ByteList readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteList(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::vector<lwo::Point> squareAndCentre = {
    {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5f, 0.5f, 0}};

}  // namespace

// Detail polygons are polygons like the others; surface k of SRFS is tag k - 1; other chunks
// are walked over by their lengths; the report uses the LWO2 reader's lines.
TEST(LwobReader, PolygonsWithDetailsGetTheirSurfaces) {
    const ByteList bytes = lwobObject({
        surfaceNames({"Hull", "Fin"}),
        points(squareAndCentre),
        rawChunk("CRVS", Bytes().u2(2).u2(0).u2(1).u1(1)),  // odd length: a pad byte follows
        polygonRecords({record({0, 1, 2, 3}, 1), record({0, 1, 4}, -2).u2(2), record({1, 2, 4}, 1),
                        record({2, 3, 4}, 2), record({3, 0, 4}, 2)}),
    });
    const ReadResult r = readLwob(bytes, false);
    EXPECT_EQ(r.report,
              "Lightwave 5 (LWOB) object identified, located header for file.\n"
              "File size " +
                  std::to_string(bytes.size() - 8) +
                  " Bytes, (minus FORM and LWOB identifiers)\n"
                  "VERTEX POINTS DATA LOCATED\n"
                  "      Points data length:60\n"
                  "      X:    0.00  Y:    0.00  Z:    0.00\n"
                  "      X:    1.00  Y:    0.00  Z:    0.00\n"
                  "      X:    1.00  Y:    1.00  Z:    0.00\n"
                  "      X:    0.00  Y:    1.00  Z:    0.00\n"
                  "      X:    0.50  Y:    0.50  Z:    0.00\n"
                  "      Vertex group count 5\n"
                  "POLYGON DATA LOCATED\n"
                  "      Polygon data length:54\n"
                  "      Face data 4\n      Face data quad\n"
                  "      Vertex data V1:0 V2:1 V3:2 V4:3\n"
                  "      Face data 3\n      Face data triangle\n"
                  "      Vertex data V1:0 V2:1 V3:4\n"
                  "      Face data 3\n      Face data triangle\n"
                  "      Vertex data V1:1 V2:2 V3:4\n"
                  "      Face data 3\n      Face data triangle\n"
                  "      Vertex data V1:2 V2:3 V3:4\n"
                  "      Face data 3\n      Face data triangle\n"
                  "      Vertex data V1:3 V2:0 V3:4\n"
                  "      Triangle count 5\n"
                  "END OF LWO LOADER\n");
    ASSERT_EQ(r.lwo.Tags.size(), 2u);
    EXPECT_EQ(r.lwo.Tags[1].name, "Fin");
    ASSERT_EQ(r.lwo.Faces.size(), 5u);
    EXPECT_EQ(r.lwo.LWOTriangleCount, 5);
    EXPECT_EQ(r.lwo.Corners,
              (std::vector<std::int32_t>{0, 1, 2, 3, 0, 1, 4, 1, 2, 4, 2, 3, 4, 3, 0, 4}));
    const std::int32_t surfaces[] = {0, 1, 0, 1, 1};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(r.lwo.Faces[i].SurfaceID, surfaces[i]) << i;
        EXPECT_EQ(r.lwo.Faces[i].SurfaceTag, surfaces[i]) << i;
    }
    EXPECT_EQ(r.lwo.Faces[2].FirstCorner, 7u);
    EXPECT_EQ(r.lwo.Faces[2].Vertex[2], 4);
    EXPECT_TRUE(r.lwo.Surfaces.empty());

    // Straight to the LWOB reader, the same lists; anything else is not an LWOB object.
    std::ostringstream direct;
    EXPECT_EQ(bm::readLwob(bytes.data(), bytes.size(), direct).Corners, r.lwo.Corners);
    const ByteList lwo2 = object({tags({})});
    std::ostringstream refused;
    bm::readLwob(lwo2.data(), lwo2.size(), refused, "a.lwo");
    EXPECT_EQ(refused.str(), "LoadLWO: a.lwo is not an LWOB object\nEND OF LWO LOADER\n");
}

// Colour bytes over 255, levels over 256 unless a fraction is given, smoothing by the FLAG bit.
TEST(LwobReader, SurfaceLooksFollowTheirSubchunks) {
    struct Case {
        const char* what;
        std::vector<Bytes> attributes;
        float colour[3];
        float diffuse, transparency, smoothingAngle;
    };
    const float grey = 200.0f / 255;
    const std::vector<Case> cases = {
        {"nothing given", {}, {grey, grey, grey}, 1.0f, 0.0f, 0.0f},
        {"levels",
         {colourBytes(255, 0, 51), level("DIFF", 128), level("TRAN", 64)},
         {1.0f, 0.0f, 0.2f},
         0.5f,
         0.25f,
         0.0f},
        {"fractions before and after levels",
         {fraction("VDIF", 0.8f), level("DIFF", 128), level("TRAN", 64), fraction("VTRN", 0.1f)},
         {grey, grey, grey},
         0.8f,
         0.1f,
         0.0f},
        {"smoothing bit and angle",
         {level("FLAG", 4 | 1), fraction("SMAN", 0.5f)},
         {grey, grey, grey},
         1.0f,
         0.0f,
         0.5f},
        {"smoothing bit alone", {level("FLAG", 4)}, {grey, grey, grey}, 1.0f, 0.0f, 1.5620697f},
        {"angle without the bit",
         {level("FLAG", 1), fraction("SMAN", 0.5f)},
         {grey, grey, grey},
         1.0f,
         0.0f,
         0.0f},
    };
    std::vector<Bytes> chunks{surfaceNames({"S0", "S1"})};
    for (std::size_t i = 0; i < cases.size(); ++i)
        chunks.push_back(lwobSurface("S" + std::to_string(i), cases[i].attributes));
    const ReadResult r = readLwob(lwobObject(chunks));
    EXPECT_EQ(problemLines(r.report), "");
    ASSERT_EQ(r.lwo.Surfaces.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const bm::SurfaceData& s = r.lwo.Surfaces[i];
        EXPECT_EQ(s.name, "S" + std::to_string(i));
        for (int k = 0; k < 3; ++k)
            EXPECT_FLOAT_EQ(s.colour[k], c.colour[k]) << c.what << " colour " << k;
        EXPECT_FLOAT_EQ(s.diffuse, c.diffuse) << c.what;
        EXPECT_FLOAT_EQ(s.transparency, c.transparency) << c.what;
        EXPECT_FLOAT_EQ(s.smoothingAngle, c.smoothingAngle) << c.what;
    }
    // The tags take the colour only from a COLR, as LWO2 ones do.
    EXPECT_EQ(r.lwo.Tags[0].Red, 0.0f);
    EXPECT_EQ(r.lwo.Tags[1].Red, 1.0f);
    EXPECT_FLOAT_EQ(r.lwo.Tags[1].Blue, 0.2f);
    EXPECT_TRUE(readLwob(lwobObject(chunks), false).lwo.Surfaces.empty());
}

// T... sub-chunks fill the latest colour image map; those of procedural textures and of other
// channels' textures are passed over, and TRAN stays the surface's.
TEST(LwobReader, ColourImageMapsTakeTheTextureFieldsAfterThem) {
    const ByteList bytes =
        lwobObject({lwobSurface("Wood", {
                                            name("CTEX", "Planar Image Map"),
                                            level("TFLG", 2 | 8),
                                            vector("TSIZ", 2, 1.5f, 1),
                                            vector("TCTR", 0.5f, 0, -1),
                                            name("TIMG", "C:\\maps\\wood.iff"),
                                            fraction("TFP0", 3),
                                            fraction("TFP1", 2),
                                            lwo::subchunk("TWRP", Bytes().u2(2).u2(3)),
                                            name("DTEX", "Planar Image Map"),
                                            name("TIMG", "dirt.iff"),
                                            vector("TSIZ", 9, 9, 9),
                                            name("CTEX", "Fractal Noise"),
                                            vector("TSIZ", 7, 7, 7),
                                            name("CTEX", "Cylindrical Image Map"),
                                            level("TFLG", 4),
                                            name("TIMG", "bark.iff"),
                                            lwo::subchunk("TWRP", Bytes().u2(0).u2(1)),
                                            name("CTEX", "Front Projection Image Map"),
                                            name("CTEX", "Cubic Image Map"),
                                            level("TRAN", 128),
                                            level("TFLG", 1),
                                        })});
    const ReadResult r = readLwob(bytes);
    EXPECT_EQ(problemLines(r.report), "");
    ASSERT_EQ(r.lwo.Surfaces.size(), 1u);
    const bm::SurfaceData& s = r.lwo.Surfaces[0];
    EXPECT_EQ(s.transparency, 0.5f);
    ASSERT_EQ(s.images.size(), 4u);
    const bm::ImageBlock& planar = s.images[0];
    EXPECT_EQ(planar.projection, 0);
    EXPECT_EQ(planar.axis, 1);
    EXPECT_TRUE(planar.worldCoordinates);
    EXPECT_EQ(planar.imageFile, "C:\\maps\\wood.iff");
    EXPECT_EQ(std::vector<float>(planar.size, planar.size + 3), (std::vector<float>{2, 1.5f, 1}));
    EXPECT_EQ(std::vector<float>(planar.centre, planar.centre + 3),
              (std::vector<float>{0.5f, 0, -1}));
    EXPECT_EQ(planar.widthRepeats, 3.0f);
    EXPECT_EQ(planar.heightRepeats, 2.0f);
    EXPECT_EQ(planar.wrapWidth, 1);   // repeat
    EXPECT_EQ(planar.wrapHeight, 2);  // mirror
    const bm::ImageBlock& cylinder = s.images[1];
    EXPECT_EQ(cylinder.projection, 1);
    EXPECT_EQ(cylinder.axis, 2);
    EXPECT_FALSE(cylinder.worldCoordinates);
    EXPECT_EQ(cylinder.imageFile, "bark.iff");
    EXPECT_EQ(cylinder.size[0], 1.0f);
    EXPECT_EQ(cylinder.wrapWidth, 0);   // black: reset
    EXPECT_EQ(cylinder.wrapHeight, 3);  // clamp: edge
    EXPECT_EQ(s.images[2].projection, 4);
    EXPECT_EQ(s.images[3].projection, 3);
    EXPECT_EQ(s.images[3].axis, 0);
}

// Files made by other tools: the sphere has the same mesh as its LWO2 twin.
TEST(LwobReader, RealFilesReadWithTheirLooks) {
    const std::string dir = BRACKMOOR_SHARED_LWO_DIR;
    if (dir.empty())
        GTEST_SKIP() << "the shared folder of LWO models (shared/lwo) is not here";
    const ReadResult box = readLwob(readFile(dir + "/lwob_bluewithcylindrictexz.lwo"));
    EXPECT_EQ(problemLines(box.report), "");
    ASSERT_EQ(box.lwo.Surfaces.size(), 1u);
    const bm::SurfaceData& blue = box.lwo.Surfaces[0];
    EXPECT_EQ(blue.name, "Test");
    EXPECT_EQ(std::vector<float>(blue.colour, blue.colour + 3),
              (std::vector<float>{0.0f, 128.0f / 255, 192.0f / 255}));
    EXPECT_EQ(blue.diffuse, 1.0f);
    EXPECT_EQ(blue.transparency, 0.0f);
    EXPECT_EQ(blue.smoothingAngle, 0.0f);
    ASSERT_EQ(blue.images.size(), 1u);
    const bm::ImageBlock& image = blue.images[0];
    EXPECT_EQ(image.projection, 1);
    EXPECT_EQ(image.axis, 2);
    EXPECT_FALSE(image.worldCoordinates);
    EXPECT_EQ(image.imageFile,
              "C:\\Users\\ACG\\Desktop\\ASSIMP\\r35\\test\\models\\3DS\\IMAGE2.jpg");
    EXPECT_EQ(std::vector<float>(image.size, image.size + 3), (std::vector<float>{1, 1, 1}));

    const ReadResult sphere = readLwob(readFile(dir + "/lwob_sphere_with_mat_gloss_50pc.lwo"));
    EXPECT_EQ(problemLines(sphere.report), "");
    EXPECT_EQ(sphere.lwo.Vertices.size(), 266u);
    std::size_t triangles = 0, quads = 0, split = 0;
    float box6[6] = {1e30f, 1e30f, 1e30f, -1e30f, -1e30f, -1e30f};
    for (const FaceData& face : sphere.lwo.Faces) {
        triangles += face.VertexCount == 3;
        quads += face.VertexCount == 4;
        split += std::size_t(face.VertexCount) - 2;
        EXPECT_EQ(face.SurfaceTag, 0);
        for (std::int32_t k = 0; k < face.VertexCount; ++k) {
            const VertexData& p = sphere.lwo.Vertices[sphere.lwo.Corners[face.FirstCorner + k]];
            const float c[3] = {p.X, p.Y, p.Z};
            for (int axis = 0; axis < 3; ++axis) {
                box6[axis] = std::min(box6[axis], c[axis]);
                box6[axis + 3] = std::max(box6[axis + 3], c[axis]);
            }
        }
    }
    EXPECT_EQ(triangles, 48u);
    EXPECT_EQ(quads, 240u);
    EXPECT_EQ(split, 528u);
    const float expected[6] = {-2.15f, -2.1f, -2.6f, 2.15f, 2.1f, 2.5f};
    for (int k = 0; k < 6; ++k)
        EXPECT_NEAR(box6[k], expected[k], 1e-4) << "box value " << k;
    ASSERT_EQ(sphere.lwo.Surfaces.size(), 1u);
    EXPECT_NEAR(sphere.lwo.Surfaces[0].smoothingAngle, 1.56259, 1e-5);
    EXPECT_EQ(sphere.lwo.Surfaces[0].colour[0], 1.0f);

    const ReadResult twin = read(readFile(dir + "/sphere_with_mat_gloss_10pc.lwo"));
    ASSERT_EQ(twin.lwo.Vertices.size(), sphere.lwo.Vertices.size());
    EXPECT_TRUE(std::equal(twin.lwo.Vertices.begin(), twin.lwo.Vertices.end(),
                           sphere.lwo.Vertices.begin(),
                           [](const VertexData& a, const VertexData& b) {
                               return a.X == b.X && a.Y == b.Y && a.Z == b.Z;
                           }));
    EXPECT_EQ(twin.lwo.Corners, sphere.lwo.Corners);
}

// Each fault gives one problem line, which is all a quiet read prints; what is whole is kept.
TEST(LwobReader, BadInputIsReportedAndPassedOver) {
    const Bytes names = surfaceNames({"A"});                                    // offsets 12 to 22
    const Bytes square = points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});  // 22 to 78
    ByteList longForm = lwobObject({names, square});
    longForm[6] = 0x10;  // FORM size 4166 in a file of 78 bytes
    Bytes pointsTooLong;
    pointsTooLong.id("PNTS").u4(1000).f4(1).f4(2).f4(3);
    Bytes unterminated;
    unterminated.id("Name");
    Bytes surfaceTooLong;
    surfaceTooLong.s0("A").id("COLR").u2(40).u4(0);
    const Bytes planar = name("CTEX", "Planar Image Map");  // 24 bytes

    struct Case {
        const char* what;
        ByteList bytes;
        const char* message;
        std::size_t points, polygons;
    };
    const std::vector<Case> cases = {
        {"FORM size", longForm,
         "LoadLWO: FORM size 4166 at offset 4 runs past the 78 bytes read; only those are scanned",
         4, 0},
        {"chunk past the FORM", lwobObject({names, pointsTooLong}),
         "LoadLWO: PNTS chunk at offset 22 has length 1000, past the end of the data at offset "
         "42; scan ended",
         0, 0},
        {"point bytes", lwobObject({names, rawChunk("PNTS", Bytes().f4(1).f4(2).f4(3).u2(0))}),
         "LoadLWO: PNTS chunk at offset 22 has 2 bytes after its last whole point", 1, 0},
        {"corners past the chunk",
         lwobObject({names, square, polygonRecords({record({0, 1, 2}, 1), Bytes().u2(4).u2(0)})}),
         "LoadLWO: the polygon at offset 96 runs past the end of its POLS chunk", 4, 1},
        {"detail count past the chunk",
         lwobObject({names, square, polygonRecords({record({0, 1, 2}, -1)})}),
         "LoadLWO: the detail polygon count at offset 96 runs past the end of its POLS chunk", 4,
         1},
        {"details past the chunk",
         lwobObject(
             {names, square, polygonRecords({record({0, 1, 2}, -1).u2(3), record({1, 2, 3}, 1)})}),
         "LoadLWO: POLS chunk at offset 78 counts 2 more detail polygons than it holds", 4, 2},
        {"surface 0", lwobObject({names, square, polygonRecords({record({0, 1, 2}, 0)})}),
         "LoadLWO: the polygon at offset 86 names surface 0, not among the 1 surface names read; "
         "it keeps no surface",
         4, 1},
        {"surface beyond SRFS",
         lwobObject({names, square, polygonRecords({record({0, 1, 2}, -2).u2(0)})}),
         "LoadLWO: the polygon at offset 86 names surface 2, not among the 1 surface names read", 4,
         1},
        {"point beyond PNTS",
         lwobObject({names, square, polygonRecords({record({0, 1, 7}, 1), record({0, 1, 2}, 1)})}),
         "LoadLWO: the polygon at offset 86 names a point beyond the 4 points read", 4, 2},
        {"surface name", lwobObject({names, rawChunk("SURF", unterminated)}),
         "LoadLWO: SURF chunk at offset 22 ends inside its surface name; chunk passed over", 0, 0},
        {"texture field first",
         lwobObject({names, lwobSurface("A", {name("TIMG", "x.iff"), planar})}),
         "LoadLWO: TIMG sub-chunk at offset 32 comes before any texture; passed over", 0, 0},
        {"short texture field",
         lwobObject({names, lwobSurface("A", {planar, lwo::subchunk("TSIZ", Bytes().f4(1))})}),
         "LoadLWO: TSIZ sub-chunk at offset 56 is too short (4 bytes); passed over", 0, 0},
        {"sub-chunk past its SURF", lwobObject({names, rawChunk("SURF", surfaceTooLong)}),
         "LoadLWO: COLR sub-chunk at offset 32 runs past the end of its SURF chunk; the rest of "
         "the surface is passed over",
         0, 0},
    };
    for (const Case& c : cases) {
        const ReadResult r = readLwob(c.bytes);
        const std::string problems = problemLines(r.report);
        EXPECT_TRUE(contains(problems, c.message)) << c.what << "\n" << r.report;
        EXPECT_EQ(std::count(problems.begin(), problems.end(), '\n'), 1) << c.what;
        EXPECT_TRUE(contains(r.report, "END OF LWO LOADER\n")) << c.what;
        EXPECT_EQ(r.lwo.Vertices.size(), c.points) << c.what;
        EXPECT_EQ(r.lwo.Faces.size(), c.polygons) << c.what;
        expectPolygonsNameReadPoints(r.lwo, c.what);
        EXPECT_EQ(readLwob(c.bytes, true, true).report, problems) << c.what;
    }
}

// A real file cut at every length: the reader stays inside the bytes it has and every polygon
// it keeps names points it read.
TEST(LwobReader, TruncatedFileReadsSafely) {
    const std::string dir = BRACKMOOR_SHARED_LWO_DIR;
    if (dir.empty())
        GTEST_SKIP() << "the shared folder of LWO models (shared/lwo) is not here";
    const ByteList whole = readFile(dir + "/lwob_bluewithcylindrictexz.lwo");
    ASSERT_EQ(whole.size(), 600u);
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        const ByteList part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        const ReadResult r = readLwob(part);
        expectPolygonsNameReadPoints(r.lwo, "cut at " + std::to_string(cut));
        // A chunk cut short ends the scan: the points end at 130, the polygons at 210.
        EXPECT_EQ(r.lwo.Vertices.size(), cut >= 130 ? 8u : 0u) << cut;
        EXPECT_EQ(r.lwo.Faces.size(), cut >= 210 ? 6u : 0u) << cut;
    }
}
