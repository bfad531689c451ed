// Speed of choosing paper: ranking 30 stock sheets with every division, and
// the search for what would gain one more piece.

#include "papergain.h"
#include "stockrank.h"

#include <benchmark/benchmark.h>

using namespace sheetcraft;

namespace {

// Thirty sheets a shop might stock, all within a 28x40 press.
std::vector<StockSheet> thirtySheets() {
    const char *sizes[] = {"8.5x11", "8.5x14",    "11x17",   "12x18",     "13x19", "14x20",
                           "17x22",  "17.5x22.5", "18x23",   "19x25",     "20x26", "20x28",
                           "22x28",  "22.5x35",   "23x29",   "23x35",     "24x36", "25x38",
                           "26x40",  "28x40",     "12.5x19", "11.5x17.5", "9x12",  "10x13",
                           "16x20",  "18x24",     "20x30",   "21x33",     "24x30", "27x39"};
    std::string csv = "name,size,price,grain\n";
    int i = 0;
    for (const char *s : sizes)
        csv += std::string(s) + "," + s + "," + std::to_string(40 + i++) + ",long\n";
    return parseStockList(csv).sheets;
}

void BM_RankStock(benchmark::State &state) {
    const auto stock = thirtySheets();
    PaperJob job;
    const bool cards = state.range(0) == 1;
    job.pieceWidth = cards ? 3.5 : 3;
    job.pieceDepth = 2;
    job.quantity = 10000;
    state.SetLabel(cards ? "cards 3.5x2" : "defaults 2x3");
    std::size_t rows = 0;
    for (auto _ : state) {
        const auto ranking = rankStock(stock, PressLimits{}, job);
        rows = ranking.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["stocks"] = static_cast<double>(rows);
}
BENCHMARK(BM_RankStock)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

void BM_Gain(benchmark::State &state) {
    GainQuestion q;
    const bool cards = state.range(0) == 1;
    q.problem = cards ? LayoutProblem{18, 12, 3.5, 2, 0.375, true, GrainRule::Any}
                      : LayoutProblem{17, 11, 3, 2, 0.5, true, GrainRule::Any};
    q.stock = thirtySheets();
    state.SetLabel(cards ? "cards 3.5x2 on 12x18" : "defaults 2x3 on 11x17");
    std::size_t gains = 0;
    for (auto _ : state) {
        gains = findGains(q).gains.size();
        benchmark::DoNotOptimize(gains);
    }
    state.counters["gains"] = static_cast<double>(gains);
}
BENCHMARK(BM_Gain)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
