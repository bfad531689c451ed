#include "sheetsize.h"

#include <gtest/gtest.h>

using namespace sheetcraft;

TEST(SizeText, EntryAndStorageFormsKeepThePartsAsTyped)
{
    const struct {
        const char *text, *entry, *storage;
    } rows[] = {{"17x11", "11x17", "17x11"}, {"11x17", "11x17", "17x11"},
                {"12x12", "12x12", "12x12"}, {"3x2", "2x3", "3x2"},
                {"8.5 x 11", "8.5 x 11", " 11x8.5 "}, {"17x11x3", "11x3x17", "17x11x3"},
                {"1117", "1117", "1117"}};
    for (const auto &row : rows) {
        EXPECT_EQ(entryForm(row.text), row.entry) << row.text;
        EXPECT_EQ(storageForm(row.text), row.storage) << row.text;
    }
    EXPECT_EQ(readDims("17x11x3").depth, 11);
    EXPECT_EQ(readDims("11").depth, 11); // no "x": a square
}

TEST(SizeText, CheckRefusesWhatCannotBeCounted)
{
    const struct {
        const char *text;
        SizeRole role;
        bool usable;
    } rows[] = {{"2x3", SizeRole::Finished, true},       {"8.5 x 11", SizeRole::Press, true},
                {"1117", SizeRole::Press, false},        {"x17", SizeRole::Press, false},
                {"17x", SizeRole::Press, false},         {"0x17", SizeRole::Press, false},
                {"-2x3", SizeRole::Finished, false},     {"abcxdef", SizeRole::Finished, false},
                {"1e999x3", SizeRole::Finished, false},  {"17X11", SizeRole::Press, false},
                {"0.001x0.002", SizeRole::Finished, true}, {"0.04x0.01", SizeRole::Press, false},
                {"0.01x0.0403", SizeRole::Parent, true}};
    for (const auto &row : rows)
        EXPECT_EQ(isUsableSize(row.text, row.role), row.usable) << row.text;
}
