// TScene.h - a LightWave scene in the engine: its items as entities, its lights as engine lights,
// its first camera as the engine's camera, all following one clock.
#pragma once

#include "LwsReader.h"
#include "TEntity.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bm {
struct SceneFiles;

// What one LoadScene read and made, for a caller that reports it.
struct SceneSummary {
    bool read = false;            // the file was read and is a scene (LWSC and a version)
    std::size_t objects = 0;      // object items from files, found or not
    std::size_t nulls = 0;        // null objects
    std::size_t lights = 0;       // light items
    std::size_t cameras = 0;      // camera items
    std::size_t missing = 0;      // object items left without geometry: not found, a scene, or
                                  // not a LightWave object
    std::size_t objectFiles = 0;  // object files read, each once
    std::size_t triangles = 0;    // drawn each frame, over every object item
    std::size_t images = 0;       // image files loaded into textures, each once
};
}  // namespace bm

class TSceneClass {
public:
    bm::LwsScene scene;                // as read; object items' defaultPivot from their layers
    std::vector<TEntityClass> Entity;  // one per item of scene.items, in the same order
    std::vector<std::int32_t> Light;   // per item: the engine light it is; -1 for other items
    std::int32_t cameraItem = -1;      // the item firstCamera looks through; -1 for none
    std::int32_t Flags = 0;            // as LoadScene was given them
    double frame = 0;                  // the time SceneFrame last set, in frames
    // A sphere, engine coordinates, holding every object at the frames from first to last.
    GLfloat sceneCentre[3] = {0, 0, 0};
    GLfloat sceneRadius = 0;

    // Loads a .lws file: each object layer through LoadLWO's conversion with these Flags (each
    // object file read once), nulls and missing objects as hidden entities without surfaces,
    // parents as the scene has them, lights as engine lights standing on hidden entities, the
    // ambient light, and the first camera as the engine's firstCamera (worldView 1). Then sets
    // the scene's first frame. With BrackmoorLwoRightHanded every item is mirrored in z as its
    // objects are. Prints "LoadScene: " lines for what is wrong (and LoadLWO's report for each
    // file read, quiet or not as Flags say). False, nothing made, when the file is not a scene.
    // Needs a GL context: images load into textures and the camera is applied. A second load
    // hides what the first made.
    bool LoadScene(const std::string& filename, std::int32_t Flags);
    bool LoadScene(const std::string& filename, std::int32_t Flags, bm::SceneSummary& summary);

    // Sets the scene's time, a frame number, fractions allowed: every item's entity is placed,
    // turned (a pivot's own turn included) and scaled as its channels say at that time, each
    // light's colour follows its intensity, and the camera its zoom. Then applies the camera
    // (UpdateCamera), its clipping range fitted to the scene's sphere, when the scene has one.
    void SceneFrame(double frame);

    // Takes the scene out of the engine: its entities hidden, its lights off, the ambient light
    // and firstCamera (its own place, worldView -1) as they were before LoadScene. The entities
    // and lights stay, unused.
    void ClearScene();

private:
    void makeEntities(const bm::SceneFiles& files, bm::SceneSummary& summary);
    void measureScene();
    void makeFacing(std::size_t item);
    void makeLight(std::size_t item);
    void placeItem(std::size_t item, double seconds);
    void fitCamera(double seconds);

    std::vector<TEntityClass> facing;  // per item, with mirrored numbers: LightWave's +Z as -Z
    std::vector<char> animated;        // per item: a channel with more than one key
    // Per item: its geometry's box in its own LightWave coordinates, low x y z then high x y z;
    // empty for an item without geometry.
    std::vector<std::vector<float>> boxes;
    bool posed = false;  // every item placed once
    bool rightHanded = false;
    bool loaded = false;                   // LoadScene took over the camera and the ambient
    GLfloat ambientBefore[3] = {0, 0, 0};  // the engine's ambient light before LoadScene
    short worldViewBefore = -1;            // and its camera's world view
};
