// BrackmoorViewScene.cpp - a LightWave scene in the viewer: loaded into a TSceneClass, seen
// through its camera and played by the clock; or its items' matrices printed without a window.
#include "BrackmoorViewScene.h"

#include "Brackmoor.h"
#include "BrackmoorViewOutput.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <iterator>
#include <sstream>

namespace bm {

namespace {

constexpr std::int32_t sceneFlags =
    BrackmoorLwoSurfaces | BrackmoorLwoNormals | BrackmoorLwoQuiet | BrackmoorLwoRightHanded;
constexpr float pi = 3.14159265f;

TSceneClass shown;
TEntityClass lamp;  // the viewer's lamp, for a scene without lights
std::chrono::steady_clock::time_point started;
bool holding = false;
double heldFrame = 0;

std::string counted(std::size_t count, const char* thing, const char* things) {
    return std::to_string(count) + " " + (count == 1 ? thing : things);
}

std::string number(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

const char* kindOf(const LwsItem& item) {
    if (item.type == LwsLight)
        return "light";
    if (item.type == LwsCamera)
        return "camera";
    return item.null ? "null" : "object";
}

// Six decimals, without the minus of a value that rounds to zero.
void printValue(double value) {
    std::printf(" %.6f", std::fabs(value) < 5e-7 ? 0.0 : value);
}

// A scene without a camera is framed as a model is: the engine's own camera, straight on, at
// the distance where the scene's sphere fills the view.
void frameWithoutCamera(float aspect) {
    TCamera& camera = Brackmoor.firstCamera;
    const float radius = shown.sceneRadius > 0 ? shown.sceneRadius : 1;
    const float distance = viewingDistance(radius, aspect);
    camera.PositionCamera(shown.sceneCentre[0], shown.sceneCentre[1],
                          shown.sceneCentre[2] + distance);
    camera.RotateCamera(0, 0, 0);
    camera.SetCameraFOV(viewFieldOfView, aspect);
    camera.SetCameraRange((distance - radius) / 2, (distance + radius) * 2);
    camera.UpdateCamera();
}

// A distant lamp from above, behind and to the left of the eye, turned with the camera, as the
// model viewer lights a model; and a little ambient light.
void addLamp() {
    const float aim[3] = {0.5f, -0.6f, -1.3f};  // in the eye's coordinates
    const float length = std::sqrt(aim[0] * aim[0] + aim[1] * aim[1] + aim[2] * aim[2]);
    // The entity's -Z turned by pitch about X, then heading about Y, onto the aim.
    const float pitch = std::asin(aim[1] / length) * 180 / pi;
    const float heading = std::atan2(-aim[0], -aim[2]) * 180 / pi;
    lamp.CreateEntity();
    lamp.hidden = 1;
    lamp.parentID = Brackmoor.firstCamera.throughEntity;
    if (lamp.parentID < 0)
        lamp.PositionEntity(Brackmoor.firstCamera.X, Brackmoor.firstCamera.Y,
                            Brackmoor.firstCamera.Z);
    lamp.RotateEntityHPB(heading, pitch, 0);
    const std::int32_t n = Brackmoor.CreateLight();
    Brackmoor.LightType(n, BrackmoorLightDistant);
    Brackmoor.LightEntity(n, &lamp);
    Brackmoor.LightColour(n, 0.85f, 0.85f, 0.85f);
    Brackmoor.AmbientLight(0.2f, 0.2f, 0.2f);
}

void lightScene(bool lit) {
    const bool hasLights =
        std::any_of(shown.Light.begin(), shown.Light.end(), [](std::int32_t n) { return n >= 0; });
    if (lit && !hasLights)
        addLamp();
    if (lit)
        return;
    for (std::int32_t n : shown.Light)
        if (n >= 0)
            Brackmoor.EnableLight(n, -1);
}

}  // namespace

float viewingDistance(float radius, float aspect) {
    const float halfHeight = viewFieldOfView / 2 * pi / 180;
    const float halfWidth = std::atan(std::tan(halfHeight) * aspect);
    return radius / std::sin(0.9f * std::min(halfHeight, halfWidth));
}

std::string sceneProblem(const std::string& path) {
    std::ostringstream report;
    const std::string text = [&path] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }();
    if (readLws(text.data(), text.size(), report).status == LwsRead)
        return std::string();
    return "not a LightWave scene: no version number after LWSC";
}

int printSceneInfo(const SceneView& view) {
    SceneFiles files;
    {
        // The readers' problem lines are no part of the listing.
        const StdoutRedirect problems(STDERR_FILENO);
        files = readSceneFiles(view.path, BrackmoorLwoQuiet);
    }
    if (!files.opened || files.scene.status != LwsRead)
        return 1;
    const LwsScene& scene = files.scene;
    const double frame = view.holding ? view.frame : scene.firstFrame;
    const std::vector<LwsMatrix> world = worldMatrices(scene, frame);
    for (std::size_t i = 0; i < scene.items.size(); ++i) {
        const LwsItem& item = scene.items[i];
        std::printf("%s %d", kindOf(item), item.parent);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                printValue(world[i].m[r][c]);
        std::printf(item.name.empty() ? "\n" : " %s\n", item.name.c_str());
    }
    std::fflush(stdout);
    return 0;
}

bool startScene(const SceneView& view) {
    const float aspect = static_cast<float>(view.width) / static_cast<float>(view.height);
    TCamera& camera = Brackmoor.firstCamera;
    camera.SetCameraViewport(0, 0, view.width, view.height);
    camera.SetCameraFOV(viewFieldOfView, aspect);
    SceneSummary summary;
    const auto start = std::chrono::steady_clock::now();
    {
        const StdoutRedirect problems(STDERR_FILENO);
        const std::int32_t flags = sceneFlags | (view.compact ? BrackmoorLwoCompact : 0);
        if (!shown.LoadScene(view.path, flags, summary))
            return false;
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    const LwsScene& scene = shown.scene;
    std::cout << view.path << ": " << counted(summary.objects, "object", "objects") << ", "
              << counted(summary.nulls, "null", "nulls") << ", "
              << counted(summary.lights, "light", "lights") << ", "
              << counted(summary.cameras, "camera", "cameras") << ", " << summary.missing
              << " not found, " << counted(summary.triangles, "triangle", "triangles")
              << ", frames " << number(scene.firstFrame) << " to " << number(scene.lastFrame)
              << " at " << number(scene.framesPerSecond) << " fps, loaded in " << std::fixed
              << std::setprecision(1) << took.count() << " ms" << std::endl;
    if (shown.cameraItem < 0)
        frameWithoutCamera(aspect);
    lightScene(view.lit);
    holding = view.holding;
    heldFrame = view.frame;
    started = std::chrono::steady_clock::now();
    return true;
}

void advanceScene(long framesDrawn, bool countedFrames) {
    const LwsScene& scene = shown.scene;
    const double span = std::max(std::floor(scene.lastFrame - scene.firstFrame) + 1, 1.0);
    double frame = heldFrame;
    if (!holding && countedFrames) {
        frame = scene.firstFrame + std::fmod(static_cast<double>(framesDrawn), span);
    } else if (!holding) {
        const std::chrono::duration<double> clock = std::chrono::steady_clock::now() - started;
        frame = scene.firstFrame + std::fmod(clock.count() * scene.framesPerSecond, span);
        frame = std::min(frame, scene.lastFrame);
    }
    shown.SceneFrame(frame);
}

}  // namespace bm
