// TLightTest.cpp - creating lights and changing them by index.
#include "TLight.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

namespace {
// Every value lightSetup gives light n, in one list.
std::vector<GLfloat> setupValues(const TLight& lights, std::size_t n) {
    const TLightSetup s = lights.lightSetup(n);
    std::vector<GLfloat> values(s.position, s.position + 4);
    values.insert(values.end(), s.direction, s.direction + 3);
    values.insert(values.end(), s.colour, s.colour + 4);
    values.insert(values.end(), s.ambient, s.ambient + 4);
    return values;
}
}  // namespace

// Lights count from 0 and start on, white, at the eye facing -Z; an index that names no light
// changes nothing, and one that does changes that light only.
TEST(TLight, OperationsChangeOnlyTheLightTheyName) {
    TLight lights{};
    EXPECT_EQ(lights.CreateLight(), 0);
    EXPECT_EQ(lights.CreateLight(), 1);
    const auto change = [&lights](std::int32_t n) {
        lights.PositionLight(n, 1, 2, 3);
        lights.RotateLight(n, 0, 0, 90);
        lights.LightColour(n, 0.25f, 0.5f, 0.75f);
        lights.LightAmbient(n, 0.1f, 0.2f, 0.3f, 0.4f);
        lights.EnableLight(n, -1);
    };
    for (std::int32_t bad : {-1, 2, INT_MIN, INT_MAX})
        change(bad);
    const std::vector<GLfloat> fresh{0, 0, 0, 1, 0, 0, -1, 1, 1, 1, 1, 0, 0, 0, 1};
    EXPECT_EQ(setupValues(lights, 1), fresh);
    EXPECT_TRUE(lights.lightOn(0) && lights.lightOn(1));
    change(1);
    EXPECT_EQ(setupValues(lights, 0), fresh);
    EXPECT_EQ(setupValues(lights, 1), (std::vector<GLfloat>{1, 2, 3, 1, 0, 0, -1, 0.25f, 0.5f,
                                                            0.75f, 1, 0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_TRUE(lights.lightOn(0) && !lights.lightOn(1) && lights.anyLightOn());
    EXPECT_EQ(lights.lightEntries(), 30u);
}

// What GL is given per kind: a distant light as the direction toward it, w 0; a point light with
// no cone; a spot's cone held to 0 to 90; attenuation never below 0. RotateLightHPB turns heading
// last, RotateLight brings back its own order.
TEST(TLight, KindsConesAttenuationAndTurnOrder) {
    struct Case {
        const char* name;
        void (*change)(TLight&);
        std::vector<GLfloat> position, direction;
        GLfloat cutoff;
        std::vector<GLfloat> attenuation;
    };
    const Case cases[] = {
        {"lamp", [](TLight&) {}, {1, 2, 3, 1}, {0, 0, -1}, 90, {1, 0, 0}},
        {"distant, pitched up",
         [](TLight& l) {
             l.LightType(0, BrackmoorLightDistant);
             l.RotateLightHPB(0, 0, 90, 0);
         },
         {0, -1, 0, 0}, {0, 1, 0}, 180, {1, 0, 0}},
        {"point", [](TLight& l) { l.LightType(0, BrackmoorLightPoint); }, {1, 2, 3, 1},
         {0, 0, -1}, 180, {1, 0, 0}},
        {"spot, unknown type ignored",
         [](TLight& l) {
             l.LightType(0, BrackmoorLightSpot);
             l.LightType(0, 7);
             l.LightCone(0, 30);
         },
         {1, 2, 3, 1}, {0, 0, -1}, 30, {1, 0, 0}},
        {"spot, cone too wide, then NaN",
         [](TLight& l) {
             l.LightType(0, BrackmoorLightSpot);
             l.LightCone(0, 120);
             l.LightCone(0, NAN);
         },
         {1, 2, 3, 1}, {0, 0, -1}, 90, {1, 0, 0}},
        {"spot, cone below 0, attenuation",
         [](TLight& l) {
             l.LightType(0, BrackmoorLightSpot);
             l.LightCone(0, -5);
             l.LightAttenuation(0, -1, 0.5f, NAN);
         },
         {1, 2, 3, 1}, {0, 0, -1}, 0, {0, 0.5f, 0}},
        {"heading 90 after pitch 90", [](TLight& l) { l.RotateLightHPB(0, 90, 90, 0); },
         {1, 2, 3, 1}, {0, 1, 0}, 90, {1, 0, 0}},
        {"pitch 90 after yaw 90",
         [](TLight& l) {
             l.RotateLightHPB(0, 90, 90, 0);
             l.RotateLight(0, 90, 90, 0);
         },
         {1, 2, 3, 1}, {-1, 0, 0}, 90, {1, 0, 0}},
    };
    for (const Case& c : cases) {
        TLight lights{};
        lights.CreateLight();
        lights.PositionLight(0, 1, 2, 3);
        c.change(lights);
        const TLightSetup s = lights.lightSetup(0);
        const std::vector<GLfloat> seen[] = {{s.position, s.position + 4},
                                             {s.direction, s.direction + 3},
                                             {s.cutoff},
                                             {s.attenuation, s.attenuation + 3}};
        const std::vector<GLfloat> expected[] = {c.position, c.direction, {c.cutoff}, c.attenuation};
        for (int part = 0; part < 4; ++part) {
            ASSERT_EQ(seen[part].size(), expected[part].size());
            for (std::size_t i = 0; i < seen[part].size(); ++i)
                EXPECT_NEAR(seen[part][i], expected[part][i], 1e-6f) << c.name << ", " << part;
        }
    }
}
