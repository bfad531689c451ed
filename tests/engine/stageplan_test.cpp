// The texts every place shows a stage with: the window, the calculator and
// the printed cut plan.

#include "stageplan.h"

#include <gtest/gtest.h>

using namespace sheetcraft;

namespace {

TEST(StagePlanText, ComparisonSizesFrameAndOrderLines) {
    const struct {
        const char *name;
        DiagramValues diagram;
        const char *sizes, *comparison, *frame;
    } rows[] = {
        {"defaults: one more than the frames", computeDiagram(Diagram::Finished, "3x2", "17x11", 0),
         "Press sheet 17 x 11   Finished sheet 3 x 2",
         "Frames 1-4: 29   Best guillotine layout: 30 (+1)   No layout can hold more than 31",
         "Frame 1 shown: 25 pieces"},
        {"gripper: the frames are already the best",
         computeDiagram(Diagram::Finished, "3x2", "17x11", 3, 0.5),
         "Press sheet 17 x 11   Finished sheet 2 x 3   Gripper 0.5",
         "Frames 1-4: 28   Best guillotine layout: 28   No layout can hold more than 28",
         "Frame 3 shown: 24 pieces"},
        {"one piece on its own sheet", computeDiagram(Diagram::Press, "17x11", "17x11", 1),
         "Parent sheet 17 x 11   Press sheet 17 x 11",
         "Frames 1-4: 1   Best guillotine layout: 1   No layout can hold more than 1",
         "Frame 1 shown: 1 piece"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const StagePlan s = computeStagePlan(row.diagram, GrainRule::Any, {});
        EXPECT_EQ(sizesLine(s), row.sizes);
        EXPECT_EQ(comparisonLine(s), row.comparison);
        EXPECT_EQ(frameLine(s), row.frame);
        // The frame shown is a layout of its own with a plan that cuts it.
        EXPECT_EQ(s.frameLayout.count, static_cast<std::int64_t>(row.diagram.frameOut()));
    }

    const auto best = orderQuantities(5000, 3, 100, 30, 4);
    const auto frames = orderQuantities(5000, 3, 100, 29, 4);
    ASSERT_TRUE(best && frames);
    EXPECT_EQ(
        orderLines(*best, frames),
        (std::vector<std::string>{"Quantity 5000: run 167, press sheets 273, parent sheets 69",
                                  "With frames 1-4: run 173, press sheets 279, parent sheets 70"}));
    EXPECT_EQ(orderLines(*best, best).size(), 1u);
    EXPECT_EQ(cutListLines({}, true),
              std::vector<std::string>{"Cut plan: too many pieces to list"});
}

// Counts past 64 bits saturate, claim nothing, and the grain's frames are
// what the best layout and the order are compared with.
TEST(StagePlanText, HugeCountsAndGrainFollowTheComparison) {
    const StagePlan dust =
        computeStagePlan(computeDiagram(Diagram::Finished, "0.000001x0.000001", "30000x30000", 1),
                         GrainRule::Any, {});
    EXPECT_EQ(dust.framesMaximum, INT64_MAX);
    EXPECT_EQ(comparisonLine(dust),
              "Frames 1-4: 9.2E+18 or more   Best guillotine layout: not worked out");
    EXPECT_TRUE(grainLine(dust).find("Not worked out") != std::string::npos);

    const DiagramValues press = computeDiagram(Diagram::Press, "17x11", "35x23", 1);
    const StagePlan along = computeStagePlan(computeDiagram(Diagram::Finished, "3x2", "17x11", 1),
                                             GrainRule::Along, {}, 0);
    EXPECT_EQ(comparisonLine(along),
              "Frames 1-4 (along): 25   Best guillotine layout: 25   No layout can hold more "
              "than 25");
    const auto order =
        orderFigures(5000, 0, 0, along, computeStagePlan(press, GrainRule::OneWay, {}));
    ASSERT_TRUE(order.best && order.frames);
    EXPECT_EQ(order.frames->parentSheets, order.best->parentSheets); // 25 up either way
}

} // namespace
