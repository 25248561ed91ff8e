// ViewBench.cpp - the viewer's frames per second on the one-layer benchmark model, with shared
// vertices (its default) and with a vertex per corner (--no-compact), side by side in one run.
// Each repetition is one run of the viewer, which times the frames after its first.
#include "LwoModels.h"
#include "SideBySide.h"

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kRepetitions = 5;
constexpr const char* kFrames = "21";  // 20 timed after the first

// Runs the viewer and returns the frames per second it reports; 0 when it fails.
double viewerFps(const std::string& model, bool compact) {
    int ends[2];
    if (pipe(ends) != 0)
        return 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    std::vector<std::string> words = {BRACKMOOR_VIEW, model, "--frames", kFrames, "--fps"};
    if (!compact)
        words.push_back("--no-compact");
    std::vector<char*> args;
    for (std::string& w : words)
        args.push_back(w.data());
    args.push_back(nullptr);
    pid_t child = 0;
    const bool started =
        posix_spawn(&child, BRACKMOOR_VIEW, &actions, nullptr, args.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    std::string said;
    char buffer[1024];
    for (ssize_t got; started && (got = read(ends[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, static_cast<std::size_t>(got));
    close(ends[0]);
    int status = 0;
    if (!started || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return 0;
    // "20 frames after the first in T ms: F frames per second"
    const std::size_t colon = said.rfind(": ");
    return colon == std::string::npos ? 0 : std::atof(said.c_str() + colon + 2);
}

void drawFrames(benchmark::State& state, const std::string& model, bool compact) {
    for (auto _ : state) {
        const double fps = viewerFps(model, compact);
        if (fps <= 0) {
            state.SkipWithError("the viewer did not report its frames");
            break;
        }
        state.SetIterationTime(1 / fps);
    }
}

}  // namespace

int main(int argc, char** argv) {
    bm::bench::BenchModel model = bm::bench::oneLayerMixModel();
    model.path = "view_bench_one_layer.lwo";
    if (!bm::bench::writeModelFile(model)) {
        std::cerr << "view_bench: could not write " << model.path << "\n";
        return 1;
    }
    for (const bool compact : {true, false})
        bm::bench::repeated(
            compact ? "View.Compact" : "View.Plain",
            [path = model.path, compact](benchmark::State& s) { drawFrames(s, path, compact); },
            kRepetitions)
            ->Iterations(1)
            ->UseManualTime();
    bm::bench::MedianReporter reporter;
    bm::bench::runInterleaved(argc, argv, reporter);
    std::remove(model.path.c_str());
    // Each iteration's time is one frame's.
    const auto fps = [&](const char* name) {
        const double seconds = reporter.medianSeconds(name);
        return seconds > 0 ? 1 / seconds : 0.0;
    };
    const double compact = fps("View.Compact"), plain = fps("View.Plain");
    std::printf("\nThe viewer on %s (%zu triangles), 640x480, lit, medians of %d runs:\n",
                model.description.c_str(), model.triangles, kRepetitions);
    std::printf("  shared vertices %.2f frames per second, a vertex per corner %.2f", compact,
                plain);
    if (compact > 0 && plain > 0)
        std::printf(": %.2fx (target at least 1.5x): %s", compact / plain,
                    bm::bench::verdict(compact / plain >= 1.5));
    std::printf("\n");
    return 0;
}
