#include "asciicase.h"
#include "diagram.h"
#include "sheetsize.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace sheetcraft;

TEST(SizeText, EntryAndStorageFormsKeepThePartsAsTyped) {
    const struct {
        const char *text, *entry, *storage;
    } rows[] = {{"17x11", "11x17", "17x11"},
                {"11x17", "11x17", "17x11"},
                {"12x12", "12x12", "12x12"},
                {"3x2", "2x3", "3x2"},
                {"8.5 x 11", "8.5 x 11", " 11x8.5 "},
                {"17x11x3", "11x3x17", "17x11x3"},
                {"1117", "1117", "1117"}};
    for (const auto &row : rows) {
        EXPECT_EQ(entryForm(row.text), row.entry) << row.text;
        EXPECT_EQ(storageForm(row.text), row.storage) << row.text;
    }
    EXPECT_EQ(readDims("17x11x3").depth, 11);
    EXPECT_EQ(readDims("11").depth, 11); // no "x": a square
}

TEST(SizeText, CheckRefusesWhatCannotBeCounted) {
    const struct {
        const char *text;
        SizeRole role;
        bool usable;
    } rows[] = {{"2x3", SizeRole::Finished, true},         {"8.5 x 11", SizeRole::Press, true},
                {"1117", SizeRole::Press, false},          {"x17", SizeRole::Press, false},
                {"17x", SizeRole::Press, false},           {"0x17", SizeRole::Press, false},
                {"-2x3", SizeRole::Finished, false},       {"abcxdef", SizeRole::Finished, false},
                {"1e999x3", SizeRole::Finished, false},    {"17X11", SizeRole::Press, false},
                {"0.001x0.002", SizeRole::Finished, true}, {"0.04x0.01", SizeRole::Press, false},
                {"0.01x0.0403", SizeRole::Parent, true}};
    for (const auto &row : rows)
        EXPECT_EQ(isUsableSize(row.text, row.role), row.usable) << row.text;

    // Parts whose counts, areas or waste would overflow or vanish, on every sheet.
    for (const char *extreme :
         {"1e-200x1e-200", "12x1e-308", "1e308x1e308", "1e-160x1e-160", "1e-76x2", "2x1e76"}) {
        for (SizeRole role : {SizeRole::Finished, SizeRole::Press, SizeRole::Parent})
            EXPECT_FALSE(isUsableSize(extreme, role)) << extreme;
    }
}

// At the bounds of the size check every number of every frame is finite: the
// smallest piece on the largest sheet, the largest piece on it, and a sliver.
TEST(SizeText, SizesAtTheBoundsGiveFiniteNumbers) {
    const char *bounds[][2] = {{"1e-75x1e-75", "1e75x1e75"},
                               {"1e75x1e75", "1e75x1e75"},
                               {"1e75x1e-75", "1e75x1e75"},
                               {"1e-75x1e-75", "1e75x0.0403"},
                               {"1e-75x1e-75", "0.0403x0.0403"}};
    for (const auto &[piece, sheet] : bounds) {
        ASSERT_TRUE(isUsableSize(piece, SizeRole::Finished) &&
                    isUsableSize(sheet, SizeRole::Press));
        for (int frame = 1; frame <= 4; ++frame) {
            for (Diagram diagram : {Diagram::Finished, Diagram::Press}) {
                const DiagramValues v =
                    computeDiagram(diagram, storageForm(piece), storageForm(sheet), frame, 1e-75);
                SCOPED_TRACE(std::string(piece) + " on " + sheet + ", frame " +
                             std::to_string(frame));
                ASSERT_TRUE(v.fits());
                const FitResult &f = v.fit;
                for (double value :
                     {v.piecesAcross, v.piecesDown, v.staggerAcross, v.staggerDown, v.stockWastePct,
                      v.sheetWidth, v.sheetDepth, f.usedArea, f.usedAreaTurned, f.bestUsedArea,
                      f.bestStandardOut, f.totalOut, f.totalOutTurned, f.staggerOut,
                      f.staggerOutTurned, f.maximumOut})
                    EXPECT_TRUE(std::isfinite(value)) << value;
                EXPECT_GE(v.maximumOut(), 1);
            }
        }
    }
}

// One fold for sizes, table and field names: A to Z only, bytes above 127 kept
// and ordered after every letter, so a map keyed by folded names stays sorted.
TEST(AsciiFold, OnlyLettersAToZChange) {
    EXPECT_EQ(toLowerAscii("17X11 \xC3\x84Z@[`{"), "17x11 \xC3\x84z@[`{");
    const struct {
        const char *a, *b;
        bool equal, less;
    } rows[] = {{"ORDERS", "Orders", true, false}, {"Part_No", "PARTNO", false, true},
                {"QUOTE", "quote2", false, true},  {"\xC3\x84", "Z", false, false},
                {"Z", "\xC3\x84", false, true},    {"", "", true, false}};
    for (const auto &row : rows) {
        EXPECT_EQ(equalFolded(row.a, row.b), row.equal) << row.a << " " << row.b;
        EXPECT_EQ(lessFolded(row.a, row.b), row.less) << row.a << " " << row.b;
    }
}
