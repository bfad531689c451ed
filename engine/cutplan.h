#pragma once

#include "cuttree.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace sheetcraft {

// One setting of the back gauge: every listed stock (all the same size, stacked)
// is cut straight across at `offset` from its left edge (X) or top edge (Y).
struct CutOperation {
    int n = 0; // 1, 2, ... in cutter order
    CutAxis axis = CutAxis::X;
    double offset = 0; // sheet units
    double stockWidth = 0, stockDepth = 0;
    std::int64_t stockCount = 0;
    std::vector<SheetRect> stocks; // empty when the plan's detail is left out
    int node = -1;                 // the tree's split node every stock holds
};

struct CutPlan {
    std::vector<CutOperation> operations;
    bool detailOmitted = false; // stocks not listed: more pieces than the detail limit
};

// The cut operations of a guillotine layout in cutter order, larger stocks
// first. Identical stocks that need the same cut are stacked into one
// operation; trims of waste are operations too. Replayed from the tree's root
// stock, each operation splits each of its stocks in two, and at the end every
// piece is a stock of its own.
CutPlan makeCutPlan(const CutTree &tree, std::int64_t detailLimit = 5000);

// Sheets to order for a job, in exact whole numbers:
//   run = ceil(quantity / up)
//   press sheets = run + ceil(run * spoilage / 100) + make-ready
//   parent sheets = ceil(press sheets / out)
struct OrderQuantities {
    std::int64_t quantity = 0;
    std::int64_t run = 0;
    std::int64_t pressSheets = 0;
    std::int64_t parentSheets = 0;
};

// Nothing when up or out is below 1, quantity or make-ready is negative, the
// spoilage is negative or not finite, or a figure would not fit 64 bits. The
// spoilage counts to 1/10000 of a percent.
std::optional<OrderQuantities> orderQuantities(std::int64_t quantity, double spoilagePct,
                                               std::int64_t makeReady, std::int64_t up,
                                               std::int64_t out);

} // namespace sheetcraft
