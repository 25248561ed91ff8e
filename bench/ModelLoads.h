// ModelLoads.h - a model loaded by LoadLWO and imported by Assimp once an iteration, each side
// counting the triangles it made, for the load benchmarks.
#pragma once

#include "Brackmoor.h"

#include <assimp/cimport.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace bm::bench {

inline std::size_t trianglesOf(const std::vector<TSurfaceClass*>& surfaces) {
    std::size_t triangles = 0;
    for (const TSurfaceClass* s : surfaces)
        triangles += s->triangleIndex.size() / 3;
    return triangles;
}

// Each load goes into a fresh entity; the registry keeps its surfaces until exit.
inline void loadLwo(benchmark::State& state, const std::string& path, std::int32_t flags) {
    std::vector<TSurfaceClass*> surfaces;
    for (auto _ : state) {
        TEntityClass entity;
        entity.LoadLWO(path, flags);
        surfaces = std::move(entity.Surface);
    }
    state.counters["triangles"] = static_cast<double>(trianglesOf(surfaces));
}

inline void assimpImport(benchmark::State& state, const std::string& path) {
    std::size_t faces = 0;
    for (auto _ : state) {
        const aiScene* scene = aiImportFile(path.c_str(), aiProcess_Triangulate);
        if (!scene) {
            state.SkipWithError(aiGetErrorString());
            break;
        }
        faces = 0;
        for (unsigned m = 0; m < scene->mNumMeshes; ++m)
            faces += scene->mMeshes[m]->mNumFaces;
        aiReleaseImport(scene);
    }
    state.counters["triangles"] = static_cast<double>(faces);
}

}  // namespace bm::bench
