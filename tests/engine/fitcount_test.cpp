#include "fitcount.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

using namespace sheetcraft;

TEST(FitCount, WorkedValues) {
    const struct {
        double pieceW, pieceD, sheetW, sheetD;
        double staggerOut, totalOut, totalOutTurned, bestStandardOut, maximumOut;
    } rows[] = {
        {3, 2, 17, 11, 3, 28, 29, 25, 29},       // side strip
        {2, 3, 17, 11, 5, 29, 28, 25, 29},       // bottom strip
        {4.2, 3, 17.5, 11.5, 0, 12, 14, 12, 14}, // 3 x 4.20 never counts fewer than 3 x 4.25
        {3, 4.2, 17.5, 11.5, 4, 14, 12, 12, 14},
        {17, 11, 35, 23, 0, 4, 3, 4, 4},
        {11, 17, 35, 23, 0, 3, 4, 4, 4},
        {1.1, 1.05, 17, 11, 0, 150, 160, 159, 160}, // bestStandardOut has no tolerance
        {17, 11, 17, 11, 0, 1, 1, 1, 1},            // piece as large as the sheet
        {1, 10, 12, 5, 5, 5, 5, 5, 5},              // fits only turned
        {3, 3, 17, 11, 0, 15, 15, 15, 15},          // a square never staggers
        {1.1, 1.1, 3.3, 3.3, 0, 9, 9, 8, 9},        // an exact decimal fit counts
    };
    for (const auto &c : rows) {
        SCOPED_TRACE(testing::Message()
                     << c.pieceW << "x" << c.pieceD << " on " << c.sheetW << "x" << c.sheetD);
        FitResult r;
        ASSERT_EQ(FSSOutPSS(c.pieceW, c.pieceD, c.sheetW, c.sheetD, r), FitStatus::Fits);
        EXPECT_EQ(r.staggerOut, c.staggerOut);
        EXPECT_EQ(r.totalOut, c.totalOut);
        EXPECT_EQ(r.totalOutTurned, c.totalOutTurned);
        EXPECT_EQ(r.bestStandardOut, c.bestStandardOut);
        EXPECT_EQ(r.maximumOut, c.maximumOut);
    }
}

TEST(FitCount, NoFitLeavesTheRecordUntouched) {
    FitResult r;
    ASSERT_EQ(FSSOutPSS(3, 2, 17, 11, r), FitStatus::Fits);
    EXPECT_EQ(FSSOutPSS(18, 12, 17, 11, r), FitStatus::DoesNotFit);
    EXPECT_EQ(FSSOutPSS(3, 2, 17, -0.5, r), FitStatus::DoesNotFit);
    EXPECT_EQ(r.totalOut, 28);
    EXPECT_EQ(wholeCount(-1e-16), 0); // a spare strip a rounding error below zero
    EXPECT_EQ(wholeCount(2.999), 2);
}

// Every "piece times a whole number equals the sheet", typed as decimals,
// counts that whole number across and down.
TEST(FitCount, EveryExactDecimalMultipleFits) {
    for (int hundredths = 1; hundredths <= 1000; hundredths += 3) {
        for (int n = 1; n <= 12; ++n) {
            char piece[32], sheet[32];
            std::snprintf(piece, sizeof piece, "%d.%02d", hundredths / 100, hundredths % 100);
            std::snprintf(sheet, sizeof sheet, "%d.%02d", hundredths * n / 100,
                          hundredths * n % 100);
            const double p = std::strtod(piece, nullptr), s = std::strtod(sheet, nullptr);
            FitResult r;
            ASSERT_EQ(FSSOutPSS(p, p, s, s, r), FitStatus::Fits);
            ASSERT_EQ(r.totalOut, double(n) * n) << piece << " on " << sheet;
        }
    }
}
