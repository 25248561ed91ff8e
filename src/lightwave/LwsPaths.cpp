// LwsPaths.cpp - candidate places of the object files a scene names.
#include "LwsPaths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace bm {

namespace {

using Path = std::filesystem::path;

std::string normal(const Path& path) {
    std::string text = path.lexically_normal().generic_string();
    if (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

std::string inFolder(const std::string& folder, const std::string& relative) {
    return normal(folder.empty() ? Path(relative) : Path(folder) / relative);
}

std::string withoutLeadingSlashes(std::string text) {
    text.erase(0, text.find_first_not_of('/'));
    return text;
}

}  // namespace

std::vector<LwsPathCandidate> objectPathCandidates(const std::string& written,
                                                   const std::string& sceneFile) {
    std::string path = written;
    std::replace(path.begin(), path.end(), '\\', '/');
    const std::size_t first = path.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    path = path.substr(first, path.find_last_not_of(" \t") + 1 - first);

    const std::string sceneFolder = Path(sceneFile).parent_path().generic_string();
    const std::string contentFolder = inFolder(sceneFolder.empty() ? "." : sceneFolder, "..");
    // A device or volume name ends at the first colon, before any separator.
    const std::size_t colon = path.find(':');
    const bool volume = colon != std::string::npos && colon > 0 && path.find('/') > colon;
    const std::string rest = withoutLeadingSlashes(volume ? path.substr(colon + 1) : path);
    std::vector<std::string> places;
    if (!volume && path[0] == '/')
        places.push_back(normal(path));
    if (!rest.empty()) {
        places.push_back(inFolder(sceneFolder, rest));
        places.push_back(inFolder(contentFolder, rest));
    }
    const std::string base = rest.substr(rest.find_last_of('/') + 1);
    if (!base.empty()) {
        places.push_back(inFolder(sceneFolder, base));
        places.push_back(inFolder(sceneFolder, "Objects/" + base));
        places.push_back(inFolder(contentFolder, "Objects/" + base));
    }
    std::vector<LwsPathCandidate> candidates;
    for (bool anyCase : {false, true})
        for (const std::string& place : places) {
            const bool seen = std::any_of(
                candidates.begin(), candidates.end(),
                [&](const LwsPathCandidate& c) { return c.anyCase == anyCase && c.path == place; });
            if (!seen)
                candidates.push_back(LwsPathCandidate{place, anyCase});
        }
    return candidates;
}

bool namesScene(const std::string& path, const std::string& sceneFile) {
    std::string text = path;
    std::replace(text.begin(), text.end(), '\\', '/');
    std::string ending = text.size() >= 4 ? text.substr(text.size() - 4) : "";
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ending == ".lws" || (!sceneFile.empty() && normal(text) == normal(sceneFile));
}

}  // namespace bm
