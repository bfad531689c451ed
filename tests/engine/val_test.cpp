#include "val.h"

#include <gtest/gtest.h>

#include <cmath>

using sheetcraft::Val;

namespace {

struct ValCase {
    const char *name;
    const char *text;
    double expected;
};

class ValTest : public ::testing::TestWithParam<ValCase> {};

TEST_P(ValTest, ReadsLeadingNumber)
{
    EXPECT_DOUBLE_EQ(Val(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ValTest,
    ::testing::Values(ValCase{"plain", "17", 17}, ValCase{"decimal", "8.5", 8.5},
                      ValCase{"leadingPoint", ".5", 0.5},
                      ValCase{"stopsAtX", "17x11", 17},
                      ValCase{"blanksAround", "  11 ", 11},
                      ValCase{"blanksInsideDigits", "1 7x3", 17},
                      ValCase{"tabsAndLineFeeds", "\t4\n2", 42},
                      ValCase{"minus", "-3", -3}, ValCase{"plus", "+2.5", 2.5},
                      ValCase{"exponent", "2.5e1", 25}, ValCase{"exponentD", "1d2", 100},
                      ValCase{"negativeExponent", "5E-1", 0.5},
                      ValCase{"exponentWithoutDigits", "3e", 3},
                      ValCase{"exponentThenX", "1e5x3", 100000},
                      ValCase{"secondPointStops", "1.2.3", 1.2},
                      ValCase{"letters", "abc", 0}, ValCase{"empty", "", 0},
                      ValCase{"signOnly", "-", 0}, ValCase{"pointOnly", ".", 0},
                      ValCase{"numberAfterText", "x17", 0},
                      ValCase{"unitSuffix", "8.5in", 8.5},
                      ValCase{"tinyUnderflowsToZero", "1e-999", 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ValOverflow, HugeExponentIsInfinite)
{
    EXPECT_TRUE(std::isinf(Val("1e999")));
    EXPECT_TRUE(std::isinf(Val("-1e999")) && Val("-1e999") < 0);
    EXPECT_EQ(Val("0e999"), 0);
}

} // namespace
