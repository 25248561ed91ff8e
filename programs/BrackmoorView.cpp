// BrackmoorView.cpp - the viewer: one LightWave object, framed in the window, lit from over the
// viewer's shoulder and turning about its vertical axis; or a LightWave scene, played through its
// camera (BrackmoorViewScene.cpp). It is also an example of the engine beyond a fixed scene: an
// entity loaded with LoadLWO, measured, centred and placed, the camera fitted to it, one light,
// and updateWorld each frame.
#include "Brackmoor.h"
#include "BrackmoorProgramOptions.h"
#include "BrackmoorScreenshot.h"
#include "BrackmoorViewOutput.h"
#include "BrackmoorViewScene.h"

#include <GL/freeglut.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <string>

namespace {

constexpr char usage[] =
    "usage: brackmoor-view MODEL.lwo [--frames N] [--screenshot FILE.png] [--size WxH]\n"
    "                      [--turn DEGREES_PER_FRAME] [--no-light] [--no-compact] [--fps]\n"
    "       brackmoor-view SCENE.lws [--frame F] [--frames N] [--screenshot FILE.png]\n"
    "                      [--size WxH] [--no-light] [--no-compact] [--fps]\n"
    "       brackmoor-view SCENE.lws --info [--frame F]\n"
    "Shows a LightWave object (LWO2 or LWOB), framed in the window, lit and turning; or plays a\n"
    "LightWave scene (LWSC) through its camera, from its first frame to its last, looping.\n"
    "  --frames N             leave after N frames (default: when the window is closed); a\n"
    "                         scene then moves on one frame per frame drawn\n"
    "  --screenshot FILE.png  write the last frame drawn as a PNG\n"
    "  --size WxH             window size in pixels (default 640x480)\n"
    "  --turn DEGREES         turn per frame about the vertical axis (default 0.5)\n"
    "  --no-light             draw the model's or the scene's colours unlit\n"
    "  --no-compact           give every triangle corner a vertex of its own\n"
    "  --fps                  after the last frame, print the frames per second drawn after\n"
    "                         the first (needs --frames 2 or more)\n"
    "  --frame F              show the scene's frame F (fractions allowed) and hold it\n"
    "  --info                 print one line per scene item, no window: its kind, its parent's\n"
    "                         line (-1 for none), the top three rows of its matrix at the first\n"
    "                         frame or F in LightWave's axes, and its name\n"
    "  --help                 print this and leave\n"
    "  --version              print the engine's version and leave\n"
    "Samples, in the source tree: samples/Objects/hierarchy.lwo, samples/Objects/Teddy.lwo,\n"
    "samples/Objects/boxuv.lwo, samples/Objects/MappingModes_earth_spherical_x.lwo; the scene\n"
    "samples/Scenes/seq_city_02.lws.\n";

// Images beside the model, little on standard output, the model's front toward the viewer, and
// corners that agree sharing their vertices (unless --no-compact).
constexpr std::int32_t loadFlags =
    BrackmoorLwoSurfaces | BrackmoorLwoNormals | BrackmoorLwoQuiet | BrackmoorLwoRightHanded;
constexpr float fieldOfView = bm::viewFieldOfView;
constexpr float pi = 3.14159265f;
constexpr int largestSide = 16384;  // pixels

struct ViewOptions {
    std::string model;
    int width = 640, height = 480;  // window, pixels
    float turn = 0.5f;              // degrees per frame
    bool lit = true;
    bool compact = true;   // BrackmoorLwoCompact
    bool fps = false;      // time the frames after the first
    bool info = false;     // --info
    bool holding = false;  // --frame given
    double frame = 0;      // its value
    bool turnGiven = false;
    bool scene = false;  // the file begins as a scene
};

bm::ProgramOptions runOptions("brackmoor-view");
bm::FrameRecorder recorder(runOptions);
ViewOptions view;
TEntityClass model;
using Clock = std::chrono::steady_clock;
Clock::time_point firstFrameDrawn;  // for --fps

// ---- Options --------------------------------------------------------------------------------

void readSize(const char* text) {
    const std::string size = text ? text : "";
    const std::string::size_type x = size.find('x');
    const std::string width = size.substr(0, x), height = x == size.npos ? "" : size.substr(x + 1);
    const bool digits = bm::allDigits(width.c_str()) && bm::allDigits(height.c_str());
    // Five digits at most, so the numbers fit; the largest side is checked after.
    if (digits && width.size() <= 5 && height.size() <= 5) {
        view.width = std::stoi(width);
        view.height = std::stoi(height);
        if (view.width > 0 && view.height > 0 && std::max(view.width, view.height) <= largestSide)
            return;
    }
    runOptions.refuse("--size wants WIDTHxHEIGHT in pixels, 1 to 16384 each, not '" + size + "'");
}

void readTurn(const char* text) {
    char* end = nullptr;
    const float turn = text ? std::strtof(text, &end) : 0.0f;
    if (!text || *text == '\0' || *end != '\0' || !std::isfinite(turn))
        runOptions.refuse(std::string("--turn wants degrees per frame, such as 0.5 or -2, not '") +
                          (text ? text : "") + "'");
    view.turn = turn;
    view.turnGiven = true;
}

void readFrame(const char* text) {
    char* end = nullptr;
    const double frame = text ? std::strtod(text, &end) : 0.0;
    if (!text || *text == '\0' || *end != '\0' || !std::isfinite(frame))
        runOptions.refuse(std::string("--frame wants a frame number, such as 15 or 7.5, not '") +
                          (text ? text : "") + "'");
    view.frame = frame;
    view.holding = true;
}

void takeArguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (runOptions.take(argc, argv, i))
            continue;
        const std::string argument = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (argument == "--size") {
            readSize(value);
            ++i;
        } else if (argument == "--turn") {
            readTurn(value);
            ++i;
        } else if (argument == "--frame") {
            readFrame(value);
            ++i;
        } else if (argument == "--info") {
            view.info = true;
        } else if (argument == "--no-light") {
            view.lit = false;
        } else if (argument == "--no-compact") {
            view.compact = false;
        } else if (argument == "--fps") {
            view.fps = true;
        } else if (argument == "--help") {
            std::cout << usage;
            std::exit(0);
        } else if (argument == "--version") {
            std::cout << "brackmoor-view on Brackmoor " << BRACKMOOR_VERSION << std::endl;
            std::exit(0);
        } else if (argument.size() > 1 && argument[0] == '-') {
            runOptions.refuse("unknown option '" + argument + "'; --help lists them");
        } else if (!view.model.empty()) {
            runOptions.refuse("one model at a time, not '" + view.model + "' and '" + argument +
                              "'");
        } else {
            view.model = argument;
        }
    }
    if (view.model.empty())
        runOptions.refuse("which model? usage: brackmoor-view MODEL.lwo [options]; --help");
    if (view.fps && runOptions.frames < 2)
        runOptions.refuse("--fps times the frames after the first: it wants --frames 2 or more");
}

// Before any window opens: the file must be one that can be read and a LightWave object or
// scene; --frame and --info are for scenes, --turn for objects.
void checkModel(const std::string& path) {
    unsigned char header[12] = {};
    bm::FilePtr file(std::fopen(path.c_str(), "rb"));
    const std::size_t got = file ? std::fread(header, 1, sizeof header, file.get()) : 0;
    std::string problem;
    view.scene = bm::isLightWaveScene(header, got);
    if (!file || std::ferror(file.get()))
        problem = std::strerror(errno);
    else if (view.scene)
        problem = bm::sceneProblem(path);
    else if (!bm::isLightWaveObject(header, got))
        problem = "not a LightWave object (LWO2 or LWOB) or scene (LWSC)";
    if (problem.empty()) {
        if (!view.scene && (view.info || view.holding))
            runOptions.refuse("--frame and --info are for scenes; '" + path + "' is an object");
        if (view.scene && view.turnGiven)
            runOptions.refuse("--turn is for objects; '" + path + "' is a scene");
        return;
    }
    std::cerr << "brackmoor-view: cannot show '" << path << "': " << problem << std::endl;
    std::exit(1);
}

// ---- Start-up and loading -------------------------------------------------------------------

using bm::StdoutRedirect;
using bm::StdoutSilenced;

void drawFrame();

// The window and GL context, which the model's images need before they load.
void startEngine(char* programName) {
    const StdoutSilenced quiet;
    Brackmoor.startupWindowTitle("brackmoor-view: " + view.model);
    Brackmoor.startupWindowSize(view.width, view.height, 16);
    char* glutArguments[] = {programName, nullptr};  // the viewer's options are not GLUT's
    Brackmoor.startupEngine(1, 1, glutArguments);
    glutDisplayFunc(drawFrame);
    glutIdleFunc(drawFrame);
}

std::string counted(std::size_t count, const char* thing) {
    return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

// Loads the model and prints the one summary line. The loader's problem lines, which it prints
// on standard output, go to standard error.
bool loadModel() {
    bm::LwoSummary summary;
    const auto start = Clock::now();
    {
        const StdoutRedirect problems(STDERR_FILENO);
        model.LoadLWO(view.model, loadFlags | (view.compact ? BrackmoorLwoCompact : 0), summary);
    }
    const std::chrono::duration<double, std::milli> took = Clock::now() - start;
    if (!summary.read)
        return false;
    std::cout << view.model << ": " << counted(summary.points, "point") << ", "
              << counted(summary.polygons, "polygon") << ", "
              << counted(summary.triangles, "triangle") << ", "
              << counted(summary.surfaces, "surface") << ", " << counted(summary.images, "image")
              << ", loaded in " << std::fixed << std::setprecision(1) << took.count() << " ms"
              << std::endl;
    return true;
}

// ---- Framing and lighting -------------------------------------------------------------------

struct Box {
    float low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
};

// The box around every vertex of the entity's surfaces.
Box boxAround(const TEntityClass& entity) {
    Box box;
    bool first = true;
    for (const TSurfaceClass* surface : entity.Surface) {
        for (std::size_t v = 0; v + 2 < surface->verts.size(); v += 3) {
            for (int axis = 0; axis < 3; ++axis) {
                const float value = surface->verts[v + static_cast<std::size_t>(axis)];
                box.low[axis] = first ? value : std::min(box.low[axis], value);
                box.high[axis] = first ? value : std::max(box.high[axis], value);
            }
            first = false;
        }
    }
    return box;
}

// Entities turn about their origin: the vertices move so that the box's centre is there. The
// surfaces are shared with the registry, so what is drawn moves with them.
void centreOnOrigin(TEntityClass& entity, const Box& box) {
    for (TSurfaceClass* surface : entity.Surface)
        for (std::size_t v = 0; v + 2 < surface->verts.size(); v += 3)
            for (int axis = 0; axis < 3; ++axis)
                surface->verts[v + static_cast<std::size_t>(axis)] -=
                    (box.low[axis] + box.high[axis]) / 2;
}

// The radius of the sphere about the entity's origin that holds every vertex.
float farthestVertex(const TEntityClass& entity) {
    float farthest = 0;
    for (const TSurfaceClass* surface : entity.Surface)
        for (std::size_t v = 0; v + 2 < surface->verts.size(); v += 3)
            farthest = std::max(farthest, std::hypot(surface->verts[v], surface->verts[v + 1],
                                                     surface->verts[v + 2]));
    return farthest;
}

using bm::viewingDistance;

// The camera's aspect follows the window, and its clipping range the model, whatever its size:
// from halfway to the model's bounding sphere to twice as far as its far side.
void fitCamera(float distance, float radius) {
    TCamera& camera = Brackmoor.firstCamera;
    camera.SetCameraViewport(0, 0, view.width, view.height);
    camera.SetCameraFOV(fieldOfView,
                        static_cast<float>(view.width) / static_cast<float>(view.height));
    camera.SetCameraRange((distance - radius) / 2, (distance + radius) * 2);
    const StdoutSilenced quiet;
    camera.Render();  // applies the camera, and prints it
}

// A lamp above, behind and to the left of the eye, aimed at the model's centre (0, 0, -distance),
// and a little ambient light so the side turned away is not black.
void lightModel(float distance) {
    const float x = -0.5f * distance, y = 0.6f * distance, z = 0.3f * distance;
    const float aim[3] = {-x, -y, -distance - z};
    const float length = std::sqrt(aim[0] * aim[0] + aim[1] * aim[1] + aim[2] * aim[2]);
    // RotateLight turns the lamp's -Z: yaw swings it towards -X, then pitch towards +Y.
    const float yaw = std::asin(-aim[0] / length) * 180 / pi;
    const float pitch = std::atan2(aim[1], -aim[2]) * 180 / pi;
    const std::int32_t lamp = Brackmoor.CreateLight();
    Brackmoor.PositionLight(lamp, x, y, z);
    Brackmoor.RotateLight(lamp, pitch, yaw, 0);
    Brackmoor.LightColour(lamp, 0.85f, 0.85f, 0.85f);
    Brackmoor.AmbientLight(0.2f, 0.2f, 0.2f);
}

void frameModel() {
    centreOnOrigin(model, boxAround(model));
    float radius = farthestVertex(model);
    if (!(radius > 0))
        radius = 1;  // a point, or nothing at all: any distance will do
    const float distance =
        viewingDistance(radius, static_cast<float>(view.width) / static_cast<float>(view.height));
    fitCamera(distance, radius);
    if (view.lit)
        lightModel(distance);
    model.PositionEntity(0, 0, -distance);  // eye space: the camera looks down -Z
}

// ---- Drawing --------------------------------------------------------------------------------

// The first frame also compiles GL's programs: the timing starts once it is on the screen.
void timeFrame() {
    const long drawn = recorder.framesDrawn();
    if (drawn != 1 && drawn != runOptions.frames)
        return;
    glFinish();
    if (drawn == 1) {
        firstFrameDrawn = Clock::now();
        return;
    }
    const std::chrono::duration<double> took = Clock::now() - firstFrameDrawn;
    std::cout << drawn - 1 << " frames after the first in " << std::fixed << std::setprecision(1)
              << 1000 * took.count() << " ms: " << static_cast<double>(drawn - 1) / took.count()
              << " frames per second" << std::endl;
}

void drawFrame() {
    if (recorder.allDrawn())
        return;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Brackmoor.EnableEngineStates();
    if (view.scene) {
        bm::advanceScene(recorder.framesDrawn(), runOptions.frames > 0);
    } else {
        // Frame 1 shows the model unturned, front first.
        const float angle =
            std::fmod(view.turn * static_cast<float>(recorder.framesDrawn()), 360.0f);
        model.RotateEntity(0, angle, 0);
    }
    Brackmoor.updateWorld();
    glFlush();
    recorder.frameDrawn();
    glutSwapBuffers();
    if (view.fps)
        timeFrame();
}

bm::SceneView sceneView() {
    bm::SceneView scene;
    scene.path = view.model;
    scene.width = view.width;
    scene.height = view.height;
    scene.lit = view.lit;
    scene.compact = view.compact;
    scene.holding = view.holding;
    scene.frame = view.frame;
    return scene;
}

}  // namespace

int main(int argc, char** argv) {
    takeArguments(argc, argv);
    checkModel(view.model);
    if (view.info)
        return bm::printSceneInfo(sceneView());
    startEngine(argv[0]);
    if (!(view.scene ? bm::startScene(sceneView()) : loadModel())) {
        Brackmoor.shutdownEngine();
        return 1;
    }
    if (!view.scene)
        frameModel();
    glutMainLoop();
    Brackmoor.shutdownEngine();
    return recorder.writeScreenshot();
}
