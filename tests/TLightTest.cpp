// TLightTest.cpp - creating lights and changing them by index.
#include "TLight.h"

#include <gtest/gtest.h>

#include <climits>
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

// A distant light is given as the direction toward it, w 0, turned pitch before heading; a point
// light has no cone; a spot's cone is held to 0 to 90; an unknown kind changes nothing.
TEST(TLight, KindsAndCones) {
    struct Case {
        std::int32_t type;
        GLfloat cone;
        std::vector<GLfloat> position;
        GLfloat cutoff;
    };
    const Case cases[] = {{BrackmoorLightDistant, 45, {0, 1, 0, 0}, 180},
                          {BrackmoorLightPoint, 45, {1, 2, 3, 1}, 180},
                          {BrackmoorLightSpot, 120, {1, 2, 3, 1}, 90},
                          {BrackmoorLightSpot, -5, {1, 2, 3, 1}, 0},
                          {7, 30, {1, 2, 3, 1}, 90}};
    for (const Case& c : cases) {
        TLight lights{};
        lights.CreateLight();
        lights.PositionLight(0, 1, 2, 3);
        lights.RotateLightHPB(0, 90, -90, 0);  // facing down, whatever the heading
        lights.LightType(0, c.type);
        lights.LightCone(0, c.cone);
        const TLightSetup s = lights.lightSetup(0);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(s.position[i], c.position[i], 1e-6f) << c.type << ", " << i;
        EXPECT_EQ(s.cutoff, c.cutoff) << c.type << ", cone " << c.cone;
    }
}
