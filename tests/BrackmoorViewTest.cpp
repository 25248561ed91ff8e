// BrackmoorViewTest.cpp - the model viewer run for real: its exits, its one line of output, how it
// frames a model and which way the model faces.
#include "BrackmoorVersion.h"
#include "Lwo2Writer.h"
#include "TTextureImage.h"
#include "support/GLWindow.h"
#include "support/PngFile.h"
#include "support/ProgramRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

using bm::test::lines;
using bm::test::quoted;
using bm::test::RunResult;
namespace lwo = bm::lwo;

RunResult runView(const std::string& directory, const std::string& arguments) {
    return bm::test::runProgram(BRACKMOOR_VIEW, directory, arguments);
}

// Corner i of a box is at low + side * (bit 0, bit 1, bit 2 of i) in x, y, z. Each face's
// corners run clockwise seen from outside, as LightWave lists a polygon's front.
lwo::Model box(float low, float side) {
    lwo::Model model;
    model.tags = {"Paint"};
    model.surfaces = {{"Paint", 0.2f, 0.6f, 1.0f}};
    model.layers.resize(1);
    for (int i = 0; i < 8; ++i)
        model.layers[0].points.push_back({low + side * float(i & 1), low + side * float(i >> 1 & 1),
                                          low + side * float(i >> 2)});
    const std::uint32_t faces[6][4] = {{2, 3, 1, 0}, {4, 5, 7, 6}, {0, 4, 6, 2},
                                       {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 6, 7, 3}};
    for (const auto& face : faces)
        model.layers[0].polygons.push_back({{face, face + 4}, 0});
    return model;
}

// Two one-sided squares side by side in z = 0, facing LightWave's camera (towards -z): red on
// its left, green on its right.
lwo::Model redLeftGreenRight() {
    lwo::Model model;
    model.tags = {"Left", "Right"};
    model.surfaces = {{"Left", 1, 0, 0}, {"Right", 0, 1, 0}};
    model.layers.resize(1);
    model.layers[0].points = {{-1, -0.5f, 0}, {0, -0.5f, 0}, {1, -0.5f, 0},
                              {-1, 0.5f, 0},  {0, 0.5f, 0},  {1, 0.5f, 0}};
    model.layers[0].polygons = {{{3, 4, 1, 0}, 0}, {{4, 5, 2, 1}, 1}};
    return model;
}

std::string writeModel(const std::string& directory, const std::string& name,
                       const lwo::Model& model) {
    const std::string path = directory + "/" + name;
    EXPECT_TRUE(lwo::writeFile(path, lwo::write(model)));
    return path;
}

// The picture the viewer wrote after `arguments`, or an empty image (width 0) if it failed.
bm::test::PngImage viewPicture(const std::string& model, const std::string& arguments) {
    const std::string directory = bm::test::makeTempDir();
    const RunResult run = runView(directory, quoted(model) + " --screenshot view.png " + arguments);
    EXPECT_EQ(run.exitCode, 0) << arguments << ": " << run.err;
    return bm::test::readPng(directory + "/view.png");
}

// Pixels brighter than the black background, as left, bottom, right, top (GL's y, from the
// bottom); all -1 when there are none.
std::array<int, 4> silhouette(const bm::test::PngImage& image) {
    std::array<int, 4> box = {-1, -1, -1, -1};
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const auto p = image.at(x, y);
            if (std::max({p[0], p[1], p[2]}) <= 10)
                continue;
            const bool first = box[0] < 0;
            box = {first ? x : std::min(box[0], x), first ? y : std::min(box[1], y),
                   std::max(box[2], x), std::max(box[3], y)};
        }
    return box;
}

}  // namespace

// Everything is checked before a window opens. A refused run prints one line on standard error
// and nothing on standard output, and exits 1 for a model that cannot be shown, 2 for bad
// options; --help and --version print on standard output alone and exit 0.
TEST(BrackmoorView, RunsWithoutAWindowPrintOnceAndExit) {
    const std::string directory = bm::test::makeTempDir();
    writeModel(directory, "box.lwo", box(0, 1));
    std::ofstream(directory + "/notes.lwo") << "FORM but not a LightWave object";
    std::ofstream(directory + "/empty.lwo");
    const struct {
        const char* arguments;
        int exitCode;
        const char* said;  // in the refusal's line, or the start of what is printed
    } cases[] = {
        {"--help", 0, "usage: brackmoor-view MODEL.lwo"},
        {"--version", 0, "brackmoor-view on Brackmoor " BRACKMOOR_VERSION "\n"},
        {"missing.lwo", 1, "missing.lwo"},
        {"notes.lwo", 1, "not a LightWave object"},
        {"empty.lwo", 1, "not a LightWave object"},
        {".", 1, "'.'"},
        {"", 2, "model"},
        {"missing.lwo --frames 0", 2, "--frames"},
        {"box.lwo --screenshot /nonexistent-directory/view.png", 2, "--screenshot"},
        {"box.lwo --size 640", 2, "--size"},
        {"box.lwo --size 0x480", 2, "--size"},
        {"box.lwo --size 640x-480", 2, "--size"},
        {"box.lwo --turn", 2, "--turn"},
        {"box.lwo --turn fast", 2, "--turn"},
        {"box.lwo --spin", 2, "--spin"},
        {"box.lwo box.lwo", 2, "one model"},
        {"box.lwo --fps", 2, "--fps"},
        {"box.lwo --frames 1 --fps", 2, "--fps"},
    };
    for (const auto& c : cases) {
        const RunResult run = runView(directory, c.arguments);
        const bool refused = c.exitCode != 0;
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
        EXPECT_EQ(refused ? run.out : run.err, "") << c.arguments;
        EXPECT_EQ(lines(run.err).size(), refused ? 1u : 0u) << c.arguments << ": " << run.err;
        const std::size_t at = (refused ? run.err : run.out).find(c.said);
        EXPECT_TRUE(refused ? at != std::string::npos : at == 0)
            << c.arguments << ": " << run.out << run.err;
    }
}

class BrackmoorViewGL : public ::testing::Test {};

// Standard output is the one summary line, whatever the loader has to say.
TEST_F(BrackmoorViewGL, PrintsOnlyTheSummaryLine) {
    const std::string directory = bm::test::makeTempDir();
    struct Case {
        std::string model, counts, err;
    };
    std::vector<Case> cases = {{writeModel(directory, "box.lwo", box(0, 1)),
                                "8 points, 6 polygons, 12 triangles, 1 surface, 0 images", ""}};
    const std::string shared = BRACKMOOR_SHARED_LWO_DIR;
    if (!shared.empty()) {
        cases.push_back({shared + "/hierarchy.lwo",
                         "290 points, 306 polygons, 564 triangles, 3 surfaces, 0 images", ""});
        cases.push_back({shared + "/MappingModes_earth_spherical_x.lwo",
                         "266 points, 288 polygons, 528 triangles, 1 surface, 1 image", ""});
        cases.push_back({shared + "/box_2uv_1unused.lwo",
                         "8 points, 6 polygons, 12 triangles, 1 surface, 0 images",
                         "LoadLWO: surface \"Default\": image \"any_texture\": not found beside "
                         "the model; drawn in its colour\n"});
    }
    for (const Case& c : cases) {
        const RunResult run = runView(directory, quoted(c.model) + " --frames 1");
        EXPECT_EQ(run.exitCode, 0) << c.model << ": " << run.err;
        const std::string out = std::regex_replace(run.out, std::regex(R"(\d+\.\d ms)"), "T ms");
        EXPECT_EQ(out, c.model + ": " + c.counts + ", loaded in T ms\n");
        EXPECT_EQ(run.err, c.err) << c.model;
    }
}

// A 1-unit box and a 1,000-unit one, both far from the origin, fill most of a wide window,
// centred, without touching its edges or being clipped: the front face shows as a square.
TEST_F(BrackmoorViewGL, TinyAndHugeModelsFillThePicture) {
    const std::string directory = bm::test::makeTempDir();
    for (const auto& [low, side] : {std::pair<float, float>{5, 1}, {2000, 1000}}) {
        const std::string model = writeModel(directory, "box.lwo", box(low, side));
        const bm::test::PngImage image = viewPicture(model, "--frames 1 --no-light --size 400x200");
        ASSERT_EQ(image.width * image.height, 400 * 200) << side;
        const auto [left, bottom, right, top] = silhouette(image);
        const int width = right - left + 1, height = top - bottom + 1;
        // Centred, so a height short of the window's keeps every edge clear.
        EXPECT_TRUE(height >= 100 && height < 198) << side << ": " << height;
        EXPECT_NEAR(width, height, 2) << side;
        EXPECT_NEAR(left + right, 399, 2) << side;
        EXPECT_NEAR(bottom + top, 199, 2) << side;
        const auto centre = image.at(200, 100);
        EXPECT_EQ(centre[2], 255) << "the box's own colour, unlit; " << side;
    }
}

// The first frame shows the model as LightWave's camera does: its front, unmirrored, lit from
// the viewer's side. Turned half round, the one-sided squares show their backs: nothing.
TEST_F(BrackmoorViewGL, FrontFacesTheViewerUnmirroredAndLit) {
    const std::string model =
        writeModel(bm::test::makeTempDir(), "squares.lwo", redLeftGreenRight());
    const bm::test::PngImage unlit = viewPicture(model, "--frames 1 --no-light");
    ASSERT_EQ(unlit.width, 640);
    using Rgba = std::array<unsigned char, 4>;
    EXPECT_EQ(unlit.at(200, 240), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(unlit.at(440, 240), (Rgba{0, 255, 0, 255}));

    const bm::test::PngImage lit = viewPicture(model, "--frames 1");
    ASSERT_EQ(lit.width, 640);
    // Ambient light alone would give a fifth of the colour.
    EXPECT_GT(lit.at(200, 240)[0], 150);
    EXPECT_GT(lit.at(440, 240)[1], 150);

    const bm::test::PngImage back = viewPicture(model, "--frames 2 --turn 180 --no-light");
    ASSERT_EQ(back.width, 640);
    EXPECT_EQ(silhouette(back)[0], -1);
}

// Shared vertices, the viewer's way, draw a model pixel for pixel as a vertex per corner does:
// real models with colours, images, UVs and smooth normals, lit, facing the viewer and turned.
// The summary counts the same; --fps adds its one line.
TEST_F(BrackmoorViewGL, SharedVerticesDrawTheSamePicture) {
    const std::string shared = BRACKMOOR_SHARED_LWO_DIR;
    if (shared.empty())
        GTEST_SKIP() << "the shared folder of LWO models (shared/lwo) is not here";
    for (const char* file : {"ModoExport_vertNormals.lwo", "sphere_with_mat_gloss_10pc.lwo",
                             "boxuv.lwo", "MappingModes_earth_spherical_x.lwo", "hierarchy.lwo"}) {
        const std::string model = shared + "/" + file;
        for (const char* pose : {"--frames 1", "--frames 12 --turn 25 --size 320x240"}) {
            const bm::test::PngImage compact = viewPicture(model, pose);
            const bm::test::PngImage plain =
                viewPicture(model, std::string(pose) + " --no-compact");
            ASSERT_GT(compact.width, 0) << file << " " << pose;
            EXPECT_NE(silhouette(compact)[0], -1) << file << " " << pose;
            EXPECT_TRUE(compact.rgba == plain.rgba) << file << " " << pose;
        }
    }
    const std::string model = shared + "/hierarchy.lwo";
    const std::string directory = bm::test::makeTempDir();
    const std::regex time(R"(\d+\.\d ms)");
    const RunResult plain = runView(directory, quoted(model) + " --frames 1 --no-compact");
    const RunResult timed = runView(directory, quoted(model) + " --frames 4 --fps");
    ASSERT_EQ(timed.exitCode, 0) << timed.err;
    const std::vector<std::string> said = lines(timed.out);
    ASSERT_EQ(said.size(), 2u) << timed.out;
    EXPECT_EQ(std::regex_replace(said[0] + "\n", time, "T ms"),
              std::regex_replace(plain.out, time, "T ms"));
    EXPECT_TRUE(std::regex_match(
        said[1],
        std::regex(R"(3 frames after the first in \d+\.\d ms: \d+\.\d frames per second)")))
        << said[1];
}

// The sample ship is baked: three fully luminous surfaces without diffuse, its body in its image,
// its canopy in a plain colour. It shows the same picture lit and unlit, at full strength: the
// canopy in its colour exactly, the image's reds as bright as the image has them.
TEST_F(BrackmoorViewGL, LuminousShipShowsItsImageLitOrNot) {
    const std::string samples = std::string(BRACKMOOR_SOURCE_DIR) + "/samples/";
    bm::Image image;
    std::string why;
    ASSERT_TRUE(bm::readImageFile(samples + "Images/map_ship.jpg", image, why)) << why;
    const auto redness = [](const unsigned char* p) { return p[1] < 64 && p[2] < 64 ? p[0] : 0; };
    int imageRed = 0;
    for (std::size_t i = 0; i + 2 < image.pixels.size(); i += std::size_t(image.channels))
        imageRed = std::max(imageRed, redness(&image.pixels[i]));
    const std::string model = samples + "Objects/mesh_ship.lwo";
    const bm::test::PngImage lit = viewPicture(model, "--frames 1");
    const bm::test::PngImage unlit = viewPicture(model, "--frames 1 --no-light");
    ASSERT_EQ(lit.width, 640);
    EXPECT_TRUE(lit.rgba == unlit.rgba);
    std::size_t shown = 0, canopy = 0;
    int drawnRed = 0;
    for (std::size_t i = 0; i + 3 < lit.rgba.size(); i += 4) {
        const unsigned char* p = &lit.rgba[i];
        shown += std::max({p[0], p[1], p[2]}) > 10 ? 1 : 0;
        canopy += p[0] == 223 && p[1] == 255 && p[2] == 128 ? 1 : 0;  // (0.875, 1, 0.5)
        drawnRed = std::max(drawnRed, redness(p));
    }
    // Drawn black, as before luminosity was read, none would show.
    EXPECT_GT(shown, 10000u);
    EXPECT_GT(canopy, 1000u);
    EXPECT_GE(imageRed, 200);
    EXPECT_GE(drawnRed, imageRed - 16);
}
