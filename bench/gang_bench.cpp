// Speed of gang-run planning: plan and bound for the shop's usual job mixes.

#include "coinsolver.h"
#include "gangplan.h"

#include <benchmark/benchmark.h>

using namespace sheetcraft;

namespace {

const GangJob allJobs[] = {
    {"postcard", 6, 4, 5000, GrainRule::Any},        {"card", 3.5, 2, 10000, GrainRule::Along},
    {"flyer", 11, 8.5, 2000, GrainRule::Across},     {"rack card", 9, 4, 3000, GrainRule::Any},
    {"greeting", 7, 5, 2500, GrainRule::Any},        {"label", 3, 3, 8000, GrainRule::Any},
    {"bookmark", 6, 2, 4000, GrainRule::Along},      {"invitation", 7, 5, 600, GrainRule::Any},
    {"door hanger", 11, 4.25, 1500, GrainRule::Any}, {"ticket", 5.5, 2, 7000, GrainRule::Any},
    {"coupon", 8.5, 3.5, 3500, GrainRule::Any},      {"menu", 14, 8.5, 800, GrainRule::Across},
};

struct Case {
    const char *name;
    int jobs;
    int maxTemplates;
    int budgetMs;
};
const Case cases[] = {
    {"5 jobs on 28x40, up to 3 templates", 5, 3, 800},
    {"12 jobs on 28x40, up to 4 templates", 12, 4, 4500},
    {"4 jobs on 28x40, one template", 4, 1, 200},
};

void BM_GangPlan(benchmark::State &state) {
    const Case &c = cases[state.range(0)];
    state.SetLabel(c.name);
    GangProblem p;
    p.sheetWidth = 40;
    p.sheetDepth = 28;
    p.gripper = 0.5;
    p.makeReady = 50;
    p.spoilagePct = 3;
    p.maxTemplates = c.maxTemplates;
    p.jobs.assign(std::begin(allJobs), std::begin(allJobs) + c.jobs);
    GangOptions options;
    options.budget = std::chrono::milliseconds(c.budgetMs);
    CoinSolver solver;
    GangPlan plan;
    for (auto _ : state) {
        plan = planGang(p, solver, options);
        benchmark::DoNotOptimize(plan.pressSheets);
    }
    state.counters["sheets"] = static_cast<double>(plan.pressSheets);
    state.counters["bound"] = static_cast<double>(plan.lowerBound);
    state.counters["gap"] = static_cast<double>(plan.pressSheets - plan.lowerBound);
    state.counters["templates"] = static_cast<double>(plan.templates.size());
    state.counters["cutShort"] = plan.integerCutShort;
}
BENCHMARK(BM_GangPlan)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
