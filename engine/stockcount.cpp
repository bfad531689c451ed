#include "stockcount.h"

#include "cutplan.h"

namespace sheetcraft {

const char *countLabel(const PieceCount &c) {
    if (!c.workedOut)
        return "not worked out";
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
    c.workedOut = best.workedOut;
    c.proven = best.proven && best.workedOut && c.count > 0;
    c.exact = best.exact && best.workedOut;
    c.frames = !c.exact && c.count <= best.framesAllowed;
    if (withOperations && c.count > 0)
        c.operations = static_cast<int>(makeCutPlan(best.layout.tree, 0).operations.size());
    return c;
}

GrainRule sheetGrainRule(GrainRule job, bool longGrain) {
    // One way round is one way round on any sheet.
    if (job == GrainRule::Any || job == GrainRule::OneWay || longGrain)
        return job;
    return job == GrainRule::Along ? GrainRule::Across : GrainRule::Along;
}

} // namespace sheetcraft
