#include "unitsets.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace sheetcraft {
namespace {

using Sizes = std::array<std::string, 3>;
const Sizes english{"2x3", "11x17", "23x35"};
const Sizes metric{"210x297", "315x225", "640x915"};

TEST(UnitSets, MetricTogglesAndAsksForClear) {
    UnitSets units;
    Cells cells;
    cells.txtSize = {"8.5x11", "12x18", "25x38"}; // as a lookup left them
    cells.txtJob = "4711";
    cells.txtGrip = "0.375";

    UnitSetEffect effect = units.mnuMetric_Click(cells);
    EXPECT_TRUE(units.mnuMetric);
    EXPECT_EQ(cells.txtSize, metric);
    EXPECT_TRUE(effect.runClear);
    EXPECT_FALSE(effect.clearDrawing);
    EXPECT_EQ(cells.txtJob, "4711");
    EXPECT_EQ(cells.txtGrip, "0.375");

    effect = units.mnuMetric_Click(cells);
    EXPECT_FALSE(units.mnuMetric);
    EXPECT_EQ(cells.txtSize, english);
    EXPECT_TRUE(effect.runClear);
}

TEST(UnitSets, ResetRestoresTheCurrentSetWithoutRedraw) {
    for (const bool metricChecked : {false, true}) {
        SCOPED_TRACE(metricChecked ? "metric" : "english");
        UnitSets units;
        units.mnuMetric = metricChecked;
        Cells cells;
        cells.txtSize = {"1x1", "2x2", "3x3"};
        cells.txtGutter = "0.25";
        const UnitSetEffect effect = units.mnuReset_Click(cells);
        EXPECT_EQ(cells.txtSize, metricChecked ? metric : english);
        EXPECT_EQ(units.mnuMetric, metricChecked);
        EXPECT_EQ(cells.txtGutter, "0.25");
        EXPECT_FALSE(effect.runClear);
        EXPECT_TRUE(effect.clearDrawing);
        EXPECT_TRUE(effect.showDirections);
    }
}

} // namespace
} // namespace sheetcraft
