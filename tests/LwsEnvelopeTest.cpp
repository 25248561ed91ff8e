// LwsEnvelopeTest.cpp - envelope evaluation: every span type and behaviour on real scenes, the
// tidying of bad key lists, and long envelopes.
#include "LwsEnvelope.h"
#include "LwsMotion.h"
#include "support/LwsFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace bm;
using namespace bm::test;

LwsKey key(double time, double value, int span = LwsTcb) {
    LwsKey k;
    k.time = time;
    k.value = value;
    k.span = span;
    return k;
}

// The small test scenes: one cube whose x, y or z channel shows one span type or behaviour. The
// values are those the format's reference computes (its z values mirrored back to LightWave's
// axes), at frames of a 30 fps scene.
TEST(LwsEnvelope, EverySpanTypeAndBehaviourOfTheSmallScenes) {
    SKIP_WITHOUT_SHARED_SCENES();
    struct Case {
        const char* file;
        int channel;
        double frame, value;
    };
    const Case cases[] = {
        {"move_x.lws", LwsX, 0, 0.0},
        {"move_x.lws", LwsX, 10, 1.441624},
        {"move_x.lws", LwsX, 20, 2.069113},
        {"move_x.lws", LwsX, 30, 0.254192},
        {"move_x.lws", LwsX, 50, -2.374866},
        {"move_x_oldformat_6.lws", LwsX, 10, 1.441624},
        {"move_x_oldformat_56.lws", LwsX, 10, 1.441625},
        {"move_x_oldformat_56.lws", LwsX, 30, 0.254191},  // keys written to 7 digits
        {"move_xz_spline.lws", LwsX, 10, 1.281375},
        {"move_xz_hermite.lws", LwsX, 10, 1.221535},
        {"move_xz_bezier.lws", LwsX, 10, 1.207914},
        {"move_xz_linear.lws", LwsZ, 45, -2.394860},
        {"move_xz_linear.lws", LwsZ, 60, -1.611090},
        {"move_xz_linear.lws", LwsZ, 75, -0.827319},
        {"move_xz_stepped.lws", LwsX, 5, 0.0},
        {"move_xz_stepped.lws", LwsZ, 5, 0.0},
        {"move_x_post_reset.lws", LwsX, 45, 0.0},
        {"move_x_post_linear.lws", LwsX, 45, -2.830721},
        {"move_x_post_repeat.lws", LwsX, 45, 0.829087},
        {"move_x_post_offset_repeat.lws", LwsX, 45, -0.809096},
        {"move_y_pre_ofrep_post_osc.lws", LwsY, -21, -0.989099},
        {"move_y_pre_ofrep_post_osc.lws", LwsY, 60, 0.504133},
    };
    for (const Case& c : cases) {
        const SceneRead read = readSharedScene(std::string("assimp/test/models/LWS/") + c.file);
        ASSERT_FALSE(read.scene.items.empty()) << c.file;
        const LwsItem& cube = read.scene.items[0];
        const double seconds = lwsSeconds(read.scene, c.frame);
        EXPECT_NEAR(evaluateEnvelope(cube.channels[c.channel], seconds), c.value, 1e-6)
            << c.file << " channel " << c.channel << " frame " << c.frame;
    }
}

// Out-of-order keys are sorted, the last of keys at one time stands, and what is unknown
// becomes linear or constant.
TEST(LwsEnvelope, TidyingSortsKeepsTheLastOfATimeAndTamesUnknownTypes) {
    LwsEnvelope envelope;
    envelope.keys = {key(2, 20), key(0, 0), key(1, 5), key(1, 10, 99), key(2, 30)};
    envelope.keys.push_back(key(NAN, 1));
    envelope.pre = 42;
    envelope.post = -1;
    tidyEnvelope(envelope);
    ASSERT_EQ(envelope.keys.size(), 3u);
    EXPECT_EQ(envelope.keys[0].time, 0);
    EXPECT_EQ(envelope.keys[1].value, 10);
    EXPECT_EQ(envelope.keys[1].span, LwsLinear);
    EXPECT_EQ(envelope.keys[2].value, 30);
    EXPECT_EQ(envelope.pre, LwsConstant);
    EXPECT_EQ(envelope.post, LwsConstant);
    EXPECT_EQ(evaluateEnvelope(envelope, -5), 0);          // constant before
    EXPECT_EQ(evaluateEnvelope(envelope, 9), 30);          // constant after
    EXPECT_DOUBLE_EQ(evaluateEnvelope(envelope, 0.5), 5);  // the unknown span drawn straight
}

// Behaviours on keys that do not start at time 0: the oscillating copies mirror within the keys'
// interval, repeats shift by whole intervals, offset repeats add the interval's rise.
TEST(LwsEnvelope, BehavioursRepeatTheIntervalWhereverItStarts) {
    LwsEnvelope envelope;
    envelope.keys = {key(1, 0, LwsLinear), key(2, 1, LwsLinear), key(3, 4, LwsLinear)};
    struct Case {
        int behaviour;
        double time, value;
    };
    const Case cases[] = {
        {LwsOscillate, 3.5, 2.5},      // mirrored: time 1 + 3 - 1.5 = 2.5
        {LwsOscillate, 5.5, 0.5},      // the second copy runs forward again: time 1.5
        {LwsOscillate, 0.5, 0.5},      // before the keys the copy is mirrored too: time 1.5
        {LwsRepeat, 3.5, 0.5},         // time 1.5
        {LwsRepeat, -0.5, 0.5},        // time 1.5
        {LwsOffsetRepeat, 3.5, 4.5},   // 1.5 plus a rise of 4
        {LwsOffsetRepeat, 0.5, -1.5},  // 2.5 minus a rise of 4
        {LwsLinearEnd, 4, 7},          // along the last span's slope
        {LwsReset, 9, 0},
    };
    for (const Case& c : cases) {
        envelope.pre = envelope.post = c.behaviour;
        EXPECT_NEAR(evaluateEnvelope(envelope, c.time), c.value, 1e-12)
            << "behaviour " << c.behaviour << " at " << c.time;
    }
}

// A 2D Bezier span whose handles lie on the straight line between its keys is that line: the
// curve's parameter is found to far better than a microsecond.
TEST(LwsEnvelope, BezierHandlesOnTheChordGiveAStraightLine) {
    LwsEnvelope envelope;
    envelope.keys = {key(0, 0, LwsBezier2D), key(3, 6, LwsBezier2D)};
    envelope.keys[0].p[2] = 1;  // outgoing handle: one second on, two units up
    envelope.keys[0].p[3] = 2;
    envelope.keys[1].p[0] = -1;  // incoming handle: one second back, two units down
    envelope.keys[1].p[1] = -2;
    for (double t : {0.001, 0.37, 1.5, 2.2, 2.999})
        EXPECT_NEAR(evaluateEnvelope(envelope, t), 2 * t, 1e-9) << t;
}

// 300,000 keys, evaluated 200,000 times: the span is found by halving, so this takes no time;
// a walk along the keys would take minutes.
TEST(LwsEnvelope, LongEnvelopesAreSearchedNotWalked) {
    LwsEnvelope envelope;
    const int count = 300000;
    for (int i = 0; i < count; ++i)
        envelope.keys.push_back(key(i * 0.01, (i % 2) * 1.0, LwsLinear));
    tidyEnvelope(envelope);
    double total = 0;
    for (int i = 0; i < 200000; ++i)
        total += evaluateEnvelope(envelope, (i % (count - 1)) * 0.01 + 0.0025);
    EXPECT_NEAR(total, 200000 * 0.5, 1e-6);  // a quarter of the way up or down: 0.25 or 0.75
}

}  // namespace
