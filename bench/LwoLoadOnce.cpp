// LwoLoadOnce.cpp - one load of one model by one loader, in this fresh process, into memory it
// has never touched: `lwo_load_once LOADER MODEL.lwo` prints the load's milliseconds, its peak
// resident bytes beyond those before it, the bytes its surfaces keep and its triangles.
//   read     the file read into memory         walk     read, every point and corner decoded
//   quiet    LoadLWO(file, 1 | quiet)          compact  the same with shared vertices
//   assimp   Assimp's importer, triangulating (the scene is released after the clock stops)
#include "Brackmoor.h"
#include "LwoMemory.h"
#include "LwoWalk.h"

#include <assimp/cimport.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Result {
    bool ok = true;
    std::size_t kept = 0, triangles = 0;
};

std::vector<unsigned char> readFile(const char* path, bool& ok) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path, "rb"), &std::fclose);
    std::vector<unsigned char> bytes;
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) {
        ok = false;
        return bytes;
    }
    bytes.resize(static_cast<std::size_t>(std::max(std::ftell(file.get()), 0L)));
    std::fseek(file.get(), 0, SEEK_SET);
    ok = std::fread(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return bytes;
}

Result import(const char* path, const aiScene*& scene) {
    Result r;
    scene = aiImportFile(path, aiProcess_Triangulate);
    r.ok = scene != nullptr;
    for (unsigned m = 0; r.ok && m < scene->mNumMeshes; ++m)
        r.triangles += scene->mMeshes[m]->mNumFaces;
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: lwo_load_once read|walk|quiet|compact|assimp MODEL.lwo\n");
        return 2;
    }
    const std::string loader = argv[1];
    const char* path = argv[2];
    const std::size_t before = bm::bench::statusBytes("VmRSS:");
    TEntityClass entity;
    const aiScene* scene = nullptr;
    Result r;
    const Clock::time_point start = Clock::now();
    if (loader == "read" || loader == "walk") {
        const std::vector<unsigned char> bytes = readFile(path, r.ok);
        if (loader == "walk")
            r.ok = bm::bench::walkPointsAndPolygons(bytes.data(), bytes.size()).points > 0;
    } else if (loader == "quiet") {
        entity.LoadLWO(path, 1 | BrackmoorLwoQuiet);
    } else if (loader == "compact") {
        entity.LoadLWO(path, 1 | BrackmoorLwoQuiet | BrackmoorLwoCompact);
    } else if (loader == "assimp") {
        r = import(path, scene);
    } else {
        std::fprintf(stderr, "lwo_load_once: no loader '%s'\n", loader.c_str());
        return 2;
    }
    const std::chrono::duration<double, std::milli> took = Clock::now() - start;
    const std::size_t peak = bm::bench::statusBytes("VmHWM:");
    if (scene != nullptr)
        aiReleaseImport(scene);
    if (entity.created) {
        r.kept = bm::bench::surfaceBytes(entity);
        for (const TSurfaceClass* s : entity.Surface)
            r.triangles += s->triangleIndex.size() / 3;
        r.ok = r.triangles > 0;
    }
    if (!r.ok) {
        std::fprintf(stderr, "lwo_load_once: %s could not be loaded by %s\n", path, argv[1]);
        return 1;
    }
    std::printf("%.3f %zu %zu %zu\n", took.count(), peak > before ? peak - before : 0, r.kept,
                r.triangles);
    return 0;
}
