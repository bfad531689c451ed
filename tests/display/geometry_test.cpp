#include "geometry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace sheetcraft;

struct RoundRow {
    const char *name;
    std::int64_t actual;
    std::int64_t expected;
};

class Rounding : public ::testing::TestWithParam<RoundRow> {};

TEST_P(Rounding, HalvesGoToEven) {
    EXPECT_EQ(GetParam().actual, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Rounding,
    ::testing::Values(RoundRow{"half_up_to_even", roundHalfEven(19.5), 20},
                      RoundRow{"half_down_to_even", roundHalfEven(18.5), 18},
                      RoundRow{"negative_half", roundHalfEven(-1.5), -2},
                      RoundRow{"not_a_number", roundHalfEven(std::nan("")), 0},
                      RoundRow{"scale_ties_to_2", sheetScale(1320, 880), 2},
                      RoundRow{"scale_collapses_to_0", sheetScale(1320, 2640), 0},
                      RoundRow{"zero_width", sheetScale(1320, 0), 0},
                      RoundRow{"infinite_width", sheetScale(1320, INFINITY), 0}),
    [](const auto &info) { return std::string(info.param.name); });
