// The measured scenarios, shared by the Google Benchmark binary and the
// fixed-count runner that callgrind counts. A scenario is set up once; each
// step has an unmeasured preparation and the measured step itself, which
// runs inside kvx_bench_measured_step so that callgrind can collect exactly
// that function.
#pragma once

#include <span>
#include <string_view>

#include "bench_pane.hpp"

namespace kvx::bench {

struct Scenario {
    std::string_view name;
    void (*setUp)(BenchPane &pane);
    void (*prepare)(BenchPane &pane);
    void (*step)(BenchPane &pane);
};

std::span<const Scenario> Scenarios();
const Scenario *FindScenario(std::string_view name);

}  // namespace kvx::bench

extern "C" void kvx_bench_measured_step(const kvx::bench::Scenario *scenario, kvx::bench::BenchPane *pane);
