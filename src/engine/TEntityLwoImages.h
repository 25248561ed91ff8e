// TEntityLwoImages.h - a model's images, found beside the model file and loaded as textures.
#pragma once

#include "Lwo2Appearance.h"
#include "Lwo2Report.h"
#include "TTexture.h"

#include <map>
#include <string>
#include <vector>

namespace bm {

// The image file a model names, looked for as written (relative to the model's folder), then by
// its base name in the model's folder regardless of case, so that a path from another machine
// ("C:\maps\Earth.JPG", "Q:models/earth.jpg") is found. A model kept as LightWave lays out its
// content, in an Objects folder beside an Images folder, finds its images there too: a relative
// name as written from the folder above the model's, then its base name in that folder's Images
// folder regardless of case. Empty when there is none.
std::string findImageFile(const std::string& modelFolder, const std::string& name);

// Images loaded so far, by the path they were found at: the texture, or why it did not load.
struct ImageCache {
    struct Image {
        TTextureClass texture{};
        std::string failure;  // empty when the texture loaded
    };
    std::map<std::string, Image> byPath;
};

// Loads each look's image, once per file, and marks the looks whose image loaded as textured.
// One record per look, Tname 0 where it has no texture. The texture names go into the texture
// registry, so that shut-down deletes them. With a cache, images it holds are taken from it and
// new ones kept in it, so that several loads share them. Needs a current GL context.
std::vector<TTextureClass> loadLookImages(ModelLooks& looks, const std::string& modelFile,
                                          ReportWriter& out, ImageCache* cache = nullptr);

}  // namespace bm
