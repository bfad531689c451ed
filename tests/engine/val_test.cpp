#include "val.h"

#include <gtest/gtest.h>

#include <cmath>

using sheetcraft::Val;

TEST(Val, ReadsTheLeadingNumber) {
    const struct {
        const char *text;
        double expected;
    } rows[] = {{"17", 17},     {"8.5", 8.5},   {".5", 0.5}, {"17x11", 17},     {"  11 ", 11},
                {"1 7x3", 17},  {"\t4\n2", 42}, {"-3", -3},  {"+2.5", 2.5},     {"2.5e1", 25},
                {"1d2", 100},   {"5E-1", 0.5},  {"3e", 3},   {"1e5x3", 100000}, {"1.2.3", 1.2},
                {"abc", 0},     {"", 0},        {"-", 0},    {".", 0},          {"x17", 0},
                {"8.5in", 8.5}, {"1e-999", 0},  {"0e999", 0}};
    for (const auto &row : rows)
        EXPECT_DOUBLE_EQ(Val(row.text), row.expected) << '"' << row.text << '"';
    EXPECT_TRUE(std::isinf(Val("1e999")));
    EXPECT_LT(Val("-1e999"), 0);
}
