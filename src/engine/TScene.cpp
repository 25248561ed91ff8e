// TScene.cpp - a LightWave scene as entities, lights and a camera, placed at any time.
#include "TScene.h"

#include "BrackmoorEngine.h"
#include "BrackmoorTransform.h"
#include "LwsMotion.h"
#include "TEntityLwoImages.h"
#include "TSceneFiles.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <map>
#include <utility>

namespace {

constexpr short switchOn = 1;
constexpr short switchOff = -1;
constexpr double degreesPerRadian = 180.0 / 3.14159265358979323846;
constexpr int extentSamples = 9;        // frames, first to last, the scene's sphere is measured at
constexpr double depthRange = 1000.0;   // far over near when the camera gives no near clip
constexpr GLfloat nearInverse = 0.01f;  // keeps an inverse fall-off finite at the light itself

bool hasAnimation(const bm::LwsItem& item) {
    return std::any_of(item.channels.begin(), item.channels.end(),
                       [](const bm::LwsEnvelope& e) { return e.keys.size() > 1; });
}

// The box about a layer's finite points, low x y z then high x y z; empty for none.
std::vector<float> boxOf(const std::vector<VertexData>& points) {
    std::vector<float> box;
    for (const VertexData& p : points) {
        const float xyz[3] = {p.X, p.Y, p.Z};
        if (!std::isfinite(xyz[0]) || !std::isfinite(xyz[1]) || !std::isfinite(xyz[2]))
            continue;
        if (box.empty())
            box = {xyz[0], xyz[1], xyz[2], xyz[0], xyz[1], xyz[2]};
        for (int k = 0; k < 3; ++k) {
            box[k] = std::min(box[k], xyz[k]);
            box[k + 3] = std::max(box[k + 3], xyz[k]);
        }
    }
    return box;
}

bool turnsItsPivot(const bm::LwsItem& item) {
    return item.pivotRotation[0] != 0 || item.pivotRotation[1] != 0 || item.pivotRotation[2] != 0;
}

// The heading, pitch and bank of Ry(h) Rx(p) Rz(b) = the keyed turn times the pivot's turn, so
// that one entity turn stands for both. When pitch is a right angle, heading takes it all.
void turnWithPivot(bm::LwsPose& pose) {
    bm::LwsPose turns;
    std::copy(pose.rotation, pose.rotation + 3, turns.rotation);
    std::copy(pose.pivotRotation, pose.pivotRotation + 3, turns.pivotRotation);
    const bm::LwsMatrix r = bm::localMatrix(turns);
    const double sinPitch = std::clamp(-r.m[1][2], -1.0, 1.0);
    pose.rotation[1] = std::asin(sinPitch);
    if (std::fabs(sinPitch) < 1 - 1e-12) {
        pose.rotation[0] = std::atan2(r.m[0][2], r.m[2][2]);
        pose.rotation[2] = std::atan2(r.m[1][0], r.m[1][1]);
    } else {
        pose.rotation[0] = std::atan2(-r.m[2][0], r.m[0][0]);
        pose.rotation[2] = 0;
    }
}

// Grows low and high to hold the box's corners placed by m.
void holdCorners(const bm::LwsMatrix& m, const std::vector<float>& box, double low[3],
                 double high[3]) {
    for (int corner = 0; corner < 8; ++corner) {
        const double p[3] = {box[(corner & 1) ? 3 : 0], box[(corner & 2) ? 4 : 1],
                             box[(corner & 4) ? 5 : 2]};
        for (int r = 0; r < 3; ++r) {
            const double v = m.m[r][0] * p[0] + m.m[r][1] * p[1] + m.m[r][2] * p[2] + m.m[r][3];
            low[r] = std::min(low[r], v);
            high[r] = std::max(high[r], v);
        }
    }
}

}  // namespace

bool TSceneClass::LoadScene(const std::string& filename, std::int32_t flags) {
    bm::SceneSummary unused;
    return LoadScene(filename, flags, unused);
}

bool TSceneClass::LoadScene(const std::string& filename, std::int32_t flags,
                            bm::SceneSummary& summary) {
    summary = bm::SceneSummary{};
    ClearScene();
    Flags = flags;
    rightHanded = (flags & BrackmoorLwoRightHanded) != 0;
    bm::SceneFiles files = bm::readSceneFiles(filename, flags);
    if (!files.opened || files.scene.status != bm::LwsRead)
        return false;
    summary.read = true;
    loaded = true;
    std::copy(Brackmoor.global_ambient, Brackmoor.global_ambient + 3, ambientBefore);
    worldViewBefore = Brackmoor.firstCamera.worldView;
    scene = std::move(files.scene);
    makeEntities(files, summary);
    const std::size_t count = scene.items.size();
    for (std::size_t i = 0; i < count; ++i) {
        const int parent = scene.items[i].parent;
        if (parent >= 0 && static_cast<std::size_t>(parent) < count)
            Entity[i].parentID = Entity[static_cast<std::size_t>(parent)].ID;
    }
    const double* ambient = scene.ambientColour;
    const double strength = scene.ambientIntensity;
    Brackmoor.AmbientLight(static_cast<GLfloat>(ambient[0] * strength),
                           static_cast<GLfloat>(ambient[1] * strength),
                           static_cast<GLfloat>(ambient[2] * strength));
    facing.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const int type = scene.items[i].type;
        if (type == bm::LwsLight || (type == bm::LwsCamera && cameraItem < 0)) {
            makeFacing(i);
            const TEntityClass* eye = rightHanded ? &Entity[i] : &facing[i];
            if (type == bm::LwsLight)
                makeLight(i);
            else {
                cameraItem = static_cast<std::int32_t>(i);
                Brackmoor.firstCamera.CameraEntity(eye);
            }
        }
        summary.objects += type == bm::LwsObject && !scene.items[i].null ? 1 : 0;
        summary.nulls += type == bm::LwsObject && scene.items[i].null ? 1 : 0;
        summary.lights += type == bm::LwsLight ? 1 : 0;
        summary.cameras += type == bm::LwsCamera ? 1 : 0;
    }
    Brackmoor.firstCamera.worldView = switchOn;
    measureScene();
    SceneFrame(scene.firstFrame);
    return true;
}

void TSceneClass::ClearScene() {
    for (std::vector<TEntityClass>* list : {&Entity, &facing})
        for (TEntityClass& e : *list) {
            e.hidden = switchOn;
            e.updateRegistry();
        }
    for (std::int32_t n : Light)
        if (n >= 0)
            Brackmoor.EnableLight(n, switchOff);
    if (cameraItem >= 0)
        Brackmoor.firstCamera.CameraEntity(nullptr);
    if (loaded) {
        Brackmoor.AmbientLight(ambientBefore[0], ambientBefore[1], ambientBefore[2]);
        Brackmoor.firstCamera.worldView = worldViewBefore;
    }
    loaded = false;
    scene = bm::LwsScene{};
    Entity.clear();
    facing.clear();
    Light.clear();
    animated.clear();
    boxes.clear();
    cameraItem = -1;
    posed = false;
}

// Each (file, layer) is converted once; further items showing it share its surfaces.
void TSceneClass::makeEntities(const bm::SceneFiles& files, bm::SceneSummary& summary) {
    const std::size_t count = scene.items.size();
    Entity.assign(count, TEntityClass{});
    Light.assign(count, -1);
    boxes.assign(count, {});
    animated.assign(count, 0);
    std::map<std::pair<std::int32_t, std::size_t>, std::size_t> made;  // by file and layer
    std::map<std::pair<std::int32_t, std::size_t>, std::size_t> triangles;
    bm::ImageCache images;
    const GLfloat mirror = rightHanded ? -1.0f : 1.0f;
    for (std::size_t i = 0; i < count; ++i) {
        const bm::LwsItem& item = scene.items[i];
        TEntityClass& e = Entity[i];
        animated[i] = hasAnimation(item) ? 1 : 0;
        summary.missing += files.state[i] >= bm::SceneObjectMissing ? 1 : 0;
        const auto key = std::make_pair(files.fileOf[i], files.layerOf[i]);
        const auto before = made.find(key);
        if (files.state[i] != bm::SceneObjectLoaded) {
            e.CreateEntity();
            e.hidden = switchOn;  // nothing to draw
        } else if (before != made.end()) {
            const TEntityClass& first = Entity[before->second];
            e.CreateEntity();
            e.Surface = first.Surface;
            e.surfaceCount = first.surfaceCount;
            boxes[i] = boxes[before->second];
            summary.triangles += triangles[key];
        } else {
            const bm::Lwo2Data layer = bm::sceneLayer(files, i);
            bm::LwoSummary loaded;
            bm::convertLwo(e, layer, files.paths[static_cast<std::size_t>(key.first)], Flags,
                           loaded, &images);
            made.emplace(key, i);
            triangles[key] = loaded.triangles;
            boxes[i] = boxOf(layer.Vertices);
            summary.triangles += loaded.triangles;
        }
        const double* pivot = item.hasPivot ? item.pivot : item.defaultPivot;
        e.pivotX = static_cast<GLfloat>(pivot[0]);
        e.pivotY = static_cast<GLfloat>(pivot[1]);
        e.pivotZ = mirror * static_cast<GLfloat>(pivot[2]);
        e.headingPitchBank = switchOn;
    }
    summary.objectFiles = files.files.size();
    for (const auto& image : images.byPath)
        summary.images += image.second.failure.empty() ? 1 : 0;
}

// With LightWave's numbers as they are, an item's forward is its +Z, but lights and cameras face
// their -Z: a hidden child at the item's pivot, turned half round, faces the way the item does.
void TSceneClass::makeFacing(std::size_t item) {
    if (rightHanded)
        return;
    TEntityClass& eye = facing[item];
    const TEntityClass& on = Entity[item];
    eye.CreateEntity();
    eye.hidden = switchOn;
    eye.parentID = on.ID;
    eye.EntityPivot(0, 0, 0);
    eye.PositionEntity(on.pivotX, on.pivotY, on.pivotZ);
    eye.RotateEntityHPB(180, 0, 0);
}

void TSceneClass::makeLight(std::size_t item) {
    const bm::LwsLightData& light = scene.items[item].light;
    const std::int32_t n = Brackmoor.CreateLight();
    Light[item] = n;
    // Linear and area lights shine from their middle as a point light does.
    const std::int32_t type = light.type == 0   ? BrackmoorLightDistant
                              : light.type == 2 ? BrackmoorLightSpot
                                                : BrackmoorLightPoint;
    Brackmoor.LightType(n, type);
    if (type == BrackmoorLightSpot)
        Brackmoor.LightCone(n, static_cast<GLfloat>(std::min(light.coneAngle, 90.0)));
    // Fall-off by distance d over the range r: linear 1 - d/r, nearest as 1 / (1 + d/r); inverse
    // r/d; inverse square (r/d) squared.
    const double r = light.range;
    if (type != BrackmoorLightDistant && r > 0 && std::isfinite(1 / r)) {
        const auto inverse = static_cast<GLfloat>(1 / r);
        if (light.falloff == 1)
            Brackmoor.LightAttenuation(n, 1, inverse, 0);
        else if (light.falloff == 2)
            Brackmoor.LightAttenuation(n, nearInverse, inverse, 0);
        else if (light.falloff == 3)
            Brackmoor.LightAttenuation(n, nearInverse, 0, inverse * inverse);
    }
    Brackmoor.LightEntity(n, rightHanded ? &Entity[item] : &facing[item]);
}

void TSceneClass::measureScene() {
    double low[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, high[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    const double first = scene.firstFrame, last = std::max(scene.lastFrame, scene.firstFrame);
    for (int k = 0; k < extentSamples; ++k) {
        const double at = first + (last - first) * k / (extentSamples - 1);
        const std::vector<bm::LwsMatrix> world = bm::worldMatrices(scene, at);
        for (std::size_t i = 0; i < boxes.size(); ++i)
            if (!boxes[i].empty())
                holdCorners(world[i], boxes[i], low, high);
    }
    if (!(low[0] <= high[0])) {
        std::fill(sceneCentre, sceneCentre + 3, 0.0f);
        sceneRadius = 1;
        return;
    }
    double radius = 0;
    for (int k = 0; k < 3; ++k) {
        sceneCentre[k] = static_cast<GLfloat>((low[k] + high[k]) / 2);
        radius += (high[k] - low[k]) * (high[k] - low[k]) / 4;
    }
    if (rightHanded)
        sceneCentre[2] = -sceneCentre[2];
    sceneRadius = static_cast<GLfloat>(std::max(std::sqrt(radius), 1e-3));
}

void TSceneClass::SceneFrame(double at) {
    frame = at;
    const double seconds = bm::lwsSeconds(scene, at);
    for (std::size_t i = 0; i < scene.items.size(); ++i) {
        if (!posed || animated[i])
            placeItem(i, seconds);
        const std::int32_t n = Light[i];
        const bm::LwsLightData& light = scene.items[i].light;
        if (n < 0 || (posed && light.intensity.keys.size() <= 1))
            continue;
        const double intensity = bm::evaluateEnvelope(light.intensity, seconds);
        Brackmoor.LightColour(n, static_cast<GLfloat>(light.colour[0] * intensity),
                              static_cast<GLfloat>(light.colour[1] * intensity),
                              static_cast<GLfloat>(light.colour[2] * intensity));
    }
    posed = true;
    fitCamera(seconds);
}

// The fields are set and the entity registered once, rather than once per setter.
void TSceneClass::placeItem(std::size_t item, double seconds) {
    bm::LwsPose pose = bm::poseAt(scene.items[item], seconds);
    if (turnsItsPivot(scene.items[item]))
        turnWithPivot(pose);
    const GLfloat mirror = rightHanded ? -1.0f : 1.0f;
    TEntityClass& e = Entity[item];
    e.X = static_cast<GLfloat>(pose.position[0]);
    e.Y = static_cast<GLfloat>(pose.position[1]);
    e.Z = mirror * static_cast<GLfloat>(pose.position[2]);
    e.Yr = mirror * static_cast<GLfloat>(pose.rotation[0] * degreesPerRadian);
    e.Xr = mirror * static_cast<GLfloat>(pose.rotation[1] * degreesPerRadian);
    e.Zr = static_cast<GLfloat>(pose.rotation[2] * degreesPerRadian);
    e.scaleX = static_cast<GLfloat>(pose.scale[0]);
    e.scaleY = static_cast<GLfloat>(pose.scale[1]);
    e.scaleZ = static_cast<GLfloat>(pose.scale[2]);
    e.updateRegistry();
}

// The clipping range holds the scene's sphere as the camera stands now; its near end, when the
// file gives none, as far out as the sphere allows.
void TSceneClass::fitCamera(double seconds) {
    if (cameraItem < 0)
        return;
    const bm::LwsItem& item = scene.items[static_cast<std::size_t>(cameraItem)];
    TCamera& camera = Brackmoor.firstCamera;
    camera.FieldOfView =
        static_cast<GLfloat>(bm::verticalFieldOfView(item, seconds) * degreesPerRadian);
    GLfloat m[16];
    bm::entityPivotMatrix(camera.throughEntity, m);
    const double distance =
        std::hypot(m[12] - sceneCentre[0], m[13] - sceneCentre[1], m[14] - sceneCentre[2]);
    double far = (distance + sceneRadius) * 1.01;
    if (!std::isfinite(far) || far <= 0)
        far = depthRange;  // a camera or a scene too far out to measure
    const double nearest = std::max(distance - sceneRadius, far / depthRange) * 0.9;
    const double near = item.camera.nearClip > 0 && std::isfinite(item.camera.nearClip)
                            ? item.camera.nearClip
                            : nearest;
    camera.SetCameraRange(static_cast<GLfloat>(near),
                          static_cast<GLfloat>(std::max(far, near * 2)));
    camera.UpdateCamera();
}
