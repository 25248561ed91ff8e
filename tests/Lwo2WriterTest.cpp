// Lwo2WriterTest.cpp - the LWO2 writer's encodings, and the committed demonstration data.
#include "Lwo2Reader.h"
#include "Lwo2Writer.h"
#include "support/GLWindow.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using bm::lwo::Bytes;
using ByteList = std::vector<unsigned char>;

ByteList readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteList(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The tool is built beside this test binary.
std::string toolPath() {
    char self[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    const std::string exe(self, n > 0 ? static_cast<std::size_t>(n) : 0);
    return exe.substr(0, exe.rfind('/') + 1) + "make_demo_data";
}

// Index widths switch at 0xFF00, strings pad to even length, fields are big-endian.
TEST(Lwo2Writer, FieldEncodings) {
    const struct {
        const char* what;
        Bytes bytes;
        ByteList expected;
    } cases[] = {
        {"vx below 0xFF00", Bytes().vx(0xFEFF), {0xFE, 0xFF}},
        {"vx at 0xFF00", Bytes().vx(0xFF00), {0xFF, 0x00, 0xFF, 0x00}},
        {"vx of 24 bits", Bytes().vx(0x123456), {0xFF, 0x12, 0x34, 0x56}},
        {"empty s0", Bytes().s0(""), {0, 0}},
        {"odd s0", Bytes().s0("abc"), {'a', 'b', 'c', 0}},
        {"even s0", Bytes().s0("ab"), {'a', 'b', 0, 0}},
        {"u4", Bytes().u4(0x01020304), {1, 2, 3, 4}},
        {"f4", Bytes().f4(-2.0f), {0xC0, 0x00, 0x00, 0x00}},
        {"odd chunk",
         bm::lwo::chunk("TEXT", Bytes().u1(7)),
         {'T', 'E', 'X', 'T', 0, 0, 0, 1, 7, 0}},
        {"subchunk", bm::lwo::subchunk("DIFF", Bytes().u2(9)), {'D', 'I', 'F', 'F', 0, 2, 0, 9}},
        {"form",
         bm::lwo::form({Bytes().u1(1).u1(2)}),
         {'F', 'O', 'R', 'M', 0, 0, 0, 6, 'L', 'W', 'O', '2', 1, 2}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.bytes.data, c.expected) << c.what;
}

// Point indices stay local to each layer, and big ones take the 4-byte form.
TEST(Lwo2Writer, ModelReadsBackLayerByLayer) {
    bm::lwo::Model model;
    model.tags = {"A", "Bee"};
    model.surfaces = {{"A", 1, 0, 0, 1}, {"Bee", 0, 0, 1, 1}};
    model.layers.resize(2);
    for (int i = 0; i < 0xFF03; ++i)
        model.layers[0].points.push_back({float(i), 0, 0});
    model.layers[0].polygons = {{{0xFF02, 0xFF01, 0xFF00}, 1}};
    model.layers[1].points = {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    model.layers[1].polygons = {{{0, 1, 2, 3}, 0}};
    const ByteList bytes = bm::lwo::write(model);

    std::ostringstream report;
    const bm::Lwo2Data lwo = bm::readLwo2(bytes.data(), bytes.size(), report);
    ASSERT_EQ(lwo.Tags.size(), 2u);
    EXPECT_EQ(lwo.Tags[1].name, "Bee");
    EXPECT_FLOAT_EQ(lwo.Tags[1].Blue, 1.0f);
    ASSERT_EQ(lwo.Faces.size(), 2u);
    EXPECT_EQ(lwo.Faces[0].Vertex[0], 0xFF02);
    EXPECT_EQ(lwo.Faces[0].SurfaceID, 1);
    EXPECT_EQ(lwo.Faces[1].VertexCount, 4);
    EXPECT_EQ(lwo.Faces[1].Vertex[3], 0xFF03 + 3);
    EXPECT_EQ(lwo.Faces[1].SurfaceID, 0);
}

// The committed files are what the tool writes today, byte for byte, on every run.
TEST(Lwo2Writer, DemoDataIsCurrent) {
    const std::string dir = bm::test::makeTempDir();
    ASSERT_EQ(std::system((toolPath() + " " + dir).c_str()), 0);
    for (const char* name : {"Zarodoru.lwo", "RAWTest"}) {
        const ByteList made = readAll(dir + "/" + name);
        EXPECT_FALSE(made.empty()) << name;
        EXPECT_TRUE(made == readAll(std::string(BRACKMOOR_DATA_DIR) + "/" + name))
            << name << " in data/ is stale: rerun make_demo_data data";
    }
}

// The model mixes polygon sizes, has two coloured tags and fits the demo's view.
TEST(Lwo2Writer, DemoModelShape) {
    const ByteList bytes = readAll(std::string(BRACKMOOR_DATA_DIR) + "/Zarodoru.lwo");
    std::ostringstream report;
    const bm::Lwo2Data lwo = bm::readLwo2(bytes.data(), bytes.size(), report);
    ASSERT_EQ(lwo.Tags.size(), 2u);
    EXPECT_GT(lwo.Tags[1].Red, lwo.Tags[1].Blue);
    std::map<int, int> sizes;
    int triangles = 0;
    for (const FaceData& f : lwo.Faces) {
        ++sizes[f.VertexCount];
        triangles += f.VertexCount - 2;
    }
    EXPECT_GT(sizes[3], 0);
    EXPECT_GT(sizes[4], 0);
    EXPECT_GT(sizes[6] + sizes[8], 0);
    EXPECT_GE(triangles, 200);
    EXPECT_LE(triangles, 500);
    for (const VertexData& v : lwo.Vertices) {
        EXPECT_LE(std::abs(v.X), 1.2f);
        EXPECT_LE(std::abs(v.Y), 1.2f);
        EXPECT_LE(std::abs(v.Z), 1.2f);
    }
}

// Opaque, white at the four corners (what texture coordinate (0, 0) samples with repeat),
// and a different colour in each quadrant.
TEST(Lwo2Writer, DemoTexture) {
    const ByteList rgba = readAll(std::string(BRACKMOOR_DATA_DIR) + "/RAWTest");
    ASSERT_EQ(rgba.size(), 128u * 128u * 4u);
    const auto pixel = [&](int s, int t) {
        const std::size_t at = (static_cast<std::size_t>(t) * 128 + s) * 4;
        return ByteList(rgba.begin() + at, rgba.begin() + at + 4);
    };
    for (std::size_t i = 3; i < rgba.size(); i += 4)
        ASSERT_EQ(rgba[i], 255) << i;
    for (int corner : {0, 127}) {
        EXPECT_EQ(pixel(corner, 0), (ByteList{255, 255, 255, 255}));
        EXPECT_EQ(pixel(corner, 127), (ByteList{255, 255, 255, 255}));
    }
    const ByteList quadrants[] = {pixel(50, 50), pixel(100, 30), pixel(30, 100), pixel(100, 100)};
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            EXPECT_NE(quadrants[a], quadrants[b]) << a << " " << b;
}

}  // namespace
