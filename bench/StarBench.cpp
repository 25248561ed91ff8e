// StarBench.cpp - models of stars, outlines that cross themselves at every corner, loaded by
// LoadLWO against Assimp's importer; and one such outline through the triangulator alone.
#include "BombFiles.h"
#include "Brackmoor.h"
#include "Lwo2Triangulator.h"

#include <assimp/cimport.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <map>
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

std::size_t trianglesOf(const std::vector<TSurfaceClass*>& surfaces) {
    std::size_t triangles = 0;
    for (const TSurfaceClass* s : surfaces)
        triangles += s->triangleIndex.size() / 3;
    return triangles;
}

void loadLwo(benchmark::State& state, const StarFile& file, std::int32_t flags) {
    std::vector<TSurfaceClass*> surfaces;
    for (auto _ : state) {
        TEntityClass entity;
        entity.LoadLWO(file.path, flags);
        surfaces = std::move(entity.Surface);
    }
    state.counters["triangles"] = static_cast<double>(trianglesOf(surfaces));
}

void assimpImport(benchmark::State& state, const StarFile& file) {
    std::size_t faces = 0;
    for (auto _ : state) {
        const aiScene* scene = aiImportFile(file.path.c_str(), aiProcess_Triangulate);
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
        return benchmark::RegisterBenchmark((file.name + "." + what).c_str(), fn)
            ->Repetitions(kRepetitions)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    };
    const StarFile* f = &file;
    add("LoadQuiet", [f](benchmark::State& s) { loadLwo(s, *f, 1 | BrackmoorLwoQuiet); });
    add("LoadSurfaces", [f](benchmark::State& s) {
        loadLwo(s, *f, BrackmoorLwoSurfaces | BrackmoorLwoNormals | BrackmoorLwoQuiet);
    });
    add("Assimp", [f](benchmark::State& s) { assimpImport(s, *f); });
    add("Outline", [f](benchmark::State& s) { splitOutline(s, f->step); });
}

// Prints the aggregates as usual and keeps every repetition's time, for the medians below.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, std::vector<double>> seconds;
    std::map<std::string, double> triangles;

    void ReportRuns(const std::vector<Run>& reports) override {
        std::vector<Run> aggregates;
        for (const Run& run : reports) {
            if (run.run_type == Run::RT_Aggregate) {
                aggregates.push_back(run);
                continue;
            }
            if (run.error_occurred || run.iterations == 0)
                continue;
            const std::string& name = run.run_name.function_name;
            seconds[name].push_back(run.real_accumulated_time / run.iterations);
            const auto counter = run.counters.find("triangles");
            if (counter != run.counters.end())
                triangles[name] = counter->second.value;
        }
        ConsoleReporter::ReportRuns(aggregates);
    }

    double medianMs(const std::string& name) const {
        const auto found = seconds.find(name);
        if (found == seconds.end() || found->second.empty())
            return 0.0;
        std::vector<double> times = found->second;
        std::sort(times.begin(), times.end());
        const std::size_t n = times.size();
        return 1000.0 * (n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2);
    }
};

void printSummary(const StarFile& file, const MedianReporter& r) {
    const auto ms = [&](const char* what) { return r.medianMs(file.name + "." + what); };
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
                        load <= 2 * assimp ? "met" : "NOT met");
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
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (const StarFile& file : files) {
        printSummary(file, reporter);
        std::remove(file.path.c_str());
    }
    return 0;
}
