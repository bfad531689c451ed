// Speed of the best layout search and its cut plan on the shop's usual cases.

#include "bestlayout.h"
#include "cutplan.h"

#include <benchmark/benchmark.h>

using namespace sheetcraft;

namespace {

struct Case {
    const char *name;
    LayoutProblem problem;
};

// The finished sheet on the default press sheet with the default gripper (0),
// and pieces that do not divide each other or are tiny.
const Case cases[] = {
    {"defaults 2x3 on 17x11", {17, 11, 3, 2, 0, true, GrainRule::Any}},
    {"cards 3.5x2 on 28x40", {40, 28, 3.5, 2, 0, true, GrainRule::Any}},
    {"cards 3.5x2 on 12x18, 1/8 gutter", {18, 12, 3.5, 2, 0.375, true, GrainRule::Any, 0.125}},
    {"letter 8.5x11 on 26x40", {40, 26, 11, 8.5, 0, true, GrainRule::Any}},
    {"metric 216x154 on 1020x720", {1020, 720, 216, 154, 0, true, GrainRule::Any}},
    {"0.31x0.43 on 11x17", {17, 11, 0.43, 0.31, 0, true, GrainRule::Any}},
    {"0.013x0.017 on 11x17", {17, 11, 0.017, 0.013, 0, true, GrainRule::Any}},
};

void BM_BestLayout(benchmark::State &state) {
    const Case &c = cases[state.range(0)];
    state.SetLabel(c.name);
    BestLayout best;
    for (auto _ : state) {
        best = bestLayout(c.problem);
        benchmark::DoNotOptimize(best.layout.count);
    }
    state.counters["count"] = static_cast<double>(best.layout.count);
    state.counters["bound"] = static_cast<double>(best.upperBound);
    state.counters["exact"] = best.exact;
}
BENCHMARK(BM_BestLayout)
    ->DenseRange(0, static_cast<int>(std::size(cases)) - 1)
    ->Unit(benchmark::kMillisecond);

void BM_CutPlan(benchmark::State &state) {
    const Case &c = cases[state.range(0)];
    state.SetLabel(c.name);
    const BestLayout best = bestLayout(c.problem);
    CutPlan plan;
    for (auto _ : state) {
        plan = makeCutPlan(best.layout.tree, 5000, defaultMachine(c.problem.sheetWidth > 100));
        benchmark::DoNotOptimize(plan.operations.data());
    }
    state.counters["strokes"] = static_cast<double>(plan.operations.size());
}
BENCHMARK(BM_CutPlan)
    ->DenseRange(0, static_cast<int>(std::size(cases)) - 1)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
