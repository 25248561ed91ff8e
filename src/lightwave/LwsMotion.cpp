// LwsMotion.cpp - matrices of a scene's items from their channels, pivots and parents.
#include "LwsMotion.h"

#include <algorithm>
#include <cmath>

namespace bm {

namespace {

constexpr double largest = 1e12;
constexpr double defaultZoom = 3.2;

double held(double value) {
    return std::clamp(value, -largest, largest);
}

// A channel without keys, as an item not made by the reader may have, keeps its rest value.
double channelAt(const LwsItem& item, int channel, double seconds, double rest) {
    const LwsEnvelope& envelope = item.channels[channel];
    return envelope.keys.empty() ? rest : held(evaluateEnvelope(envelope, seconds));
}

LwsMatrix translation(double x, double y, double z) {
    LwsMatrix t;
    t.m[0][3] = x;
    t.m[1][3] = y;
    t.m[2][3] = z;
    return t;
}

// Heading about +Y, pitch about +X, bank about +Z, applied bank first.
LwsMatrix rotation(const double hpb[3]) {
    const double ch = std::cos(hpb[0]), sh = std::sin(hpb[0]);
    const double cp = std::cos(hpb[1]), sp = std::sin(hpb[1]);
    const double cb = std::cos(hpb[2]), sb = std::sin(hpb[2]);
    LwsMatrix y, x, z;
    y.m[0][0] = ch, y.m[0][2] = sh, y.m[2][0] = -sh, y.m[2][2] = ch;
    x.m[1][1] = cp, x.m[1][2] = -sp, x.m[2][1] = sp, x.m[2][2] = cp;
    z.m[0][0] = cb, z.m[0][1] = -sb, z.m[1][0] = sb, z.m[1][1] = cb;
    return y * x * z;
}

bool finite(const LwsMatrix& matrix) {
    for (const auto& row : matrix.m)
        for (double value : row)
            if (!std::isfinite(value))
                return false;
    return true;
}

}  // namespace

LwsMatrix operator*(const LwsMatrix& a, const LwsMatrix& b) {
    LwsMatrix product;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a.m[r][k] * b.m[k][c];
            product.m[r][c] = sum;
        }
    return product;
}

double lwsSeconds(const LwsScene& scene, double frame) {
    const double fps = scene.framesPerSecond > 0 ? scene.framesPerSecond : 30;
    return frame / fps;
}

LwsPose poseAt(const LwsItem& item, double seconds) {
    LwsPose pose;
    for (int i = 0; i < 3; ++i) {
        pose.position[i] = channelAt(item, LwsX + i, seconds, 0);
        pose.rotation[i] = channelAt(item, LwsHeading + i, seconds, 0);
        pose.scale[i] = item.type == LwsCamera ? 1.0 : channelAt(item, LwsScaleX + i, seconds, 1);
        const double pivot = item.hasPivot ? item.pivot[i] : item.defaultPivot[i];
        pose.pivot[i] = std::isfinite(pivot) ? held(pivot) : 0.0;
        const double turn = item.pivotRotation[i];
        pose.pivotRotation[i] = std::isfinite(turn) ? held(turn) : 0.0;
    }
    return pose;
}

LwsMatrix localMatrix(const LwsPose& pose) {
    LwsMatrix scale;
    for (int i = 0; i < 3; ++i)
        scale.m[i][i] = pose.scale[i];
    return translation(pose.position[0], pose.position[1], pose.position[2]) *
           rotation(pose.rotation) * rotation(pose.pivotRotation) * scale *
           translation(-pose.pivot[0], -pose.pivot[1], -pose.pivot[2]);
}

LwsMatrix localMatrix(const LwsItem& item, double seconds) {
    return localMatrix(poseAt(item, seconds));
}

std::vector<LwsMatrix> worldMatrices(const LwsScene& scene, double frame) {
    const double seconds = lwsSeconds(scene, frame);
    const std::size_t count = scene.items.size();
    std::vector<LwsMatrix> world(count);
    std::vector<char> done(count, 0);
    std::vector<std::size_t> chain;
    for (std::size_t start = 0; start < count; ++start) {
        // Up to the first ancestor already placed, then down again; each item is placed once.
        chain.clear();
        for (std::size_t i = start; !done[i];) {
            chain.push_back(i);
            const int parent = scene.items[i].parent;
            if (parent < 0 || static_cast<std::size_t>(parent) >= count || chain.size() > count)
                break;
            i = static_cast<std::size_t>(parent);
        }
        for (auto i = chain.rbegin(); i != chain.rend(); ++i) {
            if (done[*i])
                continue;
            const LwsItem& item = scene.items[*i];
            const LwsMatrix local = localMatrix(item, seconds);
            const bool rooted = item.parent >= 0 && static_cast<std::size_t>(item.parent) < count &&
                                done[item.parent];
            world[*i] = rooted ? world[item.parent] * local : local;
            if (!finite(world[*i]))
                world[*i] = rooted ? world[item.parent] : LwsMatrix{};
            done[*i] = 1;
        }
    }
    return world;
}

double verticalFieldOfView(const LwsItem& camera, double seconds) {
    double zoom = evaluateEnvelope(camera.camera.zoom, seconds);
    if (!(zoom > 0))
        zoom = defaultZoom;
    return 2 * std::atan(1 / zoom);
}

LwsMatrix rightHanded(const LwsMatrix& matrix) {
    LwsMatrix mirrored = matrix;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if ((r == 2) != (c == 2))
                mirrored.m[r][c] = -mirrored.m[r][c];
    return mirrored;
}

}  // namespace bm
