// kvx-bench-steps SCENARIO COUNT: sets the scenario up, then runs COUNT
// prepared steps; callgrind collects inside kvx_bench_measured_step only.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "scenarios.hpp"

int main(int argc, char **argv) {
    const kvx::bench::Scenario *scenario = argc == 3 ? kvx::bench::FindScenario(argv[1]) : nullptr;
    const long count = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 0;
    if (scenario == nullptr || count <= 0) {
        std::fprintf(stderr, "usage: kvx-bench-steps SCENARIO COUNT\nscenarios:");
        for (const auto &known : kvx::bench::Scenarios()) std::fprintf(stderr, " %s", std::string(known.name).c_str());
        std::fprintf(stderr, "\n");
        return 2;
    }
    kvx::bench::BenchPane pane;
    scenario->setUp(pane);
    for (long step = 0; step < count; ++step) {
        scenario->prepare(pane);
        kvx_bench_measured_step(scenario, &pane);
    }
    return 0;
}
