// TLightTest.cpp - creating lights, changing them by index, and what GL is to be given for them.
#include "TLight.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <vector>

namespace {
// Every value lightSetup gives, in one list.
std::vector<GLfloat> setupValues(const TLight& lights, std::size_t n) {
    const TLightSetup s = lights.lightSetup(n);
    std::vector<GLfloat> values(s.position, s.position + 4);
    values.insert(values.end(), s.direction, s.direction + 3);
    values.insert(values.end(), s.colour, s.colour + 4);
    values.insert(values.end(), s.ambient, s.ambient + 4);
    return values;
}

std::vector<std::vector<GLfloat>> everySetup(const TLight& lights) {
    std::vector<std::vector<GLfloat>> setups;
    for (std::size_t n = 0; n < lights.lightCount(); ++n)
        setups.push_back(setupValues(lights, n));
    return setups;
}

// The largest difference between two equally shaped lists of setups; infinite when shapes differ.
float difference(const std::vector<std::vector<GLfloat>>& a,
                 const std::vector<std::vector<GLfloat>>& b) {
    if (a.size() != b.size())
        return INFINITY;
    float largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].size() != b[i].size())
            return INFINITY;
        for (std::size_t k = 0; k < a[i].size(); ++k)
            largest = std::max(largest, std::fabs(a[i][k] - b[i][k]));
    }
    return largest;
}
}  // namespace

// Numbered from 0; on, white, at the eye facing -Z, no ambient of its own.
TEST(TLight, CreateLightAppendsAnEnabledWhiteLight) {
    TLight lights{};
    EXPECT_FALSE(lights.anyLightOn());
    EXPECT_EQ(lights.CreateLight(), 0);
    EXPECT_EQ(lights.CreateLight(), 1);
    EXPECT_EQ(lights.lightEntries(), 28u);
    EXPECT_TRUE(lights.lightOn(1));
    EXPECT_FALSE(lights.lightOn(2));
    EXPECT_EQ(setupValues(lights, 1),
              (std::vector<GLfloat>{0, 0, 0, 1, -0.0f, 0, -1, 1, 1, 1, 1, 0, 0, 0, 1}));
}

// Each operation changes its own light and fields only; an index naming no light changes nothing.
TEST(TLight, OperationsChangeOnlyTheLightTheyName) {
    struct Case {
        const char* operation;
        std::function<void(TLight&, std::int32_t)> apply;
        std::vector<GLfloat> changed;  // light 1's values afterwards
    };
    const Case cases[] = {
        {"PositionLight",
         [](TLight& l, std::int32_t n) { l.PositionLight(n, 1, 2, 3); },
         {1, 2, 3, 1, 0, 0, -1, 1, 1, 1, 1, 0, 0, 0, 1}},
        {"LightColour",
         [](TLight& l, std::int32_t n) { l.LightColour(n, 0.25f, 0.5f, 0.75f); },
         {0, 0, 0, 1, 0, 0, -1, 0.25f, 0.5f, 0.75f, 1, 0, 0, 0, 1}},
        {"LightAmbient",
         [](TLight& l, std::int32_t n) { l.LightAmbient(n, 0.1f, 0.2f, 0.3f, 0.4f); },
         {0, 0, 0, 1, 0, 0, -1, 1, 1, 1, 1, 0.1f, 0.2f, 0.3f, 0.4f}},
        {"RotateLight",
         [](TLight& l, std::int32_t n) { l.RotateLight(n, 0, 0, 90); },
         {0, 0, 0, 1, 0, 0, -1, 1, 1, 1, 1, 0, 0, 0, 1}},
        {"EnableLight",
         [](TLight& l, std::int32_t n) { l.EnableLight(n, -1); },
         {0, 0, 0, 1, 0, 0, -1, 1, 1, 1, 1, 0, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        TLight lights{};
        for (int i = 0; i < 3; ++i)
            lights.CreateLight();
        const auto before = everySetup(lights);
        for (std::int32_t bad : {-1, 3, INT_MIN, INT_MAX})
            c.apply(lights, bad);
        EXPECT_EQ(everySetup(lights), before) << c.operation;
        EXPECT_TRUE(lights.lightOn(0) && lights.lightOn(1) && lights.lightOn(2)) << c.operation;
        c.apply(lights, 1);
        auto expected = before;
        expected[1] = c.changed;
        EXPECT_LT(difference(everySetup(lights), expected), 1e-6f) << c.operation;
        EXPECT_TRUE(lights.lightOn(0) && lights.lightOn(2)) << c.operation;
        EXPECT_EQ(lights.lightEntries(), 42u) << c.operation;
    }
}

// Only 1 is on; the global ambient keeps alpha 1 whatever came before.
TEST(TLight, SwitchesAndGlobalAmbient) {
    TLight lights{};
    lights.CreateLight();
    for (short value : {-1, 0, 2}) {
        lights.EnableLight(0, value);
        EXPECT_FALSE(lights.anyLightOn()) << value;
    }
    lights.EnableLight(0, 1);
    EXPECT_TRUE(lights.anyLightOn());
    lights.global_ambient[3] = 0.5f;
    lights.AmbientLight(0.1f, 0.2f, 0.3f);
    EXPECT_EQ(std::vector<GLfloat>(lights.global_ambient, lights.global_ambient + 4),
              (std::vector<GLfloat>{0.1f, 0.2f, 0.3f, 1}));
}
