// Lwo2LayersTest.cpp - an object's layers as the reader records them, and one layer picked out of
// an object as a scene names it.
#include "Lwo2Layers.h"
#include "support/LwoFiles.h"
#include "support/LwsFiles.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace bm;
using namespace bm::test;

// Every polygon's corners name points of its own list.
void expectCornersInside(const Lwo2Data& lwo) {
    for (const FaceData& face : lwo.Faces)
        for (std::int32_t k = 0; k < face.VertexCount; ++k) {
            const std::int32_t point = lwo.Corners[face.FirstCorner + k];
            ASSERT_GE(point, 0);
            ASSERT_LT(static_cast<std::size_t>(point), lwo.Vertices.size());
        }
}

Bytes pivotLayer(unsigned number, float x, float y, float z) {
    Bytes body;
    body.u2(number).u2(0).f4(x).f4(y).f4(z).s0("");
    return lwo::chunk("LAYR", body);
}

// Four layers numbered 1, 0, 9 and 2 in file order: a scene's layer n is the LAYR numbered n - 1,
// else the n-th in the file, else the first.
TEST(Lwo2Layers, RealLayersAreFoundAsScenesNumberThem) {
    SKIP_WITHOUT_SHARED_SCENES();
    const ReadResult box = readWithLooks(fileBytes(
        sharedScenes + "/nangtani-blender-import-lwo/tests/basic/src/LWO2/box/box4-uv-layers.lwo"));
    const std::vector<LayerData>& layers = box.lwo.Layers;
    ASSERT_EQ(layers.size(), 4u);
    const int numbers[] = {1, 0, 9, 2};
    const std::size_t points[] = {0, 798, 806, 1360}, polygons[] = {0, 864, 870, 1446};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(layers[i].number, numbers[i]);
        EXPECT_EQ(layers[i].firstPoint, points[i]);
        EXPECT_EQ(layers[i].firstPolygon, polygons[i]);
    }
    struct Case {
        int sceneLayer;
        std::size_t layer;
        bool reported;
    };
    for (const Case& c :
         {Case{1, 1, false}, Case{2, 0, false}, Case{3, 3, false}, Case{10, 2, false},
          Case{4, 3, false}, Case{5, 0, true}, Case{0, 0, true}}) {
        std::ostringstream report;
        EXPECT_EQ(findLayer(box.lwo, c.sceneLayer, report), c.layer) << c.sceneLayer;
        EXPECT_EQ(report.str().empty(), !c.reported) << c.sceneLayer;
    }
    std::size_t faces = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const Lwo2Data layer = selectLayer(box.lwo, i);
        expectCornersInside(layer);
        faces += layer.Faces.size();
    }
    EXPECT_EQ(faces, box.lwo.Faces.size());
    // Layer 1 is the cube with the UV map: its 8 points, 6 quads and every point's UVs.
    const Lwo2Data cube = selectLayer(box.lwo, 1);
    EXPECT_EQ(cube.Vertices.size(), 8u);
    EXPECT_EQ(cube.Faces.size(), 6u);
    EXPECT_EQ(cube.LWOTriangleCount, 6);
    EXPECT_EQ(cube.Surfaces.size(), box.lwo.Surfaces.size());
    ASSERT_EQ(cube.Maps.size(), 1u);
    EXPECT_EQ(cube.Maps[0].name, "Texture");
    EXPECT_EQ(cube.Maps[0].has, std::vector<unsigned char>(8, 1));
    EXPECT_EQ(cube.Maps[0].values.size(), 16u);
    EXPECT_EQ(cube.Vertices[0].X, box.lwo.Vertices[798].X);
}

// A layer's pivot, its polygons' corners and its per-polygon map entries, renumbered from 0.
TEST(Lwo2Layers, SecondLayerKeepsItsPivotAndRenumbersItsEntries) {
    const ByteList bytes =
        object({tags({"A"}), pivotLayer(0, 1, 2, 3), points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                polygons("FACE", {{0, 1, 2}}), pivotLayer(1, -1, 0.5f, 0),
                points({{5, 0, 0}, {6, 0, 0}, {5, 1, 0}, {6, 1, 0}}),
                polygons("FACE", {{0, 1, 2}, {3, 2, 1}}),
                vertexMap("VMAD", "TXUV", 2, "uv", {{1, {0.5f, 0.25f}, 1}, {2, {1, 1}, 0}})});
    const ReadResult read = readWithLooks(bytes);
    ASSERT_EQ(read.lwo.Layers.size(), 2u);
    EXPECT_EQ(read.lwo.Layers[0].pivot[2], 3.0f);
    std::ostringstream report;
    const Lwo2Data second = selectLayer(read.lwo, findLayer(read.lwo, 2, report));
    EXPECT_EQ(report.str(), "");
    EXPECT_EQ(second.Layers[0].pivot[0], -1.0f);
    EXPECT_EQ(second.Layers[0].pivot[1], 0.5f);
    EXPECT_EQ(second.Vertices.size(), 4u);
    EXPECT_EQ(second.Vertices[0].X, 5.0f);
    EXPECT_EQ(second.Corners, (std::vector<std::int32_t>{0, 1, 2, 3, 2, 1}));
    ASSERT_EQ(second.Faces.size(), 2u);
    EXPECT_EQ(second.Faces[1].Vertex[0], 3);
    EXPECT_EQ(second.Faces[1].FirstCorner, 3u);
    ASSERT_EQ(second.Maps.size(), 1u);
    ASSERT_EQ(second.Maps[0].corners.size(), 2u);
    EXPECT_EQ(second.Maps[0].corners[0].point, 1u);
    EXPECT_EQ(second.Maps[0].corners[0].polygon, 1u);
    EXPECT_EQ(second.Maps[0].corners[1].point, 2u);
    EXPECT_EQ(second.Maps[0].corners[1].polygon, 0u);
    const Lwo2Data first = selectLayer(read.lwo, 0);
    EXPECT_EQ(first.Corners, (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_TRUE(first.Maps[0].corners.empty());
}

// Objects without LAYR, LightWave 5's among them, are one layer 0 with its pivot at the origin.
TEST(Lwo2Layers, ObjectsWithoutLayerChunksAreOneLayer) {
    const ReadResult plain = read(object(
        {tags({"A"}), points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), polygons("FACE", {{0, 1, 2}})}));
    const ReadResult old = read(lwo::lwobForm({lwo::chunk("PNTS", Bytes())}).data);
    for (const ReadResult* r : {&plain, &old}) {
        ASSERT_EQ(r->lwo.Layers.size(), 1u);
        EXPECT_EQ(r->lwo.Layers[0].number, 0);
        EXPECT_EQ(r->lwo.Layers[0].pivot[0], 0.0f);
        std::ostringstream report;
        EXPECT_EQ(findLayer(r->lwo, 1, report), 0u);
        EXPECT_EQ(report.str(), "");
    }
    EXPECT_EQ(selectLayer(plain.lwo, 0).Faces.size(), 1u);
}

}  // namespace
