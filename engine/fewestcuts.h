#pragma once

#include "bestlayout.h"
#include "cutplan.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace sheetcraft {

// One line of the trade-off between pieces and knife work: the layout with
// the fewest strokes found for its count, and where it comes from ("search",
// "frame 2", "two blocks").
struct TradeoffRow {
    std::int64_t count = 0;
    std::size_t cuts = 0;
    std::string source;
    Layout layout;
    CutPlan plan;
};

// Layouts from `given`'s count down to `leastCount`, each with fewer strokes
// than every line above it; the first line holds `given`'s count. Tried: the
// given layout, the frames the grain allows, and every split of the sheet
// into two grids (a grid beside or above a turned grid, which takes in the
// strip mixes), each planned on `machine`. Counted strokes are the fewest
// found among those, not proven fewest; past `deadline` no more layouts are
// tried. Empty when cancelled or when `given` has no tree.
std::vector<TradeoffRow> tradeoffTable(
    const LayoutProblem &problem, const Layout &given, std::int64_t leastCount,
    const MachineRules &machine, std::int64_t detailLimit,
    const std::atomic<bool> *cancel = nullptr,
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max());

// "30 up: 12 cuts", "29 up: 8 cuts (frame 2)"
std::string tradeoffText(const TradeoffRow &row);

} // namespace sheetcraft
