// LwsPathsTest.cpp - where an object named in a scene is looked for, and paths that name scenes.
#include "LwsPaths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Relative paths against the scene's folder and the content folder above it; drive letters,
// volume names and backslashes of other machines; then the bare name where objects are kept;
// then all of these again regardless of case. A lost or reordered candidate shows.
TEST(LwsPaths, CandidatesInTheOrderToTry) {
    const struct {
        const char* written;
        const char* scene;
        std::vector<std::string> paths;
    } cases[] = {
        {"simple_cube.lwo",
         "models/LWS/move_x.lws",
         {"models/LWS/simple_cube.lwo", "models/simple_cube.lwo",
          "models/LWS/Objects/simple_cube.lwo", "models/Objects/simple_cube.lwo"}},
        {"../LWO/part.lwo",
         "/data/Scenes/a.lws",
         {"/data/LWO/part.lwo", "/LWO/part.lwo", "/data/Scenes/part.lwo",
          "/data/Scenes/Objects/part.lwo", "/data/Objects/part.lwo"}},
        {"G:box.lwo", "s.lws", {"box.lwo", "../box.lwo", "Objects/box.lwo", "../Objects/box.lwo"}},
        {"HD1:atm/space/Station1",
         "/s/scene.lws",
         {"/s/atm/space/Station1", "/atm/space/Station1", "/s/Station1", "/s/Objects/Station1",
          "/Objects/Station1"}},
        {"C:\\storage\\box\\colors0.lwo",
         "/w/box/colors0.lws",
         {"/w/box/storage/box/colors0.lwo", "/w/storage/box/colors0.lwo", "/w/box/colors0.lwo",
          "/w/box/Objects/colors0.lwo", "/w/Objects/colors0.lwo"}},
        {"/abs/obj.lwo",
         "/s/x.lws",
         {"/abs/obj.lwo", "/s/abs/obj.lwo", "/s/obj.lwo", "/s/Objects/obj.lwo",
          "/Objects/obj.lwo"}},
        {"   ", "/s/x.lws", {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> expected = c.paths, got;
        for (const std::string& path : c.paths)
            expected.push_back("any case: " + path);
        for (const bm::LwsPathCandidate& k : bm::objectPathCandidates(c.written, c.scene))
            got.push_back((k.anyCase ? "any case: " : "") + k.path);
        EXPECT_EQ(got, expected) << c.written;
    }
}

// A path ending in .lws, any case, or naming the scene itself after . and .. is refused.
TEST(LwsPaths, PathsThatNameAScene) {
    EXPECT_TRUE(bm::namesScene("other.LWS", "/s/x.lws"));
    EXPECT_TRUE(bm::namesScene("/s/./x.lws", "/s/x.lws"));
    EXPECT_TRUE(bm::namesScene("/s/Scenes/../Scene", "/s/Scene"));
    EXPECT_FALSE(bm::namesScene("box.lwo", "/s/x.lws"));
    EXPECT_FALSE(bm::namesScene("lws", "/s/x.lws"));
}

}  // namespace
