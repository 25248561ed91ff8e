// StarBench.cpp - models of stars, outlines that cross themselves at every corner, loaded by
// LoadLWO against Assimp's importer; and one such outline through the triangulator alone.
#include "BombFiles.h"
#include "Brackmoor.h"
#include "Lwo2Triangulator.h"
#include "ModelLoads.h"
#include "SideBySide.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kRepetitions = 5;
constexpr std::uint32_t kCorners = 1023;  // the most an LWO2 polygon holds

struct StarFile {
    std::string name;    // for benchmark names: "Star"
    std::uint32_t step;  // points stepped round the circle from one corner to the next
    std::string path;
    std::size_t bytes = 0;
};

// One star of the file's kind, split by the triangulator on its own.
void splitOutline(benchmark::State& state, std::uint32_t step) {
    const bm::lwo::Layer layer = bm::lwo::starModel(1, kCorners, step).layers[0];
    std::vector<VertexData> points;
    for (const bm::lwo::Point& p : layer.points)
        points.push_back(VertexData{p.x, p.y, p.z, 0, 0});
    const std::vector<std::int32_t> corners(layer.polygons[0].corners.begin(),
                                            layer.polygons[0].corners.end());
    bm::Triangulator triangulator(points);
    std::vector<bm::Triangle> triangles;
    for (auto _ : state) {
        triangles.clear();
        triangulator.split(corners.data(), corners.size(), triangles);
        benchmark::DoNotOptimize(triangles.data());
    }
    state.counters["triangles"] = static_cast<double>(triangles.size());
}

void registerFile(const StarFile& file) {
    const auto add = [&](const char* what, auto fn) {
        return bm::bench::repeated(file.name + "." + what, fn, kRepetitions)->UseRealTime();
    };
    const StarFile* f = &file;
    add("LoadQuiet",
        [f](benchmark::State& s) { bm::bench::loadLwo(s, f->path, 1 | BrackmoorLwoQuiet); });
    add("LoadSurfaces", [f](benchmark::State& s) {
        bm::bench::loadLwo(s, f->path,
                           BrackmoorLwoSurfaces | BrackmoorLwoNormals | BrackmoorLwoQuiet);
    });
    add("Assimp", [f](benchmark::State& s) { bm::bench::assimpImport(s, f->path); });
    add("Outline", [f](benchmark::State& s) { splitOutline(s, f->step); });
}

void printSummary(const StarFile& file, const bm::bench::MedianReporter& r) {
    const auto ms = [&](const char* what) {
        return 1000.0 * r.medianSeconds(file.name + "." + what);
    };
    const double assimp = ms("Assimp");
    std::printf("\n%s: %zu bytes, ten stars of %u corners stepping %u points round the circle\n",
                file.name.c_str(), file.bytes, kCorners, file.step);
    for (const char* what : {"LoadQuiet", "LoadSurfaces"}) {
        const double load = ms(what);
        if (load <= 0)
            continue;
        std::printf("  %-13s %9.2f ms", what, load);
        if (assimp > 0)
            std::printf("  %.2fx Assimp's time (target at most 2x): %s", load / assimp,
                        bm::bench::verdict(load <= 2 * assimp));
        std::printf("\n");
    }
    if (assimp > 0)
        std::printf("  %-13s %9.2f ms\n", "Assimp", assimp);
    if (ms("Outline") > 0)
        std::printf("  One outline   %9.3f ms\n", ms("Outline"));
    const double expected = 10.0 * (kCorners - 2);
    for (const char* what : {"LoadQuiet", "LoadSurfaces", "Assimp"}) {
        const auto found = r.triangles.find(file.name + "." + what);
        if (found != r.triangles.end() && found->second != expected)
            std::printf("  %s made %.0f triangles, not n - 2 per polygon (%.0f)\n", what,
                        found->second, expected);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = "/tmp/brackmoor-star-bench-" + std::to_string(getpid());
    std::vector<StarFile> files = {{"Star", 16, folder + "-star.lwo"},
                                   {"DenseStar", 512, folder + "-dense.lwo"}};
    for (StarFile& file : files) {
        const std::vector<unsigned char> bytes =
            bm::lwo::write(bm::lwo::starModel(10, kCorners, file.step));
        file.bytes = bytes.size();
        if (!bm::lwo::writeFile(file.path, bytes)) {
            std::cerr << "star_bench: could not write " << file.path << "\n";
            return 1;
        }
        registerFile(file);
    }
    bm::bench::MedianReporter reporter;
    bm::bench::runInterleaved(argc, argv, reporter);
    for (const StarFile& file : files) {
        printSummary(file, reporter);
        std::remove(file.path.c_str());
    }
    return 0;
}
