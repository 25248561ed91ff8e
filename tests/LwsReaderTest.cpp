// LwsReaderTest.cpp - the scene reader on real scenes of every version and on scene text written
// here: items, units, parents, bones, and bad input.
#include "LwsMotion.h"
#include "LwsReader.h"
#include "support/LwsFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace bm;
using namespace bm::test;

constexpr double degree = 3.14159265358979323846 / 180;

// The report's lines other than the one that counts keywords this reader does not use.
std::vector<std::string> problemLines(const std::string& report) {
    std::vector<std::string> lines;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);) {
        EXPECT_EQ(line.rfind("LoadScene: ", 0), 0u) << line;
        if (line.find("keywords this reader does not use") == std::string::npos)
            lines.push_back(line);
    }
    return lines;
}

int countOf(const LwsScene& scene, int type) {
    int count = 0;
    for (const LwsItem& item : scene.items)
        count += item.type == type;
    return count;
}

bool finite(const LwsMatrix& matrix) {
    for (const auto& row : matrix.m)
        for (double value : row)
            if (!std::isfinite(value))
                return false;
    return true;
}

// Every version's real scenes read without a problem, into the items they declare; version 1's
// camera has no declaration, and the object with bones keeps only itself.
TEST(LwsReader, RealScenesOfEveryVersion) {
    SKIP_WITHOUT_SHARED_SCENES();
    struct Case {
        const char* file;
        int version, objects, lights, cameras;
        const char* firstName;
    };
    const Case cases[] = {
        {"Tekkotsu/tools/mon/ERS-210.lws", 1, 27, 1, 1, "objects-ERS-210/body2.lwo"},
        {"java3d-examples/src/main/resources/geometry/ballcone.lws", 1, 2, 1, 1, "greenball.lwo"},
        {"maokg_lab5-mihamor/test.lws", 1, 4, 1, 1, nullptr},
        {"assimp/test/models/LWS/move_x_oldformat_56.lws", 2, 1, 1, 1, "simple_cube.lwo"},
        {"assimp/test/models/LWS/move_x_oldformat_6.lws", 3, 1, 1, 1, "simple_cube.lwo"},
        {"astrofra-demo-redline-assets/assets/3d/03_01_seq_01_ride.lws", 3, 15, 2, 1,
         "mesh_solbig_opti.lwo"},
        {"assimp/test/models/LWS/move_x.lws", 5, 1, 1, 1, "simple_cube.lwo"},
        {"nangtani-blender-import-lwo@3874bc97/tests/basic/src/LWO2/box/colors0.lws", 5, 1, 1, 1,
         "C:storage/blender/blender-import-lwo/tests/basic/src/LWO2/box/colors0.lwo"},
        {"sandrum-lightwave3D-MCP/test_assets/WeightTest_rig.lws", 8, 1, 1, 1, "WeightTest.lwo"},
    };
    for (const Case& c : cases) {
        const SceneRead read = readSharedScene(c.file);
        EXPECT_EQ(read.scene.status, LwsRead) << c.file;
        EXPECT_EQ(read.scene.version, c.version) << c.file;
        EXPECT_EQ(countOf(read.scene, LwsObject), c.objects) << c.file;
        EXPECT_EQ(countOf(read.scene, LwsLight), c.lights) << c.file;
        EXPECT_EQ(countOf(read.scene, LwsCamera), c.cameras) << c.file;
        if (c.firstName != nullptr) {
            EXPECT_EQ(read.scene.items[0].name, c.firstName) << c.file;
        }
        const std::vector<std::string> problems = problemLines(read.report);
        if (c.version > 5)
            EXPECT_EQ(problems,
                      std::vector<std::string>{
                          "LoadScene: line 2: version 8 is newer than 5; read as version 5"});
        else
            EXPECT_TRUE(problems.empty()) << c.file << ": " << read.report;
    }
}

// Version 1: frame numbers for times, degrees for angles, 0-255 colours, objects counted from 1
// for parents, and a camera whose section begins without a declaration.
TEST(LwsReader, VersionOneUnitsAndParents) {
    SKIP_WITHOUT_SHARED_SCENES();
    const SceneRead ball =
        readSharedScene("java3d-examples/src/main/resources/geometry/ballcone.lws");
    ASSERT_EQ(ball.scene.items.size(), 4u);
    const LwsItem& cone = ball.scene.items[1];
    const double second = 1.0;  // the key at frame 30 of a 30 fps scene
    EXPECT_NEAR(evaluateEnvelope(cone.channels[LwsX], second), 18.11593, 1e-9);
    EXPECT_NEAR(evaluateEnvelope(cone.channels[LwsHeading], second), -8.899995 * degree, 1e-12);
    EXPECT_NEAR(evaluateEnvelope(cone.channels[LwsPitch], 59.0 / 30), 34.99998 * degree, 1e-12);
    const LwsItem& light = ball.scene.items[2];
    EXPECT_EQ(light.name, "Light");
    EXPECT_EQ(light.light.type, 0);
    EXPECT_DOUBLE_EQ(light.light.colour[1], 1.0);
    EXPECT_DOUBLE_EQ(ball.scene.ambientIntensity, 0.25);
    const LwsItem& camera = ball.scene.items[3];
    EXPECT_EQ(camera.type, LwsCamera);
    EXPECT_EQ(camera.channels[LwsX].keys.size(), 3u);
    EXPECT_NEAR(evaluateEnvelope(camera.channels[LwsHeading], 2.0), -75.70002 * degree, 1e-12);
    EXPECT_DOUBLE_EQ(evaluateEnvelope(camera.channels[LwsScaleX], 1.0), 1.0);

    const SceneRead robot = readSharedScene("Tekkotsu/tools/mon/ERS-210.lws");
    const std::vector<LwsItem>& parts = robot.scene.items;
    ASSERT_EQ(parts.size(), 29u);
    EXPECT_EQ(parts[0].parent, -1);
    EXPECT_EQ(parts[1].parent, 0);   // ParentObject 1: the body
    EXPECT_EQ(parts[3].parent, 2);   // ParentObject 3: the neck
    EXPECT_EQ(parts[26].parent, 1);  // ParentObject 2: the tail
    EXPECT_DOUBLE_EQ(evaluateEnvelope(parts[27].light.intensity, 0), 0.7);
    EXPECT_DOUBLE_EQ(robot.scene.ambientIntensity, 0.5);
}

// Version 2 keeps 0-255 colours; version 3 and later write them from 0 to 1.
TEST(LwsReader, ColoursAndCameraOfVersionTwoAndFive) {
    SKIP_WITHOUT_SHARED_SCENES();
    const SceneRead interim = readSharedScene("assimp/test/models/LWS/move_x_oldformat_56.lws");
    const SceneRead current = readSharedScene("assimp/test/models/LWS/move_x.lws");
    ASSERT_EQ(interim.scene.items.size(), 3u);
    ASSERT_EQ(current.scene.items.size(), 3u);
    for (const SceneRead* read : {&interim, &current}) {
        const LwsItem& light = read->scene.items[1];
        EXPECT_EQ(light.light.type, 0);
        EXPECT_EQ(light.light.colour[0], 1.0);
        EXPECT_DOUBLE_EQ(read->scene.ambientColour[2], 1.0);
        EXPECT_DOUBLE_EQ(read->scene.ambientIntensity, 0.05);
        EXPECT_DOUBLE_EQ(evaluateEnvelope(read->scene.items[2].camera.zoom, 0), 3.2);
    }
    EXPECT_EQ(current.scene.items[1].light.handler, "DistantLight");
    EXPECT_EQ(current.scene.items[2].name, "Camera");
    EXPECT_EQ(current.scene.items[2].camera.frameWidth, 640);
    EXPECT_EQ(current.scene.items[2].camera.frameHeight, 480);
}

// Bones take every line up to the next item, so the object they follow keeps its own motion,
// and they are left out of the items.
TEST(LwsReader, BonesDoNotDisturbTheirObject) {
    SKIP_WITHOUT_SHARED_SCENES();
    const SceneRead read =
        readSharedScene("sandrum-lightwave3D-MCP/test_assets/WeightTest_rig.lws");
    ASSERT_EQ(read.scene.items.size(), 3u);
    const LwsMatrix identity;
    for (double frame : {0.0, 60.0}) {
        const LwsMatrix object = worldMatrices(read.scene, frame)[0];
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                EXPECT_EQ(object.m[r][c], identity.m[r][c]) << r << " " << c;
    }
}

// Parents written here: cycles, missing and self parents become roots with a line each; a child
// of a bone goes to the bone's object; version 4 finds parents by the IDs on the declarations.
TEST(LwsReader, ParentsThatCannotBeAreRoots) {
    struct Case {
        const char* text;
        std::vector<int> parents;
        std::vector<std::string> problems;
    };
    const Case cases[] = {
        {"LWSC\n3\nAddNullObject A\nParentItem 10000002\nAddNullObject B\nParentItem 10000000\n"
         "AddNullObject C\nParentItem 10000001\nAddNullObject D\nParentItem 10000002\n",
         {2, -1, 1, 2},
         {"LoadScene: line 6: the parent closes a cycle of parents; the item is made a root"}},
        {"LWSC\n3\nAddNullObject A\nParentItem 1000000F\nAddNullObject B\nParentItem 10000001\n"
         "AddLight\nParentItem 20000000\nAddCamera\nParentItem zz\n",
         {-1, -1, -1, -1},
         {"LoadScene: line 10: `zz` is not a hexadecimal item ID; passed over",
          "LoadScene: line 4: the parent names no item; the item is made a root",
          "LoadScene: line 6: the item is its own parent; it is made a root",
          "LoadScene: line 8: the item is its own parent; it is made a root"}},
        {"LWSC\n3\nLoadObjectLayer 1 body.lwo\nAddBone\nBoneName B\nParentItem 10000000\n"
         "Channel 0\n{ Envelope\n  1\n  Key 5 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
         "AddNullObject Hand\nParentItem 40000000\n",
         {-1, 0},
         {"LoadScene: line 14: the parent is the bone on line 4; bones are left out, so the "
          "parent is the bone's object"}},
        {"LWSC\n4\nAddNullObject 1000000a Root\nAddNullObject 10000005 Child\n"
         "ParentItem 1000000A\nAddLight 20000003\nParentItem 10000005\n",
         {-1, 0, 1},
         {}},
        {"LWSC\n1\nAddNullObject A\nAddNullObject B\nParentObject 1\nAddNullObject C\n"
         "ParentObject 4\n",
         {-1, 0, -1},
         {"LoadScene: line 7: the parent names no item; the item is made a root"}},
    };
    for (const Case& c : cases) {
        const SceneRead read = readScene(c.text);
        std::vector<int> parents;
        for (const LwsItem& item : read.scene.items)
            parents.push_back(item.parent);
        EXPECT_EQ(parents, c.parents) << c.text;
        EXPECT_EQ(problemLines(read.report), c.problems) << c.text;
        if (!read.scene.items.empty()) {
            EXPECT_EQ(evaluateEnvelope(read.scene.items[0].channels[LwsX], 0), 0) << c.text;
        }
    }
}

// Numbers that do not parse or are not finite, envelopes without keys or with every key at one
// time, a block left open: every item still gets finite matrices, and each problem its line.
TEST(LwsReader, BadNumbersStillGiveFiniteMatrices) {
    const SceneRead read = readScene(
        "LWSC\n3\nFramesPerSecond 0\nLoadObjectLayer x box.lwo\nObjectMotion\nNumChannels 9\n"
        "Channel 0\n{ Envelope\n  1\n  Key nan 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
        "Channel 6\n{ Envelope\n  0\n  Behaviors 1 1\n}\n"
        "Channel 1\n{ Envelope\n  2\n  Key 1 0.5 0 0 0 0 0 0 0\n  Key 2 0.5 0 0 0 0 0 0 0\n}\n"
        "Channel 2\n{ Envelope\n  2\n  Key 1e300 0 0 0 0 0 0 0 0\n  Key -1e300 1e-300 5\n}\n"
        "Channel 7\n{ Envelope\n  1\n  Key 1e200 0 0 0 0 0 0 0 0\n}\n"
        "PivotPosition 1e999 - 3\nPivotRotation inf 0 0\n"
        "AddNullObject child\nParentItem 10000000\nObjectMotion\nChannel 8\n{ Envelope\n"
        "  1\n  Key 1e200 0 0 0 0 0 0 0 0\n}\nChannel 3\n{ Envelope\n  1\n  Key 3 0\n");
    ASSERT_EQ(read.scene.status, LwsRead);
    ASSERT_EQ(read.scene.items.size(), 2u);
    EXPECT_EQ(read.scene.framesPerSecond, 30);
    EXPECT_EQ(evaluateEnvelope(read.scene.items[0].channels[LwsScaleX], 0), 1);
    EXPECT_EQ(evaluateEnvelope(read.scene.items[0].channels[LwsY], 0.5), 2);  // the last key
    for (double frame : {-1e9, 0.0, 0.5, 30.0, 1e12})
        for (const LwsMatrix& world : worldMatrices(read.scene, frame))
            EXPECT_TRUE(finite(world)) << frame;
    const std::vector<std::string> expected = {
        "LoadScene: line 3: frames per second must be above 0; 30 is used",
        "LoadScene: line 4: `x` is not a finite number; 1 is used",
        "LoadScene: line 10: `nan` is not a finite number; 0 is used",
        "LoadScene: line 35: `1e999` is not a finite number; 0 is used",
        "LoadScene: line 36: `inf` is not a finite number; 0 is used",
        "LoadScene: line 46: the envelope has no closing brace; the keys read are kept",
        "LoadScene: line 4: channel 6 has no keys; 1 is used",
    };
    EXPECT_EQ(problemLines(read.report), expected);
}

// LF, CR LF and lone CR end lines alike; only LWSC with a version is a scene; versions above 5
// read as 5.
TEST(LwsReader, HeadersAndLineEnds) {
    const std::string scene =
        "LWSC\n3\n\nFramesPerSecond 25\nAddNullObject \"Quoted name\"\nParentItem 10000001\n"
        "Plugin ItemMotionHandler 1 Odd\n{ Bank\n}\n}\nEndPlugin\n"
        "{ Unknown\n  { Nested\n  }\n  Key 9 9\n}\nAddNullObject Parent\nMorphAmount (envelope)\n"
        "{ Envelope\n  1\n  Key 7 0 0 0 0 0 0 0 0\n}\n";
    for (const char* end : {"\n", "\r\n", "\r"}) {
        std::string text = scene;
        for (std::size_t at = text.find('\n'); at != std::string::npos;
             at = text.find('\n', at + std::string(end).size()))
            text.replace(at, 1, end);
        const SceneRead read = readScene(text);
        ASSERT_EQ(read.scene.items.size(), 2u) << end;
        EXPECT_EQ(read.scene.items[0].name, "Quoted name");
        EXPECT_EQ(read.scene.items[0].parent, 1);
        EXPECT_EQ(read.scene.items[1].line, 17);
        EXPECT_EQ(read.scene.framesPerSecond, 25);
        EXPECT_EQ(read.report, "") << end;
    }
    struct Header {
        const char* text;
        int status;
        const char* report;
    };
    const Header headers[] = {
        {"LWMO\n3\n", LwsNotAScene,
         "LoadScene: not a LightWave scene: the text does not begin with LWSC\n"},
        {"", LwsNotAScene, "LoadScene: not a LightWave scene: the text does not begin with LWSC\n"},
        {"LWSC\nthree\n", LwsNoVersion,
         "LoadScene: line 2: no version number after LWSC; the scene is not read\n"},
        {"LWSC\n9\nAddLight 20000007\n", LwsRead,
         "LoadScene: line 2: version 9 is newer than 5; read as version 5\n"},
    };
    for (const Header& h : headers) {
        const SceneRead read = readScene(h.text);
        EXPECT_EQ(read.scene.status, h.status) << h.text;
        EXPECT_EQ(read.report, h.report) << h.text;
    }
    // Keywords this reader does not know are counted in one line, which a quiet load goes without;
    // a real problem is still reported.
    const std::string unknown = "LWSC\n3\nAdaptiveThreshold 0.1\nItemExpand 1\nParentItem 1\n";
    for (const bool counted : {true, false}) {
        std::ostringstream report;
        readLws(unknown.data(), unknown.size(), report, counted);
        EXPECT_EQ(report.str(),
                  "LoadScene: line 5: `ParentItem` before any item; passed over\n" +
                      std::string(counted ? "LoadScene: line 3: 2 lines with keywords this reader "
                                            "does not use passed over, the first "
                                            "`AdaptiveThreshold`\n"
                                          : ""))
            << counted;
    }
}

// Version 1 writes an animated parameter as `(envelope)` and a one-channel record; version 3 and
// later as an envelope block.
TEST(LwsReader, EnvelopeParametersOfOldAndNewVersions) {
    const SceneRead old = readScene(
        "LWSC\n1\nFramesPerSecond 10\nAddLight\nLgtIntensity (envelope)\n  1\n  2\n  1.0\n"
        "  0 0 0.0 0.0 0.0\n  0.5\n  20 1 0.0 0.0 0.0\nEndBehavior 1\nLightColor 255 0 51\n");
    ASSERT_EQ(old.scene.items.size(), 1u);
    const LwsLightData& light = old.scene.items[0].light;
    EXPECT_DOUBLE_EQ(evaluateEnvelope(light.intensity, 1.0), 0.75);  // frame 10 of a linear span
    EXPECT_DOUBLE_EQ(light.colour[2], 0.2);
    EXPECT_EQ(old.report, "");

    SKIP_WITHOUT_SHARED_SCENES();
    const SceneRead pueblo =
        readSharedScene("astrofra-demo-redline-assets/assets/3d/fra/E01.seq_pueblo_04.lws");
    const LwsItem& camera = pueblo.scene.items.back();
    ASSERT_EQ(camera.type, LwsCamera);
    EXPECT_DOUBLE_EQ(evaluateEnvelope(camera.camera.zoom, 3), 1.5160003);
    EXPECT_TRUE(problemLines(pueblo.report).empty()) << pueblo.report;

    const SceneRead ride =
        readSharedScene("astrofra-demo-redline-assets/assets/3d/fra/J01.seq_02_ride.lws");
    EXPECT_EQ(ride.scene.items.back().parent, 9);  // the null called Cam
    EXPECT_EQ(ride.scene.items[9].name, "Cam");
}

}  // namespace
