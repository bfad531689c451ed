#include "fitcount.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace sheetcraft;

namespace {

struct WorkedCase {
    const char *name;
    double pieceW, pieceD, sheetW, sheetD;
    double staggerOut, totalOut, totalOutTurned, bestStandardOut, maximumOut;
};

class WorkedValues : public ::testing::TestWithParam<WorkedCase> {};

TEST_P(WorkedValues, MatchTheTable)
{
    const auto &c = GetParam();
    FitResult r;
    ASSERT_EQ(FSSOutPSS(c.pieceW, c.pieceD, c.sheetW, c.sheetD, r), FitStatus::Fits);
    EXPECT_EQ(r.staggerOut, c.staggerOut);
    EXPECT_EQ(r.totalOut, c.totalOut);
    EXPECT_EQ(r.totalOutTurned, c.totalOutTurned);
    EXPECT_EQ(r.bestStandardOut, c.bestStandardOut);
    EXPECT_EQ(r.maximumOut, c.maximumOut);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WorkedValues,
    ::testing::Values(WorkedCase{"sideStrip", 3, 2, 17, 11, 3, 28, 29, 25, 29},
                      WorkedCase{"bottomStrip", 2, 3, 17, 11, 5, 29, 28, 25, 29},
                      WorkedCase{"noStaggerTurnedWins", 4.2, 3, 17.5, 11.5, 0, 12, 14, 12, 14},
                      WorkedCase{"staggerUprightOnly", 3, 4.2, 17.5, 11.5, 4, 14, 12, 12, 14},
                      WorkedCase{"pressOnParent", 17, 11, 35, 23, 0, 4, 3, 4, 4},
                      WorkedCase{"pressOnParentTurned", 11, 17, 35, 23, 0, 3, 4, 4, 4},
                      WorkedCase{"bestStandardOneShort", 1.1, 1.05, 17, 11, 0, 150, 160, 159, 160},
                      WorkedCase{"pieceEqualsSheet", 17, 11, 17, 11, 0, 1, 1, 1, 1},
                      WorkedCase{"fitsOnlyTurned", 1, 10, 12, 5, 5, 5, 5, 5, 5},
                      WorkedCase{"squareNeverStaggers", 3, 3, 17, 11, 0, 15, 15, 15, 15},
                      // Exact decimal fits: plain binary quotients fall just below.
                      // bestStandardOut has no tolerance and never decides the maximum.
                      WorkedCase{"exactFitOneOne", 1.1, 1.1, 3.3, 3.3, 0, 9, 9, 8, 9}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(FitCount, TooLargeLeavesRecordUntouched)
{
    FitResult r;
    ASSERT_EQ(FSSOutPSS(3, 2, 17, 11, r), FitStatus::Fits);
    const FitResult before = r;
    EXPECT_EQ(FSSOutPSS(18, 12, 17, 11, r), FitStatus::DoesNotFit);
    EXPECT_EQ(r.totalOut, before.totalOut);
    EXPECT_EQ(r.maximumOut, before.maximumOut);
}

TEST(FitCount, NonPositiveSheetSideDoesNotFit)
{
    FitResult r;
    EXPECT_EQ(FSSOutPSS(3, 2, 17, 0, r), FitStatus::DoesNotFit);
    EXPECT_EQ(FSSOutPSS(3, 2, 17, -0.5, r), FitStatus::DoesNotFit);
}

TEST(WholeCount, CountsExactFitsOnly)
{
    EXPECT_EQ(wholeCount(3.3 / 1.1), 3);
    EXPECT_EQ(wholeCount(2.5), 2);
    EXPECT_EQ(wholeCount(2.999), 2);
    EXPECT_EQ(wholeCount(0), 0);
    EXPECT_EQ(wholeCount(-1e-16), 0); // a spare strip a rounding error below zero
}

// Every "piece times a whole number equals the sheet", typed as decimals,
// counts that whole number across and down.
TEST(FitCount, EveryExactDecimalMultipleFits)
{
    int checked = 0;
    for (int hundredths = 1; hundredths <= 1000; hundredths += 3) {
        for (int n = 1; n <= 12; ++n) {
            char pieceText[32];
            char sheetText[32];
            std::snprintf(pieceText, sizeof pieceText, "%d.%02d", hundredths / 100, hundredths % 100);
            std::snprintf(sheetText, sizeof sheetText, "%d.%02d", hundredths * n / 100,
                          hundredths * n % 100);
            const double piece = std::strtod(pieceText, nullptr);
            const double sheet = std::strtod(sheetText, nullptr);
            FitResult r;
            ASSERT_EQ(FSSOutPSS(piece, piece, sheet, sheet, r), FitStatus::Fits);
            ASSERT_EQ(r.totalOut, double(n) * n) << pieceText << " on " << sheetText;
            ++checked;
        }
    }
    EXPECT_GT(checked, 3000);
}

} // namespace
