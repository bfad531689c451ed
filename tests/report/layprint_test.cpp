#include "reportfixture.h"

#include "geometry.h"
#include "layoutsession.h"
#include "numberformat.h"
#include "panel.h"
#include "sheetsize.h"

#include <QFont>

#include <algorithm>
#include <cmath>
#include <map>

namespace sheetcraft::test {
namespace {

const FontSpec bold12{reportFontName, 12, true};
const FontSpec regular12{reportFontName, 12, false};

// Text metrics as the report's pages measure them.
double textWidth(const FontSpec &font, const std::string &text) {
    registerReportFont();
    RecordingSurface m(QFont(reportFontName, 12), printerDpi);
    m.setFont(font);
    return m.textWidth(text);
}

double lineHeight(const FontSpec &font) {
    registerReportFont();
    RecordingSurface m(QFont(reportFontName, 12), printerDpi);
    m.setFont(font);
    return m.textHeight();
}

std::vector<const DrawOp *> opsOfKind(const std::vector<DrawOp> &ops, DrawOp::Kind kind) {
    std::vector<const DrawOp *> found;
    for (const DrawOp &op : ops)
        if (op.kind == kind)
            found.push_back(&op);
    return found;
}

// White solid boxes are the sheet outlines, in section order.
std::vector<const DrawOp *> outlines(const LaidOutReport &r) {
    std::vector<const DrawOp *> found;
    for (int p = 0; p < r.pageCount(); ++p)
        for (const DrawOp *op : opsOfKind(r.ops(p), DrawOp::Kind::Box))
            if (op->fillStyle == FillStyle::Solid && op->fillColour == white)
                found.push_back(op);
    return found;
}

struct Row {
    std::string caption;
    std::string value;
    FontSpec captionFont;
    FontSpec valueFont;
    double y = 0;
};

// The rows printed beside one section's sheet: captions start 1260 past the
// sheet's right edge (1620 after the gripper sample), values at valueColumn.
std::vector<Row> rowsOf(const LaidOutReport &r, const ReportSectionLayout &section) {
    const double right = section.placement.sheetRight;
    std::vector<Row> rows;
    for (const DrawOp &op : r.ops(section.page)) {
        if (op.kind != DrawOp::Kind::Text || op.y1 < section.placement.sheetTop)
            continue;
        if (op.x1 == right + 1260 || op.x1 == right + 1620) {
            rows.push_back({op.text, "", op.font, {}, op.y1});
        } else if (op.x1 == right + section.valueColumn && !rows.empty() &&
                   rows.back().value.empty() && op.y1 == rows.back().y) {
            rows.back().value = op.text;
            rows.back().valueFont = op.font;
        }
    }
    return rows;
}

std::vector<std::string> captions(const std::vector<Row> &rows) {
    std::vector<std::string> out;
    for (const Row &row : rows)
        out.push_back(row.caption);
    return out;
}

std::map<std::string, std::string> values(const std::vector<Row> &rows) {
    std::map<std::string, std::string> out;
    for (const Row &row : rows)
        out[row.caption] = row.value;
    return out;
}

TEST(ReportTitle, IsCentredOverTheJobBlockAndPlacesTheJobColumns) {
    // Short job fields, so the columns keep their designed places.
    Cells cells = drawnCells();
    cells.txtName = "A";
    cells.txtJob = "";
    const LaidOutReport r = layOut(cells, frames(1, 1, 25, 4));
    const DrawOp *title = r.text("Sheetcraft");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->font, (FontSpec{reportFontName, 24, true}));
    EXPECT_EQ(title->y1, 320);

    const double w =
        static_cast<double>(roundHalfEven(textWidth({reportFontName, 24, true}, "Sheetcraft")));
    EXPECT_EQ(title->x1, (11560 - w) / 2);
    EXPECT_EQ(r.layout.titleLeft, roundHalfEven((11560 - w) / 2));

    const DrawOp *job = r.text("Job #: ");
    const DrawOp *part = r.text("Part No: ");
    ASSERT_NE(job, nullptr);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(job->x1, r.layout.titleLeft + 1500);
    const float titleRight =
        static_cast<float>(title->x1 + textWidth({reportFontName, 24, true}, "Sheetcraft"));
    EXPECT_FLOAT_EQ(r.layout.titleRight, titleRight);
    EXPECT_DOUBLE_EQ(part->x1, static_cast<double>(titleRight) + 500);
}

// A long company name or job number pushes the next field right instead of
// being printed over.
TEST(ReportJobBlock, LongFieldsAreNotPrintedOver) {
    Cells cells = drawnCells();
    cells.txtName = "The Very Long Company Name of a Printing Customer Inc.";
    cells.txtJob = "2026-000471-REPRINT";
    const LaidOutReport r = layOut(cells, frames(1, 1));
    const DrawOp *name = r.text(cells.txtName);
    const DrawOp *job = r.text("Job #: ");
    const DrawOp *jobValue = r.text(cells.txtJob);
    const DrawOp *part = r.text("Part No: ");
    ASSERT_TRUE(name && job && jobValue && part);
    EXPECT_GT(job->x1, name->x1 + textWidth(regular12, cells.txtName));
    EXPECT_GT(part->x1, jobValue->x1 + textWidth(regular12, cells.txtJob));
    EXPECT_EQ(job->y1, part->y1);
}

struct JobCase {
    const char *name;
    bool optJob;
    std::string job;
    const char *label;
    const char *absent;
    std::string value;
};

class ReportJobNumber : public ::testing::TestWithParam<JobCase> {};

TEST_P(ReportJobNumber, PrintsJobOrQuoteByTheOption) {
    const JobCase &c = GetParam();
    Cells cells = drawnCells();
    cells.optJob = c.optJob;
    cells.txtJob = c.job;
    const LaidOutReport r = layOut(cells, frames(1, 1));
    EXPECT_EQ(r.text(c.absent), nullptr);
    const std::vector<DrawOp> &ops = r.ops();
    const auto label = std::find_if(ops.begin(), ops.end(), [&](const DrawOp &op) {
        return op.kind == DrawOp::Kind::Text && op.text == c.label;
    });
    ASSERT_NE(label, ops.end());
    EXPECT_EQ(label->font, bold12);
    const auto value = std::find_if(label + 1, ops.end(),
                                    [](const DrawOp &op) { return op.kind == DrawOp::Kind::Text; });
    ASSERT_NE(value, ops.end());
    EXPECT_EQ(value->text, c.value);
    EXPECT_EQ(value->font, regular12);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportJobNumber,
    ::testing::Values(JobCase{"job", true, "4711", "Job #: ", "Quote #: ", "4711"},
                      JobCase{"quote", false, "4711", "Quote #: ", "Job #: ", "Q-88"},
                      JobCase{"empty_job", true, "", "Job #: ", "Quote #: ", ""}),
    [](const auto &info) { return std::string(info.param.name); });

struct ScaleCase {
    const char *name;
    std::string press;
    std::string parent;
    std::int64_t finishedScale;
    double finishedRight;
    double finishedDepth;
    std::int64_t pressScale;
};

class ReportScale : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ReportScale, DrawsEachSheetAboutFiftySevenHundredTwipsWide) {
    const ScaleCase &c = GetParam();
    Cells cells = drawnCells();
    cells.txtPSS = c.press;
    cells.txtPARS = c.parent;
    const LaidOutReport r = layOut(cells, frames(1, 1));
    EXPECT_EQ(r.layout.finished.placement.scale, c.finishedScale);
    EXPECT_EQ(r.layout.press.placement.scale, c.pressScale);

    const auto boxes = outlines(r);
    ASSERT_EQ(boxes.size(), 2u);
    const double top = r.layout.finished.placement.sheetTop;
    EXPECT_EQ(boxes[0]->x1, 640);
    EXPECT_EQ(boxes[0]->y1, top);
    EXPECT_EQ(boxes[0]->x2, c.finishedRight);
    EXPECT_EQ(boxes[0]->y2, top + c.finishedDepth);
    EXPECT_EQ(boxes[0]->lineWidth, 4);
    EXPECT_EQ(r.layout.finished.placement.sheetRight, c.finishedRight);

    // The sheet stands 320 below the line after its heading.
    const DrawOp *heading = r.text("LAYOUT: Finished Forms on Press Sheet (UP):  0 ");
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(top, roundHalfEven(heading->y1 + lineHeight(bold12)) + 320);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportScale,
                         ::testing::Values(ScaleCase{"press_11_wide", "11x8.5", "35x23", 520,
                                                     640 + 5720, 520 * 8.5, 163},
                                           ScaleCase{"press_17_wide", "17x11", "35x23", 336,
                                                     640 + 5712, 336 * 11, 163},
                                           ScaleCase{"parent_11_wide", "3x2.5", "11x8.5", 1907,
                                                     640 + 5721, 1907 * 2.5, 520}),
                         [](const auto &info) { return std::string(info.param.name); });

struct GripCase {
    const char *name;
    std::string grip;
    bool optWidth;
    bool strip;
    double stripRight; // relative to sheetLeft
    double stripDepth; // relative to sheetTop
    double shiftX;
    double shiftY;
    std::string gripValue;
};

class ReportGripper : public ::testing::TestWithParam<GripCase> {};

TEST_P(ReportGripper, StripAndPiecesClearOfIt) {
    const GripCase &c = GetParam();
    Cells cells = drawnCells();
    cells.txtGrip = c.grip;
    cells.optWidth = c.optWidth;
    const LaidOutReport r = layOut(cells, frames(1, 1));
    const double left = 640;
    const double top = r.layout.finished.placement.sheetTop;

    std::vector<const DrawOp *> strips;
    for (const DrawOp *op : opsOfKind(r.ops(), DrawOp::Kind::Box))
        if (op->fillStyle == FillStyle::DiagonalCross && op->fillColour == blue)
            strips.push_back(op);
    // The sheet strip, then the sample box in the gripper row.
    ASSERT_EQ(strips.size(), c.strip ? 2u : 0u);
    if (c.strip) {
        EXPECT_EQ(strips[0]->x1, left);
        EXPECT_EQ(strips[0]->y1, top);
        EXPECT_EQ(strips[0]->x2, left + c.stripRight);
        EXPECT_EQ(strips[0]->y2, top + c.stripDepth);
        EXPECT_EQ(strips[0]->lineWidth, 4);
    }

    const auto grids = opsOfKind(r.ops(), DrawOp::Kind::BoxGrid);
    ASSERT_FALSE(grids.empty());
    EXPECT_EQ(grids[0]->x1, left + c.shiftX);
    EXPECT_EQ(grids[0]->y1, top + c.shiftY);
    EXPECT_EQ(grids[0]->lineWidth, 3);

    const std::vector<Row> rows = rowsOf(r, r.layout.finished);
    const auto gripRow = std::find_if(
        rows.begin(), rows.end(), [](const Row &row) { return row.caption == "  = GRIPPER     "; });
    ASSERT_EQ(gripRow != rows.end(), c.strip);
    if (c.strip) {
        // The sample box sits in the row, the caption right after it.
        const double right = r.layout.finished.placement.sheetRight;
        EXPECT_EQ(strips[1]->x1, right + 1320);
        EXPECT_EQ(strips[1]->x2, right + 1620);
        EXPECT_DOUBLE_EQ(strips[1]->y2 - strips[1]->y1, 160);
        EXPECT_NEAR(strips[1]->y1, gripRow->y + 40, 0.5);
        EXPECT_EQ(gripRow->value, c.gripValue);
        // The depth row still shows the whole sheet.
        EXPECT_EQ(values(rows).at(" PSD-SHT DEPTH      "), " 11.0000");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportGripper,
    ::testing::Values(GripCase{"none", "0.00", true, false, 0, 0, 0, 0, ""},
                      GripCase{"negative", "-1", true, false, 0, 0, 0, 0, ""},
                      GripCase{"width_edge", "0.5", true, true, 5712, 168, 0, 168, " 0.5000"},
                      GripCase{"depth_edge", "0.25", false, true, 84, 3696, 84, 0, " 0.2500"},
                      GripCase{"depth_edge_rounded", "0.3", false, true, 101, 3696, 101, 0,
                               " 0.3000"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ReportRows, StandBesideTheSheetAtTheValueColumn) {
    Cells cells = drawnCells();
    cells.txtGrip = "0.5";
    const LaidOutReport r = layOut(cells, frames(2, 1, 28, 4));
    const std::int16_t valueColumn =
        static_cast<std::int16_t>(roundHalfEven(textWidth(bold12, " STANDARD OUT       ") + 1260));
    for (const ReportSectionLayout *section : {&r.layout.finished, &r.layout.press}) {
        EXPECT_EQ(section->valueColumn, valueColumn);
        const std::vector<Row> rows = rowsOf(r, *section);
        ASSERT_GE(rows.size(), 8u);
        EXPECT_EQ(rows.front().y, section->placement.sheetTop);
        const double pitch = lineHeight(regular12);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_FALSE(rows[i].value.empty()) << rows[i].caption;
            if (i > 0) {
                EXPECT_NEAR(rows[i].y - rows[i - 1].y, i == 1 ? lineHeight(bold12) : pitch, 1)
                    << rows[i].caption;
            }
            // The frame row is bold; every later row is regular.
            const FontSpec expected = i == 0 ? bold12 : regular12;
            EXPECT_EQ(rows[i].captionFont, expected) << rows[i].caption;
            EXPECT_EQ(rows[i].valueFont, expected) << rows[i].caption;
        }
    }
    // Headings and dimension labels are bold.
    EXPECT_EQ(r.text(" 17 ")->font, bold12);
    EXPECT_EQ(r.text(" 35 ")->font, bold12);
    EXPECT_EQ(r.text("LAYOUT: Press Forms on Parent Sheet (OUT):  4 ")->font, bold12);
}

struct RowsCase {
    const char *name;
    std::string parent;
    std::int16_t fssFrame;
    std::int16_t pssFrame;
    std::vector<std::string> finished;
    std::vector<std::string> press;
};

const std::vector<std::string> plainFinished{
    " FRAME #            ", " STANDARD OUT       ", " MAXIMUM OUT        ", " PSW-SHT WIDTH      ",
    " PSD-SHT DEPTH      ", " X=FIN SHT DIM      ", " Y=FIN SHT DIM      ", " % STOCK WASTE      "};
const std::vector<std::string> staggerFinished{
    " FRAME #            ", " STANDARD OUT       ", " STAGGER OUT        ", " TOTAL OUT          ",
    " MAXIMUM OUT        ", " PSW-SHT WIDTH      ", " PSD-SHT DEPTH      ", " X=FIN SHT DIM      ",
    " Y=FIN SHT DIM      ", " x=SWING CUT        ", " y=SWING CUT        ", " % STOCK WASTE      "};
const std::vector<std::string> plainPress{
    " FRAME #            ", " STANDARD OUT       ", " MAXIMUM OUT        ", " PARS-SHT WIDTH     ",
    " PARS-SHT DEPTH     ", " X=PRS SHT DIM      ", " Y=PRS SHT DIM      ", " % STOCK WASTE      "};
const std::vector<std::string> staggerPress{
    " FRAME #            ", " STANDARD OUT       ", " STAGGER OUT        ", " TOTAL OUT          ",
    " MAXIMUM OUT        ", " PARS-SHT WIDTH     ", " PARS-SHT DEPTH     ", " X=PRS SHT DIM      ",
    " Y=PRS SHT DIM      ", " x=SWING CUT        ", " y=SWING CUT        ", " % STOCK WASTE      "};

class ReportRowConditions : public ::testing::TestWithParam<RowsCase> {};

TEST_P(ReportRowConditions, FollowEachSectionsOwnFrame) {
    const RowsCase &c = GetParam();
    Cells cells = drawnCells();
    cells.txtPARS = c.parent;
    const LaidOutReport r = layOut(cells, frames(c.fssFrame, c.pssFrame));
    EXPECT_EQ(captions(rowsOf(r, r.layout.finished)), c.finished);
    EXPECT_EQ(captions(rowsOf(r, r.layout.press)), c.press);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportRowConditions,
    ::testing::Values(RowsCase{"frames_1_1", "35x23", 1, 1, plainFinished, plainPress},
                      RowsCase{"finished_frame_2_only", "35x23", 2, 1, staggerFinished, plainPress},
                      RowsCase{"finished_frame_4", "35x23", 4, 3, staggerFinished, plainPress},
                      RowsCase{"finished_frame_3", "35x23", 3, 1, plainFinished, plainPress},
                      RowsCase{"press_frame_2_only", "28x23", 1, 2, plainFinished, staggerPress},
                      // A stagger frame whose strip holds nothing shows no stagger rows.
                      RowsCase{"press_frame_2_empty_strip", "35x23", 1, 2, plainFinished,
                               plainPress}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ReportFrames, FrameZeroPrintsZeroWithTheFrameOneLayout) {
    const LaidOutReport zero = layOut(drawnCells(), frames(0, 0));
    const LaidOutReport one = layOut(drawnCells(), frames(1, 1));
    for (auto section : {&ReportLayout::finished, &ReportLayout::press}) {
        EXPECT_EQ(values(rowsOf(zero, zero.layout.*section)).at(" FRAME #            "), " 0 ");
        EXPECT_EQ(values(rowsOf(one, one.layout.*section)).at(" FRAME #            "), " 1 ");
    }
    const auto zeroGrids = opsOfKind(zero.ops(), DrawOp::Kind::BoxGrid);
    const auto oneGrids = opsOfKind(one.ops(), DrawOp::Kind::BoxGrid);
    ASSERT_EQ(zeroGrids.size(), oneGrids.size());
    for (std::size_t i = 0; i < zeroGrids.size(); ++i) {
        EXPECT_EQ(zeroGrids[i]->x1, oneGrids[i]->x1);
        EXPECT_EQ(zeroGrids[i]->y1, oneGrids[i]->y1);
        EXPECT_EQ(zeroGrids[i]->x2, oneGrids[i]->x2);
        EXPECT_EQ(zeroGrids[i]->y2, oneGrids[i]->y2);
        EXPECT_EQ(zeroGrids[i]->cols, oneGrids[i]->cols);
        EXPECT_EQ(zeroGrids[i]->rows, oneGrids[i]->rows);
    }
}

// The report agrees with the screen: the same rows as the panels of the last
// redraw, and the headings carry the counts that redraw stored.
TEST(ReportNumbers, AreTheScreensAfterARedraw) {
    RecordingSink sink;
    LayoutSession session(sink);
    session.cells.txtSize = {"2x3", "11x17", "23x35"};
    session.cells.txtGrip = "0.5";
    session.cmdNext_Click();
    session.cmdNext_Click();
    session.cmdNextPSS_Click();
    ASSERT_TRUE(session.finished() && session.press());
    ASSERT_TRUE(sink.messages.empty());

    const LaidOutReport r = layOut(session.cells, session.frames);
    const auto expectRows = [&](const ReportSectionLayout &section, const DiagramValues &screen) {
        std::vector<std::pair<std::string, std::string>> expected;
        for (const PanelRow &row : panelRows(screen, PanelMedium::Report))
            expected.emplace_back(row.caption, row.value);
        std::vector<std::pair<std::string, std::string>> printed;
        for (const Row &row : rowsOf(r, section))
            printed.emplace_back(row.caption, row.value);
        EXPECT_EQ(printed, expected);
    };
    expectRows(r.layout.finished, *session.finished());
    expectRows(r.layout.press, *session.press());
    EXPECT_NE(r.text("LAYOUT: Finished Forms on Press Sheet (UP): " +
                     plainNumber(session.frames.fssFrameOut)),
              nullptr);
    EXPECT_NE(r.text("LAYOUT: Press Forms on Parent Sheet (OUT): " +
                     plainNumber(session.frames.pssFrameOut)),
              nullptr);
}

struct RefusedCase {
    const char *name;
    std::string fss, pss, pars, grip;
    bool optWidth;
    const char *message;
};

class ReportRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(ReportRefused, ShowsOneWarningAndNothingToPrint) {
    const RefusedCase &c = GetParam();
    Cells cells = drawnCells();
    cells.txtFSS = c.fss;
    cells.txtPSS = c.pss;
    cells.txtPARS = c.pars;
    cells.txtGrip = c.grip;
    cells.optWidth = c.optWidth;
    RecordingSink sink;
    EXPECT_FALSE(prepareReport(cells, frames(1, 1), sink).has_value());
    EXPECT_EQ(sink.messages, std::vector<std::string>{c.message});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportRefused,
    ::testing::Values(
        RefusedCase{"design_texts", "FSS", "PSS", "PARS", "0.00", true, incorrectSizeMessage},
        RefusedCase{"zero_finished", "3x0", "17x11", "35x23", "0.00", true, incorrectSizeMessage},
        RefusedCase{"no_x_press", "3x2", "17", "35x23", "0.00", true, incorrectSizeMessage},
        RefusedCase{"text_parent", "3x2", "17x11", "axb", "0.00", true, incorrectSizeMessage},
        RefusedCase{"parent_too_narrow", "3x2", "17x11", "0.04x0.01", "0.00", true,
                    incorrectSizeMessage},
        RefusedCase{"finished_too_large", "20x12", "17x11", "35x23", "0.00", true,
                    doesNotFitMessage},
        RefusedCase{"press_too_large", "3x2", "40x30", "35x23", "0.00", true, doesNotFitMessage},
        RefusedCase{"neither_fits_warns_once", "20x12", "40x30", "35x23", "0.00", true,
                    doesNotFitMessage},
        RefusedCase{"gripper_eats_the_sheet", "3x2", "17x11", "35x23", "11", true,
                    doesNotFitMessage}),
    [](const auto &info) { return std::string(info.param.name); });

// Lowest point anything on a page reaches.
double pageBottom(const std::vector<DrawOp> &ops) {
    double bottom = 0;
    for (const DrawOp &op : ops) {
        switch (op.kind) {
        case DrawOp::Kind::Line:
        case DrawOp::Kind::Box:
            bottom = std::max({bottom, op.y1, op.y2});
            break;
        case DrawOp::Kind::BoxGrid:
            bottom = std::max(bottom, op.gridBottom());
            break;
        case DrawOp::Kind::Text:
            if (!op.text.empty())
                bottom = std::max(bottom, op.y1 + lineHeight(op.font));
            break;
        default:
            break;
        }
    }
    return bottom;
}

struct PageCase {
    const char *name;
    std::string press;
    std::string parent;
    std::string grip;
    int pages;
};

class ReportPagination : public ::testing::TestWithParam<PageCase> {};

TEST_P(ReportPagination, NothingRunsPastThePrintableBottom) {
    const PageCase &c = GetParam();
    Cells cells = drawnCells();
    cells.txtPSS = c.press;
    cells.txtPARS = c.parent;
    cells.txtGrip = c.grip;
    const LaidOutReport r = layOut(cells, frames(4, 1));
    ASSERT_EQ(r.pageCount(), c.pages);
    EXPECT_EQ(r.layout.pageCount, c.pages);
    for (int p = 0; p < r.pageCount(); ++p)
        EXPECT_LE(pageBottom(r.ops(p)), letterPrintableHeight) << "page " << p;

    int headingPage = -1;
    const DrawOp *heading = r.text("LAYOUT: Press Forms on Parent Sheet (OUT):  0 ", &headingPage);
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(headingPage, c.pages - 1);
    EXPECT_EQ(r.layout.press.page, c.pages - 1);
    if (c.pages > 1) {
        EXPECT_EQ(heading->y1, 320);
    } else {
        // The press section never starts above the end of the finished rows.
        EXPECT_GT(heading->y1, r.layout.finished.rowsEnd);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportPagination,
    ::testing::Values(PageCase{"defaults_one_page", "17x11", "35x23", "0.5", 1},
                      PageCase{"square_parent_two_pages", "17x11", "23x23", "0", 2},
                      PageCase{"square_press_and_parent", "11x11", "23x23", "0.5", 2},
                      // Rows reach further down than the shallow sheet beside them.
                      PageCase{"shallow_press_sheet", "17x3", "35x23", "0.5", 1}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace sheetcraft::test
