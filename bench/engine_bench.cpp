// Speed of the engine alone: one fit count, and both diagrams for the defaults.

#include "fitcount.h"
#include "layoutsession.h"

#include <benchmark/benchmark.h>

using namespace sheetcraft;

namespace {

void BM_FitCount(benchmark::State &state) {
    FitResult r;
    double w = 3;
    for (auto _ : state) {
        benchmark::DoNotOptimize(w);
        benchmark::DoNotOptimize(FSSOutPSS(w, 2, 17, 11, r));
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_FitCount);

void BM_BothDiagramsDefaults(benchmark::State &state) {
    LayoutSession session;
    session.frames.fssFrame = 1;
    session.frames.pssFrame = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(session.DrawSheet());
        benchmark::DoNotOptimize(session.finished());
    }
}
BENCHMARK(BM_BothDiagramsDefaults);

} // namespace

BENCHMARK_MAIN();
