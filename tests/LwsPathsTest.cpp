// LwsPathsTest.cpp - where an object named in a scene is looked for, and paths that name scenes.
#include "LwsPaths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using bm::LwsPathCandidate;

std::vector<std::string> exactPaths(const std::vector<LwsPathCandidate>& candidates) {
    std::vector<std::string> paths;
    for (const LwsPathCandidate& c : candidates)
        if (!c.anyCase)
            paths.push_back(c.path);
    return paths;
}

// Relative paths against the scene's folder and the content folder above it; drive letters,
// volume names and backslashes of other machines; then the bare name where objects are kept.
TEST(LwsPaths, CandidatesInTheOrderToTry) {
    struct Case {
        const char* written;
        const char* scene;
        std::vector<std::string> paths;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        const std::vector<LwsPathCandidate> candidates =
            bm::objectPathCandidates(c.written, c.scene);
        const std::vector<std::string>& expected = c.paths;
        EXPECT_EQ(exactPaths(candidates), expected) << c.written;
        // Then the same places again, matched regardless of case.
        ASSERT_EQ(candidates.size(), 2 * expected.size()) << c.written;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(candidates[expected.size() + i].path, expected[i]);
            EXPECT_TRUE(candidates[expected.size() + i].anyCase);
        }
    }
}

TEST(LwsPaths, PathsThatNameAScene) {
    EXPECT_TRUE(bm::namesScene("other.LWS", "/s/x.lws"));
    EXPECT_TRUE(bm::namesScene("/s/./x.lws", "/s/x.lws"));
    EXPECT_TRUE(bm::namesScene("/s/Scenes/../Scene", "/s/Scene"));
    EXPECT_FALSE(bm::namesScene("box.lwo", "/s/x.lws"));
    EXPECT_FALSE(bm::namesScene("lws", "/s/x.lws"));
}

}  // namespace
