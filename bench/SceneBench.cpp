// SceneBench.cpp - setting the time of a scene of 10,000 items, nine channels of 100 keys each,
// against drawing its 10,000 entities.
#include "Brackmoor.h"
#include "Lwo2Writer.h"
#include "SideBySide.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {
constexpr int itemCount = 10000;
constexpr int keysPerChannel = 100;
TSceneClass scene;
double frameNow = 1;
double updateToDrawRatio = 0;

// A unit cube: 12 triangles.
bm::lwo::Model cube() {
    bm::lwo::Model model;
    model.tags = {"Cube"};
    model.surfaces = {{"Cube", 1, 1, 1}};
    model.layers.resize(1);
    for (int i = 0; i < 8; ++i)
        model.layers[0].points.push_back(
            {-0.5f + float(i & 1), -0.5f + float(i >> 1 & 1), -0.5f + float(i >> 2)});
    const std::uint32_t faces[6][4] = {{2, 3, 1, 0}, {4, 5, 7, 6}, {0, 4, 6, 2},
                                       {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 6, 7, 3}};
    for (const auto& face : faces)
        model.layers[0].polygons.push_back({{face, face + 4}, 0});
    return model;
}

// A value that wanders about middle by up to spread as the key number k goes on.
double wander(int item, int channel, int k, double middle, double spread) {
    const unsigned h = static_cast<unsigned>(item * 9 + channel) * 2654435761u + k * 40503u;
    return middle + spread * (static_cast<double>(h % 2001) / 1000.0 - 1.0);
}

// Every item is the cube, moving, turning and swelling in front of the eye on TCB keys a frame
// apart: x, y and z, heading, pitch and bank in radians, and its scale.
std::string sceneText() {
    const double middle[9] = {0, 0, 80, 0, 0, 0, 1, 1, 1};
    const double spread[9] = {40, 30, 30, 3, 3, 3, 0.5, 0.5, 0.5};
    std::string text = "LWSC\n3\n\nFirstFrame 0\nLastFrame 99\nFramesPerSecond 30\n\n";
    text.reserve(std::size_t{itemCount} * 9 * keysPerChannel * 40);
    char line[128];
    for (int item = 0; item < itemCount; ++item) {
        text += "LoadObjectLayer 1 cube.lwo\nObjectMotion\nNumChannels 9\n";
        for (int channel = 0; channel < 9; ++channel) {
            std::snprintf(line, sizeof line, "Channel %d\n{ Envelope\n  %d\n", channel,
                          keysPerChannel);
            text += line;
            for (int k = 0; k < keysPerChannel; ++k) {
                std::snprintf(line, sizeof line, "  Key %.4f %.6f 0 0 0 0 0 0 0\n",
                              wander(item, channel, k, middle[channel], spread[channel]), k / 30.0);
                text += line;
            }
            text += "  Behaviors 1 1\n}\n";
        }
        text += "\n";
    }
    return text;
}

void buildScene() {
    BrackmoorWidth = 320;
    BrackmoorHeight = 240;
    static char name[] = "scene_bench";
    static char* argv[] = {name, nullptr};
    InitGL(1, argv);
    glEnable(GL_DEPTH_TEST);
    char folder[] = "/tmp/scene-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr)
        std::exit(1);
    const std::string dir = folder;
    bm::lwo::writeFile(dir + "/cube.lwo", bm::lwo::write(cube()));
    std::ofstream(dir + "/many.lws", std::ios::binary) << sceneText();
    Brackmoor.firstCamera.SetCameraViewport(0, 0, BrackmoorWidth, BrackmoorHeight);
    Brackmoor.firstCamera.SetCameraFOV(50, 4.0f / 3.0f);
    Brackmoor.firstCamera.SetCameraRange(1, 500);
    Brackmoor.firstCamera.UpdateCamera();
    bm::SceneSummary summary;
    const auto start = std::chrono::steady_clock::now();
    scene.LoadScene(dir + "/many.lws", BrackmoorLwoQuiet | BrackmoorLwoRightHanded, summary);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("scene of %zu objects, %zu triangles, loaded in %.1f s\n", summary.objects,
                summary.triangles, took.count());
    std::remove((dir + "/many.lws").c_str());
    std::remove((dir + "/cube.lwo").c_str());
    std::remove(folder);
}

// The next time, a fraction of a frame on, so that every key span is met in turn.
void update() {
    frameNow = frameNow >= 98 ? 0.37 : frameNow + 0.73;
    scene.SceneFrame(frameNow);
}

void draw() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Brackmoor.EnableEngineStates();
    Brackmoor.updateWorld();
    glFinish();
}

void BM_Scene(benchmark::State& state, void (*work)()) {
    for (auto _ : state)
        state.SetIterationTime(bm::bench::secondsOf(work));
    state.SetItemsProcessed(state.iterations() * itemCount);
}
BENCHMARK_CAPTURE(BM_Scene, SceneFrame, update)->UseManualTime();
BENCHMARK_CAPTURE(BM_Scene, updateWorld, draw)->UseManualTime();

// The two alternate frame by frame, so load on the machine falls on both alike.
void BM_UpdateOverDraw(benchmark::State& state) {
    updateToDrawRatio = bm::bench::ratioCounters(state, bm::bench::alternate(state, update, draw),
                                                 "update_ms", "draw_ms", 1e3);
}
BENCHMARK(BM_UpdateOverDraw)->MinTime(3.0);
}  // namespace

int main(int argc, char** argv) {
    if (!bm::bench::runInOrder(argc, argv, buildScene))
        return 1;
    if (updateToDrawRatio > 0)
        std::printf(
            "SceneFrame vs updateWorld, %d items of 9 channels of %d keys, median: %.3fx "
            "(target at most 1x): %s\n",
            itemCount, keysPerChannel, updateToDrawRatio,
            bm::bench::verdict(updateToDrawRatio <= 1.0));
    return 0;
}
