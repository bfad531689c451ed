#include "unitsets.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace sheetcraft {
namespace {

using Sizes = std::array<std::string, 3>;
const Sizes english{"2x3", "11x17", "23x35"};
const Sizes metric{"210x297", "315x225", "640x915"};

// Metric Units toggles the sample sizes and asks for Clear; other cells stay.
TEST(UnitSets, MetricTwiceTogglesBackAndAsksForClear) {
    UnitSets units;
    Cells cells;
    cells.txtSize = {"8.5x11", "12x18", "25x38"}; // as a lookup left them
    cells.txtGrip = "0.375";
    for (const bool metricAfter : {true, false}) {
        const UnitSetEffect effect = units.mnuMetric_Click(cells);
        EXPECT_EQ(units.mnuMetric, metricAfter);
        EXPECT_EQ(cells.txtSize, metricAfter ? metric : english);
        EXPECT_TRUE(effect.runClear);
        EXPECT_FALSE(effect.clearDrawing);
        EXPECT_EQ(cells.txtGrip, "0.375");
    }
}

TEST(UnitSets, ResetRestoresTheCurrentSetWithoutRedraw) {
    for (const bool metricChecked : {false, true}) {
        SCOPED_TRACE(metricChecked ? "metric" : "english");
        UnitSets units;
        units.mnuMetric = metricChecked;
        Cells cells;
        cells.txtSize = {"1x1", "2x2", "3x3"};
        const UnitSetEffect effect = units.mnuReset_Click(cells);
        EXPECT_EQ(cells.txtSize, metricChecked ? metric : english);
        EXPECT_EQ(units.mnuMetric, metricChecked);
        EXPECT_FALSE(effect.runClear);
        EXPECT_TRUE(effect.clearDrawing);
        EXPECT_TRUE(effect.showDirections);
    }
}

} // namespace
} // namespace sheetcraft
