// LwobReaderTest.cpp - LightWave 5 (LWOB) objects through the model reader: polygons with their
// details and surfaces, surfaces' looks, real files and bad input.
#include "LwobReader.h"
#include "support/LwoFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace bm::test;
namespace lwo = bm::lwo;

Bytes surfaceNames(const std::vector<std::string>& names) {
    Bytes body;
    for (const std::string& name : names)
        body.s0(name);
    return lwo::chunk("SRFS", body);
}

// One polygon; after a negative surface the caller appends the detail count.
Bytes record(const Corners& corners, int surface) {
    Bytes body;
    body.u2(static_cast<unsigned>(corners.size()));
    for (std::uint32_t corner : corners)
        body.u2(corner);
    return body.u2(static_cast<unsigned>(surface) & 0xFFFF);
}

// A chunk whose body is the pieces one after another.
Bytes joined(const char* id, const std::vector<Bytes>& pieces, Bytes body = Bytes()) {
    for (const Bytes& piece : pieces)
        body.append(piece);
    return lwo::chunk(id, body);
}

Bytes lwobSurface(const std::string& name, const std::vector<Bytes>& attributes) {
    return joined("SURF", attributes, Bytes().s0(name));
}

Bytes f4Field(const char* id, float value) {
    return lwo::subchunk(id, Bytes().f4(value));
}
Bytes textField(const char* id, const std::string& text) {
    return lwo::subchunk(id, Bytes().s0(text));
}

ReadResult readLwob(const std::vector<Bytes>& chunks, bool appearance = true, bool quiet = false) {
    bm::Lwo2Options options;
    options.appearance = appearance;
    options.quiet = quiet;
    return read(lwo::lwobForm(chunks).data, "test.lwo", options);
}

void expectPolygonsNameReadPoints(const bm::Lwo2Data& data, const std::string& what) {
    for (const FaceData& face : data.Faces)
        for (std::int32_t k = 0; k < face.VertexCount; ++k)
            ASSERT_LT(std::size_t(data.Corners.at(face.FirstCorner + k)), data.Vertices.size())
                << what;
}

// An image block's fields in one line, so that blocks compare at a glance.
std::string describe(const bm::ImageBlock& b) {
    std::ostringstream out;
    out << "projection " << b.projection << " axis " << b.axis
        << (b.worldCoordinates ? " world" : "") << " '" << b.imageFile << "' size " << b.size[0]
        << "," << b.size[1] << "," << b.size[2] << " centre " << b.centre[0] << "," << b.centre[1]
        << "," << b.centre[2] << " repeats " << b.widthRepeats << "," << b.heightRepeats << " wrap "
        << b.wrapWidth << b.wrapHeight;
    return out.str();
}

}  // namespace

// Detail polygons are kept like the others, surface k of SRFS is tag k - 1, other chunks are
// walked over by their lengths, and the report has the LWO2 reader's lines.
TEST(LwobReader, PolygonsWithDetailsGetTheirSurfaces) {
    const ReadResult r = readLwob({
        surfaceNames({"Hull", "Fin"}),
        points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5f, 0.5f, 0}}),
        rawChunk("CRVS", Bytes().u2(2).u2(0).u2(1).u1(1)),  // odd length: a pad byte follows
        joined("POLS", {record({0, 1, 2, 3}, 1), record({0, 1, 4}, -2).u2(2), record({1, 2, 4}, 1),
                        record({2, 3, 4}, 2), record({3, 0, 4}, 2)}),
    });
    const std::string head =
        "Lightwave 5 (LWOB) object identified, located header for file.\n"
        "File size 168 Bytes, (minus FORM and LWOB identifiers)\nVERTEX POINTS DATA LOCATED\n";
    EXPECT_EQ(r.report.substr(0, head.size()), head);
    EXPECT_NE(r.report.find("      X:    0.50  Y:    0.50  Z:    0.00\n      Vertex group count 5\n"
                            "POLYGON DATA LOCATED\n      Polygon data length:54\n"),
              std::string::npos);
    EXPECT_NE(r.report.find("      Vertex data V1:3 V2:0 V3:4\n      Triangle count 5\nEND OF"),
              std::string::npos);
    EXPECT_EQ(problemLines(r.report), "");
    EXPECT_EQ(r.lwo.Corners,
              (std::vector<std::int32_t>{0, 1, 2, 3, 0, 1, 4, 1, 2, 4, 2, 3, 4, 3, 0, 4}));
    ASSERT_EQ(r.lwo.Faces.size(), 5u);
    EXPECT_EQ(r.lwo.Faces[2].FirstCorner, 7u);
    const std::int32_t surfaces[] = {0, 1, 0, 1, 1};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(r.lwo.Faces[i].SurfaceID, surfaces[i]) << i;
        EXPECT_EQ(r.lwo.Faces[i].SurfaceTag, surfaces[i]) << i;
    }
}

// Colour bytes over 255; levels over 256 unless a fraction is given, in either order; the
// smoothing angle only with the FLAG bit, 89.5 degrees when it has none.
TEST(LwobReader, SurfaceLooksFollowTheirSubchunks) {
    const float g = 200.0f / 255;
    const Bytes colour = lwo::subchunk("COLR", Bytes().u1(255).u1(0).u1(51).u1(0));
    const std::vector<std::pair<std::vector<Bytes>, std::vector<float>>> cases = {
        // {sub-chunks, {red, green, blue, diffuse, transparency, smoothing angle, luminosity}}
        {{}, {g, g, g, 1, 0, 0, 0}},
        {{colour, u2Field("DIFF", 128), u2Field("TRAN", 64), u2Field("LUMI", 384)},
         {1, 0, 0.2f, 0.5f, 0.25f, 0, 1.5f}},
        {{f4Field("VDIF", 0.8f), u2Field("DIFF", 128), u2Field("TRAN", 64), f4Field("VTRN", 0.1f),
          f4Field("VLUM", 0.75f), u2Field("LUMI", 64)},
         {g, g, g, 0.8f, 0.1f, 0, 0.75f}},
        {{u2Field("FLAG", 4 | 1), f4Field("SMAN", 0.5f), u2Field("LUMI", 256),
          f4Field("VLUM", 0.3f)},
         {g, g, g, 1, 0, 0.5f, 0.3f}},
        {{u2Field("FLAG", 4)}, {g, g, g, 1, 0, 1.5620697f, 0}},
        {{u2Field("FLAG", 1), f4Field("SMAN", 0.5f)}, {g, g, g, 1, 0, 0, 0}},
    };
    std::vector<Bytes> chunks{surfaceNames({"S0", "S1"})};
    for (std::size_t i = 0; i < cases.size(); ++i)
        chunks.push_back(lwobSurface("S" + std::to_string(i), cases[i].first));
    const ReadResult r = readLwob(chunks);
    EXPECT_EQ(problemLines(r.report), "");
    ASSERT_EQ(r.lwo.Surfaces.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const bm::SurfaceData& s = r.lwo.Surfaces[i];
        EXPECT_EQ(s.name, "S" + std::to_string(i));
        const float got[] = {s.colour[0],    s.colour[1],      s.colour[2], s.diffuse,
                             s.transparency, s.smoothingAngle, s.luminosity};
        for (int k = 0; k < 7; ++k)
            EXPECT_FLOAT_EQ(got[k], cases[i].second[k]) << "surface " << i << " value " << k;
    }
    // A tag takes its colour from a COLR only, as LWO2 tags do; without appearance, no looks.
    EXPECT_EQ(r.lwo.Tags[0].Red, 0.0f);
    EXPECT_FLOAT_EQ(r.lwo.Tags[1].Blue, 0.2f);
    EXPECT_TRUE(readLwob(chunks, false).lwo.Surfaces.empty());
}

// T... sub-chunks fill the latest colour image map; those of procedural textures and of other
// channels' textures are passed over, and TRAN stays the surface's own.
TEST(LwobReader, ColourImageMapsTakeTheTextureFieldsAfterThem) {
    const ReadResult r = readLwob({lwobSurface(
        "Wood", {textField("CTEX", "Planar Image Map"), u2Field("TFLG", 2 | 8),
                 lwo::subchunk("TSIZ", Bytes().f4(2).f4(1.5f).f4(1)),
                 lwo::subchunk("TCTR", Bytes().f4(0.5f).f4(0).f4(-1)),
                 textField("TIMG", "C:\\maps\\wood.iff"), f4Field("TFP0", 3), f4Field("TFP1", 2),
                 lwo::subchunk("TWRP", Bytes().u2(2).u2(3)), textField("DTEX", "Planar Image Map"),
                 textField("TIMG", "dirt.iff"), textField("CTEX", "Fractal Noise"),
                 f4Field("TFP0", 7), textField("CTEX", "Cylindrical Image Map"), u2Field("TFLG", 4),
                 textField("TIMG", "bark.iff"), lwo::subchunk("TWRP", Bytes().u2(0).u2(1)),
                 textField("CTEX", "Front Projection Image Map"),
                 textField("CTEX", "Cubic Image Map"), u2Field("TRAN", 128)})});
    EXPECT_EQ(problemLines(r.report), "");
    ASSERT_EQ(r.lwo.Surfaces.size(), 1u);
    EXPECT_EQ(r.lwo.Surfaces[0].transparency, 0.5f);
    std::vector<std::string> images;
    for (const bm::ImageBlock& image : r.lwo.Surfaces[0].images)
        images.push_back(describe(image));
    // Wrap modes black, clamp, repeat, mirror become reset, edge, repeat, mirror.
    EXPECT_EQ(images, (std::vector<std::string>{
                          "projection 0 axis 1 world 'C:\\maps\\wood.iff' size 2,1.5,1 centre "
                          "0.5,0,-1 repeats 3,2 wrap 12",
                          "projection 1 axis 2 'bark.iff' size 1,1,1 centre 0,0,0 repeats 1,1 "
                          "wrap 03",
                          "projection 4 axis 0 '' size 1,1,1 centre 0,0,0 repeats 1,1 wrap 11",
                          "projection 3 axis 0 '' size 1,1,1 centre 0,0,0 repeats 1,1 wrap 11",
                      }));
}

// Files made by other tools: the box's colour and cylindrical image, the sphere's smoothing angle.
TEST(LwobReader, RealFilesReadWithTheirLooks) {
    SKIP_WITHOUT_SHARED_MODELS();
    const ReadResult box = readShared("lwob_bluewithcylindrictexz.lwo");
    EXPECT_EQ(problemLines(box.report), "");
    ASSERT_EQ(box.lwo.Surfaces.size(), 1u);
    const bm::SurfaceData& blue = box.lwo.Surfaces[0];
    EXPECT_EQ(std::vector<float>(blue.colour, blue.colour + 3),
              (std::vector<float>{0.0f, 128.0f / 255, 192.0f / 255}));
    EXPECT_EQ(blue.diffuse, 1.0f);
    EXPECT_EQ(blue.transparency + blue.smoothingAngle, 0.0f);
    ASSERT_EQ(blue.images.size(), 1u);
    EXPECT_EQ(
        describe(blue.images[0]),
        "projection 1 axis 2 'C:\\Users\\ACG\\Desktop\\ASSIMP\\r35\\test\\models\\3DS\\IMAGE2."
        "jpg' size 1,1,1 centre 0,0,0 repeats 1,1 wrap 11");

    // Its mesh is checked with the census models (TEntityLwoTest).
    const ReadResult sphere = readShared("lwob_sphere_with_mat_gloss_50pc.lwo");
    ASSERT_EQ(sphere.lwo.Surfaces.size(), 1u);
    EXPECT_NEAR(sphere.lwo.Surfaces[0].smoothingAngle, 1.56259, 1e-5);
}

// Each fault gives one problem line, which is all a quiet read prints; what is whole is kept.
TEST(LwobReader, BadInputIsReportedAndPassedOver) {
    const Bytes names = surfaceNames({"A"});                                    // offset 12
    const Bytes square = points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});  // offset 22
    const auto withPolygons = [&](const std::vector<Bytes>& records) {
        return std::vector<Bytes>{names, square, joined("POLS", records)};  // records from 86
    };
    const auto withChunk = [&](const Bytes& chunk) { return std::vector<Bytes>{names, chunk}; };
    Bytes pointsTooLong, surfaceTooLong;
    pointsTooLong.id("PNTS").u4(1000).f4(1).f4(2).f4(3);
    surfaceTooLong.s0("A").id("COLR").u2(40).u4(0);
    const Bytes planar = textField("CTEX", "Planar Image Map");  // 24 bytes
    const struct {
        std::size_t points, polygons;  // kept
        std::vector<Bytes> chunks;
        const char* message;
    } cases[] = {
        {0, 0, withChunk(pointsTooLong),
         "PNTS chunk at offset 22 has length 1000, past the end of the data at offset 42"},
        {4, 1, withPolygons({record({0, 1, 2}, 1), Bytes().u2(4).u2(0)}),
         "the polygon at offset 96 runs past the end of its POLS chunk"},
        {4, 1, withPolygons({record({0, 1, 2}, -1)}),
         "the detail polygon count at offset 96 runs past the end of its POLS chunk"},
        {4, 2, withPolygons({record({0, 1, 2}, -1).u2(3), record({1, 2, 3}, 1)}),
         "POLS chunk at offset 78 counts 2 more detail polygons than it holds"},
        {4, 1, withPolygons({record({0, 1, 2}, 0)}),
         "the polygon at offset 86 names surface 0, not among the 1 surface names read; it keeps "
         "no surface"},
        {4, 1, withPolygons({record({0, 1, 2}, -2).u2(0)}), "names surface 2, not among the 1"},
        {4, 2, withPolygons({record({0, 1, 7}, 1), record({0, 1, 2}, 1)}),
         "the polygon at offset 86 names a point beyond the 4 points read"},
        {0, 0, withChunk(lwobSurface("A", {textField("TIMG", "x.iff"), planar})),
         "TIMG sub-chunk at offset 32 comes before any texture; passed over"},
        {0, 0, withChunk(lwobSurface("A", {planar, lwo::subchunk("TSIZ", Bytes().f4(1))})),
         "TSIZ sub-chunk at offset 56 is too short (4 bytes); passed over"},
        {0, 0, withChunk(rawChunk("SURF", surfaceTooLong)),
         "COLR sub-chunk at offset 32 runs past the end of its SURF chunk"},
        {0, 0, withChunk(lwobSurface("A", {lwo::subchunk("VLUM", Bytes().u2(1))})),
         "VLUM sub-chunk at offset 32 is too short (2 bytes); passed over"},
    };
    for (const auto& c : cases) {
        const ReadResult r = readLwob(c.chunks);
        const std::string problems = problemLines(r.report);
        EXPECT_NE(problems.find(c.message), std::string::npos) << r.report;
        EXPECT_EQ(std::count(problems.begin(), problems.end(), '\n'), 1) << c.message;
        EXPECT_EQ(r.lwo.Vertices.size(), c.points) << c.message;
        EXPECT_EQ(r.lwo.Faces.size(), c.polygons) << c.message;
        expectPolygonsNameReadPoints(r.lwo, c.message);
        EXPECT_EQ(readLwob(c.chunks, true, true).report, problems) << c.message;
    }
    // Luminosity is read for the looks alone, so without them a short one is not worth a word; its
    // odd length is padded, so the DIFF after it is read.
    const std::vector<Bytes> shortLuminosity = {
        names,
        lwobSurface("A", {lwo::subchunk("LUMI", Bytes().u1(1)).u1(0), u2Field("DIFF", 128)})};
    const ReadResult looks = readLwob(shortLuminosity);
    EXPECT_EQ(problemLines(looks.report),
              "LoadLWO: LUMI sub-chunk at offset 32 is too short (1 bytes); passed over\n");
    EXPECT_EQ(looks.lwo.Surfaces.at(0).diffuse, 0.5f);
    EXPECT_EQ(problemLines(readLwob(shortLuminosity, false).report), "");
}

// A real file cut at every length: the reader stays inside the bytes it has, and a chunk cut
// short ends the scan with what came before it kept.
TEST(LwobReader, TruncatedFileReadsSafely) {
    SKIP_WITHOUT_SHARED_MODELS();
    const ByteList whole = fileBytes(sharedModels + "/lwob_bluewithcylindrictexz.lwo");
    ASSERT_EQ(whole.size(), 600u);
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        const bm::Lwo2Data data =
            readWithLooks(ByteList(whole.begin(), whole.begin() + std::ptrdiff_t(cut))).lwo;
        expectPolygonsNameReadPoints(data, "cut at " + std::to_string(cut));
        // The points end at offset 130, the polygons at 210.
        EXPECT_EQ(data.Vertices.size(), cut >= 130 ? 8u : 0u) << cut;
        EXPECT_EQ(data.Faces.size(), cut >= 210 ? 6u : 0u) << cut;
    }
}
