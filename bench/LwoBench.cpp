// LwoBench.cpp - LoadLWO, quiet, compact and with its whole report, against Assimp's importer and
// against the floor of reading and walking the file, on two large generated models: each load
// once in a fresh process (cold), then repeated in this one (warm).
#include "Brackmoor.h"
#include "LwoMemory.h"
#include "LwoModels.h"
#include "LwoWalk.h"
#include "ModelLoads.h"
#include "SideBySide.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using bm::bench::BenchModel;
using bm::bench::median;
using bm::bench::verdict;

// Every measurement is repeated and its median kept: the machines are shared and noisy.
constexpr int kRepetitions = 7;
constexpr int kColdRounds = 7;
// What lwo_load_once runs, in this order in the first round, each round starting one later.
const char* const kColdLoaders[] = {"assimp", "compact", "quiet", "walk", "read"};
constexpr std::size_t kColdLoaderCount = std::size(kColdLoaders);

// Each loader's fresh-process loads of one model.
struct ColdLoads {
    std::map<std::string, std::vector<double>> ms, peakMB;
    std::map<std::string, double> keptMB, triangles;
    bool failed = false;

    double medianMs(const std::string& loader) const {
        const auto found = ms.find(loader);
        return found == ms.end() ? 0.0 : median(found->second);
    }
    double medianPeakMB(const std::string& loader) const {
        const auto found = peakMB.find(loader);
        return found == peakMB.end() ? 0.0 : median(found->second);
    }
};

// lwo_load_once, built beside this program.
std::string driverPath() {
    char self[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path(self, length > 0 ? static_cast<std::size_t>(length) : 0);
    return path.substr(0, path.rfind('/') + 1) + "lwo_load_once";
}

// Rounds of one load per loader, each in a fresh process, the loaders taking turns to go first;
// the machine's memory is warmed alike before each.
ColdLoads loadCold(const BenchModel& model, std::size_t warmUpBytes) {
    ColdLoads cold;
    const std::string driver = driverPath();
    for (int round = 0; round < kColdRounds; ++round) {
        for (std::size_t k = 0; k < kColdLoaderCount; ++k) {
            const std::string loader =
                kColdLoaders[(k + static_cast<std::size_t>(round)) % kColdLoaderCount];
            bm::bench::warmUpMemory(warmUpBytes);
            const bm::bench::FreshLoad load =
                bm::bench::loadInFreshProcess(driver, loader, model.path);
            if (!load.measured) {
                std::cerr << "lwo_bench: " << driver << " " << loader << " " << model.path
                          << " failed\n";
                cold.failed = true;
                return cold;
            }
            cold.ms[loader].push_back(load.ms);
            cold.peakMB[loader].push_back(load.peakBytes / 1e6);
            cold.keptMB[loader] = load.keptBytes / 1e6;
            cold.triangles[loader] = static_cast<double>(load.triangles);
        }
    }
    return cold;
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

void loadLwo(benchmark::State& state, const BenchModel& model, std::int32_t flags) {
    bm::bench::warmUpMemory(model.warmUpBytes);
    {
        QuietStdout quiet;
        bm::bench::loadLwo(state, model.path, flags);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(model.bytes.size()));
}

void assimpImport(benchmark::State& state, const BenchModel& model) {
    bm::bench::warmUpMemory(model.warmUpBytes);
    bm::bench::assimpImport(state, model.path);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(model.bytes.size()));
}

std::vector<unsigned char> readModel(benchmark::State& state, const BenchModel& model) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(model.path.c_str(), "rb"),
                                                         &std::fclose);
    std::vector<unsigned char> buffer(model.bytes.size());
    const std::size_t got = file ? std::fread(buffer.data(), 1, buffer.size(), file.get()) : 0;
    if (got != buffer.size())
        state.SkipWithError("could not read the model back");
    return buffer;
}

// The floors: the file read into memory, and read with every point and corner decoded.
void readFile(benchmark::State& state, const BenchModel& model, bool walk) {
    for (auto _ : state) {
        const std::vector<unsigned char> bytes = readModel(state, model);
        benchmark::DoNotOptimize(bytes.data());
        if (walk) {
            const bm::bench::WalkResult r =
                bm::bench::walkPointsAndPolygons(bytes.data(), bytes.size());
            benchmark::DoNotOptimize(r);
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(model.bytes.size()));
}

void registerModel(const BenchModel& model) {
    const auto add = [&](const char* what, auto fn) {
        return bm::bench::repeated(model.name + "." + what, fn, kRepetitions)->UseRealTime();
    };
    const BenchModel* m = &model;
    // A model load keeps hundreds of megabytes until exit, so each repetition is one load.
    add("LoadQuiet", [m](benchmark::State& s) {
        loadLwo(s, *m, 1 | BrackmoorLwoQuiet);
    })->Iterations(1);
    add("LoadCompact", [m](benchmark::State& s) {
        loadLwo(s, *m, 1 | BrackmoorLwoQuiet | BrackmoorLwoCompact);
    })->Iterations(1);
    add("LoadReport", [m](benchmark::State& s) { loadLwo(s, *m, 1); })->Iterations(1);
    add("Assimp", [m](benchmark::State& s) { assimpImport(s, *m); })->Iterations(1);
    add("ReadFile", [m](benchmark::State& s) { readFile(s, *m, false); });
    add("ReadAndWalk", [m](benchmark::State& s) { readFile(s, *m, true); });
}

void printLoad(const char* what, double ms, double assimp, double target) {
    if (ms <= 0)
        return;
    std::printf("  LoadLWO %-14s %8.1f ms", what, ms);
    if (assimp > 0)
        std::printf("  %.2fx as fast as Assimp (target at least %.0fx): %s", assimp / ms, target,
                    verdict(assimp / ms >= target));
    std::printf("\n");
}

void printTriangles(const BenchModel& model, const bm::bench::MedianReporter& r) {
    const auto count = [&](const char* what) {
        const auto found = r.triangles.find(model.name + "." + what);
        return found == r.triangles.end() ? -1.0 : found->second;
    };
    const double expected = static_cast<double>(model.triangles);
    bool exact = true, any = false;
    for (const char* what : {"LoadQuiet", "LoadCompact", "LoadReport", "Assimp"}) {
        if (count(what) < 0)
            continue;
        std::printf("%s %s %.0f", any ? "," : "  Triangles:", what, count(what));
        exact = exact && count(what) == expected;
        any = true;
    }
    if (any)
        std::printf(": %s\n", exact ? "all n - 2 per polygon" : "NOT all n - 2 per polygon");
}

// Fresh processes: the loads' medians against the importer's, memory, and the floors.
void printCold(const ColdLoads& cold) {
    const double assimp = cold.medianMs("assimp");
    std::printf("  Cold, one load per fresh process, medians of %d:\n", kColdRounds);
    printLoad("quiet", cold.medianMs("quiet"), assimp, 1.0);
    printLoad("quiet compact", cold.medianMs("compact"), assimp, 2.0);
    std::printf("  Assimp                 %8.1f ms\n", assimp);
    std::printf("  Floor: read %.1f ms, read and walk %.1f ms\n", cold.medianMs("read"),
                cold.medianMs("walk"));
    const double compactPeak = cold.medianPeakMB("compact"),
                 assimpPeak = cold.medianPeakMB("assimp");
    std::printf(
        "  Peak memory above the process before: quiet %.1f MB, compact %.1f MB, Assimp "
        "%.1f MB (target compact at most Assimp's): %s\n",
        cold.medianPeakMB("quiet"), compactPeak, assimpPeak, verdict(compactPeak <= assimpPeak));
    const double quietKept = cold.keptMB.at("quiet"), compactKept = cold.keptMB.at("compact");
    std::printf(
        "  Surfaces keep: quiet %.1f MB, compact %.1f MB, %.0f%% (target at most 25%%): "
        "%s\n",
        quietKept, compactKept, 100 * compactKept / quietKept,
        verdict(compactKept <= quietKept / 4));
    const double expected = cold.triangles.at("quiet");
    const bool same =
        cold.triangles.at("compact") == expected && cold.triangles.at("assimp") == expected;
    std::printf("  Triangles: quiet %.0f, compact %.0f, Assimp %.0f: %s\n", expected,
                cold.triangles.at("compact"), cold.triangles.at("assimp"),
                same ? "the same" : "NOT the same");
}

void printSummary(const BenchModel& model, const bm::bench::MedianReporter& r,
                  const ColdLoads& cold) {
    const auto ms = [&](const char* what) {
        return 1000.0 * r.medianSeconds(model.name + "." + what);
    };
    const double quiet = ms("LoadQuiet"), compact = ms("LoadCompact"), report = ms("LoadReport");
    const double assimp = ms("Assimp"), read = ms("ReadFile"), walk = ms("ReadAndWalk");
    std::printf("\n%s (%s): %zu bytes, %zu points, %zu polygons, %zu triangles by n - 2\n",
                model.name.c_str(), model.description.c_str(), model.bytes.size(), model.points,
                model.polygons, model.triangles);
    if (!cold.failed)
        printCold(cold);
    std::printf("  Warm, repeated in this process, medians of %d:\n", kRepetitions);
    printLoad("quiet", quiet, assimp, 2.0);
    printLoad("quiet compact", compact, assimp, 2.0);
    printLoad("with report", report, assimp, 1.0);
    if (assimp > 0)
        std::printf("  Assimp                 %8.1f ms\n", assimp);
    if (read > 0 && walk > 0)
        std::printf("  Floor: read %.1f ms, read and walk %.1f ms", read, walk);
    if (read > 0 && walk > 0 && quiet > 0 && compact > 0 && report > 0)
        std::printf("; quiet load %.1fx the walk, compact %.1fx, with report %.1fx", quiet / walk,
                    compact / walk, report / walk);
    if (read > 0 && walk > 0)
        std::printf("\n");
    printTriangles(model, r);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<BenchModel> models = {bm::bench::fourLayerModel(), bm::bench::oneLayerMixModel()};
    // The fresh processes come first, while this one is small.
    std::vector<ColdLoads> cold;
    for (BenchModel& model : models) {
        if (!bm::bench::writeModelFile(model)) {
            std::cerr << "lwo_bench: could not write " << model.path << "\n";
            return 1;
        }
        const bm::bench::FreshLoad plain =
            bm::bench::loadInFreshProcess(driverPath(), "quiet", model.path);
        model.warmUpBytes = 2 * plain.keptBytes;
        cold.push_back(loadCold(model, model.warmUpBytes));
        registerModel(model);
    }
    bm::bench::MedianReporter reporter;
    bm::bench::runInterleaved(argc, argv, reporter);
    for (std::size_t i = 0; i < models.size(); ++i) {
        printSummary(models[i], reporter, cold[i]);
        std::remove(models[i].path.c_str());
    }
    return 0;
}
