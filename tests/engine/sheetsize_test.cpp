#include "sheetsize.h"

#include <gtest/gtest.h>

using namespace sheetcraft;

namespace {

struct FormCase {
    const char *text;
    const char *entry;
    const char *storage;
};

class SizeFormTest : public ::testing::TestWithParam<FormCase> {};

TEST_P(SizeFormTest, OrdersPartsAsTyped)
{
    EXPECT_EQ(entryForm(GetParam().text), GetParam().entry);
    EXPECT_EQ(storageForm(GetParam().text), GetParam().storage);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SizeFormTest,
    ::testing::Values(FormCase{"17x11", "11x17", "17x11"}, FormCase{"11x17", "11x17", "17x11"},
                      FormCase{"12x12", "12x12", "12x12"}, // equal: second part leads
                      FormCase{"3x2", "2x3", "3x2"}, FormCase{"2x3", "2x3", "3x2"},
                      FormCase{"8.5 x 11", "8.5 x 11", " 11x8.5 "},
                      FormCase{"17x11x3", "11x3x17", "17x11x3"},
                      FormCase{"1117", "1117", "1117"}));

struct UsableCase {
    const char *text;
    SizeRole role;
    bool usable;
};

class SizeCheckTest : public ::testing::TestWithParam<UsableCase> {};

TEST_P(SizeCheckTest, RefusesWhatCannotBeCounted)
{
    EXPECT_EQ(isUsableSize(GetParam().text, GetParam().role), GetParam().usable)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SizeCheckTest,
    ::testing::Values(UsableCase{"2x3", SizeRole::Finished, true},
                      UsableCase{"8.5 x 11", SizeRole::Press, true},
                      UsableCase{"1117", SizeRole::Press, false},
                      UsableCase{"x17", SizeRole::Press, false},
                      UsableCase{"17x", SizeRole::Press, false},
                      UsableCase{"0x17", SizeRole::Press, false},
                      UsableCase{"-2x3", SizeRole::Finished, false},
                      UsableCase{"abcxdef", SizeRole::Finished, false},
                      UsableCase{"1e999x3", SizeRole::Finished, false},
                      UsableCase{"17X11", SizeRole::Press, false}, // checked after lower-casing
                      UsableCase{"0.001x0.002", SizeRole::Finished, true},
                      UsableCase{"0.04x0.01", SizeRole::Press, false},
                      UsableCase{"0.0403x0.01", SizeRole::Parent, true},
                      UsableCase{"0.01x0.0403", SizeRole::Parent, true}));

TEST(ReadDims, WidthStopsAtXAndSquareWithoutX)
{
    EXPECT_EQ(readDims("17x11").width, 17);
    EXPECT_EQ(readDims("17x11").depth, 11);
    EXPECT_EQ(readDims("11").depth, 11);
    EXPECT_EQ(readDims("17x11x3").depth, 11);
}

} // namespace
