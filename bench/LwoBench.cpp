// LwoBench.cpp - LoadLWO against Assimp's importer and a plain file read, on one large model.
#include "Brackmoor.h"
#include "Lwo2Writer.h"

#include <assimp/cimport.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kModelPath = "lwo_bench_model.lwo";
std::int64_t modelBytes = 0;

// Four layers of 500 x 500 points in a grid, so most indices need LWO2's 4-byte form.
// Each row of cells is mostly quads, with a hexagon over two cells and an octagon over
// three cells in every 16.
const int kLayers = 4;
const int kGrid = 500;

void addCells(bm::lwo::Layer& layer, int row) {
    const auto at = [row](int r, int c) {
        return static_cast<std::uint32_t>((row + r) * kGrid + c);
    };
    for (int c = 0; c + 1 < kGrid;) {
        const int span = (c % 16 == 0 && c + 2 < kGrid)   ? 2
                         : (c % 16 == 8 && c + 3 < kGrid) ? 3
                                                          : 1;
        bm::lwo::Polygon poly;
        for (int k = 0; k <= span; ++k)
            poly.corners.push_back(at(0, c + k));
        for (int k = span; k >= 0; --k)
            poly.corners.push_back(at(1, c + k));
        poly.tag = static_cast<std::uint32_t>(row % 2);
        layer.polygons.push_back(std::move(poly));
        c += span;
    }
}

bm::lwo::Layer gridLayer(int index) {
    bm::lwo::Layer layer;
    layer.points.reserve(kGrid * kGrid);
    for (int r = 0; r < kGrid; ++r)
        for (int c = 0; c < kGrid; ++c)
            layer.points.push_back({c * 0.01f, r * 0.01f, index * 0.5f});
    for (int r = 0; r + 1 < kGrid; ++r)
        addCells(layer, r);
    return layer;
}

bool writeModel() {
    bm::lwo::Model model;
    model.tags = {"Even", "Odd"};
    model.surfaces = {{"Even", 0.8f, 0.8f, 0.8f, 1.0f}, {"Odd", 0.2f, 0.4f, 0.9f, 1.0f}};
    for (int i = 0; i < kLayers; ++i)
        model.layers.push_back(gridLayer(i));
    const std::vector<unsigned char> bytes = bm::lwo::write(model);
    modelBytes = static_cast<std::int64_t>(bytes.size());
    return bm::lwo::writeFile(kModelPath, bytes);
}

// Sends standard output to /dev/null while alive: the loader's report runs to millions of lines.
class QuietStdout {
public:
    QuietStdout() {
        flushAll();
        saved_ = dup(STDOUT_FILENO);
        const int sink = open("/dev/null", O_WRONLY);
        dup2(sink, STDOUT_FILENO);
        close(sink);
    }
    ~QuietStdout() {
        flushAll();
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
    }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    static void flushAll() {
        std::cout.flush();
        std::fflush(stdout);
    }
    int saved_;
};

void BM_LoadLWO(benchmark::State& state) {
    std::size_t triangles = 0;
    {
        QuietStdout quiet;
        for (auto _ : state) {
            // The registry keeps the surfaces until exit; the entity itself is only a handle.
            TEntityClass entity;
            entity.LoadLWO(kModelPath, 1);
            triangles = 0;
            for (const TSurfaceClass* s : entity.Surface)
                triangles += s->triangleIndex.size() / 3;
        }
    }
    state.counters["triangles"] = static_cast<double>(triangles);
    state.SetBytesProcessed(state.iterations() * modelBytes);
}

void BM_AssimpImport(benchmark::State& state) {
    std::size_t faces = 0;
    for (auto _ : state) {
        const aiScene* scene = aiImportFile(kModelPath, aiProcess_Triangulate);
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
    state.SetBytesProcessed(state.iterations() * modelBytes);
}

void BM_ReadFile(benchmark::State& state) {
    for (auto _ : state) {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(kModelPath, "rb"),
                                                             &std::fclose);
        std::vector<unsigned char> buffer(static_cast<std::size_t>(modelBytes));
        const std::size_t got = file ? std::fread(buffer.data(), 1, buffer.size(), file.get()) : 0;
        benchmark::DoNotOptimize(buffer.data());
        if (got != buffer.size()) {
            state.SkipWithError("could not read the model back");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * modelBytes);
}

// Each LoadLWO of this model keeps about 6 million vertices until exit, so its runs are few.
BENCHMARK(BM_LoadLWO)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AssimpImport)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// Prints as usual and keeps each benchmark's real time per iteration for the closing ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;

    void ReportRuns(const std::vector<Run>& reports) override {
        for (const Run& run : reports)
            if (!run.error_occurred && run.iterations > 0)
                seconds[run.benchmark_name()] = run.real_accumulated_time / run.iterations;
        ConsoleReporter::ReportRuns(reports);
    }
};

double secondsOf(const RatioReporter& reporter, const std::string& prefix) {
    for (const auto& [name, time] : reporter.seconds)
        if (name.rfind(prefix, 0) == 0)
            return time;
    return 0.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (!writeModel()) {
        std::cerr << "lwo_bench: could not write " << kModelPath << "\n";
        return 1;
    }
    std::cout << "Model: " << kModelPath << ", " << modelBytes << " bytes, "
              << kLayers * kGrid * kGrid << " points" << std::endl;
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double lwo = secondsOf(reporter, "BM_LoadLWO");
    const double assimp = secondsOf(reporter, "BM_AssimpImport");
    if (lwo > 0.0 && assimp > 0.0)
        std::printf(
            "LoadLWO vs Assimp: %.2fx as fast (%.1f ms against %.1f ms; target at least 2x): %s\n",
            assimp / lwo, lwo * 1000.0, assimp * 1000.0, assimp / lwo >= 2.0 ? "met" : "NOT met");
    std::remove(kModelPath);
    return 0;
}
