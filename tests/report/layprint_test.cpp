#include "reportfixture.h"

#include "geometry.h"
#include "layoutsession.h"
#include "numberformat.h"
#include "panel.h"
#include "sheetsize.h"

#include <QFont>

#include <algorithm>
#include <tuple>

namespace sheetcraft::test {
namespace {

const FontSpec bold12{reportFontName, 12, true};
const FontSpec regular12{reportFontName, 12, false};
const FontSpec titleFont{reportFontName, 24, true};

// Text metrics as the report's pages measure them; the height without text.
double measure(const FontSpec &font, const std::string *text = nullptr) {
    registerReportFont();
    RecordingSurface m(QFont(reportFontName, 12), printerDpi);
    m.setFont(font);
    return text ? m.textWidth(*text) : m.textHeight();
}

double textRight(const DrawOp &op) {
    return op.x1 + measure(op.font, &op.text);
}

// Operations of one kind on any page, in drawing order.
std::vector<const DrawOp *> opsOfKind(const LaidOutReport &r, DrawOp::Kind kind) {
    std::vector<const DrawOp *> found;
    for (int p = 0; p < r.pageCount(); ++p)
        for (const DrawOp &op : r.ops(p))
            if (op.kind == kind)
                found.push_back(&op);
    return found;
}

std::vector<const DrawOp *> boxes(const LaidOutReport &r, Rgb fill, FillStyle style) {
    std::vector<const DrawOp *> found;
    for (const DrawOp *op : opsOfKind(r, DrawOp::Kind::Box))
        if (op->fillStyle == style && op->fillColour == fill)
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

std::string valueOf(const std::vector<Row> &rows, const std::string &caption) {
    for (const Row &row : rows)
        if (row.caption == caption)
            return row.value;
    return "<none>";
}

struct JobCase {
    const char *name;
    bool optJob;
    std::string company, job;
    const char *label, *absent, *value;
    bool designColumns; // short fields leave the columns at their designed places
};

class ReportHeader : public ::testing::TestWithParam<JobCase> {};

TEST_P(ReportHeader, CentredTitleAndJobBlockWithoutOverprinting) {
    const JobCase &c = GetParam();
    Cells cells = drawnCells();
    cells.optJob = c.optJob;
    cells.txtName = c.company;
    cells.txtJob = c.job;
    const LaidOutReport r = layOut(cells, frames(1, 1));

    const DrawOp *title = r.text(reportTitle);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->font, titleFont);
    EXPECT_EQ(title->y1, 320);
    const std::string titleText = reportTitle;
    const double w = static_cast<double>(roundHalfEven(measure(titleFont, &titleText)));
    EXPECT_EQ(title->x1, (11560 - w) / 2);
    EXPECT_EQ(r.layout.titleLeft, roundHalfEven((11560 - w) / 2));
    EXPECT_FLOAT_EQ(r.layout.titleRight, static_cast<float>(textRight(*title)));

    const DrawOp *company = r.text(c.company);
    const DrawOp *label = r.text(c.label);
    const DrawOp *value = *c.value ? r.text(c.value) : label; // an empty value ends at its label
    const DrawOp *part = r.text("Part No: ");
    ASSERT_TRUE(company && label && value && part);
    EXPECT_EQ(r.text(c.absent), nullptr);
    EXPECT_EQ(label->font, bold12);
    EXPECT_EQ(value->font, *c.value ? regular12 : bold12);
    EXPECT_EQ(label->y1, part->y1);
    EXPECT_GT(label->x1, textRight(*company));
    EXPECT_GT(part->x1, textRight(*value));
    if (c.designColumns) {
        EXPECT_EQ(label->x1, r.layout.titleLeft + 1500);
        EXPECT_DOUBLE_EQ(part->x1, static_cast<double>(r.layout.titleRight) + 500);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportHeader,
    ::testing::Values(JobCase{"job", true, "A", "", "Job #: ", "Quote #: ", "", true},
                      JobCase{"quote", false, "A", "4711", "Quote #: ", "Job #: ", "Q-88", false},
                      JobCase{"long_fields", true,
                              "The Very Long Company Name of a Printing Customer Inc.",
                              "2026-000471-REPRINT", "Job #: ", "Quote #: ", "2026-000471-REPRINT",
                              false}),
    [](const auto &info) { return std::string(info.param.name); });

struct SheetCase {
    const char *name;
    std::string press, parent, grip;
    bool optWidth;
    std::int64_t finishedScale, pressScale;
    double right, depth;                   // the finished outline, from its top-left corner
    double stripRight = 0, stripDepth = 0; // the gripper strip likewise; none when 0
    double shiftX = 0, shiftY = 0;         // pieces moved clear of the strip
    const char *gripValue = "";
};

class ReportSheet : public ::testing::TestWithParam<SheetCase> {};

TEST_P(ReportSheet, ScaleOutlineGripperAndPieces) {
    const SheetCase &c = GetParam();
    Cells cells = drawnCells();
    cells.txtPSS = c.press;
    cells.txtPARS = c.parent;
    cells.txtGrip = c.grip;
    cells.optWidth = c.optWidth;
    const LaidOutReport r = layOut(cells, frames(1, 1));
    const SheetPlacement &p = r.layout.finished.placement;
    EXPECT_EQ(p.scale, c.finishedScale);
    EXPECT_EQ(r.layout.press.placement.scale, c.pressScale);
    EXPECT_EQ(p.sheetRight, 640 + c.right);

    // The sheet stands 320 below the line after its heading.
    const double left = 640, top = p.sheetTop;
    const DrawOp *heading = r.text("LAYOUT: Finished Forms on Press Sheet (UP):  0 ");
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(top, roundHalfEven(heading->y1 + measure(bold12)) + 320);

    const auto outlines = boxes(r, white, FillStyle::Solid);
    ASSERT_EQ(outlines.size(), 2u);
    EXPECT_EQ(outlines[0]->x1, left);
    EXPECT_EQ(outlines[0]->y1, top);
    EXPECT_EQ(outlines[0]->x2, left + c.right);
    EXPECT_EQ(outlines[0]->y2, top + c.depth);
    EXPECT_EQ(outlines[0]->lineWidth, 4);

    // The sheet strip, then the sample box in the gripper row.
    const bool strip = c.stripRight > 0;
    const auto strips = boxes(r, blue, FillStyle::DiagonalCross);
    ASSERT_EQ(strips.size(), strip ? 2u : 0u);
    const std::vector<Row> rows = rowsOf(r, r.layout.finished);
    const auto gripRow = std::find_if(
        rows.begin(), rows.end(), [](const Row &row) { return row.caption == "  = GRIPPER     "; });
    ASSERT_EQ(gripRow != rows.end(), strip);
    if (strip) {
        EXPECT_EQ(strips[0]->x1, left);
        EXPECT_EQ(strips[0]->y1, top);
        EXPECT_EQ(strips[0]->x2, left + c.stripRight);
        EXPECT_EQ(strips[0]->y2, top + c.stripDepth);
        EXPECT_EQ(strips[0]->lineWidth, 4);
        EXPECT_EQ(strips[1]->x1, p.sheetRight + 1320);
        EXPECT_EQ(strips[1]->x2, p.sheetRight + 1620);
        EXPECT_NEAR(strips[1]->y1, gripRow->y + 40, 0.5);
        EXPECT_DOUBLE_EQ(strips[1]->y2 - strips[1]->y1, 160);
        EXPECT_EQ(gripRow->value, c.gripValue);
    }

    const auto grids = opsOfKind(r, DrawOp::Kind::BoxGrid);
    ASSERT_FALSE(grids.empty());
    EXPECT_EQ(grids[0]->x1, left + c.shiftX);
    EXPECT_EQ(grids[0]->y1, top + c.shiftY);
    EXPECT_EQ(grids[0]->lineWidth, 3);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportSheet,
    ::testing::Values(
        SheetCase{"press_11_wide", "11x8.5", "35x23", "0.00", true, 520, 163, 5720, 4420},
        SheetCase{"press_17_wide", "17x11", "35x23", "0.00", true, 336, 163, 5712, 3696},
        SheetCase{"parent_11_wide", "3x2.5", "11x8.5", "0.00", true, 1907, 520, 5721, 4767.5},
        SheetCase{"negative_gripper", "17x11", "35x23", "-1", true, 336, 163, 5712, 3696},
        SheetCase{"gripper_width_edge", "17x11", "35x23", "0.5", true, 336, 163, 5712, 3696, 5712,
                  168, 0, 168, " 0.5000"},
        SheetCase{"gripper_depth_edge", "17x11", "35x23", "0.25", false, 336, 163, 5712, 3696, 84,
                  3696, 84, 0, " 0.2500"},
        SheetCase{"gripper_depth_edge_rounded", "17x11", "35x23", "0.3", false, 336, 163, 5712,
                  3696, 101, 3696, 101, 0, " 0.3000"}),
    [](const auto &info) { return std::string(info.param.name); });

struct RowsCase {
    const char *name;
    std::string parent;
    std::int16_t fssFrame, pssFrame;
    bool finishedStagger, pressStagger;
};

class ReportRowConditions : public ::testing::TestWithParam<RowsCase> {};

// Stagger, total and swing-cut rows follow each section's own frame; frame 0
// prints as 0 with the frame-1 layout.
TEST_P(ReportRowConditions, FollowEachSectionsOwnFrame) {
    const RowsCase &c = GetParam();
    Cells cells = drawnCells();
    cells.txtPARS = c.parent;
    const LaidOutReport r = layOut(cells, frames(c.fssFrame, c.pssFrame));
    for (const auto &[section, frame, stagger] :
         {std::tuple{&r.layout.finished, c.fssFrame, c.finishedStagger},
          {&r.layout.press, c.pssFrame, c.pressStagger}}) {
        const std::vector<Row> rows = rowsOf(r, *section);
        EXPECT_EQ(rows.size(), stagger ? 12u : 8u);
        EXPECT_EQ(valueOf(rows, " FRAME #            "), " " + std::to_string(frame) + " ");
        for (const char *caption : {" STAGGER OUT        ", " TOTAL OUT          ",
                                    " x=SWING CUT        ", " y=SWING CUT        "})
            EXPECT_EQ(valueOf(rows, caption) != "<none>", stagger) << caption;
    }
    if (c.fssFrame == 0) {
        const auto grids = [](const LaidOutReport &report) {
            std::vector<std::tuple<double, double, double, double, std::int64_t, std::int64_t>> out;
            for (const DrawOp *g : opsOfKind(report, DrawOp::Kind::BoxGrid))
                out.emplace_back(g->x1, g->y1, g->x2, g->y2, g->cols, g->rows);
            return out;
        };
        EXPECT_EQ(grids(r), grids(layOut(cells, frames(1, 1))));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportRowConditions,
    ::testing::Values(RowsCase{"frames_0_0", "35x23", 0, 0, false, false},
                      RowsCase{"frames_1_1", "35x23", 1, 1, false, false},
                      RowsCase{"finished_frame_2_only", "35x23", 2, 1, true, false},
                      RowsCase{"finished_frame_4", "35x23", 4, 3, true, false},
                      RowsCase{"finished_frame_3", "35x23", 3, 1, false, false},
                      RowsCase{"press_frame_2_only", "28x23", 1, 2, false, true},
                      // A stagger frame whose strip holds nothing shows no stagger rows.
                      RowsCase{"press_frame_2_empty_strip", "35x23", 1, 2, false, false}),
    [](const auto &info) { return std::string(info.param.name); });

// The report agrees with the screen: the rows of the last redraw's panels
// beside each sheet at valueColumn, and headings with the counts it stored.
TEST(ReportRows, AreTheScreensBesideTheSheet) {
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
    const std::string widest = " STANDARD OUT       ";
    const auto valueColumn =
        static_cast<std::int16_t>(roundHalfEven(measure(bold12, &widest) + 1260));
    for (const auto &[section, screen] :
         {std::pair{&r.layout.finished, session.finished()}, {&r.layout.press, session.press()}}) {
        EXPECT_EQ(section->valueColumn, valueColumn);
        std::vector<std::pair<std::string, std::string>> expected, printed;
        for (const PanelRow &row : panelRows(*screen, PanelMedium::Report))
            expected.emplace_back(row.caption, row.value);
        const std::vector<Row> rows = rowsOf(r, *section);
        for (const Row &row : rows)
            printed.emplace_back(row.caption, row.value);
        EXPECT_EQ(printed, expected);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.front().y, section->placement.sheetTop);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            SCOPED_TRACE(rows[i].caption);
            if (i > 0) {
                EXPECT_NEAR(rows[i].y - rows[i - 1].y, measure(i == 1 ? bold12 : regular12), 1);
            }
            // The frame row is bold; every later row is regular.
            EXPECT_EQ(rows[i].captionFont, i == 0 ? bold12 : regular12);
            EXPECT_EQ(rows[i].valueFont, i == 0 ? bold12 : regular12);
        }
    }
    // Headings and dimension labels are bold.
    for (const std::string &text :
         {"LAYOUT: Finished Forms on Press Sheet (UP): " + plainNumber(session.frames.fssFrameOut),
          "LAYOUT: Press Forms on Parent Sheet (OUT): " + plainNumber(session.frames.pssFrameOut),
          std::string(" 17 "), std::string(" 35 ")}) {
        ASSERT_NE(r.text(text), nullptr) << text;
        EXPECT_EQ(r.text(text)->font, bold12) << text;
    }
}

struct RefusedCase {
    const char *name;
    std::string fss, pss, pars, grip;
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
    RecordingSink sink;
    EXPECT_FALSE(prepareReport(cells, frames(1, 1), sink).has_value());
    EXPECT_EQ(sink.messages, std::vector<std::string>{c.message});
}

const char *const bad = incorrectSizeMessage;
const char *const misfit = doesNotFitMessage;

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportRefused,
    ::testing::Values(RefusedCase{"no_redraw_yet", "FSS", "PSS", "PARS", "0.00", bad},
                      RefusedCase{"no_x_press", "3x2", "17", "35x23", "0.00", bad},
                      RefusedCase{"text_parent", "3x2", "17x11", "axb", "0.00", bad},
                      RefusedCase{"parent_too_narrow", "3x2", "17x11", "0.04x0.01", "0.00", bad},
                      RefusedCase{"finished_too_large", "20x12", "17x11", "35x23", "0.00", misfit},
                      RefusedCase{"press_too_large", "3x2", "40x30", "35x23", "0.00", misfit},
                      RefusedCase{"neither_fits_warns_once", "20x12", "40x30", "35x23", "0",
                                  misfit},
                      RefusedCase{"gripper_eats_the_sheet", "3x2", "17x11", "35x23", "11", misfit}),
    [](const auto &info) { return std::string(info.param.name); });

// Lowest point anything on a page reaches.
double pageBottom(const std::vector<DrawOp> &ops) {
    double bottom = 0;
    for (const DrawOp &op : ops) {
        if (op.kind == DrawOp::Kind::Line || op.kind == DrawOp::Kind::Box)
            bottom = std::max({bottom, op.y1, op.y2});
        else if (op.kind == DrawOp::Kind::BoxGrid)
            bottom = std::max(bottom, op.gridBottom());
        else if (op.kind == DrawOp::Kind::Text && !op.text.empty())
            bottom = std::max(bottom, op.y1 + measure(op.font));
    }
    return bottom;
}

struct PageCase {
    const char *name;
    std::string press, parent, grip;
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
    } else { // the press section never starts above the end of the finished rows
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
