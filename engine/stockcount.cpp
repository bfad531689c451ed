#include "stockcount.h"

#include "cutplan.h"

namespace sheetcraft {

const char *countLabel(const PieceCount &c) {
    if (c.proven)
        return "proven";
    if (c.exact)
        return "best guillotine";
    return c.frames ? "frame count" : "best found";
}

PieceCount countPieces(const LayoutProblem &problem, std::chrono::milliseconds budget,
                       bool withOperations) {
    BestLayoutOptions options;
    options.budget = budget;
    const BestLayout best = bestLayout(problem, options);
    PieceCount c;
    c.count = best.layout.count;
    c.proven = best.proven && c.count > 0;
    c.exact = best.exact;
    c.frames = !c.exact && c.count <= best.framesMaximum;
    if (withOperations && c.count > 0)
        c.operations = static_cast<int>(makeCutPlan(best.layout.tree, 0).operations.size());
    return c;
}

GrainRule sheetGrainRule(GrainRule job, bool longGrain) {
    if (job == GrainRule::Any || longGrain)
        return job;
    return job == GrainRule::Along ? GrainRule::Across : GrainRule::Along;
}

} // namespace sheetcraft
