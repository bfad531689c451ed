#pragma once

#include "cuttree.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace sheetcraft {

// The guillotine the plan is cut on, in sheet units. A knife length of 0 or
// less takes any number of piles side by side; the smallest gauge distance is
// how close the back gauge comes to the knife.
struct MachineRules {
    double knifeLength = 0;
    double smallestGauge = 0;
    std::int64_t lift = 500; // sheets high, the most the clamp takes at once
};

// A common 45-inch (1150 mm) cutter: gauge no closer than 1 in (25 mm), lifts
// of 500 sheets.
MachineRules defaultMachine(bool metric);

// How a pile is turned before its cut: a quarter turn where the cut direction
// changes, round (half a turn) where the other edge must lie at the gauge.
enum class PileTurn { None, Quarter, Round };

// What comes off in front of the knife: a strip cut further later, finished
// pieces, or waste.
enum class CutOff { Strip, Pieces, Waste };

// One knife stroke: every listed stock (identical piles, side by side within
// the knife length) is cut straight across at `offset` from its left edge (X)
// or top edge (Y).
struct CutOperation {
    int n = 0; // 1, 2, ... in cutter order
    CutAxis axis = CutAxis::X;
    double offset = 0; // sheet units
    double stockWidth = 0, stockDepth = 0;
    std::int64_t stockCount = 0;   // piles under the knife together
    std::vector<SheetRect> stocks; // empty when the plan's detail is left out
    int node = -1;                 // the tree's split node every stock holds
    int pile = 0;                  // 1, 2, ...: the piles in the order they are started
    double gauge = 0;              // back gauge to knife: the part that stays
    PileTurn turn = PileTurn::None;
    CutOff off = CutOff::Strip;
    double offSize = 0;      // the part that comes off, across the knife
    bool narrowOff = false;  // that part is closer than the gauge can come
    bool belowGauge = false; // neither part reaches the smallest gauge distance
    bool overKnife = false;  // one pile is longer than the knife
};

struct CutPlan {
    std::vector<CutOperation> operations;
    bool detailOmitted = false; // stocks not listed: more pieces than the detail limit
};

// The knife strokes of a guillotine layout as an operator cuts it. Trims come
// first; then each pile is cut into its strips (the part that still needs
// cutting stays at the gauge, the rest comes off in front), and the strips of
// one kind are gathered side by side and finished before the next kind is
// started. A run of equal strips is halved rather than stepped where that
// takes fewer strokes. Piles are never stacked, so none is higher than a
// lift. Replayed from the tree's root stock, each operation splits each of its
// stocks in two, and at the end every piece is a stock of its own.
CutPlan makeCutPlan(const CutTree &tree, std::int64_t detailLimit = 5000,
                    const MachineRules &machine = {});

// Lifts a stage is cut in: ceil(sheets / lift); 0 for no sheets.
std::int64_t liftsFor(std::int64_t sheets, std::int64_t lift);

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

// The cutting work of a job, by which estimators price it: the press sheets
// cut into finished pieces and the parent sheets cut into press sheets, each
// in lifts, every lift taking its stage's strokes.
struct CuttingWork {
    std::int64_t pressLifts = 0, parentLifts = 0;
    std::int64_t knifeStrokes = 0; // saturates rather than wraps
};
CuttingWork cuttingWork(const OrderQuantities &order, std::size_t finishedStrokes,
                        std::size_t pressStrokes, std::int64_t lift);

} // namespace sheetcraft
