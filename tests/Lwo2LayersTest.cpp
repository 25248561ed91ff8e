// Lwo2LayersTest.cpp - an object's layers as the reader records them, and one layer picked out of
// an object as a scene names it.
#include "Lwo2Layers.h"
#include "support/LwoFiles.h"
#include "support/LwsFiles.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>
#include <vector>

namespace {

using namespace bm;
using namespace bm::test;

// Layers numbered 1, 0, 9 and 2 in file order: a scene's layer n is the LAYR numbered n - 1, else
// the n-th in the file, else the first with a line. Each layer cut out keeps its corners among its
// own points, and together they keep every polygon.
TEST(Lwo2Layers, RealLayersAreFoundAsScenesNumberThem) {
    SKIP_WITHOUT_SHARED_SCENES();
    const ReadResult box = readWithLooks(fileBytes(
        sharedScenes + "/nangtani-blender-import-lwo/tests/basic/src/LWO2/box/box4-uv-layers.lwo"));
    std::vector<std::vector<std::size_t>> layers;
    for (const LayerData& l : box.lwo.Layers)
        layers.push_back({std::size_t(l.number), l.firstPoint, l.firstPolygon});
    EXPECT_EQ(layers, (std::vector<std::vector<std::size_t>>{
                          {1, 0, 0}, {0, 798, 864}, {9, 806, 870}, {2, 1360, 1446}}));
    const struct {
        int sceneLayer;
        std::size_t layer;
        bool reported;
    } cases[] = {{1, 1, false}, {2, 0, false}, {3, 3, false}, {10, 2, false},
                 {4, 3, false}, {5, 0, true},  {0, 0, true}};
    for (const auto& c : cases) {
        std::ostringstream report;
        EXPECT_EQ(findLayer(box.lwo, c.sceneLayer, report), c.layer) << c.sceneLayer;
        EXPECT_EQ(report.str().empty(), !c.reported) << c.sceneLayer;
    }
    std::size_t faces = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const Lwo2Data layer = selectLayer(box.lwo, i);
        faces += layer.Faces.size();
        for (std::int32_t point : layer.Corners)
            ASSERT_LT(std::size_t(point), layer.Vertices.size()) << "layer " << i;
    }
    EXPECT_EQ(faces, box.lwo.Faces.size());
    // Layer 1 is the cube with the UV map: its 6 quads, 8 points from 798 and every point's UVs.
    const Lwo2Data cube = selectLayer(box.lwo, 1);
    EXPECT_EQ(cube.Faces.size(), 6u);
    EXPECT_EQ(cube.Vertices.at(0).X, box.lwo.Vertices[798].X);
    EXPECT_EQ(cube.Maps.at(0).has, std::vector<unsigned char>(8, 1));
}

// The second layer's polygons and its VMAD's per-polygon entries renumbered from 0, the first
// layer's left without them: an index kept from the whole object names another layer's point.
TEST(Lwo2Layers, SecondLayerRenumbersItsEntries) {
    const ReadResult read = readWithLooks(
        object({tags({"A"}), layer(0, ""), points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                polygons("FACE", {{0, 1, 2}}), layer(1, ""),
                points({{5, 0, 0}, {6, 0, 0}, {5, 1, 0}, {6, 1, 0}}),
                polygons("FACE", {{0, 1, 2}, {3, 2, 1}}),
                vertexMap("VMAD", "TXUV", 2, "uv", {{1, {0.5f, 0.25f}, 1}, {2, {1, 1}, 0}})}));
    std::ostringstream report;
    const Lwo2Data second = selectLayer(read.lwo, findLayer(read.lwo, 2, report));
    EXPECT_EQ(report.str(), "");
    EXPECT_EQ(second.Vertices.size(), 4u);
    EXPECT_EQ(second.Vertices[0].X, 5.0f);
    EXPECT_EQ(second.Corners, (std::vector<std::int32_t>{0, 1, 2, 3, 2, 1}));
    ASSERT_EQ(second.Faces.size(), 2u);
    EXPECT_EQ(second.Faces[1].Vertex[0], 3);
    EXPECT_EQ(second.Faces[1].FirstCorner, 3u);
    ASSERT_EQ(second.Maps.size(), 1u);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> entries;  // point, polygon
    for (const VertexMap::Corner& entry : second.Maps[0].corners)
        entries.push_back({entry.point, entry.polygon});
    EXPECT_EQ(entries, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{1, 1}, {2, 0}}));
    const Lwo2Data first = selectLayer(read.lwo, 0);
    EXPECT_EQ(first.Corners, (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_TRUE(first.Maps[0].corners.empty());
}

// Objects without LAYR, LightWave 5's among them, are one layer 0 that a scene's layer 1 finds.
TEST(Lwo2Layers, ObjectsWithoutLayerChunksAreOneLayer) {
    const ReadResult plain = read(object(
        {tags({"A"}), points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), polygons("FACE", {{0, 1, 2}})}));
    const ReadResult old = read(lwo::lwobForm({lwo::chunk("PNTS", Bytes())}).data);
    for (const ReadResult* r : {&plain, &old}) {
        ASSERT_EQ(r->lwo.Layers.size(), 1u);
        EXPECT_EQ(r->lwo.Layers[0].number, 0);
        std::ostringstream report;
        EXPECT_EQ(findLayer(r->lwo, 1, report), 0u);
        EXPECT_EQ(report.str(), "");
    }
    EXPECT_EQ(selectLayer(plain.lwo, 0).Faces.size(), 1u);
}

}  // namespace
