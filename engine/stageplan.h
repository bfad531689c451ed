#pragma once

#include "bestlayout.h"
#include "cutplan.h"
#include "diagram.h"
#include "fewestcuts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sheetcraft {

// Pieces and cuts are listed up to this many pieces.
inline constexpr std::int64_t bestDetailLimit = 5000;

// One stage of the cut plan: the best guillotine layout for a drawn diagram,
// beside the frame the diagram shows, each with its cut operations.
struct StagePlan {
    Diagram diagram = Diagram::Finished;
    GrainRule grain = GrainRule::Any;
    double pieceWidth = 0, pieceDepth = 0; // as the diagram lays it, sheet units
    double gripper = 0;                    // 0: none
    double gutter = 0;                     // between pieces in the best layout; 0: none
    BestLayout best; // its layout: the one of the best count with the fewest strokes found
    CutPlan plan;
    MachineRules machine;
    std::vector<TradeoffRow> tradeoff; // fewest strokes found per count, best count first
    std::size_t shown = 0;             // the trade-off line shown and printed
    std::int64_t framesMaximum = 0;    // the panel's MAXIMUM OUT
    std::int64_t framesAllowed = 0;    // the best of the frames the grain allows
    int frame = 0;                     // the frame the diagram shows, 1 to 4
    Layout frameLayout;                // that frame as a guillotine layout
    CutPlan framePlan;
};

// The layout and plan of the trade-off line shown (the best layout's when
// there is no such line).
const Layout &shownLayout(const StagePlan &stage);
const CutPlan &shownPlan(const StagePlan &stage);

// Works out a stage for a drawn diagram that fits; safe on any thread.
StagePlan computeStagePlan(const DiagramValues &diagram, GrainRule grain,
                           const BestLayoutOptions &options, double gutter = 0,
                           const MachineRules &machine = {});

// The sheets to order for a job with the layouts shown of both stages, and with
// the frames their grain rules allow; nothing where they cannot be worked out.
struct OrderFigures {
    std::optional<OrderQuantities> best, frames;
};
OrderFigures orderFigures(std::int64_t quantity, double spoilagePercent, std::int64_t makeReady,
                          const StagePlan &finished, const StagePlan &press);

// A count as shown: digits, or for a count past 64 bits "9.2E+18 or more".
std::string countText(std::int64_t count);

// The texts a stage is shown and printed with, the same in every place.

// "Press sheet 17 x 11   Finished sheet 3 x 2   Gripper 0.5"
std::string sizesLine(const StagePlan &stage);
// "Frames 1-4: 29   Best guillotine layout: 30 (+1)   No layout can hold more than 31"
std::string comparisonLine(const StagePlan &stage);
// "Grain: any   Proven best: no layout of any kind holds more." (or "Not worked
// out: ...")
std::string grainLine(const StagePlan &stage);
// The heading line ("Cut plan: 9 cuts") and one line per operation, or the one
// line saying the layout is too large to list.
std::vector<std::string> cutListLines(const CutPlan &plan, bool treeOmitted);
// The frame shown, e.g. "Frame 2 shown: 29 pieces".
std::string frameLine(const StagePlan &stage);
// "Quantity 5000: run 500, ..." and, when they differ, the same with the frames' counts.
std::vector<std::string> orderLines(const OrderQuantities &best,
                                    const std::optional<OrderQuantities> &frames);

} // namespace sheetcraft
