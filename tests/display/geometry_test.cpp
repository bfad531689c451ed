#include "geometry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace sheetcraft;

struct RoundRow {
    const char *name;
    double value;
    std::int64_t expected;
};

void PrintTo(const RoundRow &row, std::ostream *os) {
    *os << row.name;
}

class RoundHalfEven : public ::testing::TestWithParam<RoundRow> {};

TEST_P(RoundHalfEven, RoundsHalvesToEven) {
    EXPECT_EQ(roundHalfEven(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, RoundHalfEven,
                         ::testing::Values(RoundRow{"up_to_even", 19.5, 20},
                                           RoundRow{"down_to_even", 18.5, 18},
                                           RoundRow{"scale_of_880", 1.5, 2},
                                           RoundRow{"just_below_half", 2.4999999, 2},
                                           RoundRow{"negative_half", -0.5, 0},
                                           RoundRow{"negative_one_and_half", -1.5, -2},
                                           RoundRow{"not_a_number", std::nan(""), 0}),
                         [](const auto &info) { return std::string(info.param.name); });

struct ScaleRow {
    const char *name;
    double outline;
    double width;
    std::int64_t expected;
};

void PrintTo(const ScaleRow &row, std::ostream *os) {
    *os << row.name;
}

class SheetScale : public ::testing::TestWithParam<ScaleRow> {};

TEST_P(SheetScale, OutlineOverWidthRounded) {
    EXPECT_EQ(sheetScale(GetParam().outline, GetParam().width), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, SheetScale,
                         ::testing::Values(ScaleRow{"default_press_sheet", 1320, 17, 78},
                                           ScaleRow{"default_parent_sheet", 1320, 35, 38},
                                           ScaleRow{"metric_press_sheet", 1320, 315, 4},
                                           ScaleRow{"width_880_ties_to_2", 1320, 880, 2},
                                           ScaleRow{"width_881_gives_1", 1320, 881, 1},
                                           ScaleRow{"width_2640_collapses", 1320, 2640, 0},
                                           ScaleRow{"paper_width_11", 5720, 11, 520},
                                           ScaleRow{"paper_width_17", 5720, 17, 336},
                                           ScaleRow{"zero_width_draws_nothing", 1320, 0, 0},
                                           ScaleRow{"infinite_width", 1320, INFINITY, 0}),
                         [](const auto &info) { return std::string(info.param.name); });
