// BrackmoorDemoTest.cpp - the demonstration program run for real: options, frames, output, picture.
#include "support/GLWindow.h"
#include "support/PngFile.h"
#include "support/ProgramRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using bm::test::lines;
using bm::test::quoted;
using bm::test::readText;
using bm::test::RunResult;

// Runs the demonstration in directory with the given arguments, optionally under a tracer.
RunResult runDemo(const std::string& directory, const std::string& arguments,
                  const std::string& prefix = "") {
    return bm::test::runProgram(BRACKMOOR_DEMO, directory, arguments, prefix);
}

std::string firstDifference(const std::string& actual, const std::string& expected) {
    const std::vector<std::string> got = lines(actual), want = lines(expected);
    for (std::size_t i = 0; i < std::max(got.size(), want.size()); ++i) {
        const std::string g = i < got.size() ? got[i] : "<missing>";
        const std::string w = i < want.size() ? want[i] : "<missing>";
        if (g != w)
            return "line " + std::to_string(i + 1) + ": got '" + g + "', expected '" + w + "'";
    }
    return "";
}

// The GL calls of an apitrace dump without call numbers, one a line: the window system's calls
// and comments dropped, call numbers too, addresses written 0x?, as they change from run to run.
std::string glCallStream(const std::string& dump) {
    static const std::regex address("0x[0-9a-f]+");
    std::string stream;
    for (std::string line : lines(dump)) {
        if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0])))
            line.erase(0, line.find(' ') + 1);
        if (line.empty() || line.rfind("glX", 0) == 0 || line.rfind("//", 0) == 0)
            continue;
        stream += std::regex_replace(line, address, "0x?") + "\n";
    }
    return stream;
}

}  // namespace

// Bad values are refused before any window opens: one line, exit status 2.
TEST(BrackmoorDemo, BadOptionValuesExitWithStatusTwo) {
    const char* const cases[][2] = {
        {"--frames 0", "--frames"},
        {"--frames -3", "--frames"},
        {"--frames 2.5", "--frames"},
        {"--frames many", "--frames"},
        {"--frames +3", "--frames"},
        {"--frames ' 3'", "--frames"},
        {"--frames", "--frames"},
        {"--screenshot /nonexistent-directory/shot.png", "--screenshot"},
        {"--screenshot", "--screenshot"},
        {"--screenshot /tmp", "--screenshot"},
    };
    for (const auto& c : cases) {
        const RunResult run = runDemo(BRACKMOOR_DATA_DIR, c[0]);
        EXPECT_EQ(run.exitCode, 2) << c[0];
        EXPECT_EQ(run.out, "") << c[0];
        EXPECT_EQ(lines(run.err).size(), 1u) << c[0] << ": " << run.err;
        EXPECT_NE(run.err.find(c[1]), std::string::npos) << c[0];
    }
}

// The picture file is opened only once there is a picture: a refused run leaves it as it was.
TEST(BrackmoorDemo, RefusedRunLeavesAnExistingPictureAlone) {
    const std::string picture = bm::test::makeTempDir() + "/old.png";
    std::ofstream(picture) << "an earlier picture";
    const RunResult run =
        runDemo(BRACKMOOR_DATA_DIR, "--screenshot " + quoted(picture) + " --frames 0");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(readText(picture), "an earlier picture");
}

class BrackmoorDemoGL : public ::testing::Test {};

// The angles of a frame's rotations, in the order the entities are drawn: the quad, the
// triangle, the cube and the model, each about X, then Y, then Z.
void expectTurnedBy(const std::vector<std::string>& calls, double a, std::size_t frame) {
    const std::string rotate = "glRotatef(angle = ";
    std::vector<double> angles;
    for (const std::string& call : calls)
        if (call.rfind(rotate, 0) == 0)
            angles.push_back(std::stod(call.substr(rotate.size())));
    const std::vector<double> expected = {a, 0, 0, 0, a, -a, a, 0, -a, -a, 0, a};
    ASSERT_EQ(angles.size(), expected.size()) << "frame " << frame;
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(angles[i], expected[i], 1e-6) << "frame " << frame << ", rotation " << i;
}

TEST_F(BrackmoorDemoGL, ThreeFramesEachClearLoadEnableFlushAndSwap) {
    if (std::string(BRACKMOOR_APITRACE).empty())
        GTEST_SKIP() << "apitrace is not installed";
    const std::string trace = bm::test::makeTempDir() + "/demo.trace";
    const RunResult run = runDemo(BRACKMOOR_DATA_DIR, "--frames 3",
                                  std::string("ASAN_OPTIONS=verify_asan_link_order=0 ") +
                                      BRACKMOOR_APITRACE + " trace -o " + quoted(trace));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string dumpFile = trace + ".txt";
    const std::string dump = std::string(BRACKMOOR_APITRACE) + " dump --color=never " +
                             quoted(trace) + " > " + quoted(dumpFile);
    ASSERT_EQ(std::system(dump.c_str()), 0);
    const std::string expected = readText(std::string(BRACKMOOR_TESTS_DIR) + "/demo_calls3.txt");
    ASSERT_FALSE(expected.empty());
    const std::string stream = glCallStream(readText(dumpFile));
    EXPECT_EQ(stream, expected) << firstDifference(stream, expected);
    // Split the calls at each buffer swap; every frame opens with the same five calls.
    std::vector<std::vector<std::string>> frames(1);
    for (const std::string& line : lines(readText(dumpFile))) {
        if (line.find("glXSwapBuffers(") != std::string::npos)
            frames.emplace_back();
        else if (!line.empty())
            frames.back().push_back(line.substr(line.find(' ') + 1));
    }
    ASSERT_EQ(frames.size(), 4u) << "three swaps, then shut-down";
    const std::vector<std::string> opening = {
        "glClear(mask = GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT)",
        "glMatrixMode(mode = GL_MODELVIEW)",
        "glLoadIdentity()",
        "glBindTexture(target = GL_TEXTURE_2D, texture = 1)",
        "glEnableClientState(array = GL_VERTEX_ARRAY)",
        "glEnableClientState(array = GL_TEXTURE_COORD_ARRAY)",
    };
    for (std::size_t f = 0; f < 3; ++f) {
        const std::vector<std::string>& calls = frames[f];
        std::size_t clear = 0;
        while (clear < calls.size() && calls[clear].rfind("glClear(", 0) != 0)
            ++clear;
        ASSERT_LE(clear + opening.size(), calls.size()) << "frame " << f;
        for (std::size_t i = 0; i < opening.size(); ++i)
            EXPECT_EQ(calls[clear + i], opening[i]) << "frame " << f;
        EXPECT_NE(calls.back().find("glFlush()"), std::string::npos) << "frame " << f;
        const auto draws = std::count_if(calls.begin(), calls.end(), [](const std::string& c) {
            return c.rfind("glDrawElements(", 0) == 0;
        });
        EXPECT_GE(draws, 4) << "the model's surfaces, quad, triangle and cube; frame " << f;
        expectTurnedBy(calls, 0.1 * double(f + 1), f);
    }
}

TEST_F(BrackmoorDemoGL, ScreenshotIsTheWindowSizedPng) {
    const std::string picture = bm::test::makeTempDir() + "/demo.png";
    const RunResult run = runDemo(BRACKMOOR_DATA_DIR, "--frames 2 --screenshot " + quoted(picture));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const bm::test::PngImage image = bm::test::readPng(picture);
    EXPECT_EQ(image.width, 640);
    EXPECT_EQ(image.height, 480);
}

namespace {

// The picture's colours: the texture's four quadrants, the rocket, the background.
struct NamedColour {
    const char* name;
    int r, g, b;
};
constexpr NamedColour red{"red", 230, 20, 20}, green{"green", 20, 210, 20},
    blue{"blue", 20, 20, 230}, yellow{"yellow", 230, 210, 20}, white{"white", 255, 255, 255},
    black{"black", 0, 0, 0};

// A pixel to check, in picture coordinates: x from the left, y from the top.
struct Probe {
    const char* what;
    int x, y;
    NamedColour expected;
};

void expectColours(const bm::test::PngImage& image, const std::vector<Probe>& probes) {
    for (const Probe& p : probes) {
        const auto pixel = image.at(p.x, image.height - 1 - p.y);
        const bool near = std::abs(pixel[0] - p.expected.r) <= 40 &&
                          std::abs(pixel[1] - p.expected.g) <= 40 &&
                          std::abs(pixel[2] - p.expected.b) <= 40;
        EXPECT_TRUE(near) << p.what << " at (" << p.x << ", " << p.y << ") should be "
                          << p.expected.name << ", is " << int(pixel[0]) << "," << int(pixel[1])
                          << "," << int(pixel[2]);
    }
}

// Where the projection puts the quad (right), the triangle (left) and the cube (middle),
// one frame in, when they have turned by a tenth of a degree.
const std::vector<Probe> quadTriangleAndCube = {
    {"quad, lower left quadrant", 470, 280, blue},
    {"quad, lower right quadrant", 600, 280, yellow},
    {"quad, upper right quadrant", 600, 190, green},
    {"triangle, lower left", 50, 280, blue},
    {"triangle, lower right", 130, 280, yellow},
    {"triangle, upper left", 70, 210, red},
    {"above the triangle's tip", 91, 150, black},
    {"cube's front face, left of the rocket", 210, 200, blue},
    {"cube's front face, lower left", 210, 280, yellow},
    {"below the scene", 320, 420, black},
    {"above the scene", 50, 50, black},
};

}  // namespace

// Start-up, the camera dump, the model's whole report, the texture line and the 3.
TEST_F(BrackmoorDemoGL, OneFramePrintsTheExpectedText) {
    const RunResult run = runDemo(BRACKMOOR_DATA_DIR, "--frames 1");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string expected = readText(std::string(BRACKMOOR_TESTS_DIR) + "/demo_frames1.txt");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(run.out, expected) << firstDifference(run.out, expected);
}

TEST_F(BrackmoorDemoGL, ScreenshotShowsTheFourEntitiesWhereTheProjectionPutsThem) {
    const std::string picture = bm::test::makeTempDir() + "/demo.png";
    const RunResult run = runDemo(BRACKMOOR_DATA_DIR, "--frames 1 --screenshot " + quoted(picture));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const bm::test::PngImage image = bm::test::readPng(picture);
    ASSERT_EQ(image.width, 640);
    expectColours(image, quadTriangleAndCube);
    // The rocket stands in front of the cube, in the middle, white from nose to fins.
    expectColours(image, {{"rocket's nose", 320, 160, white},
                          {"rocket's body", 320, 200, white},
                          {"rocket's fins", 320, 310, white}});
}

// With no model file the other three entities are still drawn, the cube now seen whole.
TEST_F(BrackmoorDemoGL, MissingModelLeavesTheOtherThreeDrawn) {
    const std::string directory = bm::test::makeTempDir();
    const std::string copy =
        "cp " + quoted(std::string(BRACKMOOR_DATA_DIR) + "/RAWTest") + " " + quoted(directory);
    ASSERT_EQ(std::system(copy.c_str()), 0);
    const std::string picture = directory + "/demo.png";
    const RunResult run = runDemo(directory, "--frames 1 --screenshot " + quoted(picture));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("STARTED:Lightwave Loader v1.0\n"
                           "LoadLWO:Error loading Zarodoru.lwo could not file file.\n"
                           "RAW Loading complete...\n3\n"),
              std::string::npos)
        << run.out;
    const bm::test::PngImage image = bm::test::readPng(picture);
    ASSERT_EQ(image.width, 640);
    expectColours(image, quadTriangleAndCube);
    expectColours(image, {{"cube's front face where the rocket stood", 300, 200, blue},
                          {"cube's front face, lower right", 360, 280, green},
                          {"below the cube", 320, 340, black}});
}
