// Lwo2Layers.cpp - picks one layer's points, polygons and vertex-map entries out of an object.
#include "Lwo2Layers.h"

#include <algorithm>

namespace bm {

namespace {

// The part [first, end) of a list that lies inside it.
struct Range {
    std::size_t first, end;
    bool holds(std::size_t i) const { return i >= first && i < end; }
};

Range layerRange(std::size_t first, std::size_t next, std::size_t size) {
    const std::size_t end = std::min(next, size);
    return Range{std::min(first, end), end};
}

void copyPolygons(const Lwo2Data& lwo, Range points, Range polygons, Lwo2Data& layer) {
    for (std::size_t p = polygons.first; p < polygons.end; ++p) {
        FaceData face = lwo.Faces[p];
        const std::size_t firstCorner = face.FirstCorner;
        face.FirstCorner = static_cast<std::uint32_t>(layer.Corners.size());
        bool inside =
            face.VertexCount >= 0 &&
            firstCorner + static_cast<std::size_t>(face.VertexCount) <= lwo.Corners.size();
        for (std::int32_t k = 0; inside && k < face.VertexCount; ++k) {
            const std::int32_t point = lwo.Corners[firstCorner + static_cast<std::size_t>(k)];
            inside = point >= 0 && points.holds(static_cast<std::size_t>(point));
            layer.Corners.push_back(point - static_cast<std::int32_t>(points.first));
        }
        // A polygon naming points outside its layer is kept, as the reader keeps bad ones: empty.
        if (!inside) {
            layer.Corners.resize(face.FirstCorner);
            face.VertexCount = 0;
        }
        for (std::int32_t k = 0; k < 4; ++k)
            face.Vertex[k] = k < face.VertexCount ? layer.Corners[face.FirstCorner + k] : 0;
        layer.Faces.push_back(face);
    }
    layer.LWOTriangleCount = static_cast<std::int32_t>(layer.Faces.size());
}

VertexMap mapPart(const VertexMap& map, Range points, Range polygons) {
    VertexMap part;
    std::copy(map.type, map.type + 5, part.type);
    part.name = map.name;
    part.dimension = map.dimension;
    const std::size_t d = map.dimension;
    const Range values = layerRange(points.first * d, points.end * d, map.values.size());
    part.values.assign(map.values.begin() + values.first, map.values.begin() + values.end);
    const Range has = layerRange(points.first, points.end, map.has.size());
    part.has.assign(map.has.begin() + has.first, map.has.begin() + has.end);
    for (VertexMap::Corner corner : map.corners) {
        if (!points.holds(corner.point) || !polygons.holds(corner.polygon))
            continue;
        corner.point -= static_cast<std::uint32_t>(points.first);
        corner.polygon -= static_cast<std::uint32_t>(polygons.first);
        part.corners.push_back(corner);
    }
    return part;
}

}  // namespace

std::size_t findLayer(const Lwo2Data& lwo, int sceneLayer, std::ostream& report) {
    for (std::size_t i = 0; i < lwo.Layers.size(); ++i)
        if (lwo.Layers[i].number == sceneLayer - 1)
            return i;
    if (sceneLayer >= 1 && static_cast<std::size_t>(sceneLayer) <= lwo.Layers.size())
        return static_cast<std::size_t>(sceneLayer) - 1;
    report << "LoadLWO: the object has no layer " << sceneLayer << "; its first layer is used\n";
    return 0;
}

Lwo2Data selectLayer(const Lwo2Data& lwo, std::size_t layer) {
    if (layer >= lwo.Layers.size())
        return lwo;
    const LayerData& chosen = lwo.Layers[layer];
    const bool last = layer + 1 == lwo.Layers.size();
    const Range points =
        layerRange(chosen.firstPoint, last ? lwo.Vertices.size() : lwo.Layers[layer + 1].firstPoint,
                   lwo.Vertices.size());
    const Range polygons =
        layerRange(chosen.firstPolygon,
                   last ? lwo.Faces.size() : lwo.Layers[layer + 1].firstPolygon, lwo.Faces.size());
    Lwo2Data part;
    part.Tags = lwo.Tags;
    part.Surfaces = lwo.Surfaces;
    part.Clips = lwo.Clips;
    part.Vertices.assign(lwo.Vertices.begin() + points.first, lwo.Vertices.begin() + points.end);
    copyPolygons(lwo, points, polygons, part);
    for (const VertexMap& map : lwo.Maps)
        part.Maps.push_back(mapPart(map, points, polygons));
    part.Layers.push_back(chosen);
    part.Layers[0].firstPoint = 0;
    part.Layers[0].firstPolygon = 0;
    return part;
}

}  // namespace bm
