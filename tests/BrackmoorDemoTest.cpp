// BrackmoorDemoTest.cpp - the demonstration program run for real: options, frames, output, picture.
#include "support/GLWindow.h"
#include "support/PngFile.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct RunResult {
    int exitCode = -1;
    std::string out, err;
};

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string quoted(const std::string& text)
{
    return "'" + text + "'";
}

// Runs the demonstration in directory with the given arguments, optionally under a tracer.
RunResult runDemo(const std::string& directory, const std::string& arguments,
                  const std::string& prefix = "")
{
    const std::string scratch = bm::test::makeTempDir();
    const std::string command = "cd " + quoted(directory) + " && " + prefix + " " +
                                quoted(BRACKMOOR_DEMO) + " " + arguments + " > " +
                                quoted(scratch + "/out") + " 2> " + quoted(scratch + "/err");
    const int status = std::system(command.c_str());
    RunResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readText(scratch + "/out");
    result.err = readText(scratch + "/err");
    return result;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

}  // namespace

// Bad values are refused before any window opens: one line, exit status 2.
TEST(BrackmoorDemo, BadOptionValuesExitWithStatusTwo)
{
    const char* const cases[][2] = {
        {"--frames 0", "--frames"},
        {"--frames -3", "--frames"},
        {"--frames 2.5", "--frames"},
        {"--frames many", "--frames"},
        {"--frames", "--frames"},
        {"--screenshot /nonexistent-directory/shot.png", "--screenshot"},
        {"--screenshot", "--screenshot"},
    };
    for (const auto& c : cases) {
        const RunResult run = runDemo(BRACKMOOR_DATA_DIR, c[0]);
        EXPECT_EQ(run.exitCode, 2) << c[0];
        EXPECT_EQ(run.out, "") << c[0];
        EXPECT_EQ(lines(run.err).size(), 1u) << c[0] << ": " << run.err;
        EXPECT_NE(run.err.find(c[1]), std::string::npos) << c[0];
    }
}

class BrackmoorDemoGL : public ::testing::Test {};

TEST_F(BrackmoorDemoGL, ThreeFramesEachClearLoadEnableFlushAndSwap)
{
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
    }
}

TEST_F(BrackmoorDemoGL, ScreenshotIsTheWindowSizedPng)
{
    const std::string picture = bm::test::makeTempDir() + "/demo.png";
    const RunResult run = runDemo(BRACKMOOR_DATA_DIR, "--frames 2 --screenshot " + quoted(picture));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const bm::test::PngImage image = bm::test::readPng(picture);
    EXPECT_EQ(image.width, 640);
    EXPECT_EQ(image.height, 480);
}
