// LwsEnvelope.h - LightWave envelopes (keyed curves of one value over time) and their evaluation.
#pragma once

#include <vector>

namespace bm {

// How the span that ends at a key is drawn.
enum LwsSpanType : int {
    LwsTcb = 0,       // Kochanek-Bartels: tension, continuity, bias in p[0..2]
    LwsHermite = 1,   // incoming and outgoing tangents in p[3], p[4]
    LwsBezier1D = 2,  // drawn as Hermite
    LwsLinear = 3,
    LwsStepped = 4,   // holds the earlier key's value
    LwsBezier2D = 5,  // handles in p[0..3]: in (time, value) offsets, out (time, value) offsets
};

// What an envelope does before its first key (pre) and after its last (post).
enum LwsBehaviour : int {
    LwsReset = 0,         // 0
    LwsConstant = 1,      // the end key's value
    LwsRepeat = 2,        // the keyed interval again and again
    LwsOscillate = 3,     // as repeat, every other copy mirrored in time
    LwsOffsetRepeat = 4,  // as repeat, each copy shifted by the interval's change in value
    LwsLinearEnd = 5,     // along the end key's tangent
};

struct LwsKey {
    double value = 0;
    double time = 0;                   // seconds
    int span = LwsTcb;                 // of the span from the previous key to this one
    double p[6] = {0, 0, 0, 0, 0, 0};  // the Key line's p1..p6
};

struct LwsEnvelope {
    std::vector<LwsKey> keys;  // by time, one key per time, once tidyEnvelope has run
    int pre = LwsConstant;
    int post = LwsConstant;
};

// An envelope that is value at every time.
LwsEnvelope constantEnvelope(double value);

// Sorts the keys by time, keeping file order among equal times and then only the last of them;
// drops keys whose time or value is not finite; makes unknown span types linear and unknown
// behaviours constant. Linear in the key count for sorted keys.
void tidyEnvelope(LwsEnvelope& envelope);

// The envelope's value at a time in seconds: 0 with no keys, the key's value with one. Keys must
// be as tidyEnvelope leaves them; a span is found by binary search. Always finite: a time that is
// not finite reads as the first key's time, a result that is not finite as 0.
double evaluateEnvelope(const LwsEnvelope& envelope, double seconds);

}  // namespace bm
