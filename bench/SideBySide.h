// SideBySide.h - what the benchmarks share to measure two things side by side in one run: a call
// timed, two calls taken in turn and their medians kept, every repetition's time kept by name,
// repetitions interleaved, and the verdict on a target.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bm::bench {

// The middle value, or the mean of the middle two; 0 for none.
inline double median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The seconds one call of work takes, by the wall clock.
template <typename Work>
double secondsOf(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each iteration times first, then second, so that load on the machine falls on both alike; the
// medians of their seconds.
template <typename First, typename Second>
std::pair<double, double> alternate(benchmark::State& state, First&& first, Second&& second) {
    std::vector<double> a, b;
    for (auto _ : state) {
        a.push_back(secondsOf(first));
        b.push_back(secondsOf(second));
    }
    return {median(std::move(a)), median(std::move(b))};
}

// Shows two medians of seconds as counters, scaled (1e3 for milliseconds, 1e6 for microseconds),
// with their ratio, first over second, which it returns.
inline double ratioCounters(benchmark::State& state, std::pair<double, double> medians,
                            const char* first, const char* second, double scale) {
    const double ratio = medians.first / medians.second;
    state.counters[first] = medians.first * scale;
    state.counters[second] = medians.second * scale;
    state.counters["ratio"] = ratio;
    return ratio;
}

// Prints the aggregates as usual and keeps, by benchmark name, every repetition's seconds an
// iteration and its "triangles" counter, for the summaries after the run.
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

    // The median seconds an iteration; 0 when the benchmark did not run.
    double medianSeconds(const std::string& name) const {
        const auto found = seconds.find(name);
        return found == seconds.end() ? 0.0 : median(found->second);
    }
};

// A benchmark repeated, in milliseconds; the caller says which time it reports.
template <typename Function>
benchmark::internal::Benchmark* repeated(const std::string& name, Function function,
                                         int repetitions) {
    return benchmark::RegisterBenchmark(name.c_str(), function)
        ->Repetitions(repetitions)
        ->Unit(benchmark::kMillisecond);
}

// Runs the benchmarks in the order they were registered, once setUp has made what they measure;
// false, having said so, when an argument is not the library's.
template <typename SetUp>
bool runInOrder(int argc, char** argv, SetUp&& setUp) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return false;
    setUp();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return true;
}

// Runs the registered benchmarks with their repetitions in random order, so that a busy spell on
// the machine is spread over them rather than falling on one.
inline void runInterleaved(int argc, char** argv, MedianReporter& reporter) {
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}

inline const char* verdict(bool met) {
    return met ? "met" : "NOT met";
}

}  // namespace bm::bench
