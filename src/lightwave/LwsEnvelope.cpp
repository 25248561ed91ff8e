// LwsEnvelope.cpp - evaluates LightWave envelopes as LightWave draws them: TCB, Hermite and
// Bezier spans, linear and stepped spans, and the six behaviours outside the keys.
#include "LwsEnvelope.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace bm {

namespace {

using Keys = std::vector<LwsKey>;

// A handle's time offset this small is taken as this, so that its slope stays finite.
constexpr double flattestHandle = 1e-5;

double handleSlope(double valueOffset, double timeOffset) {
    if (std::fabs(timeOffset) <= flattestHandle)
        return valueOffset / flattestHandle;
    return valueOffset / timeOffset;
}

// Tension, continuity and bias of a TCB key; a linear key counts as TCB with all three 0.
void tcbOf(const LwsKey& key, double& t, double& c, double& b) {
    const bool tcb = key.span == LwsTcb;
    t = tcb ? key.p[0] : 0;
    c = tcb ? key.p[1] : 0;
    b = tcb ? key.p[2] : 0;
}

// The outgoing tangent of key i for the span i -> i+1, in value units per span.
double outgoing(const Keys& k, std::size_t i) {
    const LwsKey& key = k[i];
    const double span = k[i + 1].time - k[i].time;
    const bool predecessor = i > 0;
    const double weight = predecessor ? span / (k[i + 1].time - k[i - 1].time) : 1.0;
    switch (key.span) {
        case LwsStepped:
            return 0;
        case LwsHermite:
        case LwsBezier1D:
            return key.p[4] * weight;
        case LwsBezier2D:
            return handleSlope(key.p[3], key.p[2]) * span;
        default: {
            double t, c, b;
            tcbOf(key, t, c, b);
            const double a = (1 - t) * (1 + c) * (1 + b), bb = (1 - t) * (1 - c) * (1 - b);
            const double next = k[i + 1].value - key.value;
            if (!predecessor)
                return bb * next;
            return weight * (a * (key.value - k[i - 1].value) + bb * next);
        }
    }
}

// The incoming tangent of key i+1 for the span i -> i+1, in value units per span.
double incoming(const Keys& k, std::size_t i) {
    const LwsKey& key = k[i + 1];
    const double span = key.time - k[i].time;
    const bool successor = i + 2 < k.size();
    const double weight = successor ? span / (k[i + 2].time - k[i].time) : 1.0;
    switch (key.span) {
        case LwsStepped:
            return 0;
        case LwsHermite:
        case LwsBezier1D:
            return key.p[3] * weight;
        case LwsBezier2D:
            return handleSlope(key.p[1], key.p[0]) * span;
        default: {
            double t, c, b;
            tcbOf(key, t, c, b);
            const double a = (1 - t) * (1 - c) * (1 + b), bb = (1 - t) * (1 + c) * (1 - b);
            const double previous = key.value - k[i].value;
            if (!successor)
                return a * previous;
            return weight * (a * previous + bb * (k[i + 2].value - key.value));
        }
    }
}

double bezier(double a, double b, double c, double d, double s) {
    const double r = 1 - s;
    return r * r * r * a + 3 * r * r * s * b + 3 * r * s * s * c + s * s * s * d;
}

// The 2D Bezier span i -> i+1 at time t: the curve's parameter is found by bisection on its time
// coordinate, which the handles keep rising.
double bezier2D(const Keys& k, std::size_t i, double t) {
    const LwsKey& from = k[i];
    const LwsKey& to = k[i + 1];
    const double span = to.time - from.time;
    const bool outHandle = from.span == LwsBezier2D;
    const double x1 = from.time + (outHandle ? from.p[2] : span / 3);
    const double y1 = from.value + (outHandle ? from.p[3] : from.p[4] / 3);
    const double x2 = to.time + to.p[0];
    const double y2 = to.value + to.p[1];
    double low = 0, high = 1;
    for (int step = 0; step < 64 && high - low > 1e-15; ++step) {
        const double middle = 0.5 * (low + high);
        if (bezier(from.time, x1, x2, to.time, middle) < t)
            low = middle;
        else
            high = middle;
    }
    return bezier(from.value, y1, y2, to.value, 0.5 * (low + high));
}

// The value inside the keys' range, t0 <= t <= tn.
double inside(const Keys& k, double t) {
    const auto after = std::upper_bound(
        k.begin(), k.end(), t, [](double time, const LwsKey& key) { return time < key.time; });
    std::size_t i = after == k.begin() ? 0 : static_cast<std::size_t>(after - k.begin()) - 1;
    i = std::min(i, k.size() - 2);
    if (t <= k[i].time)
        return k[i].value;
    if (t >= k[i + 1].time)
        return k[i + 1].value;
    const double span = k[i + 1].time - k[i].time;
    const double u = (t - k[i].time) / span;
    switch (k[i + 1].span) {
        case LwsStepped:
            return k[i].value;
        case LwsTcb:
        case LwsHermite:
        case LwsBezier1D: {
            const double u2 = u * u, u3 = u2 * u;
            return (2 * u3 - 3 * u2 + 1) * k[i].value + (-2 * u3 + 3 * u2) * k[i + 1].value +
                   (u3 - 2 * u2 + u) * outgoing(k, i) + (u3 - u2) * incoming(k, i);
        }
        case LwsBezier2D:
            return bezier2D(k, i, t);
        default:
            return k[i].value + u * (k[i + 1].value - k[i].value);
    }
}

double outside(const LwsEnvelope& envelope, double t) {
    const Keys& k = envelope.keys;
    const bool before = t < k.front().time;
    const int behaviour = before ? envelope.pre : envelope.post;
    const double t0 = k.front().time, tn = k.back().time, width = tn - t0;
    const bool repeats =
        behaviour == LwsRepeat || behaviour == LwsOscillate || behaviour == LwsOffsetRepeat;
    if (behaviour == LwsReset)
        return 0;
    if (behaviour == LwsLinearEnd) {
        if (before)
            return k.front().value + outgoing(k, 0) / (k[1].time - t0) * (t - t0);
        const std::size_t last = k.size() - 2;
        return k.back().value + incoming(k, last) / (tn - k[last].time) * (t - tn);
    }
    if (!repeats || !(width > 0))
        return before ? k.front().value : k.back().value;
    const double copy = std::floor((t - t0) / width);
    double local = std::clamp(t - copy * width, t0, tn);
    if (behaviour == LwsOscillate && std::fmod(copy, 2.0) != 0)
        local = t0 + tn - local;
    const double offset =
        behaviour == LwsOffsetRepeat ? copy * (k.back().value - k.front().value) : 0.0;
    return inside(k, local) + offset;
}

bool knownSpan(int span) {
    return span >= LwsTcb && span <= LwsBezier2D;
}

bool knownBehaviour(int behaviour) {
    return behaviour >= LwsReset && behaviour <= LwsLinearEnd;
}

}  // namespace

LwsEnvelope constantEnvelope(double value) {
    LwsEnvelope envelope;
    envelope.keys.push_back(LwsKey{});
    envelope.keys.back().value = value;
    return envelope;
}

void tidyEnvelope(LwsEnvelope& envelope) {
    Keys& k = envelope.keys;
    k.erase(std::remove_if(k.begin(), k.end(),
                           [](const LwsKey& key) {
                               return !std::isfinite(key.time) || !std::isfinite(key.value);
                           }),
            k.end());
    const auto byTime = [](const LwsKey& a, const LwsKey& b) { return a.time < b.time; };
    if (!std::is_sorted(k.begin(), k.end(), byTime))
        std::stable_sort(k.begin(), k.end(), byTime);
    // Of keys at one time the last written stands: walk back to front, keep the first seen.
    std::size_t kept = k.size();
    for (std::size_t i = k.size(); i-- > 0;) {
        if (kept < k.size() && k[kept].time == k[i].time)
            continue;
        k[--kept] = k[i];
    }
    k.erase(k.begin(), k.begin() + static_cast<std::ptrdiff_t>(kept));
    for (LwsKey& key : k) {
        if (!knownSpan(key.span))
            key.span = LwsLinear;
        for (double& p : key.p)
            if (!std::isfinite(p))
                p = 0;
    }
    if (!knownBehaviour(envelope.pre))
        envelope.pre = LwsConstant;
    if (!knownBehaviour(envelope.post))
        envelope.post = LwsConstant;
}

double evaluateEnvelope(const LwsEnvelope& envelope, double seconds) {
    const Keys& k = envelope.keys;
    if (k.empty())
        return 0;
    if (k.size() == 1)
        return std::isfinite(k[0].value) ? k[0].value : 0;
    const double t = std::isfinite(seconds) ? seconds : k.front().time;
    const double value =
        t < k.front().time || t > k.back().time ? outside(envelope, t) : inside(k, t);
    return std::isfinite(value) ? value : 0;
}

}  // namespace bm
