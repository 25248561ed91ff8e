// BrackmoorViewTest.cpp - the model viewer run for real: its exits, its one line of output, how it
// frames a model and which way the model faces.
#include "BrackmoorVersion.h"
#include "Lwo2Reader.h"
#include "Lwo2Writer.h"
#include "LwsMotion.h"
#include "TSceneFiles.h"
#include "TTextureImage.h"
#include "support/GLWindow.h"
#include "support/LwsFiles.h"
#include "support/PngFile.h"
#include "support/ProgramRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <regex>
#include <sstream>
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
    std::ofstream(directory + "/scene.lws") << "LWSC\n3\n";
    std::ofstream(directory + "/unnumbered.lws") << "LWSC\nthree\n";
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
        {"unnumbered.lws", 1, "no version number"},
        {"scene.lws --frame soon", 2, "--frame"},
        {"scene.lws --turn 1", 2, "--turn is for objects"},
        {"box.lwo --frame 3", 2, "for scenes"},
        {"box.lwo --info", 2, "for scenes"},
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

// Shared vertices in the viewer, lit, textured and turned, draw what a vertex per corner does
// (the loader's tests compare the triangles themselves); --fps adds its one line.
TEST_F(BrackmoorViewGL, SharedVerticesDrawTheSamePicture) {
    const std::string shared = BRACKMOOR_SHARED_LWO_DIR;
    if (shared.empty())
        GTEST_SKIP() << "the shared folder of LWO models (shared/lwo) is not here";
    const std::string model = shared + "/MappingModes_earth_spherical_x.lwo";
    const std::string pose = "--frames 12 --turn 25 --size 320x240";
    const bm::test::PngImage compact = viewPicture(model, pose);
    EXPECT_NE(silhouette(compact)[0], -1);
    EXPECT_TRUE(compact.rgba == viewPicture(model, pose + " --no-compact").rgba);
    const RunResult timed = runView(".", quoted(shared + "/hierarchy.lwo") + " --frames 4 --fps");
    ASSERT_EQ(timed.exitCode, 0) << timed.err;
    EXPECT_TRUE(std::regex_match(timed.out, std::regex(R"(.*hierarchy\.lwo: .* loaded in \d+\.\d ms
3 frames after the first in \d+\.\d ms: \d+\.\d frames per second
)"))) << timed.out;
}

// --info without a window: the worked example's numbers at frame 10; on a ride through the city,
// each item's kind, parent, matrix and name as the scene reader and motion give them. Catches a
// line out of step with the scene's items or a matrix printed by columns.
TEST(BrackmoorView, InfoPrintsEachItemsMatrix) {
    SKIP_WITHOUT_SHARED_SCENES();
    const std::string scenes = bm::test::sharedScenes;
    const RunResult moveX =
        runView(".", quoted(scenes + "/assimp/test/models/LWS/move_x.lws") + " --info --frame 10");
    ASSERT_EQ(moveX.exitCode, 0) << moveX.err;
    EXPECT_EQ(lines(moveX.out),
              (std::vector<std::string>{
                  "object -1 0.979758 0.000000 0.000000 1.441624 0.000000 0.885873 0.000000 "
                  "-0.040000 0.000000 0.000000 0.954916 0.000000 simple_cube.lwo",
                  "light -1 0.707107 0.405580 0.579228 -2.000000 0.000000 0.819152 -0.573576 "
                  "2.000000 -0.707107 0.405580 0.579228 -2.000000 Light",
                  "camera -1 1.000000 0.000000 0.000000 -0.100000 0.000000 1.000000 0.000000 "
                  "0.950000 0.000000 0.000000 1.000000 -6.384000 Camera"}));

    const std::string ride =
        scenes + "/astrofra-demo-redline-assets/assets/3d/03_01_seq_01_ride.lws";
    const RunResult run = runView(".", quoted(ride) + " --info --frame 30.5");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    testing::internal::CaptureStdout();  // the scene read as the viewer reads it
    const bm::SceneFiles read = bm::readSceneFiles(ride, BrackmoorLwoQuiet);
    testing::internal::GetCapturedStdout();
    const std::vector<bm::LwsMatrix> world = bm::worldMatrices(read.scene, 30.5);
    const std::vector<std::string> printed = lines(run.out);
    ASSERT_EQ(printed.size(), read.scene.items.size());
    const char* kinds[] = {"", "object", "light", "camera"};
    for (std::size_t i = 0; i < printed.size(); ++i) {
        const bm::LwsItem& item = read.scene.items[i];
        std::istringstream in(printed[i]);
        std::string kind, name;
        int parent = -2;
        in >> kind >> parent;
        for (int k = 0; k < 12; ++k) {
            double cell = 0;
            in >> cell;
            EXPECT_NEAR(cell, world[i].m[k / 4][k % 4], 1e-6) << printed[i];
        }
        std::getline(in >> std::ws, name);
        EXPECT_EQ(kind, item.null ? "null" : kinds[item.type]) << printed[i];
        EXPECT_EQ(parent, item.parent) << printed[i];
        EXPECT_EQ(name, item.name) << printed[i];
    }
}

// The worked example's cube through the scene's camera at frames 1 and 50: where its corners
// land through the camera's matrix and zoom is the silhouette drawn. Catches a camera facing or
// mirrored wrongly, a zoom read as a field of view, or --frame ignored. Unlit, so no face is dark.
TEST_F(BrackmoorViewGL, SceneIsSeenThroughItsCamera) {
    SKIP_WITHOUT_SHARED_SCENES();
    const std::string folder = bm::test::sharedScenes + "/assimp/test/models/LWS";
    const std::string bytes = bm::test::fileText(folder + "/simple_cube.lwo");
    std::ostringstream report;
    const bm::Lwo2Data cube =
        bm::readLwo2(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), report);
    const bm::test::SceneRead read = bm::test::readSharedScene("assimp/test/models/LWS/move_x.lws");
    for (const double frame : {1.0, 50.0}) {
        const std::vector<bm::LwsMatrix> world = bm::worldMatrices(read.scene, frame);
        const bm::LwsMatrix &object = world[0], &eye = world[2];
        const double zoom = 3.2, aspect = 640.0 / 480.0;
        std::array<double, 4> expected = {1e9, 1e9, -1e9, -1e9};
        for (const VertexData& p : cube.Vertices) {
            double at[3], seen[3] = {0, 0, 0};
            for (int r = 0; r < 3; ++r)
                at[r] = object.m[r][0] * p.X + object.m[r][1] * p.Y + object.m[r][2] * p.Z +
                        object.m[r][3] - eye.m[r][3];
            for (int c = 0; c < 3; ++c)
                for (int r = 0; r < 3; ++r)
                    seen[c] += eye.m[r][c] * at[r];  // the camera's axes: its rotation undone
            const double x = 320 * (1 + seen[0] / seen[2] * zoom / aspect);
            const double y = 240 * (1 + seen[1] / seen[2] * zoom);
            expected = {std::min(expected[0], x), std::min(expected[1], y),
                        std::max(expected[2], x), std::max(expected[3], y)};
        }
        const std::array<int, 4> drawn = silhouette(viewPicture(
            folder + "/move_x.lws", "--frame " + std::to_string(frame) + " --frames 1 --no-light"));
        for (std::size_t k = 0; k < 4; ++k)
            EXPECT_NEAR(drawn[k], std::clamp(expected[k], 0.0, k % 2 == 0 ? 639.0 : 479.0), 2.0)
                << "frame " << frame << ", edge " << k;
    }
}

// The sample ship is baked: fully luminous surfaces without diffuse, its body in its image, its
// canopy in a plain colour. Catches luminosity lost (all black) or lit over: the same picture lit
// or not, the canopy in its colour exactly, the image's reds as bright as the image has them.
TEST_F(BrackmoorViewGL, LuminousShipShowsItsImageLitOrNot) {
    const std::string samples = std::string(BRACKMOOR_SOURCE_DIR) + "/samples/";
    bm::Image image;
    std::string why;
    ASSERT_TRUE(bm::readImageFile(samples + "Images/map_ship.jpg", image, why)) << why;
    const auto redness = [](const unsigned char* p) { return p[1] < 64 && p[2] < 64 ? p[0] : 0; };
    int imageRed = 0, drawnRed = 0;
    for (std::size_t i = 0; i + 2 < image.pixels.size(); i += std::size_t(image.channels))
        imageRed = std::max(imageRed, redness(&image.pixels[i]));
    const bm::test::PngImage lit = viewPicture(samples + "Objects/mesh_ship.lwo", "--frames 1");
    ASSERT_EQ(lit.width, 640);
    EXPECT_TRUE(lit.rgba ==
                viewPicture(samples + "Objects/mesh_ship.lwo", "--frames 1 --no-light").rgba);
    std::size_t canopy = 0;  // pixels of (0.875, 1, 0.5)
    for (std::size_t i = 0; i + 3 < lit.rgba.size(); i += 4) {
        canopy += lit.rgba[i] == 223 && lit.rgba[i + 1] == 255 && lit.rgba[i + 2] == 128;
        drawnRed = std::max(drawnRed, redness(&lit.rgba[i]));
    }
    EXPECT_GT(canopy, 1000u);
    EXPECT_GE(imageRed, 200);
    EXPECT_GE(drawnRed, imageRed - 16);
}
