// TSceneFiles.cpp - a scene's text and its object files: found, read once each, layers chosen.
#include "TSceneFiles.h"

#include "BrackmoorFileSystem.h"
#include "Lwo2Layers.h"
#include "LwsPaths.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <system_error>

namespace bm {

namespace {

bool readText(const std::string& path, std::string& text) {
    if (!isFile(path))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// The same file, however the two paths spell it.
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

// A file that begins as a scene is one, whatever its name says.
bool beginsAsScene(const std::string& path) {
    char start[4] = {};
    std::ifstream in(path, std::ios::binary);
    in.read(start, sizeof start);
    return isLightWaveScene(reinterpret_cast<const unsigned char*>(start),
                            static_cast<std::size_t>(in.gcount()));
}

void reportItem(const LwsItem& item, const char* what) {
    std::cout << "LoadScene: line " << item.line << ": object \"" << item.name << "\" " << what
              << "; the item stays, without geometry" << std::endl;
}

// Finds and reads the item's file, once per file; records which file and layer it uses.
class ObjectFinder {
public:
    ObjectFinder(SceneFiles& sceneFiles, const std::string& scenePath, std::int32_t loadFlags)
        : files(sceneFiles), sceneFile(scenePath), flags(loadFlags) {}

    void find(std::size_t i) {
        LwsItem& item = files.scene.items[i];
        const std::string path = findSceneObject(item.name, sceneFile);
        if (namesScene(item.name, sceneFile) ||
            (!path.empty() && (sameFile(path, sceneFile) || beginsAsScene(path)))) {
            files.state[i] = SceneObjectRefused;
            reportItem(item, "names a scene, not an object");
            return;
        }
        if (path.empty()) {
            files.state[i] = SceneObjectMissing;
            reportItem(item, "is not found");
            return;
        }
        const std::size_t file = fileAt(path);
        if (!files.files[file].read) {
            files.state[i] = SceneObjectNotRead;
            reportItem(item, ("is not a LightWave object: " + path).c_str());
            return;
        }
        const Lwo2Data& lwo = files.files[file].lwo;
        files.state[i] = SceneObjectLoaded;
        files.fileOf[i] = static_cast<std::int32_t>(file);
        files.layerOf[i] =
            item.layer == 0 ? lwo.Layers.size() : findLayer(lwo, item.layer, std::cout);
        // The whole object turns about its first layer's pivot.
        const std::size_t pivotLayer = files.layerOf[i] < lwo.Layers.size() ? files.layerOf[i] : 0;
        if (pivotLayer < lwo.Layers.size())
            for (int k = 0; k < 3; ++k)
                item.defaultPivot[k] = lwo.Layers[pivotLayer].pivot[k];
    }

private:
    // Keyed by the file's own path, so that two spellings of one file read it once.
    std::size_t fileAt(const std::string& path) {
        std::error_code error;
        std::string key = std::filesystem::weakly_canonical(path, error).string();
        if (error)
            key = path;
        const auto known = index.find(key);
        if (known != index.end())
            return known->second;
        if ((flags & BrackmoorLwoQuiet) == 0)
            std::cout << "LoadScene: reading object " << path << std::endl;
        files.paths.push_back(path);
        files.files.push_back(readLwoFile(path, flags));
        index.emplace(key, files.files.size() - 1);
        return files.files.size() - 1;
    }

    SceneFiles& files;
    const std::string& sceneFile;
    std::int32_t flags;
    std::map<std::string, std::size_t> index;  // by the file's own path
};

}  // namespace

std::string findSceneObject(const std::string& written, const std::string& sceneFile) {
    for (const LwsPathCandidate& candidate : objectPathCandidates(written, sceneFile)) {
        const std::string found =
            candidate.anyCase ? findFileAnyCase(candidate.path) : candidate.path;
        if (!found.empty() && isFile(found))
            return found;
    }
    return std::string();
}

SceneFiles readSceneFiles(const std::string& sceneFile, std::int32_t flags) {
    SceneFiles files;
    std::string text;
    if (!readText(sceneFile, text)) {
        std::cout << "LoadScene: " << sceneFile << " cannot be read" << std::endl;
        return files;
    }
    files.opened = true;
    {
        std::ostringstream report;
        files.scene = readLws(text.data(), text.size(), report, (flags & BrackmoorLwoQuiet) == 0);
        std::cout << report.str() << std::flush;
    }
    const std::size_t count = files.scene.items.size();
    files.state.assign(count, SceneObjectNone);
    files.fileOf.assign(count, -1);
    files.layerOf.assign(count, 0);
    ObjectFinder finder(files, sceneFile, flags);
    for (std::size_t i = 0; i < count; ++i)
        if (files.scene.items[i].type == LwsObject && !files.scene.items[i].null)
            finder.find(i);
    return files;
}

Lwo2Data sceneLayer(const SceneFiles& files, std::size_t item) {
    const std::int32_t file = files.fileOf[item];
    if (file < 0)
        return Lwo2Data{};
    const Lwo2Data& lwo = files.files[static_cast<std::size_t>(file)].lwo;
    if (files.layerOf[item] >= lwo.Layers.size())
        return lwo;
    return selectLayer(lwo, files.layerOf[item]);
}

}  // namespace bm
