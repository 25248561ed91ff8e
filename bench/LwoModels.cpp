// LwoModels.cpp - the loader benchmark's generated models.
#include "LwoModels.h"

#include "Lwo2Writer.h"

#include <utility>

namespace bm::bench {

namespace {

constexpr std::uint32_t kGrid = 500;  // points along each side of a layer

// Point (r, c) of the grid cell row starting at `row`.
std::uint32_t at(std::uint32_t row, std::uint32_t r, std::uint32_t c) {
    return (row + r) * kGrid + c;
}

// The outline over cells c .. c + span - 1 of a row: along the top, back along the bottom.
lwo::Polygon spanOutline(std::uint32_t row, std::uint32_t c, std::uint32_t span) {
    lwo::Polygon poly;
    for (std::uint32_t k = 0; k <= span; ++k)
        poly.corners.push_back(at(row, 0, c + k));
    for (std::uint32_t k = span + 1; k-- > 0;)
        poly.corners.push_back(at(row, 1, c + k));
    poly.tag = row % 2;
    return poly;
}

lwo::Layer gridPoints(std::uint32_t index) {
    lwo::Layer layer;
    layer.points.reserve(kGrid * kGrid);
    for (std::uint32_t r = 0; r < kGrid; ++r)
        for (std::uint32_t c = 0; c < kGrid; ++c)
            layer.points.push_back({c * 0.01f, r * 0.01f, static_cast<float>(index) * 0.5f});
    return layer;
}

// Quads, with a hexagon over two cells and an octagon over three in every 16.
void addQuadsHexagonsOctagons(lwo::Layer& layer, std::uint32_t row) {
    for (std::uint32_t c = 0; c + 1 < kGrid;) {
        const std::uint32_t span = (c % 16 == 0 && c + 2 < kGrid)   ? 2
                                   : (c % 16 == 8 && c + 3 < kGrid) ? 3
                                                                    : 1;
        layer.polygons.push_back(spanOutline(row, c, span));
        c += span;
    }
}

// Quads, with a hexagon over two cells and a cell of two triangles in every 16.
void addQuadsTrianglesHexagons(lwo::Layer& layer, std::uint32_t row) {
    for (std::uint32_t c = 0; c + 1 < kGrid;) {
        if (c % 16 == 0 && c + 2 < kGrid) {
            layer.polygons.push_back(spanOutline(row, c, 2));
            c += 2;
            continue;
        }
        if (c % 16 == 8) {
            lwo::Polygon upper, lower;
            upper.corners = {at(row, 0, c), at(row, 0, c + 1), at(row, 1, c + 1)};
            lower.corners = {at(row, 0, c), at(row, 1, c + 1), at(row, 1, c)};
            upper.tag = lower.tag = row % 2;
            layer.polygons.push_back(std::move(upper));
            layer.polygons.push_back(std::move(lower));
        } else {
            layer.polygons.push_back(spanOutline(row, c, 1));
        }
        ++c;
    }
}

BenchModel finish(BenchModel out, const lwo::Model& model, const std::string& path) {
    out.path = path;
    for (const lwo::Layer& layer : model.layers) {
        out.points += layer.points.size();
        out.polygons += layer.polygons.size();
        for (const lwo::Polygon& poly : layer.polygons)
            out.triangles += poly.corners.size() - 2;
    }
    out.bytes = lwo::write(model);
    return out;
}

lwo::Model twoSurfaceModel() {
    lwo::Model model;
    model.tags = {"Even", "Odd"};
    model.surfaces = {{"Even", 0.8f, 0.8f, 0.8f, 1.0f}, {"Odd", 0.2f, 0.4f, 0.9f, 1.0f}};
    return model;
}

}  // namespace

BenchModel fourLayerModel() {
    lwo::Model model = twoSurfaceModel();
    for (std::uint32_t i = 0; i < 4; ++i) {
        model.layers.push_back(gridPoints(i));
        for (std::uint32_t r = 0; r + 1 < kGrid; ++r)
            addQuadsHexagonsOctagons(model.layers.back(), r);
    }
    BenchModel out;
    out.name = "FourLayers";
    out.description = "four layers, quads, hexagons and octagons";
    return finish(std::move(out), model, "lwo_bench_four_layers.lwo");
}

BenchModel oneLayerMixModel() {
    lwo::Model model = twoSurfaceModel();
    model.layers.push_back(gridPoints(0));
    for (std::uint32_t r = 0; r + 1 < kGrid; ++r)
        addQuadsTrianglesHexagons(model.layers.back(), r);
    BenchModel out;
    out.name = "OneLayerMix";
    out.description = "one layer, quads, triangles and hexagons";
    return finish(std::move(out), model, "lwo_bench_one_layer.lwo");
}

bool writeModelFile(const BenchModel& model) {
    return lwo::writeFile(model.path, model.bytes);
}

}  // namespace bm::bench
