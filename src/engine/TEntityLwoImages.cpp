// TEntityLwoImages.cpp - a model's images: found beside the model, loaded once per file per load.
#include "TEntityLwoImages.h"

#include "BrackmoorFileSystem.h"
#include "TRegistry.h"

#include <map>

namespace bm {

namespace {

constexpr int edgeWrap = 3;  // LightWave's "nearest edge pixel"

std::string folderOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// What follows the last separator of any machine: '/', '\' or a disk's ':'.
std::string baseName(const std::string& name) {
    const std::string::size_type cut = name.find_last_of("/\\:");
    return cut == std::string::npos ? name : name.substr(cut + 1);
}

// The folder holding folder: LightWave's content folder when folder is its Objects folder.
std::string parentFolder(const std::string& folder) {
    const std::string last = baseName(folder);
    if (last == "." || last == "..")
        return folder == "." ? ".." : folder + "/..";
    return folderOf(folder);
}

// Repeats unless both directions clamp to the edge; one clamped direction is set after.
ImageCache::Image loadImage(const std::string& path, const ImageBlock& block) {
    ImageCache::Image image;
    const bool clampWidth = block.wrapWidth == edgeWrap, clampHeight = block.wrapHeight == edgeWrap;
    if (!loadTextureFile(image.texture, path, clampWidth && clampHeight ? 0 : 1, image.failure))
        return image;
    if (clampWidth != clampHeight)
        glTexParameteri(GL_TEXTURE_2D, clampWidth ? GL_TEXTURE_WRAP_S : GL_TEXTURE_WRAP_T,
                        GL_CLAMP_TO_EDGE);
    TTextureRegistry.Texture.push_back(image.texture.Tname);
    return image;
}

}  // namespace

std::string findImageFile(const std::string& modelFolder, const std::string& name) {
    if (name.empty())
        return std::string();
    const bool absolute = name[0] == '/';
    const std::string written = absolute ? name : modelFolder + "/" + name;
    if (isFile(written))
        return written;
    const std::string beside = inFolderAnyCase(modelFolder, baseName(name));
    if (!beside.empty())
        return beside;
    // LightWave keeps objects and images in folders side by side under one content folder,
    // "Objects" and "Images", and writes image paths from the content folder.
    const std::string content = parentFolder(modelFolder);
    if (!absolute && isFile(content + "/" + name))
        return content + "/" + name;
    return inFolderAnyCase(content + "/Images", baseName(name));
}

std::vector<TTextureClass> loadLookImages(ModelLooks& looks, const std::string& modelFile,
                                          ReportWriter& out, ImageCache* cache) {
    const std::string folder = folderOf(modelFile);
    std::vector<TTextureClass> textures(looks.looks.size(), TTextureClass{});
    ImageCache ownCache;
    std::map<std::string, ImageCache::Image>& loaded = (cache ? *cache : ownCache).byPath;
    for (std::size_t i = 0; i < looks.looks.size(); ++i) {
        SurfaceLook& look = looks.looks[i];
        if (look.image == nullptr)
            continue;
        const std::string path = findImageFile(folder, look.imageFile);
        std::string failure = "not found beside the model";
        if (isFolder(folder + "/" + look.imageFile))
            failure = "is a folder";
        if (!path.empty()) {
            auto found = loaded.find(path);
            if (found == loaded.end())
                found = loaded.emplace(path, loadImage(path, *look.image)).first;
            failure = found->second.failure;
            textures[i] = found->second.texture;
        }
        if (failure.empty()) {
            look.textured = true;
            continue;
        }
        out.problem().text("surface \"").text(look.name).text("\": image \"");
        out.text(look.imageFile).text("\": ").text(failure).text("; drawn in its colour").endLine();
    }
    return textures;
}

}  // namespace bm
