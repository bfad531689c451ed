#pragma once

#include "cutplan.h"
#include "stockcount.h"
#include "stocklist.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace sheetcraft {

// The job the paper is chosen for. `grain` is where the job wants the paper's
// grain: along the piece's long side (Along), across it, or either (Any).
struct PaperJob {
    double pieceWidth = 0, pieceDepth = 0;
    double gripper = 0;
    bool gripperOnWidth = true; // the press sheet's long edge
    GrainRule grain = GrainRule::Any;
    std::int64_t quantity = 0;
    double spoilagePct = 0;
    std::int64_t makeReady = 0;
};

// One press sheet cut from a stock sheet: its width divided into `across`
// equal parts and its depth into `down` (1 x 1: the whole sheet).
struct PressChoice {
    int across = 1, down = 1;
    double pressWidth = 0, pressDepth = 0; // width the larger number, to 1/10000 down
    std::string pressSize;                 // as the size cell takes it ("12.5x19")
    std::int64_t out = 1;                  // press sheets from one stock sheet
    PieceCount up;                         // pieces on one press sheet, gripper off
    GrainRule rule = GrainRule::Any;       // how pieces may lie on this press sheet
    bool grainChecked = true;              // false: the job wants a grain, the stock's is unknown
    std::optional<OrderQuantities> order;  // nothing when nothing fits
    double wastePercent = 100;             // of the stock sheet
    std::optional<double> cost;            // stock sheets x price / 1000
    int operations = 0;                    // division cuts plus the pieces' cut plan
};

// A stock sheet's press sheets that fit the press, best first.
struct StockRanking {
    std::size_t stock = 0; // index into the list
    std::vector<PressChoice> choices;
    const PressChoice &best() const { return choices.front(); }
};

// Which of two choices is the better buy: lower cost (or, with no price on
// either, fewer stock sheets); a priced choice before an unpriced one; then
// fewer cut operations, less waste, the whole sheet before divisions.
bool betterChoice(const PressChoice &a, const PressChoice &b);

// How the pieces lie and why: "long side across the sheet (short-grain press
// sheet from long-grain stock)", "any way round".
std::string grainNote(const PressChoice &choice, GrainRule job, StockGrain stock);

// Ranks every stock sheet that has a press sheet holding at least one piece:
// each stock's choices best first, the stocks by their best choice. Stocks
// with nothing that fits are left out. Each search gets `budget`.
std::vector<StockRanking>
rankStock(const std::vector<StockSheet> &stock, const PressLimits &press, const PaperJob &job,
          std::chrono::milliseconds budget = std::chrono::milliseconds(50));

} // namespace sheetcraft
