// BrackmoorViewScene.h - the viewer's scenes: played through their camera, or listed item by item
// with --info.
#pragma once

#include <cstddef>
#include <string>

namespace bm {

constexpr float viewFieldOfView = 50.0f;  // degrees top to bottom, as startupEngine sets it

// The distance from the eye at which a sphere of this radius fills most of the view: its edge a
// tenth of the narrower field of view inside the window's edge.
float viewingDistance(float radius, float aspect);

struct SceneView {
    std::string path;
    int width = 640, height = 480;  // window, pixels
    bool lit = true;                // --no-light leaves every light off
    bool compact = true;            // corners that agree share vertices (BrackmoorLwoCompact)
    bool holding = false;           // --frame: one frame shown and held
    double frame = 0;               // that frame
};

// Why the scene cannot be shown (no version after LWSC), or empty. Reads the text, no GL.
std::string sceneProblem(const std::string& path);

// --info: one line per item on standard output, no window; returns the exit status.
int printSceneInfo(const SceneView& view);

// Once the window is open: loads the scene, prints the summary line, and sets up its camera (or
// frames it as a model when it has none) and its lights (or the viewer's lamp). False when it
// could not be loaded.
bool startScene(const SceneView& view);

// Sets the scene's time for the next picture: the frame held, else one frame per picture drawn
// from the first frame to the last, looping, when counted, else the frame the clock has reached
// at the scene's frames per second.
void advanceScene(long framesDrawn, bool counted);

}  // namespace bm
