// TEntityLwoImagesTest.cpp - a model's images found beside it and loaded as its surfaces' textures.
#include "BrackmoorEngine.h"
#include "TEntity.h"
#include "TEntityLwoImages.h"
#include "TRegistry.h"
#include "support/ImageFiles.h"
#include "support/Lwo2Builder.h"
#include "support/SceneGL.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <string>

namespace {

using namespace bm::test;

class TEntityLwoImagesGL : public GLFixture {};

// Loads the model quietly with its looks; what it printed.
std::string load(TEntityClass& e, const std::string& path, std::int32_t flags = 0) {
    testing::internal::CaptureStdout();
    e.LoadLWO(path, BrackmoorLwoSurfaces | BrackmoorLwoQuiet | flags);
    return testing::internal::GetCapturedStdout();
}

}  // namespace

// Names written on other machines are found by their base name, whatever its case.
TEST(TEntityLwoImages, ImagesAreFoundBesideTheModel) {
    // In a fresh folder, so that the folder above the model's holds nothing to find either.
    const std::string dir = makeTempDir() + "/model";
    mkdir(dir.c_str(), 0755);
    std::ofstream(dir + "/Earth.JPG") << "x";
    mkdir((dir + "/maps").c_str(), 0755);
    std::ofstream(dir + "/maps/sea.png") << "x";
    const struct {
        const char* name;
        std::string found;
    } cases[] = {
        {"Earth.JPG", dir + "/Earth.JPG"},
        {"maps/sea.png", dir + "/maps/sea.png"},
        {"Q:ASSIMP/models/earth.jpg", dir + "/Earth.JPG"},
        {"C:\\Users\\x\\EARTH.jpg", dir + "/Earth.JPG"},
        {"sea.png", ""},
        {"maps", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bm::findImageFile(dir, c.name), c.found) << c.name;
}

// A model in Objects finds what it names in the Images folder beside that, by base name or by the
// path written from the folder above; an image beside the model comes first.
TEST(TEntityLwoImages, ImagesAreFoundInTheContentsImagesFolder) {
    const std::string content = makeTempDir(), objects = content + "/Objects";
    for (const char* folder : {"/Objects", "/Images", "/Images/city"})
        mkdir((content + folder).c_str(), 0755);
    for (const char* file :
         {"/Images/Map.JPG", "/Images/city/road.jpg", "/Images/shared.png", "/Objects/Shared.png"})
        std::ofstream(content + file) << "x";
    const struct {
        std::string modelFolder;
        const char* name;
        std::string found;
    } cases[] = {
        {objects, "C:\\LightWave\\Images\\MAP.jpg", content + "/Images/Map.JPG"},
        {objects, "Images/city/road.jpg", content + "/Images/city/road.jpg"},
        {objects, "shared.png", objects + "/Shared.png"},
        {objects + "/.", "map.jpg", objects + "/./../Images/Map.JPG"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bm::findImageFile(c.modelFolder, c.name), c.found)
            << c.modelFolder << " " << c.name;
}

// Two surfaces naming one image share one texture, registered, their corners at the map's
// (u, 1 - v); an image that is corrupt or not there gets one line naming its surface and file.
TEST_F(TEntityLwoImagesGL, EachImageLoadsOncePerLoad) {
    const std::string dir = makeTempDir();
    writeBytes(dir + "/shared.png", imageFile(ImageFormat::png, {1, 1, 3, {9, 9, 9}}));
    std::ofstream(dir + "/broken.png") << "not a picture";
    // The blocks name the second of two UV maps.
    Bytes uvs = vertexMap("VMAP", "TXUV", 2, "spare", {{0, {0.5f, 0.5f}}});
    uvs.append(vertexMap("VMAP", "TXUV", 2, "uv", {{0, {0, 0}}, {1, {1, 0}}, {2, {1, 1}}}));
    ASSERT_TRUE(bm::lwo::writeFile(
        dir + "/four.lwo",
        object({tags({"A", "B", "C", "D"}), points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}), uvs,
                polygons("FACE", {{0, 1, 2}, {0, 1, 2}, {0, 1, 2}, {0, 1, 2}}),
                polygonTags("SURF", {{0, 0}, {1, 1}, {2, 2}, {3, 3}}), stillClip(1, "shared.png"),
                stillClip(2, "broken.png"), stillClip(3, "absent.png"),
                surface("A", {imageBlock(5, 1, "uv")}), surface("B", {imageBlock(5, 1, "uv")}),
                surface("C", {imageBlock(5, 2)}), surface("D", {imageBlock(5, 3)})})));
    const std::size_t registered = TTextureRegistry.Texture.size();
    TEntityClass e;
    const std::string out = load(e, dir + "/four.lwo", BrackmoorLwoNormals);
    ASSERT_EQ(e.Surface.size(), 4u);
    EXPECT_EQ(e.Surface[1]->textureID[0].Tname, e.Surface[0]->textureID[0].Tname);
    ASSERT_EQ(TTextureRegistry.Texture.size(), registered + 1);
    EXPECT_EQ(TTextureRegistry.Texture.back(), e.Surface[0]->textureID[0].Tname);
    EXPECT_EQ(e.Surface[1]->tverts, (std::vector<GLfloat>{0, 1, 1, 1, 1, 0}));
    EXPECT_EQ(e.Surface[1]->normals, (std::vector<GLfloat>{0, 0, 1, 0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(out,
              "LoadLWO: surface \"C\": image \"broken.png\": not a PNG, JPEG, BMP, TGA or GIF "
              "image; drawn in its colour\n"
              "LoadLWO: surface \"D\": image \"absent.png\": not found beside the model; drawn in "
              "its colour\n");
    // A textured surface is drawn white times its diffuse level, the others in their colour.
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(e.Surface[i]->textureID[0].Tname == 0, i >= 2) << i;
        EXPECT_EQ(e.Surface[i]->fxOwnTexture, 1) << i;
        EXPECT_NEAR(e.Surface[i]->vertexColours[0], i < 2 ? 1 : 200.0f / 255, 1e-5) << i;
    }
}

// A one-sided quad facing LightWave's camera, with a planar image red on the left and green on
// the right as LightWave shows it: converted to the engine's hand it faces the engine's camera and
// reads left to right, each corner with its own coordinates; as read, its back is turned and
// culled.
TEST_F(TEntityLwoImagesGL, RightHandedModelsFaceTheCameraUnmirrored) {
    const std::string dir = makeTempDir();
    Picture halves{8, 1, 3, {}};  // wide enough that the samples below blend no other half in
    for (int x = 0; x < 8; ++x)
        for (const int c : {x < 4 ? 255 : 0, x < 4 ? 0 : 255, 0})
            halves.pixels.push_back(static_cast<unsigned char>(c));
    writeBytes(dir + "/halves.png", imageFile(ImageFormat::png, halves));
    // Clockwise seen from -Z, where LightWave's camera stands.
    ASSERT_TRUE(bm::lwo::writeFile(
        dir + "/sign.lwo",
        object({tags({"Sign"}),
                points({{-0.5f, 0.5f, 0}, {0.5f, 0.5f, 0}, {0.5f, -0.5f, 0}, {-0.5f, -0.5f, 0}}),
                polygons("FACE", {{0, 1, 2, 3}}), polygonTags("SURF", {{0, 0}}),
                stillClip(1, "halves.png"), surface("Sign", {imageBlock(0, 1)})})));
    BrackmoorBackfaceCulling = -1;
    for (const bool converted : {true, false}) {
        TEntityClass sign;
        load(sign, dir + "/sign.lwo", converted ? BrackmoorLwoRightHanded : 0);
        sign.PositionEntity(0, 0, -6);
        setOrthoView();
        Brackmoor.updateWorld();
        const Rgba red{255, 0, 0, 255}, green{0, 255, 0, 255}, black{0, 0, 0, 255};
        // Low on the left: green there if a triangle's corners turned round without their values.
        EXPECT_EQ(pixelAtEye(-0.4f, -0.3f), converted ? red : black) << converted;
        EXPECT_EQ(pixelAtEye(0.3f, 0), converted ? green : black) << converted;
        sign.hidden = 0;
        sign.updateRegistry();
    }
}

// An exporter that numbers its first clip 0 names it with IMAG 0: the image is found beside the
// model by its base name and laid on by its map; a surface without an image takes the same map.
TEST_F(TEntityLwoImagesGL, ClipNumberedZeroIsLoaded) {
    const std::string dir = makeTempDir();
    writeBytes(dir + "/m_rifl.bmp", imageFile(ImageFormat::bmp, {1, 1, 3, {9, 9, 9}}));
    ASSERT_TRUE(bm::lwo::writeFile(
        dir + "/rifle.lwo",
        object({tags({"Rifle", "Plain"}), points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}),
                vertexMap("VMAP", "TXUV", 2, "uv", {{0, {0, 0}}, {1, {1, 0}}, {2, {1, 0.25f}}}),
                polygons("FACE", {{0, 1, 2}, {0, 1, 2}}), polygonTags("SURF", {{0, 0}, {1, 1}}),
                stillClip(0, "../../3DS/m_rifl.bmp"), surface("Rifle", {imageBlock(5, 0, "uv")}),
                surface("Plain", {})})));
    TEntityClass e;
    EXPECT_EQ(load(e, dir + "/rifle.lwo"), "");
    ASSERT_EQ(e.Surface.size(), 2u);
    EXPECT_NE(e.Surface[0]->textureID[0].Tname, 0u);
    for (const TSurfaceClass* s : e.Surface)
        EXPECT_EQ(s->tverts, (std::vector<GLfloat>{0, 1, 1, 1, 1, 0.75f}));
}
