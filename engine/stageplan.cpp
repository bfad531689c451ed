#include "stageplan.h"

#include "cutsteps.h"
#include "numberformat.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace sheetcraft {

StagePlan computeStagePlan(const DiagramValues &v, GrainRule grain,
                           const BestLayoutOptions &options, double gutter,
                           const MachineRules &machine) {
    StagePlan s;
    s.diagram = v.diagram;
    s.grain = grain;
    s.pieceWidth = v.pieceWidth;
    s.pieceDepth = v.pieceDepth;
    s.gripper = v.gripper > 0 ? v.gripper : 0;
    s.gutter = gutter > 0 ? gutter : 0;
    LayoutProblem problem = layoutProblem(v, grain);
    problem.gutter = s.gutter;
    s.best = bestLayout(problem, options);
    s.machine = machine;
    s.framesMaximum = saturatedCount(v.maximumOut());
    // Turning freely the panel's own count stands; otherwise the frames the grain keeps.
    s.framesAllowed = grain == GrainRule::Any ? s.framesMaximum : s.best.framesAllowed;
    // Down to the frames' count, or the best count where the grain holds fewer.
    s.tradeoff =
        tradeoffTable(problem, s.best.layout, std::min(s.framesAllowed, s.best.layout.count),
                      machine, bestDetailLimit, options.cancel);
    if (!s.tradeoff.empty()) {
        s.best.layout = s.tradeoff.front().layout;
        s.plan = s.tradeoff.front().plan;
    } else {
        s.plan = makeCutPlan(s.best.layout.tree, bestDetailLimit, machine);
    }
    s.frame = v.frame < 1 ? 1 : v.frame;
    s.frameLayout = frameLayout(problem, v.frame);
    s.framePlan = makeCutPlan(s.frameLayout.tree, bestDetailLimit, machine);
    return s;
}

OrderFigures orderFigures(std::int64_t quantity, double spoilagePercent, std::int64_t makeReady,
                          const StagePlan &finished, const StagePlan &press) {
    return {orderQuantities(quantity, spoilagePercent, makeReady, shownLayout(finished).count,
                            shownLayout(press).count),
            orderQuantities(quantity, spoilagePercent, makeReady, finished.framesAllowed,
                            press.framesAllowed)};
}

std::string countText(std::int64_t count) {
    if (count == std::numeric_limits<std::int64_t>::max())
        return "9.2E+18 or more";
    return std::to_string(count);
}

const Layout &shownLayout(const StagePlan &s) {
    return s.shown < s.tradeoff.size() ? s.tradeoff[s.shown].layout : s.best.layout;
}

const CutPlan &shownPlan(const StagePlan &s) {
    return s.shown < s.tradeoff.size() ? s.tradeoff[s.shown].plan : s.plan;
}

std::string sizesLine(const StagePlan &s) {
    const bool finished = s.diagram == Diagram::Finished;
    std::string line = std::string(finished ? "Press sheet " : "Parent sheet ") +
                       sheetNumber(s.best.sheetWidth) + " x " + sheetNumber(s.best.sheetDepth) +
                       (finished ? "   Finished sheet " : "   Press sheet ") +
                       sheetNumber(s.pieceWidth) + " x " + sheetNumber(s.pieceDepth);
    if (s.gripper > 0)
        line += "   Gripper " + sheetNumber(s.gripper);
    if (s.gutter > 0)
        line += "   Gutter " + sheetNumber(s.gutter);
    return line;
}

std::string comparisonLine(const StagePlan &s) {
    std::string line = "Frames 1-4";
    if (s.grain != GrainRule::Any)
        line += std::string(" (") + grainText(s.grain) + ")";
    line += ": " + countText(s.framesAllowed) + "   Best guillotine layout: ";
    if (!s.best.workedOut)
        return line + "not worked out";
    const std::int64_t count = s.best.layout.count;
    line += countText(count);
    // Both counts are at most 2^63 - 1 and at least 0, so the difference fits.
    const std::int64_t gain = count - s.framesAllowed;
    if (gain != 0)
        line += " (" + std::string(gain > 0 ? "+" : "") + std::to_string(gain) + ")";
    return line + "   No layout can hold more than " + countText(s.best.upperBound);
}

std::string grainLine(const StagePlan &s) {
    return std::string("Grain: ") + grainText(s.grain) + "   " +
           (!s.best.workedOut ? "Not worked out: the sheet is too large, or a size too fine, "
                                "for the search; the frames' count is shown."
            : s.best.proven   ? "Proven best: no layout of any kind holds more."
            : s.best.exact    ? "Best of all guillotine layouts."
                              : "Best found in the time allowed; not proven.");
}

std::vector<std::string> cutListLines(const CutPlan &plan, bool treeOmitted) {
    if (treeOmitted)
        return {"Cut plan: too many pieces to list"};
    const auto cuts = plan.operations.size();
    std::vector<std::string> lines;
    lines.reserve(cuts + 1);
    lines.push_back("Cut plan: " + std::to_string(cuts) + (cuts == 1 ? " cut" : " cuts"));
    for (const CutRow &row : cutRows(plan))
        lines.push_back(cutRowLine(row));
    return lines;
}

std::string frameLine(const StagePlan &s) {
    const std::int64_t count = s.frameLayout.count;
    return "Frame " + std::to_string(s.frame) + " shown: " + std::to_string(count) +
           (count == 1 ? " piece" : " pieces");
}

std::vector<std::string> orderLines(const OrderQuantities &best,
                                    const std::optional<OrderQuantities> &frames) {
    std::vector<std::string> lines{"Quantity " + std::to_string(best.quantity) + ": run " +
                                   std::to_string(best.run) + ", press sheets " +
                                   std::to_string(best.pressSheets) + ", parent sheets " +
                                   std::to_string(best.parentSheets)};
    if (frames &&
        (frames->pressSheets != best.pressSheets || frames->parentSheets != best.parentSheets))
        lines.push_back("With frames 1-4: run " + std::to_string(frames->run) + ", press sheets " +
                        std::to_string(frames->pressSheets) + ", parent sheets " +
                        std::to_string(frames->parentSheets));
    return lines;
}

} // namespace sheetcraft
