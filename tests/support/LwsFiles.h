// LwsFiles.h - scenes for the scene tests: real files from the shared folder, and scene text
// written in the test, read quietly so that the report holds only problems.
#pragma once

#include "LwsReader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

// A test that reads scenes made by other tools is skipped when their folder is not here.
#define SKIP_WITHOUT_SHARED_SCENES()    \
    if (bm::test::sharedScenes.empty()) \
    GTEST_SKIP() << "the shared folder of LightWave scenes (shared/lws) is not here"

namespace bm::test {

// The shared folder of scenes made by other tools; empty when it is not beside the project.
inline const std::string sharedScenes = BRACKMOOR_SHARED_LWS_DIR;

struct SceneRead {
    LwsScene scene;
    std::string report;
};

inline SceneRead readScene(const std::string& text) {
    std::ostringstream report;
    LwsScene scene = readLws(text.data(), text.size(), report, false);
    return SceneRead{std::move(scene), report.str()};
}

inline std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A scene of the shared folder, by its path there.
inline SceneRead readSharedScene(const std::string& file) {
    const std::string text = fileText(sharedScenes + "/" + file);
    EXPECT_FALSE(text.empty()) << file;
    return readScene(text);
}

}  // namespace bm::test
