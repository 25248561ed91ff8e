// LwsMotion.h - where a scene's items are at a time: channel values, local and world matrices in
// LightWave's own (left-handed) axes, the camera's field of view, and the right-handed mirror.
#pragma once

#include "LwsReader.h"

#include <vector>

namespace bm {

// Row-major: m[row][column]; acts on column vectors, p' = M p, so A * B applies B first.
struct LwsMatrix {
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};

LwsMatrix operator*(const LwsMatrix& a, const LwsMatrix& b);

// An item's transform at one time, as the nine channels and the pivot give it.
struct LwsPose {
    double position[3] = {0, 0, 0};  // where the pivot lands, in the parent's coordinates
    double rotation[3] = {0, 0, 0};  // heading, pitch, bank in radians
    double scale[3] = {1, 1, 1};
    double pivot[3] = {0, 0, 0};          // PivotPosition, or the item's default pivot
    double pivotRotation[3] = {0, 0, 0};  // heading, pitch, bank in radians
};

// The seconds of a frame: frame / FramesPerSecond; fractional frames are fine.
double lwsSeconds(const LwsScene& scene, double frame);

// The channels at a time; values beyond +-1e12 are held there so that products stay finite, and
// a channel without keys gives 0 (scale 1). Cameras are never scaled.
LwsPose poseAt(const LwsItem& item, double seconds);

// T(position) Ry(heading) Rx(pitch) Rz(bank) R(pivot rotation) S(scale) T(-pivot).
LwsMatrix localMatrix(const LwsPose& pose);
LwsMatrix localMatrix(const LwsItem& item, double seconds);

// Every item's world matrix at a frame, World(parent) * Local, in the order of scene.items. A
// product too large to be finite gives the parent's world matrix instead.
std::vector<LwsMatrix> worldMatrices(const LwsScene& scene, double frame);

// A camera's vertical field of view in radians at a time, 2 atan(1 / ZoomFactor); a zoom that
// is not above 0 counts as 3.2.
double verticalFieldOfView(const LwsItem& camera, double seconds);

// S M S with S = diag(1, 1, -1, 1): the same transform for a right-handed consumer (OpenGL) that
// mirrors z of every point.
LwsMatrix rightHanded(const LwsMatrix& matrix);

}  // namespace bm
