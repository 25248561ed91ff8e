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

void copyFile(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream(to, std::ios::binary) << in.rdbuf();
}

const std::string shared = BRACKMOOR_SHARED_LWO_DIR;

class TEntityLwoImagesGL : public GLFixture {};

}  // namespace

// Names written on other machines are found by their base name, whatever its case.
TEST(TEntityLwoImages, ImagesAreFoundBesideTheModel) {
    const std::string dir = makeTempDir();
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

// The real UV-mapped box: its image on its one surface, loaded once, registered, and its
// corners carrying the map's coordinates; a quiet load says nothing.
TEST_F(TEntityLwoImagesGL, UVMappedBoxShowsItsImage) {
    if (shared.empty())
        GTEST_SKIP() << "the shared folder of LWO models (shared/lwo) is not here";
    const std::size_t registered = TTextureRegistry.Texture.size();
    TEntityClass box;
    testing::internal::CaptureStdout();
    box.LoadLWO(shared + "/boxuv.lwo",
                BrackmoorLwoSurfaces | BrackmoorLwoNormals | BrackmoorLwoQuiet);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(box.Surface.size(), 1u);
    const TSurfaceClass& s = *box.Surface[0];
    ASSERT_NE(s.textureID[0].Tname, 0u);
    EXPECT_EQ(s.textureID[0].Twidth, 512u);
    ASSERT_EQ(TTextureRegistry.Texture.size(), registered + 1);
    EXPECT_EQ(TTextureRegistry.Texture.back(), s.textureID[0].Tname);
    EXPECT_EQ(s.normals.size(), 3u * 36);
    glBindTexture(GL_TEXTURE_2D, s.textureID[0].Tname);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 512);
    bool pointZero = false;  // (-0.5, -0.5, -0.5) on the first face: (0.327256, 0.00654358)
    for (std::size_t v = 0; v < 36; ++v)
        pointZero = pointZero || (std::abs(s.tverts[2 * v] - 0.327256f) < 1e-5f &&
                                  std::abs(s.tverts[2 * v + 1] - (1 - 0.00654358f)) < 1e-5f);
    EXPECT_TRUE(pointZero);
}

// An image that is not there: one line naming the surface and the file, the surface drawn in
// its colour without a texture, its own texture switch still on.
TEST_F(TEntityLwoImagesGL, MissingImageLeavesTheSurfaceInItsColour) {
    if (shared.empty())
        GTEST_SKIP() << "the shared folder of LWO models (shared/lwo) is not here";
    TEntityClass box;
    testing::internal::CaptureStdout();
    box.LoadLWO(shared + "/box_2uv_1unused.lwo", BrackmoorLwoSurfaces | BrackmoorLwoQuiet);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "LoadLWO: surface \"Default\": image \"any_texture\": not found beside the model; "
              "drawn in its colour\n");
    ASSERT_EQ(box.Surface.size(), 1u);
    EXPECT_EQ(box.Surface[0]->textureID[0].Tname, 0u);
    EXPECT_EQ(box.Surface[0]->fxOwnTexture, 1);
    EXPECT_NEAR(box.Surface[0]->vertexColours[0], 200.0f / 255, 1e-5);
}

// Two surfaces naming one image share one texture; a corrupt image is reported once per surface.
TEST_F(TEntityLwoImagesGL, EachImageLoadsOncePerLoad) {
    if (shared.empty())
        GTEST_SKIP() << "the shared folder of LWO models (shared/lwo) is not here";
    const std::string dir = makeTempDir();
    copyFile(shared + "/boxuv.png", dir + "/shared.png");
    std::ofstream(dir + "/broken.png") << "not a picture";
    const Bytes uvs = vertexMap("VMAP", "TXUV", 2, "uv", {{0, {0, 0}}, {1, {1, 0}}, {2, {1, 1}}});
    const ByteList bytes =
        object({tags({"A", "B", "C"}), points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}), uvs,
                polygons("FACE", {{0, 1, 2}, {0, 1, 2}, {0, 1, 2}}),
                polygonTags("SURF", {{0, 0}, {1, 1}, {2, 2}}), stillClip(1, "shared.png"),
                stillClip(2, "broken.png"), surface("A", {imageBlock(5, 1)}),
                surface("B", {imageBlock(5, 1)}), surface("C", {imageBlock(5, 2)})});
    ASSERT_TRUE(bm::lwo::writeFile(dir + "/three.lwo", bytes));
    const std::size_t registered = TTextureRegistry.Texture.size();
    TEntityClass e;
    testing::internal::CaptureStdout();
    e.LoadLWO(dir + "/three.lwo", BrackmoorLwoSurfaces | BrackmoorLwoQuiet);
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_EQ(e.Surface.size(), 3u);
    EXPECT_NE(e.Surface[0]->textureID[0].Tname, 0u);
    EXPECT_EQ(e.Surface[1]->textureID[0].Tname, e.Surface[0]->textureID[0].Tname);
    EXPECT_EQ(e.Surface[2]->textureID[0].Tname, 0u);
    EXPECT_EQ(TTextureRegistry.Texture.size(), registered + 1);
    EXPECT_EQ(out.rfind("LoadLWO: surface \"C\": image \"broken.png\": ", 0), 0u) << out;
    EXPECT_EQ(out.find('\n'), out.size() - 1) << out;
}

// A one-sided quad facing LightWave's camera, with a planar image red on the left and green on
// the right as LightWave shows it: converted to the engine's hand it faces the engine's camera and
// reads left to right; as read, its back is turned and culled.
TEST_F(TEntityLwoImagesGL, RightHandedModelsFaceTheCameraUnmirrored) {
    const std::string dir = makeTempDir();
    Picture halves{8, 1, 3, {}};
    const unsigned char on = 255, off = 0;
    for (unsigned char x = 0; x < 8; ++x)
        halves.pixels.insert(halves.pixels.end(), {x < 4 ? on : off, x < 4 ? off : on, off});
    writeBytes(dir + "/halves.png", imageFile(ImageFormat::png, halves));
    // Clockwise seen from -Z, where LightWave's camera stands.
    const ByteList quad =
        object({tags({"Sign"}),
                points({{-0.5f, 0.5f, 0}, {0.5f, 0.5f, 0}, {0.5f, -0.5f, 0}, {-0.5f, -0.5f, 0}}),
                polygons("FACE", {{0, 1, 2, 3}}), polygonTags("SURF", {{0, 0}}),
                stillClip(1, "halves.png"), surface("Sign", {imageBlock(0, 1)})});
    ASSERT_TRUE(bm::lwo::writeFile(dir + "/sign.lwo", quad));
    hideEveryRecord();
    BrackmoorBackfaceCulling = -1;
    for (const bool converted : {true, false}) {
        TEntityClass sign;
        sign.LoadLWO(dir + "/sign.lwo", BrackmoorLwoSurfaces | BrackmoorLwoQuiet |
                                            (converted ? BrackmoorLwoRightHanded : 0));
        sign.PositionEntity(0, 0, -6);
        setOrthoView();
        Brackmoor.updateWorld();
        const Rgba red{255, 0, 0, 255}, green{0, 255, 0, 255}, black{0, 0, 0, 255};
        EXPECT_EQ(pixelAtEye(-0.3f, 0), converted ? red : black) << converted;
        EXPECT_EQ(pixelAtEye(0.3f, 0), converted ? green : black) << converted;
        sign.hidden = 0;
        sign.updateRegistry();
    }
}
