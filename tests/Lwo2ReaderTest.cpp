// Lwo2ReaderTest.cpp - the LWO2 reader on in-memory files: lists, report lines and bad input.
#include "Lwo2Reader.h"
#include "Lwo2Report.h"
#include "support/Lwo2Builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace bm::test;
namespace lwo = bm::lwo;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

const std::vector<lwo::Point> square = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};

// The same bytes in both lists; two empty lists may have no storage to compare.
template <typename T>
bool sameBytes(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

void expectSameLists(const bm::Lwo2Data& a, const bm::Lwo2Data& b, const std::string& what) {
    ASSERT_EQ(a.Tags.size(), b.Tags.size()) << what;
    for (std::size_t i = 0; i < a.Tags.size(); ++i) {
        EXPECT_EQ(a.Tags[i].name, b.Tags[i].name) << what;
        EXPECT_EQ(a.Tags[i].Red, b.Tags[i].Red) << what;
        EXPECT_EQ(a.Tags[i].colourEnvelope, b.Tags[i].colourEnvelope) << what;
    }
    EXPECT_TRUE(sameBytes(a.Vertices, b.Vertices)) << what;
    EXPECT_TRUE(sameBytes(a.Faces, b.Faces)) << what;
    EXPECT_EQ(a.Corners, b.Corners) << what;
    EXPECT_EQ(a.LWOTriangleCount, b.LWOTriangleCount) << what;
}

// The lines of a report that begin "LoadLWO:", the problems, each with its newline.
std::string problemLines(const std::string& report) {
    std::string out;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("LoadLWO:", 0) == 0)
            out += line + "\n";
    return out;
}

}  // namespace

TEST(Lwo2Reader, ReportsEveryChunkOfAWellFormedObject) {
    const ByteList bytes = object({
        tags({"Hull", "Fin"}),
        layer(0, ""),
        points({{-1.5f, 0, 0}, {1, 0, 0}, {0, 1, 100.125f}, {1, 1, 0}}),
        lwo::boundsChunk({{-1.5f, 0, 0}, {1, 1, 100.125f}}),
        polygons("FACE", {{0, 1, 2}, {0, 1, 3, 2}}),
        polygonTags("SURF", {{0, 0}, {1, 1}}),
        surface("Fin", {colour(0.5f, 0.25f, 1.0f), attribute("DIFF", 0.8f)}),
        surface("Hull", {attribute("SPEC", 0.4f)}),
    });
    const ReadResult r = read(bytes);
    const std::string expected =
        "Lightwave object identified, located header for file.\n"
        "File size " +
        std::to_string(bytes.size() - 8) +
        " Bytes, (minus FORM and LWO2 identifiers)\n"
        "Reading Tags array...\n"
        "      tags length 10\n"
        "      Tag name:Hull\n"
        "      Tag name:Fin\n"
        "      tag count 2\n"
        "Reading Lightwave Object Data...\n"
        "New layer located\n"
        "      Layer data length:18\n"
        "      Index:0\n"
        "      Flags:0\n"
        "      identifier Length:0\n"
        "          No identifier set\n"
        "VERTEX POINTS DATA LOCATED\n"
        "      Points data length:48\n"
        "      X:   -1.50  Y:    0.00  Z:    0.00\n"
        "      X:    1.00  Y:    0.00  Z:    0.00\n"
        "      X:    0.00  Y:    1.00  Z:  100.12\n"
        "      X:    1.00  Y:    1.00  Z:    0.00\n"
        "      Vertex group count 4\n"
        "BOUNDING BOX DATA LOCATED\n"
        "      Bounding box data length:24\n"
        "      X:   -1.50  Y:    0.00  Z:    0.00\n"
        "      X:    1.00  Y:    1.00  Z:  100.12\n"
        "POLYGON DATA LOCATED\n"
        "      Polygon data length:22\n"
        "      Face data identified\n"
        "      Face data 3\n"
        "      Face data triangle\n"
        "      Vertex data V1:0 V2:1 V3:2\n"
        "      Face data 4\n"
        "      Face data quad\n"
        "      Vertex data V1:0 V2:1 V3:3 V4:2\n"
        "      Triangle count 2\n"
        "POLYGON SURFACE INDEX DATA LOCATED\n"
        "      Polygon surface index data length:12\n"
        "      Surface information located\n"
        "      Vertex ID:0  Surface ID:0\n"
        "      Vertex ID:1  Surface ID:1\n"
        "SURFACE DATA LOCATED\n"
        "      Surface data length:38\n"
        "      Surface colour information identified.\n"
        "      Red:0.50 Green:0.25 Blue:1.00\n"
        "      Envelope 0\n"
        "      Diffusion 0.8\n"
        "\n"
        "SURFACE DATA LOCATED\n"
        "      Surface data length:20\n"
        "      Specularity/Shininess 0.4\n"
        "\n"
        "END OF LWO LOADER\n";
    EXPECT_EQ(r.report, expected);
    ASSERT_EQ(r.lwo.Tags.size(), 2u);
    EXPECT_EQ(r.lwo.Tags[1].name, "Fin");
    EXPECT_EQ(r.lwo.Tags[1].Blue, 1.0f);
    EXPECT_EQ(r.lwo.Tags[0].Red, 0.0f);  // Hull's surface has no COLR
    ASSERT_EQ(r.lwo.Faces.size(), 2u);
    EXPECT_EQ(r.lwo.LWOTriangleCount, 2);
    EXPECT_EQ(r.lwo.Faces[1].VertexCount, 4);
    EXPECT_EQ(r.lwo.Faces[1].FirstCorner, 3u);
    EXPECT_EQ(r.lwo.Faces[1].SurfaceID, 1);
    EXPECT_EQ(r.lwo.Corners, (std::vector<std::int32_t>{0, 1, 2, 0, 1, 3, 2}));
    EXPECT_EQ(r.lwo.Vertices[2].Z, 100.125f);
}

// LWOB files are read (LwobReaderTest); the layered LightWave 5 form is not.
TEST(Lwo2Reader, RejectsWhatIsNotAnLwo2Form) {
    const ByteList layered = {'F', 'O', 'R', 'M', 0, 0, 0, 4, 'L', 'W', 'L', 'O'};
    const ByteList cut = {'F', 'O', 'R', 'M', 0, 0, 0, 4, 'L', 'W', 'O'};
    const ByteList riff = {'R', 'I', 'F', 'F', 0, 0, 0, 4, 'L', 'W', 'O', '2'};
    for (const ByteList& bytes : {ByteList{}, layered, cut, riff}) {
        const ReadResult r = read(bytes, "model.lwo");
        EXPECT_EQ(r.report, "LoadLWO: model.lwo is not an LWO2 object\nEND OF LWO LOADER\n");
        EXPECT_TRUE(r.lwo.Faces.empty());
    }
}

TEST(Lwo2Reader, TagListNamesAndPadding) {
    // Seven characters take one zero, four take two; an empty list starts the scan at 20.
    const ReadResult two = read(object({tags({"Default", "Body"}), points(square)}));
    EXPECT_TRUE(
        contains(two.report, "      Tag name:Default\n      Tag name:Body\n      tag count 2\n"));
    EXPECT_EQ(two.lwo.Vertices.size(), 4u);
    const ReadResult none = read(object({tags({}), points(square)}));
    EXPECT_TRUE(contains(none.report, "      tags length 0\n      tag count 0\n"));
    EXPECT_EQ(none.lwo.Vertices.size(), 4u);

    const ReadResult longest =
        read(object({tags({std::string(254, 'a'), std::string(255, 'b'), "c"})}));
    ASSERT_EQ(longest.lwo.Tags.size(), 2u);
    EXPECT_EQ(longest.lwo.Tags[1].name, "c");
    EXPECT_TRUE(contains(longest.report, "LoadLWO: the tag name at offset 276 is longer than 254"));
}

TEST(Lwo2Reader, LayerNameStartIsReportedAsANumber) {
    struct Case {
        std::string name;
        std::string lines;
    };
    const Case cases[] = {
        {"", "      identifier Length:0\n          No identifier set\n"},
        {"Layer", "      identifier Length:19553\n          to be implemented\n"},
    };
    for (const Case& c : cases) {
        const ReadResult r = read(object({tags({}), layer(3, c.name)}));
        EXPECT_TRUE(contains(r.report, "      Index:3\n      Flags:0\n" + c.lines)) << c.name;
    }
}

TEST(Lwo2Reader, ChunksAreWalkedByTheirLengths) {
    // A vertex map whose data spells a PNTS chunk, and an odd-length chunk with its pad byte.
    Bytes fakePoints;
    fakePoints.id("TXUV").u2(2).id("PNTS").u4(12).f4(9).f4(9).f4(9);
    Bytes odd;
    odd.u1(1).u1(2).u1(3);
    const ReadResult r = read(object(
        {tags({}), rawChunk("VMAP", fakePoints), rawChunk("ODDS", odd), points({{1, 2, 3}})}));
    EXPECT_EQ(occurrences(r.report, "VERTEX POINTS DATA LOCATED"), 1u);
    ASSERT_EQ(r.lwo.Vertices.size(), 1u);
    EXPECT_EQ(r.lwo.Vertices[0].X, 1.0f);
    EXPECT_FALSE(contains(r.report, "LoadLWO:"));

    // Bytes after the FORM's end are never scanned.
    ByteList beyond = object({tags({})});
    const ByteList after = points(square).data;
    beyond.insert(beyond.end(), after.begin(), after.end());
    EXPECT_TRUE(read(beyond).lwo.Vertices.empty());
}

TEST(Lwo2Reader, PolygonsAreReadInFull) {
    // Flag bits above the count, a pentagon, and a triangle after it read in step.
    const ReadResult r =
        read(object({tags({}), points({{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {1, 2, 0}, {0, 1, 0}}),
                     polygons("FACE", {{0, 1, 2, 3, 4}, {4, 3, 2}}, 0x3F)}));
    ASSERT_EQ(r.lwo.Faces.size(), 2u);
    EXPECT_EQ(r.lwo.Faces[0].VertexCount, 5);
    EXPECT_EQ(r.lwo.Faces[1].VertexCount, 3);
    EXPECT_EQ(r.lwo.Faces[1].FirstCorner, 5u);
    EXPECT_EQ(r.lwo.Faces[1].Vertex[0], 4);
    EXPECT_TRUE(contains(r.report,
                         "      Face data 5\n      Face data polygon\n"
                         "      Vertex data V1:0 V2:1 V3:2 V4:3 V5:4\n"
                         "      Face data 3\n      Face data triangle\n"
                         "      Vertex data V1:4 V2:3 V3:2\n      Triangle count 2\n"));

    // The four-byte index form: 0xFF, then the index in the low 24 bits.
    Bytes body;
    body.id("PTCH").u2(3).u2(0).u4(0xFF000002u).u2(1);
    const ReadResult wide = read(object({tags({}), points(square), rawChunk("POLS", body)}));
    EXPECT_EQ(wide.lwo.Corners, (std::vector<std::int32_t>{0, 2, 1}));
    EXPECT_FALSE(contains(wide.report, "Face data identified"));
}

TEST(Lwo2Reader, IndicesCountFromTheirOwnLayer) {
    const ReadResult r = read(object({
        tags({"A", "B"}),
        layer(0, ""),
        points(square),
        polygons("FACE", {{0, 1, 2}}),
        polygonTags("SURF", {{0, 0}}),
        layer(1, ""),
        points({{5, 5, 5}, {6, 5, 5}, {5, 6, 5}}),
        polygons("FACE", {{2, 1, 0}}),
        polygonTags("SURF", {{0, 1}}),
        polygonTags("PART", {{0, 0}}),
    }));
    EXPECT_EQ(r.lwo.Vertices.size(), 7u);
    EXPECT_EQ(r.lwo.Corners, (std::vector<std::int32_t>{0, 1, 2, 6, 5, 4}));
    ASSERT_EQ(r.lwo.Faces.size(), 2u);
    EXPECT_EQ(r.lwo.Faces[0].SurfaceID, 0);
    // The second layer's polygon 0 is the list's polygon 1; the report shows the file's
    // numbers. Every PTAG chunk sets the tag, whatever its type, a later one over an earlier one.
    EXPECT_EQ(r.lwo.Faces[1].SurfaceID, 0);
    EXPECT_TRUE(contains(r.report, "      Vertex group count 7\n"));
    EXPECT_TRUE(contains(r.report, "      Vertex data V1:2 V2:1 V3:0\n"));
    EXPECT_TRUE(contains(r.report, "      Vertex ID:0  Surface ID:1\n"));
    EXPECT_FALSE(contains(r.report, "Vertex ID:1 "));
}

TEST(Lwo2Reader, SurfaceColourGoesToTheTagOfItsName) {
    Bytes unknown;
    unknown.u1(7).u1(7).u1(7);  // odd length: the walk must skip its pad byte too
    const ReadResult r = read(object({
        tags({"Red", "Green"}),
        surface("Green", {attribute("DIFF", 0.5f), lwo::subchunk("XTRA", unknown),
                          lwo::Bytes().u1(0), colour(0, 1, 0), attribute("SPEC", 0.25f)}),
        surface("Missing", {colour(1, 1, 1)}),
    }));
    ASSERT_EQ(r.lwo.Tags.size(), 2u);
    EXPECT_EQ(r.lwo.Tags[0].Green, 0.0f);
    EXPECT_EQ(r.lwo.Tags[1].Green, 1.0f);
    EXPECT_TRUE(contains(r.report,
                         "      Diffusion 0.5\n      Surface colour information identified.\n"
                         "      Red:0.00 Green:1.00 Blue:0.00\n      Envelope 0\n"
                         "      Specularity/Shininess 0.25\n\n"));
    EXPECT_FALSE(contains(r.report, "LoadLWO:"));
}

// The envelope is a two-byte number; its four-byte form counts only in a sub-chunk with room.
TEST(Lwo2Reader, ColourEnvelopeIsTwoBytesUnlessThereIsRoomForFour) {
    Bytes twoBytes, fourBytes;
    twoBytes.f4(1).f4(0).f4(0).u2(0xFF02);
    fourBytes.f4(0).f4(0).f4(1).u4(0xFF000102);
    const ReadResult r = read(object({
        tags({"Red", "Blue"}),
        surface("Red", {lwo::subchunk("COLR", twoBytes)}),
        surface("Blue", {lwo::subchunk("COLR", fourBytes)}),
    }));
    ASSERT_EQ(r.lwo.Tags.size(), 2u);
    EXPECT_EQ(r.lwo.Tags[0].colourEnvelope, 0xFF02);
    EXPECT_EQ(r.lwo.Tags[1].colourEnvelope, 0x102);
    EXPECT_TRUE(contains(r.report, "      Envelope 65282\n"));
    EXPECT_TRUE(contains(r.report, "      Envelope 258\n"));
}

TEST(Lwo2Reader, BadInputIsReportedAndPassedOver) {
    const ByteList good = object({tags({}), points(square)});
    ByteList longForm = good;
    longForm[6] = 0x10;  // FORM size far beyond the bytes
    const ByteList headerOnly(good.begin(), good.begin() + 16);
    ByteList longTags = object({tags({"A"})});
    longTags[18] = 0x10;  // a tag list of 4098 bytes in a file of 22
    Bytes pointsTooLong;
    pointsTooLong.id("PNTS").u4(1000).f4(1).f4(2).f4(3);
    Bytes stray;
    stray.u4(0);
    Bytes thirteen;
    thirteen.f4(1).f4(2).f4(3).u1(4);
    Bytes cutPolygon;
    cutPolygon.id("FACE").u2(3).u2(0);
    Bytes shortLayer;
    shortLayer.u2(1).u2(0);
    Bytes unterminated;
    unterminated.id("Name");
    Bytes shortColour;
    shortColour.id("COLR").u2(4).f4(1);
    Bytes longColour;
    longColour.s0("A").s0("").id("COLR").u2(40).f4(1);

    struct Case {
        const char* what;
        ByteList bytes;
        const char* message;
        std::size_t points, polygons;
    };
    const std::vector<Case> cases = {
        {"FORM size", longForm, "LoadLWO: FORM size 4164 at offset 4 runs past the 76 bytes read",
         4, 0},
        {"tag header", headerOnly, "LoadLWO: the tag list header at offset 12 runs past the end", 0,
         0},
        {"tag list length", longTags,
         "LoadLWO: the tag list at offset 12 has length 4098, past the end of the data at offset "
         "22",
         0, 0},
        {"chunk length", object({tags({}), pointsTooLong}),
         "LoadLWO: PNTS chunk at offset 20 has length 1000, past the end of the data at offset 40",
         0, 0},
        {"stray bytes", object({tags({}), points(square), stray}),
         "LoadLWO: 4 bytes at offset 76 are too few for a chunk", 4, 0},
        {"point bytes", object({tags({}), rawChunk("PNTS", thirteen)}),
         "LoadLWO: PNTS chunk at offset 20 has 1 bytes after its last whole point", 1, 0},
        {"point index",
         object({tags({}), points(square), polygons("FACE", {{0, 1, 7}, {0, 1, 2}})}),
         "LoadLWO: the polygon at offset 88 names a point beyond the 4 points read", 4, 2},
        {"polygon index",
         object({tags({"A"}), points(square), polygons("FACE", {{0, 1, 2}}),
                 polygonTags("SURF", {{5, 0}, {0, 0}})}),
         "LoadLWO: the PTAG entry at offset 110 names polygon 5, beyond the 1 polygons read", 4, 1},
        {"type only", object({tags({}), points(square), polygons("FACE", {})}), "", 4, 0},
        {"cut polygon", object({tags({}), points(square), rawChunk("POLS", cutPolygon)}),
         "LoadLWO: the polygon at offset 88 runs past the end of its POLS chunk", 4, 0},
        {"short layer", object({tags({}), rawChunk("LAYR", shortLayer)}),
         "LoadLWO: LAYR chunk at offset 20 is too short (4 bytes)", 0, 0},
        {"surface name", object({tags({}), rawChunk("SURF", unterminated)}),
         "LoadLWO: SURF chunk at offset 20 ends inside its surface names", 0, 0},
        {"short colour", object({tags({}), surface("A", {shortColour})}),
         "LoadLWO: COLR sub-chunk at offset 32 is too short (4 bytes)", 0, 0},
        {"long colour", object({tags({}), rawChunk("SURF", longColour)}),
         "LoadLWO: COLR sub-chunk at offset 32 runs past the end of its SURF chunk", 0, 0},
    };
    for (const Case& c : cases) {
        const ReadResult r = read(c.bytes);
        EXPECT_TRUE(contains(r.report, c.message)) << c.what << "\n" << r.report;
        EXPECT_EQ(r.lwo.Vertices.size(), c.points) << c.what;
        EXPECT_EQ(r.lwo.Faces.size(), c.polygons) << c.what;
        EXPECT_TRUE(contains(r.report, "END OF LWO LOADER\n")) << c.what;
        for (const FaceData& face : r.lwo.Faces)
            for (std::int32_t k = 0; k < face.VertexCount; ++k)
                EXPECT_LT(std::size_t(r.lwo.Corners[face.FirstCorner + k]), r.lwo.Vertices.size());
    }
}

// The report's numbers must be exactly what printf and the stream would print.
TEST(Lwo2Reader, ReportNumbersMatchPrintfAndTheStream) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float values[] = {0.0f,       -0.0f,    0.005f,      -0.005f,  0.125f,
                            2.675f,     100.125f, -1234567.8f, 1e20f,    3.4e38f,
                            -inf,       nan,      -nan,        1e-7f,    123456.7f,
                            1234567.0f, 0.8f,     1.0f,        -99.995f, 0.78431374f};
    for (float v : values) {
        std::ostringstream out;
        {
            bm::ReportWriter w(out);
            w.fixed(v, 8, 2).text("|").fixed(v, 3, 2).text("|").general(v);
        }
        char wide[64], narrow[64];
        std::snprintf(wide, sizeof wide, "%8.2f", static_cast<double>(v));
        std::snprintf(narrow, sizeof narrow, "%3.2f", static_cast<double>(v));
        std::ostringstream stream;
        stream << v;
        EXPECT_EQ(out.str(), std::string(wide) + "|" + narrow + "|" + stream.str()) << v;
    }
    // Random bit patterns, and values on either side of a half hundredth.
    std::mt19937 random(7);
    std::string written, printed;
    for (int i = 0; i < 200000; ++i) {
        std::uint32_t bits = static_cast<std::uint32_t>(random());
        float v;
        std::memcpy(&v, &bits, sizeof v);
        if (i % 2 == 0)
            v = static_cast<float>(static_cast<int>(bits % 2000001) - 1000000) / 200.0f;
        std::ostringstream out;
        bm::ReportWriter(out).fixed(v, 8, 2);
        char wide[64];
        std::snprintf(wide, sizeof wide, "%8.2f", static_cast<double>(v));
        if (out.str() != wide) {
            written = out.str();
            printed = wide;
            break;
        }
    }
    EXPECT_EQ(written, printed);

    std::ostringstream big;
    {
        bm::ReportWriter w(big);
        w.number(-2147483648LL).text(std::string(100000, 'x')).number(7);
    }
    EXPECT_EQ(big.str(), "-2147483648" + std::string(100000, 'x') + "7");

    // Integers either side of every change in their count of digits, and of 2^32; a line
    // written in one piece prints what the same calls print one by one.
    std::ostringstream integers, lines;
    std::string expected, piecewise;
    {
        bm::ReportWriter w(integers), l(lines);
        for (std::int64_t power = 1; power <= std::int64_t{100000000000}; power *= 10)
            for (std::int64_t n : {power - 1, power, power + 1, -power, power + 4294967295}) {
                w.number(n).text(" ");
                expected += std::to_string(n) + " ";
            }
        for (float v : values)
            for (std::uint32_t n : {0u, 9u, 10u, 99999u, 4294967295u}) {
                l.line(200).text(" V").number(n).text(":").fixed(v, 8, 2).fixed(v, 3, 2).endLine();
                char text[256];
                std::snprintf(text, sizeof text, " V%u:%8.2f%3.2f\n", n, static_cast<double>(v),
                              static_cast<double>(v));
                piecewise += text;
            }
    }
    EXPECT_EQ(integers.str(), expected);
    EXPECT_EQ(lines.str(), piecewise);
}

// A quiet read skips the report's formatting, not its reading: it builds exactly the lists a
// loud read builds, and keeps the loud report's problem lines and nothing else.
TEST(Lwo2Reader, QuietReadBuildsWhatALoudReadBuilds) {
    Bytes wide;  // a long index naming a point beyond the layer, and a polygon cut short
    wide.id("FACE").u2(3).u4(0xFF000001u).u2(2).u2(0).u2(4).u2(0).u4(0xFF010000u).u2(1).u2(3);
    std::vector<std::pair<std::string, ByteList>> inputs = {
        {"grid", gridObject(2, 40)},
        {"long indices", gridObject(1, 300)},
        {"problems", object({tags({"A"}), points(square), polygons("FACE", {{0, 1, 7}, {0, 1, 2}}),
                             rawChunk("POLS", wide), polygonTags("SURF", {{9, 0}, {1, 0}}),
                             rawChunk("PNTS", Bytes().f4(1).f4(2))})},
    };
    const ByteList whole = inputs[0].second;
    for (std::size_t cut = 0; cut < whole.size(); cut += 997)
        inputs.push_back({"grid cut at " + std::to_string(cut),
                          ByteList(whole.begin(), whole.begin() + std::ptrdiff_t(cut))});
    bm::Lwo2Options quietly;
    quietly.quiet = true;
    for (const auto& [what, bytes] : inputs) {
        const ReadResult loud = read(bytes);
        const ReadResult quiet = read(bytes, "test.lwo", quietly);
        expectSameLists(quiet.lwo, loud.lwo, what);
        EXPECT_EQ(quiet.report, problemLines(loud.report)) << what;
        const std::size_t problems = what == "problems" ? 4 : 0;
        if (what.rfind("grid cut", 0) != 0) {
            EXPECT_EQ(occurrences(quiet.report, "LoadLWO: "), problems) << what << quiet.report;
        }
    }
}
