// LwsPaths.h - where to look for an object file that a scene names, perhaps as another machine
// had it. String work only: the caller tests which candidate exists.
#pragma once

#include <string>
#include <vector>

namespace bm {

struct LwsPathCandidate {
    std::string path;
    bool anyCase = false;  // match each folder and file name regardless of case
};

// The places to try for an object path written in a scene, best first: as written (a relative
// path against the scene's folder, then against its parent, LightWave's content folder); with a
// drive letter (G:box.lwo) or another machine's volume name (HD1:atm/Station1) or a leading /
// taken off; the base name in the scene's folder, in Objects/ beside the scene and in Objects/
// beside its parent. Backslashes count as separators. Every candidate exactly, then every one
// again regardless of case. No candidates for an empty path.
std::vector<LwsPathCandidate> objectPathCandidates(const std::string& written,
                                                   const std::string& sceneFile);

// True when a path names a scene rather than an object: it ends in .lws, any case, or it is the
// scene file itself (compared as written, after . and .. are resolved).
bool namesScene(const std::string& path, const std::string& sceneFile);

}  // namespace bm
