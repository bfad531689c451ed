#include "numberformat.h"

#include <gtest/gtest.h>

using namespace sheetcraft;

TEST(NumberFormat, PatternsRoundHalfAwayFromZeroAtFifteenDigits) {
    const struct {
        double value;
        const char *pattern, *expected;
    } rows[] = {{17, "###.###0", "17.0000"},     {0.5, "###.###0", ".5000"},
                {0, "###.###0", ".0000"},        {0.00005, "###.###0", ".0001"},
                {2.99995, "###.###0", "3.0000"}, {218750000, "###.###0", "218750000.0000"},
                {0.375, "0.###0", "0.3750"},     {0, "0.###0", "0.0000"},
                {12.5, "0.###0", "12.5000"},     {12.34, "###.0", "12.3"},
                {0.26, "###.0", ".3"},           {12.25, "###.0", "12.3"},
                {1.15, "###.0", "1.2"},          {0.04, "###.0", ".0"},
                {99.96, "###.0", "100.0"},       {-0.02, "###.0", ".0"},
                {-1e-14, "###.###0", ".0000"},   {-12.25, "###.0", "-12.3"}};
    for (const auto &row : rows)
        EXPECT_EQ(formatPattern(row.value, row.pattern), row.expected)
            << row.value << " " << row.pattern;
}

TEST(NumberFormat, PlainNumbersHaveASignPlaceAndATrailingBlank) {
    EXPECT_EQ(plainNumber(25), " 25 ");
    EXPECT_EQ(plainNumber(-0.0), " 0 ");
    EXPECT_EQ(plainNumber(8.5), " 8.5 ");
    EXPECT_EQ(plainNumber(-3), "-3 ");
    EXPECT_EQ(plainNumber(218750000), " 218750000 ");
    EXPECT_EQ(plainNumber(0.1 + 0.2), " 0.3 ");
    EXPECT_EQ(plainNumber(9e20), " 9E+20 ");
    EXPECT_EQ(plainNumber(-1.5e-7), "-1.5E-07 ");
}
