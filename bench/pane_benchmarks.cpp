// kvx-bench: each scenario timed per step (manual timing around the measured
// step alone), with its heap allocations per step as a counter; at the end
// the ratio of open_pane to libcups' bare PPD parse.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>

#include "allocation_counter.hpp"
#include "scenarios.hpp"

namespace {

using kvx::bench::Scenario;

void RunScenario(benchmark::State &state, const Scenario *scenario) {
    kvx::bench::BenchPane pane;
    scenario->setUp(pane);
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        scenario->prepare(pane);
        const std::uint64_t allocationsBefore = kvx::bench::AllocationCount();
        const auto start = std::chrono::steady_clock::now();
        kvx_bench_measured_step(scenario, &pane);
        const auto end = std::chrono::steady_clock::now();
        allocations += kvx::bench::AllocationCount() - allocationsBefore;
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    state.counters["allocs_per_step"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

// Prints as the console does, and keeps each scenario's time per step: the
// fastest of its repetitions when there are several.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "min")
                timePerStep_[run.run_name.function_name] = run.GetAdjustedRealTime();
            else if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !timePerStep_.contains(run.run_name.function_name))
                timePerStep_[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    void PrintRatio(const std::string &measured, const std::string &floor) const {
        const auto numerator = timePerStep_.find(measured);
        const auto denominator = timePerStep_.find(floor);
        if (numerator == timePerStep_.end() || denominator == timePerStep_.end()) return;
        std::printf("%s / %s = %.2f\n", measured.c_str(), floor.c_str(), numerator->second / denominator->second);
    }

private:
    std::map<std::string, double> timePerStep_;
};

}  // namespace

int main(int argc, char **argv) {
    for (const Scenario &scenario : kvx::bench::Scenarios())
        benchmark::RegisterBenchmark(std::string(scenario.name).c_str(), RunScenario, &scenario)
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond)
            // On a shared machine the fastest repetition is the least disturbed.
            ->ComputeStatistics("min", [](const std::vector<double> &times) {
                return *std::min_element(times.begin(), times.end());
            });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("open_pane", "ppd_floor");
    benchmark::Shutdown();
    return 0;
}
