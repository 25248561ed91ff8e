// LwsEnvelopeTest.cpp - envelope evaluation: every span type and behaviour on real scenes, the
// tidying of bad key lists, and long envelopes.
#include "LwsEnvelope.h"
#include "LwsMotion.h"
#include "support/LwsFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace bm;

LwsKey key(double time, double value, int span = LwsTcb) {
    return LwsKey{value, time, span, {}};
}

// A cube per scene whose x, y or z shows one span type or behaviour, at the reference values (z
// mirrored back); move_x.lws's TCB cube and constant end are the worked example in LwsMotionTest.
TEST(LwsEnvelope, EverySpanTypeAndBehaviourOfTheSmallScenes) {
    SKIP_WITHOUT_SHARED_SCENES();
    const struct {
        const char* file;
        int channel;
        double frame, value;
    } cases[] = {
        {"move_x_oldformat_56", LwsX, 30, 0.254191},
        {"move_xz_spline", LwsX, 10, 1.281375},
        {"move_xz_hermite", LwsX, 10, 1.221535},
        {"move_xz_bezier", LwsX, 10, 1.207914},
        {"move_xz_linear", LwsZ, 45, -2.394860},
        {"move_xz_linear", LwsZ, 75, -0.827319},
        {"move_xz_stepped", LwsX, 5, 0.0},
        {"move_x_post_reset", LwsX, 45, 0.0},
        {"move_x_post_linear", LwsX, 45, -2.830721},
        {"move_x_post_repeat", LwsX, 45, 0.829087},
        {"move_x_post_offset_repeat", LwsX, 45, -0.809096},
        {"move_y_pre_ofrep_post_osc", LwsY, -21, -0.989099},
        {"move_y_pre_ofrep_post_osc", LwsY, 60, 0.504133},
    };
    for (const auto& c : cases) {
        const LwsScene scene =
            test::readSharedScene(std::string("assimp/test/models/LWS/") + c.file + ".lws").scene;
        const LwsEnvelope& channel = scene.items.at(0).channels[c.channel];
        EXPECT_NEAR(evaluateEnvelope(channel, lwsSeconds(scene, c.frame)), c.value, 1e-6)
            << c.file << " frame " << c.frame;
    }
}

// Keys out of order are sorted, the last of one time stands, a key that is not finite goes;
// unknown span types become linear and unknown behaviours constant.
TEST(LwsEnvelope, TidyingSortsKeepsTheLastOfATimeAndTamesUnknownTypes) {
    LwsEnvelope envelope;
    envelope.keys = {key(2, 20), key(0, 0), key(1, 5), key(1, 10, 99), key(2, 30), key(NAN, 1)};
    envelope.pre = 42;
    envelope.post = -1;
    tidyEnvelope(envelope);
    std::vector<std::vector<double>> kept;
    for (const LwsKey& k : envelope.keys)
        kept.push_back({k.time, k.value, double(k.span)});
    EXPECT_EQ(kept, (std::vector<std::vector<double>>{{0, 0, 0}, {1, 10, LwsLinear}, {2, 30, 0}}));
    EXPECT_EQ(envelope.pre, LwsConstant);
    EXPECT_EQ(envelope.post, LwsConstant);
}

// Behaviours of keys that start at 1, not 0: oscillating copies mirror within the keys'
// interval, repeats shift by whole intervals, offset repeats add the interval's rise, a linear
// end follows its end span's slope.
TEST(LwsEnvelope, BehavioursRepeatTheIntervalWhereverItStarts) {
    LwsEnvelope envelope;
    envelope.keys = {key(1, 0, LwsLinear), key(2, 1, LwsLinear), key(3, 4, LwsLinear)};
    const struct {
        int behaviour;
        double time, value;
    } cases[] = {
        {LwsOscillate, 3.5, 2.5},      // mirrored: time 1 + 3 - 1.5
        {LwsOscillate, 5.5, 0.5},      // the second copy runs forward again: time 1.5
        {LwsOscillate, 0.5, 0.5},      // before the keys the copy is mirrored too: time 1.5
        {LwsRepeat, -0.5, 0.5},        // time 1.5
        {LwsOffsetRepeat, 3.5, 4.5},   // 1.5 plus a rise of 4
        {LwsOffsetRepeat, 0.5, -1.5},  // 2.5 minus a rise of 4
        {LwsLinearEnd, 4, 7},          // on along the last span's slope
        {LwsLinearEnd, 0, -1},         // back along the first span's
    };
    for (const auto& c : cases) {
        envelope.pre = envelope.post = c.behaviour;
        EXPECT_NEAR(evaluateEnvelope(envelope, c.time), c.value, 1e-12)
            << "behaviour " << c.behaviour << " at " << c.time;
    }
}

// 2D Bezier handles on the chord but unevenly spaced in time: the curve is the straight line only
// when its parameter is solved from the time, not taken as the fraction of the span.
TEST(LwsEnvelope, BezierParameterIsSolvedFromTheTime) {
    LwsEnvelope envelope;
    // Value 0 at time 0 with its outgoing handle, value 6 at time 3 with its incoming one.
    envelope.keys = {LwsKey{0, 0, LwsBezier2D, {0, 0, 0.3, 0.6}},
                     LwsKey{6, 3, LwsBezier2D, {-2.4, -4.8}}};
    for (double t : {0.001, 0.37, 1.5, 2.999})
        EXPECT_NEAR(evaluateEnvelope(envelope, t), 2 * t, 1e-9) << t;
}

// 300,000 keys of a ramp, tidied and evaluated 200,000 times: quick only when the span is found
// by halving, and each value a quarter into its span only when the search ends on the right key.
TEST(LwsEnvelope, LongEnvelopesAreSearchedNotWalked) {
    LwsEnvelope envelope;
    const int count = 300000;
    for (int i = 0; i < count; ++i)
        envelope.keys.push_back(key(i * 0.01, i, LwsLinear));
    tidyEnvelope(envelope);
    double worst = 0;
    for (int i = 0; i < 200000; ++i) {
        const int at = i % (count - 1);
        const double value = evaluateEnvelope(envelope, at * 0.01 + 0.0025);
        worst = std::max(worst, std::fabs(value - (at + 0.25)));
    }
    EXPECT_LT(worst, 1e-6);
}

}  // namespace
