// Lwo2Appearance.cpp - each polygon's surface, and the colour, texture coordinates and normal of
// every corner.
#include "Lwo2Appearance.h"

#include "Lwo2Geometry.h"
#include "Lwo2Projection.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace bm {

namespace {

const SurfaceData defaultSurface{};

// LightWave names the surface of polygons that have none "Default".
const char* const untaggedSurface = "Default";

// Smoothing takes in polygons whose normals lie within the angle, give or take rounding.
constexpr double angleSlack = 1e-6;

const SurfaceData* surfaceNamed(const Lwo2Data& lwo, const std::string& name) {
    for (const SurfaceData& s : lwo.Surfaces)
        if (s.name == name)
            return &s;
    return nullptr;
}

bool isColourMap(const VertexMap& map) {
    return std::memcmp(map.type, "RGB ", 4) == 0 || std::memcmp(map.type, "RGBA", 4) == 0;
}

bool isUVMap(const VertexMap& map) {
    return std::memcmp(map.type, "TXUV", 4) == 0;
}

// The first map of the kind with this name, or the first of the kind when the name is empty.
template <typename Kind>
const VertexMap* findMap(const Lwo2Data& lwo, Kind isKind, const std::string& name) {
    for (const VertexMap& map : lwo.Maps)
        if (isKind(map) && (name.empty() || map.name == name))
            return &map;
    return nullptr;
}

const Clip* clipNumbered(const Lwo2Data& lwo, std::uint32_t index) {
    for (const Clip& clip : lwo.Clips)
        if (clip.index == index)
            return &clip;
    return nullptr;
}

ReportWriter& lookProblem(ReportWriter& out, const SurfaceLook& look) {
    return out.problem().text("surface \"").text(look.name).text("\": ");
}

// The image's file name, from its clip or from the block itself; empty when there is none.
// Clip 0 names no image only when the model holds no clip of that number.
std::string imageFileOf(const ImageBlock& block, const SurfaceLook& look, const Lwo2Data& lwo,
                        ReportWriter& out) {
    if (block.clip == 0 && clipNumbered(lwo, 0) == nullptr) {
        if (block.imageFile.empty())
            lookProblem(out, look)
                .text("its image has no file name; drawn in its colour")
                .endLine();
        return block.imageFile;
    }
    const Clip* clip = clipNumbered(lwo, block.clip);
    if (clip == nullptr || clip->file.empty()) {
        lookProblem(out, look).text("its image names clip ").number(block.clip);
        out.text(clip == nullptr ? ", which the model does not hold" : ", which is no still image");
        out.text("; drawn in its colour").endLine();
        return std::string();
    }
    return clip->file;
}

void chooseImage(SurfaceLook& look, const ImageBlock& block, const Lwo2Data& lwo,
                 ReportWriter& out) {
    if (block.projection == frontProjection) {
        lookProblem(out, look).text("its image is laid on by front projection, which needs the ");
        out.text("camera; drawn in its colour").endLine();
        return;
    }
    if (block.projection != uvProjection && !isProjected(block)) {
        lookProblem(out, look).text("its image has the unknown projection ");
        out.number(block.projection).text("; drawn in its colour").endLine();
        return;
    }
    const VertexMap* uvMap =
        block.projection == uvProjection ? findMap(lwo, isUVMap, block.uvMap) : nullptr;
    if (block.projection == uvProjection && uvMap == nullptr) {
        lookProblem(out, look).text("the model holds no UV map");
        if (!block.uvMap.empty())
            out.text(" \"").text(block.uvMap).text("\"");
        out.text(" for its image; drawn in its colour").endLine();
        return;
    }
    std::string file = imageFileOf(block, look, lwo, out);
    if (file.empty())
        return;
    look.image = &block;
    look.uvMap = uvMap;
    look.imageFile = std::move(file);
}

void findSurfaceParts(SurfaceLook& look, const Lwo2Data& lwo, ReportWriter& out) {
    const SurfaceData& s = look.surface ? *look.surface : defaultSurface;
    if (!s.vertexColourMap.empty()) {
        look.vertexColours = findMap(lwo, isColourMap, s.vertexColourMap);
        if (look.vertexColours == nullptr)
            lookProblem(out, look)
                .text("the model holds no vertex colour map \"")
                .text(s.vertexColourMap)
                .text("\"; passed over")
                .endLine();
    }
    if (!s.images.empty())
        chooseImage(look, s.images.front(), lwo, out);
}

}  // namespace

ModelLooks findLooks(const Lwo2Data& lwo, ReportWriter& out, bool withColours) {
    ModelLooks model;
    model.lookOfPolygon.assign(lwo.Faces.size(), -1);
    std::unordered_map<std::string, std::int32_t> lookNamed;
    // Per tag, and last for polygons without one: the look, or -1 before it is first used.
    std::vector<std::int32_t> lookOfTag(lwo.Tags.size() + 1, -1);
    std::size_t strayTags = 0;
    for (std::size_t i = 0; i < lwo.Faces.size(); ++i) {
        const FaceData& face = lwo.Faces[i];
        if (!drawable(face, lwo))
            continue;
        std::size_t slot = lwo.Tags.size();
        if (face.SurfaceTag >= 0 && static_cast<std::size_t>(face.SurfaceTag) < lwo.Tags.size())
            slot = static_cast<std::size_t>(face.SurfaceTag);
        else if (face.SurfaceTag >= 0)
            ++strayTags;
        if (lookOfTag[slot] < 0) {
            const std::string name = slot < lwo.Tags.size() ? lwo.Tags[slot].name : untaggedSurface;
            const auto found =
                lookNamed.emplace(name, static_cast<std::int32_t>(model.looks.size()));
            if (found.second) {
                model.looks.emplace_back();
                model.looks.back().name = name;
            }
            lookOfTag[slot] = found.first->second;
        }
        model.lookOfPolygon[i] = lookOfTag[slot];
    }
    if (strayTags != 0) {
        out.problem().number(static_cast<std::int64_t>(strayTags));
        out.text(" polygons name surface tags beyond the ").number(std::int64_t(lwo.Tags.size()));
        out.text(" read; they are drawn with the surface \"Default\"").endLine();
    }
    for (SurfaceLook& look : model.looks) {
        look.surface = surfaceNamed(lwo, look.name);
        if (withColours)
            findSurfaceParts(look, lwo, out);
    }
    return model;
}

MapReader::MapReader(const VertexMap* vertexMap) : map(vertexMap) {
    if (map == nullptr)
        return;
    corners.reserve(map->corners.size());
    for (const VertexMap::Corner& c : map->corners)
        corners.emplace((std::uint64_t(c.polygon) << 32) | c.point, c.value);
}

const float* MapReader::at(std::size_t polygon, std::int32_t point) const {
    if (map == nullptr || point < 0)
        return nullptr;
    if (!corners.empty()) {
        const auto found = corners.find((std::uint64_t(polygon) << 32) | std::uint32_t(point));
        if (found != corners.end())
            return found->second;
    }
    const std::size_t p = static_cast<std::size_t>(point);
    return p < map->has.size() && map->has[p] ? map->values.data() + p * map->dimension : nullptr;
}

namespace {

// A level between 0 and 1; what is not a number at all takes the default.
float level(float value, float otherwise) {
    return std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : otherwise;
}

// Luminosity may pass 1; below 0, or not a number at all, it is none.
float luminosityOf(const SurfaceData& s) {
    return std::isfinite(s.luminosity) ? std::max(s.luminosity, 0.0f) : 0.0f;
}

const SurfaceData& surfaceOf(const SurfaceLook& look) {
    return look.surface ? *look.surface : defaultSurface;
}

void lookColour(const SurfaceLook& look, float* rgba) {
    const SurfaceData& s = surfaceOf(look);
    // In full light a surface shows its colour times diffuse plus luminosity, and never more
    // than the colour itself; without luminosity that is the diffuse level alone.
    const float shown = std::min(1.0f, level(s.diffuse, 1.0f) + luminosityOf(s));
    for (int c = 0; c < 3; ++c)
        rgba[c] = (look.textured ? 1.0f : level(s.colour[c], defaultSurface.colour[c])) * shown;
    rgba[3] = 1.0f - level(s.transparency, 0.0f);
}

}  // namespace

bool showsFullBright(const SurfaceLook& look) {
    const SurfaceData& s = surfaceOf(look);
    const float glow = luminosityOf(s);
    // Of the full-light colour, min(1, diffuse + glow), the lights' share is the diffuse level
    // or what the glow leaves below 1, whichever is less; the glow must outweigh it.
    return glow > level(s.diffuse, 1.0f) || glow > 0.5f;
}

CornerValues::CornerValues(const Lwo2Data& model, const ModelLooks& modelLooks, bool normals)
    : lwo(model), looks(modelLooks), withNormals(normals) {
    baseColour.resize(4 * looks.looks.size());
    for (std::size_t i = 0; i < looks.looks.size(); ++i) {
        const SurfaceLook& look = looks.looks[i];
        lookColour(look, baseColour.data() + 4 * i);
        colourMaps.emplace_back(look.vertexColours);
        uvMaps.emplace_back(look.uvMap);
        layerUvs.push_back(look.image == nullptr ? 1 : 0);
    }
    for (const VertexMap& map : lwo.Maps)
        for (const std::size_t layer : map.firstInLayers)
            firstUvMaps.emplace_back(layer, MapReader(&map));
    std::sort(firstUvMaps.begin(), firstUvMaps.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    if (!withNormals)
        return;
    normalMap = MapReader(findMap(
        lwo, [](const VertexMap& m) { return std::memcmp(m.type, "NORM", 4) == 0; }, ""));
    faceNormals.assign(3 * lwo.Faces.size(), 0.0f);
    for (std::size_t i = 0; i < lwo.Faces.size(); ++i) {
        const FaceData& face = lwo.Faces[i];
        if (!drawable(face, lwo))
            continue;
        const Vec3 n =
            unit(polygonNormal(lwo.Corners.data() + face.FirstCorner,
                               static_cast<std::size_t>(face.VertexCount), lwo.Vertices));
        faceNormals[3 * i] = static_cast<float>(n.x);
        faceNormals[3 * i + 1] = static_cast<float>(n.y);
        faceNormals[3 * i + 2] = static_cast<float>(n.z);
    }
    linkPointsToPolygons();
}

// For every point, the drawn polygons that use it, each once.
void CornerValues::linkPointsToPolygons() {
    firstUse.assign(lwo.Vertices.size() + 1, 0);
    const auto eachUse = [this](auto&& use) {
        for (std::size_t i = 0; i < lwo.Faces.size(); ++i) {
            if (looks.lookOfPolygon[i] < 0)
                continue;
            const FaceData& face = lwo.Faces[i];
            const std::int32_t* points = lwo.Corners.data() + face.FirstCorner;
            for (std::int32_t k = 0; k < face.VertexCount; ++k)
                if (std::find(points, points + k, points[k]) == points + k)
                    use(static_cast<std::size_t>(points[k]), i);
        }
    };
    eachUse([this](std::size_t point, std::size_t) { ++firstUse[point + 1]; });
    for (std::size_t p = 0; p < lwo.Vertices.size(); ++p)
        firstUse[p + 1] += firstUse[p];
    uses.resize(firstUse.back());
    std::vector<std::uint32_t> filled(firstUse.begin(), firstUse.end() - 1);
    eachUse([&](std::size_t point, std::size_t polygon) {
        uses[filled[point]++] = static_cast<std::uint32_t>(polygon);
    });
}

void CornerValues::compute(std::size_t polygon) {
    const FaceData& face = lwo.Faces[polygon];
    const std::int32_t* points = lwo.Corners.data() + face.FirstCorner;
    const std::size_t count = static_cast<std::size_t>(face.VertexCount);
    computeColours(polygon, points, count);
    computeUVs(polygon, points, count);
    if (withNormals)
        computeNormals(polygon, points, count);
}

void CornerValues::computeColours(std::size_t polygon, const std::int32_t* points,
                                  std::size_t count) {
    colours.resize(4 * count);
    const std::size_t look = static_cast<std::size_t>(std::max(0, looks.lookOfPolygon[polygon]));
    const SurfaceLook& surfaceLook = looks.looks[look];
    const float intensity = surfaceLook.surface ? surfaceLook.surface->vertexColourIntensity : 1.0f;
    for (std::size_t k = 0; k < count; ++k) {
        float* rgba = colours.data() + 4 * k;
        std::copy_n(baseColour.data() + 4 * look, 4, rgba);
        const float* v = colourMaps[look].at(polygon, points[k]);
        if (v == nullptr)
            continue;
        // Scaled by the intensity: none leaves the colour, full multiplies it by the map's.
        const std::uint32_t channels = surfaceLook.vertexColours->dimension;
        for (std::uint32_t c = 0; c < channels; ++c)
            rgba[c] *= 1.0f + intensity * (v[c] - 1.0f);
    }
}

void CornerValues::computeUVs(std::size_t polygon, const std::int32_t* points, std::size_t count) {
    uvs.assign(2 * count, 0.0f);
    const std::size_t look = static_cast<std::size_t>(std::max(0, looks.lookOfPolygon[polygon]));
    const SurfaceLook& surfaceLook = looks.looks[look];
    if (surfaceLook.image && isProjected(*surfaceLook.image)) {
        projectPolygon(*surfaceLook.image, lwo.Vertices, points, count, uvs.data());
        // The image's rows go to GL top row first, so v counts down from the top.
        for (std::size_t k = 0; k < count; ++k)
            uvs[2 * k + 1] = 1.0f - uvs[2 * k + 1];
        return;
    }
    for (std::size_t k = 0; k < count; ++k) {
        const float* v =
            layerUvs[look] ? layerUv(polygon, points[k]) : uvMaps[look].at(polygon, points[k]);
        // The image's rows go to GL top row first, so v counts down from the top.
        if (v != nullptr) {
            uvs[2 * k] = v[0];
            uvs[2 * k + 1] = 1.0f - v[1];
        }
    }
}

const float* CornerValues::layerUv(std::size_t polygon, std::int32_t point) const {
    const auto layer = std::upper_bound(
        firstUvMaps.begin(), firstUvMaps.end(), static_cast<std::size_t>(std::max(point, 0)),
        [](std::size_t p, const auto& entry) { return p < entry.first; });
    return layer == firstUvMaps.begin() ? nullptr : std::prev(layer)->second.at(polygon, point);
}

void CornerValues::computeNormals(std::size_t polygon, const std::int32_t* points,
                                  std::size_t count) {
    normals.resize(3 * count);
    for (std::size_t k = 0; k < count; ++k) {
        if (const float* given = normalMap.at(polygon, points[k]))
            std::copy_n(given, 3, normals.data() + 3 * k);
        else
            smoothedNormal(polygon, points[k], normals.data() + 3 * k);
    }
}

// The polygon's normal averaged with those of the polygons of its surface that share the point
// and turn from it by no more than the surface's smoothing angle.
void CornerValues::smoothedNormal(std::size_t polygon, std::int32_t point, float* out) const {
    const float* own = faceNormals.data() + 3 * polygon;
    const std::int32_t look = looks.lookOfPolygon[polygon];
    const SurfaceData* s =
        look >= 0 ? looks.looks[static_cast<std::size_t>(look)].surface : nullptr;
    const double angle = s ? s->smoothingAngle : 0.0;
    std::copy_n(own, 3, out);
    if (!(angle > 0.0))
        return;
    const double limit = std::cos(std::min(angle, M_PI)) - angleSlack;
    Vec3 sum{0, 0, 0};
    const std::size_t p = static_cast<std::size_t>(point);
    for (std::uint32_t i = firstUse[p]; i < firstUse[p + 1]; ++i) {
        const std::uint32_t other = uses[i];
        const float* n = faceNormals.data() + 3 * other;
        if (looks.lookOfPolygon[other] != look ||
            double(own[0]) * n[0] + double(own[1]) * n[1] + double(own[2]) * n[2] < limit)
            continue;
        sum = Vec3{sum.x + n[0], sum.y + n[1], sum.z + n[2]};
    }
    const Vec3 n = unit(sum);
    if (dot(n, n) == 0.0)
        return;
    out[0] = static_cast<float>(n.x);
    out[1] = static_cast<float>(n.y);
    out[2] = static_cast<float>(n.z);
}

}  // namespace bm
