// TSceneFiles.h - the files of a LightWave scene: its text read, each object it names found and
// read once, and each object item's layer and default pivot. File work only, no GL.
#pragma once

#include "LwsReader.h"
#include "TEntity.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bm {

// What became of an object item's file.
enum SceneObjectState : int {
    SceneObjectNone = 0,     // not an object from a file: a null, a light or a camera
    SceneObjectLoaded = 1,   // found and read as a LightWave object
    SceneObjectMissing = 2,  // no file at any place the path can mean
    SceneObjectRefused = 3,  // the path names a scene, or the scene itself
    SceneObjectNotRead = 4,  // found, but not a LightWave object
};

struct SceneFiles {
    bool opened = false;  // the scene file could be read
    LwsScene scene;       // as read, each loaded object's defaultPivot set from its layer
    std::vector<std::string> paths;    // each object file found, in first-use order
    std::vector<LwoFile> files;        // what was read from each, same order
    std::vector<int> state;            // per item of scene.items: a SceneObjectState
    std::vector<std::int32_t> fileOf;  // per item: index in files; -1 for none
    std::vector<std::size_t> layerOf;  // per item: index in its file's Layers, or the Layers'
                                       // count for the whole object (LoadObject)
};

// Where a scene's object path leads: the first candidate of objectPathCandidates that is a file,
// those marked anyCase matched regardless of case. Empty when none is.
std::string findSceneObject(const std::string& written, const std::string& sceneFile);

// Reads the scene and every object file it names, each file once however many items or layers
// use it, with readLwoFile and these flags (what it prints goes to standard output). Lines
// beginning "LoadScene: " say what is wrong: the scene's own (with BrackmoorLwoQuiet, not the
// count of keywords passed over), and one for each object item that is missing, refused or not
// an object, naming its path and line. Without BrackmoorLwoQuiet a
// line for each object file read says where it was found.
SceneFiles readSceneFiles(const std::string& sceneFile, std::int32_t flags);

// The object item's layer cut out of its file, or the whole file for LoadObject.
Lwo2Data sceneLayer(const SceneFiles& files, std::size_t item);

}  // namespace bm
