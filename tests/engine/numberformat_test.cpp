#include "numberformat.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace sheetcraft;

namespace {

struct PatternCase {
    double value;
    const char *pattern;
    const char *expected;
};

class PatternTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(PatternTest, FormatsLikeBusinessFormatting)
{
    EXPECT_EQ(formatPattern(GetParam().value, GetParam().pattern), GetParam().expected)
        << GetParam().value << " " << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, PatternTest,
    ::testing::Values(
        PatternCase{17, "###.###0", "17.0000"}, PatternCase{0.5, "###.###0", ".5000"},
        PatternCase{0, "###.###0", ".0000"}, PatternCase{1234.5, "###.###0", "1234.5000"},
        PatternCase{0.00005, "###.###0", ".0001"}, // half away from zero
        PatternCase{0.00004, "###.###0", ".0000"},
        PatternCase{2.99995, "###.###0", "3.0000"}, // carry into the whole part
        PatternCase{0.375, "0.###0", "0.3750"}, PatternCase{0.5, "0.###0", "0.5000"},
        PatternCase{0, "0.###0", "0.0000"}, PatternCase{12.5, "0.###0", "12.5000"},
        PatternCase{12.34, "###.0", "12.3"}, PatternCase{0.26, "###.0", ".3"},
        PatternCase{12.25, "###.0", "12.3"}, // exactly half rounds up
        PatternCase{1.15, "###.0", "1.2"},   // binary value just below 1.15
        PatternCase{0.05, "###.0", ".1"}, PatternCase{0.04, "###.0", ".0"},
        PatternCase{99.96, "###.0", "100.0"}, PatternCase{100, "###.0", "100.0"},
        PatternCase{19.786096256684491, "###.0", "19.8"},
        PatternCase{-0.02, "###.0", ".0"}, // rounds to zero: no minus sign
        PatternCase{-0.0, "###.0", ".0"}, PatternCase{-1e-14, "###.###0", ".0000"},
        PatternCase{-12.25, "###.0", "-12.3"}, PatternCase{218750000, "###.###0", "218750000.0000"}));

struct PlainCase {
    double value;
    const char *expected;
};

class PlainTest : public ::testing::TestWithParam<PlainCase> {};

TEST_P(PlainTest, SignPlaceDigitsBlank)
{
    EXPECT_EQ(plainNumber(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Numbers, PlainTest,
                         ::testing::Values(PlainCase{2, " 2 "}, PlainCase{25, " 25 "},
                                           PlainCase{0, " 0 "}, PlainCase{-0.0, " 0 "},
                                           PlainCase{8.5, " 8.5 "}, PlainCase{-3, "-3 "},
                                           PlainCase{218750000, " 218750000 "},
                                           PlainCase{0.1 + 0.2, " 0.3 "}));

} // namespace
