#include "drawncells.h"
#include "embeddedfonts.h"
#include "geometry.h"
#include "layprint.h"
#include "numberformat.h"
#include "pagefit.h"
#include "panel.h"
#include "recordedpages.h"
#include "reportoutput.h"
#include "saidlog.h"
#include "sheetsize.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <ostream>
#include <tuple>

namespace sheetcraft::test {
namespace {

const TextFont bold12{reportFontName, 12, true}, regular12{reportFontName, 12, false};
using Kind = DrawOp::Kind;

// Text ends where the recording measured it, whatever fonts the machine has.
const auto textRight = [](const DrawOp &op) { return op.x2; };
const auto corners = [](const DrawOp &op) { return std::array{op.x1, op.y1, op.x2, op.y2}; };

// Paper and margins (inches, all round) of the printer the report goes to;
// Letter with quarter-inch margins is what every report file is made on.
struct Paper {
    QPageSize::PageSizeId size = QPageSize::Letter;
    double margin = 0.25;
};

// A printer-like paint device on that paper, at a printer's resolution.
struct Device {
    QBuffer buffer;
    QPdfWriter writer{&buffer};
    explicit Device(const Paper &paper) {
        writer.setResolution(reportPdfResolution);
        const double m = paper.margin;
        writer.setPageLayout(QPageLayout(QPageSize(paper.size), QPageLayout::Portrait,
                                         QMarginsF(m, m, m, m), QPageLayout::Inch));
    }
};

struct Report {
    Device device;
    ReportPage page;

    Report(const Cells &cells, const FrameState &frames, const Paper &paper = {}) : device(paper) {
        Outcome said;
        const auto content = prepareReport(cells, frames, said);
        EXPECT_TRUE(content) << (said.messages.empty() ? "" : messageText(said.messages[0]));
        if (content)
            page =
                layOutReport(cells, frames, *content, device.writer, printableTwips(device.writer));
    }
    const std::vector<DrawOp> &ops() const {
        static const std::vector<DrawOp> none;
        return page.recording ? page.recording->ops() : none;
    }
    // Matching operations in drawing order.
    std::vector<const DrawOp *> find(const std::function<bool(const DrawOp &)> &match) const {
        std::vector<const DrawOp *> found;
        for (const DrawOp &op : ops())
            if (match(op))
                found.push_back(&op);
        return found;
    }
    const DrawOp *text(const std::string &t) const {
        const auto f =
            find([&](const DrawOp &op) { return op.kind == Kind::Text && op.text == t; });
        return f.empty() ? nullptr : f[0];
    }
    // Text width as the report's page measures it.
    double measure(const TextFont &font, const std::string &text) const {
        RecordingSurface m(&device.writer, QFont(reportFontName, 12));
        m.setFont(font);
        return m.textWidth(text);
    }
};

struct Row {
    std::string caption, value;
    double y, foot; // top and foot of the caption's line
};

// The rows beside one section's sheet: captions 1260 past its right edge (1620
// after the gripper legend), values at valueColumn on the same line.
std::vector<Row> rowsOf(const Report &r, const ReportSectionLayout &s) {
    const double right = s.placement.sheetRight;
    std::vector<Row> rows;
    for (const DrawOp &op : r.ops()) {
        if (op.kind != Kind::Text || op.y1 < s.placement.sheetTop || op.y1 >= s.rowsEnd)
            continue;
        if (op.x1 == right + 1260 || op.x1 == right + 1620)
            rows.push_back({op.text, "", op.y1, op.y2});
        else if (op.x1 == right + s.valueColumn && !rows.empty() && op.y1 == rows.back().y)
            rows.back().value = op.text;
    }
    return rows;
}

struct JobCase {
    const char *name;
    bool optJob;
    std::string company, job, label, absent, value; // an empty value prints nothing
    bool designColumns; // short fields leave the columns at their designed places
};

class ReportHeader : public ::testing::TestWithParam<JobCase> {};

TEST_P(ReportHeader, CentredTitleAndJobBlockWithoutOverprinting) {
    const JobCase &c = GetParam();
    Cells cells = drawn();
    cells.optJob = c.optJob;
    cells.txtName = c.company;
    cells.txtJob = c.job;
    cells.txtQuote = "Q-88";
    const Report r(cells, {1, 1});

    const DrawOp *title = r.text(reportTitle);
    ASSERT_NE(title, nullptr);
    const double w = static_cast<double>(roundHalfEven(textRight(*title) - title->x1));
    EXPECT_EQ(title->font, (TextFont{reportFontName, 24, true}));
    EXPECT_EQ(std::pair(title->x1, title->y1), std::pair((11560 - w) / 2, 320.0));

    const DrawOp *company = r.text(c.company), *label = r.text(c.label);
    const DrawOp *value = c.value.empty() ? label : r.text(c.value), *part = r.text("Part No: ");
    ASSERT_TRUE(company && label && value && part);
    EXPECT_EQ(r.text(c.absent), nullptr);
    EXPECT_EQ(label->y1, part->y1);
    EXPECT_GT(label->x1, textRight(*company));
    EXPECT_GT(part->x1, textRight(*value));
    if (c.designColumns) {
        EXPECT_EQ(label->x1, roundHalfEven((11560 - w) / 2) + 1500);
        EXPECT_NEAR(part->x1, textRight(*title) + 500, 0.01);
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
    [](const auto &row) { return std::string(row.param.name); });

struct SheetCase {
    const char *name;
    std::string pss, pars, grip;
    bool optWidth;
    std::int16_t fssFrame, pssFrame;
    std::size_t finishedRows, pressRows;   // stagger rows only where a stagger block is drawn
    std::int64_t scale = 0;                // finished sheet; unchecked when 0
    double right = 0, depth = 0;           // its outline, from the top-left corner
    double stripRight = 0, stripDepth = 0; // the gripper strip likewise
};

class ReportSheets : public ::testing::TestWithParam<SheetCase> {};

TEST_P(ReportSheets, ScaleOutlineGripperAndRows) {
    const SheetCase &c = GetParam();
    Cells cells = drawn(c.pss, c.pars, c.grip);
    cells.optWidth = c.optWidth;
    const Report r(cells, {c.fssFrame, c.pssFrame});
    // Each section's rows follow its own frame; frame 0 prints as 0.
    for (const auto &[section, frame, count] :
         {std::tuple{&r.page.layout.finished, c.fssFrame, c.finishedRows},
          {&r.page.layout.press, c.pssFrame, c.pressRows}}) {
        const std::vector<Row> rows = rowsOf(r, *section);
        ASSERT_EQ(rows.size(), count);
        EXPECT_EQ(rows[0].value, " " + std::to_string(frame) + " ");
    }
    // The press section follows on the same page, below the finished rows.
    const DrawOp *pressHeading = r.text("LAYOUT: Press Forms on Parent Sheet (OUT):  0 ");
    ASSERT_NE(pressHeading, nullptr);
    EXPECT_GT(pressHeading->y1, r.page.layout.finished.rowsEnd);
    if (!c.scale)
        return;

    const SheetPlacement &p = r.page.layout.finished.placement;
    EXPECT_EQ(p.scale, c.scale);
    EXPECT_EQ(p.sheetRight, 640 + c.right);
    // The sheet stands 320 below the line after its heading.
    const DrawOp *heading = r.text("LAYOUT: Finished Forms on Press Sheet (UP):  0 ");
    ASSERT_NE(heading, nullptr);
    const double left = 640, top = roundHalfEven(heading->y2) + 320;
    const auto boxes = [&](FillStyle style) {
        return r.find(
            [=](const DrawOp &op) { return op.kind == Kind::Box && op.fillStyle == style; });
    };
    const auto outlines = boxes(FillStyle::Solid);
    ASSERT_EQ(outlines.size(), 2u);
    EXPECT_EQ(corners(*outlines[0]), (std::array{left, top, left + c.right, top + c.depth}));
    EXPECT_EQ(outlines[0]->lineWidth, 4);
    // The sheet's strip, then the legend box in the gripper row.
    const auto strips = boxes(FillStyle::DiagonalCross);
    ASSERT_EQ(strips.size(), c.stripRight ? 2u : 0u);
    if (c.stripRight) {
        EXPECT_EQ(corners(*strips[0]),
                  (std::array{left, top, left + c.stripRight, top + c.stripDepth}));
        const Row grip = rowsOf(r, r.page.layout.finished).at(5); // after the sheet's size rows
        EXPECT_EQ(grip.caption, "  = GRIPPER     ");
        // The legend box stands on the row's unrounded line; its caption on the
        // rounded one.
        const std::array legend = corners(*strips[1]);
        EXPECT_EQ(std::pair(legend[0], legend[2]),
                  std::pair(p.sheetRight + 1320.0, p.sheetRight + 1620.0));
        EXPECT_EQ(static_cast<double>(roundHalfEven(legend[1] - 40)), grip.y);
        EXPECT_EQ(legend[3] - legend[1], 160);
    }
    // Pieces move clear of the strip.
    const auto pieces = r.find([](const DrawOp &op) { return op.kind == Kind::BoxGrid; });
    ASSERT_FALSE(pieces.empty());
    EXPECT_EQ(pieces[0]->x1, left + (c.optWidth ? 0 : c.stripRight));
    EXPECT_EQ(pieces[0]->y1, top + (c.optWidth ? c.stripDepth : 0));
    EXPECT_EQ(pieces[0]->lineWidth, 3);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportSheets,
    ::testing::Values(
        SheetCase{"press_11_wide", "11x8.5", "35x23", "0", true, 1, 1, 8, 8, 520, 5720, 4420},
        SheetCase{"gripper_width_edge", "17x11", "35x23", "0.5", true, 1, 1, 9, 8, 336, 5712, 3696,
                  5712, 168},
        // 0.3 x 336 = 100.8
        SheetCase{"gripper_depth_edge_rounded", "17x11", "35x23", "0.3", false, 1, 1, 9, 8, 336,
                  5712, 3696, 101, 3696},
        SheetCase{"frames_0_0", "17x11", "35x23", "0", true, 0, 0, 8, 8},
        SheetCase{"press_frame_2_only", "17x11", "28x23", "0", true, 1, 2, 8, 12},
        // A stagger frame whose strip holds nothing shows no stagger rows.
        SheetCase{"press_frame_2_empty_strip", "17x11", "35x23", "0", true, 1, 2, 8, 8},
        SheetCase{"square_press_and_parent", "11x11", "23x23", "0.5", true, 4, 1, 9, 8},
        // Rows reach further down than the shallow sheet beside them.
        SheetCase{"shallow_press_sheet", "17x3", "35x23", "0.5", true, 4, 1, 13, 8}),
    [](const auto &row) { return std::string(row.param.name); });

struct FitCase {
    const char *name;
    Cells cells;
    FrameState frames;
    Paper paper;
    bool designSize; // fits the printable area as laid out
};

// The demo database's job 12345, part 1, with its finished diagram on frame 3.
Cells demoJob() {
    Cells c = drawn("25x19", "38x25", "0.375", "11x8.5");
    c.txtName = "Harbor Savings Bank";
    c.txtJob = "00012345";
    c.txtPartNo = "1";
    c.txtDesc = "Annual report, cover";
    c.txtStockDesc = "100# Gloss Cover";
    return c;
}

void PrintTo(const FitCase &c, std::ostream *out) {
    *out << c.name;
}

class ReportFit : public ::testing::TestWithParam<FitCase> {};

// One page, never cut off: everything painted stays inside the printable
// area, and the page is shrunk no further than that needs.
TEST_P(ReportFit, OnePageShrunkJustEnoughToStayInside) {
    const FitCase &c = GetParam();
    const Report r(c.cells, c.frames, c.paper);
    ASSERT_TRUE(r.page.recording);
    const QSizeF printable = printableTwips(r.device.writer);
    const double scale = r.page.fit.scale;
    EXPECT_EQ(scale == 1, c.designSize) << scale;
    EXPECT_GT(scale, 0.5);

    // Each shape's pen (device pixels, unscaled) reaches half its width past
    // the corner, and every position may round half a pixel further.
    const double twipsPerPixel = 1440.0 / reportPdfResolution;
    double farRight = 0, farBottom = 0;
    std::size_t painted = 0;
    for (const DrawOp &op : r.ops()) {
        const bool moveTo = op.kind == Kind::Line && op.x1 == op.x2 && op.y1 == op.y2;
        if (op.kind > Kind::Text || moveTo || (op.kind == Kind::Text && op.text.empty()))
            continue;
        ++painted;
        const double right = op.kind == Kind::BoxGrid ? op.gridRight() : std::max(op.x1, op.x2);
        const double bottom = op.kind == Kind::BoxGrid ? op.gridBottom() : std::max(op.y1, op.y2);
        const double reach =
            (op.kind == Kind::Text ? 0.5 : (op.lineWidth + 1) / 2.0) * twipsPerPixel;
        EXPECT_GE(std::min(op.x1, op.y1), 0) << op.text;
        EXPECT_LE(scale * right + reach, printable.width() + 1e-6) << int(op.kind) << op.text;
        EXPECT_LE(scale * bottom + reach, printable.height() + 1e-6) << int(op.kind) << op.text;
        farRight = std::max(farRight, scale * right + reach);
        farBottom = std::max(farBottom, scale * bottom + reach);
    }
    EXPECT_GT(painted, 50u);
    // The largest scale that fits, to within a twip: at it something meets an edge.
    if (scale < 1) {
        EXPECT_GT(std::max(farRight - printable.width(), farBottom - printable.height()), -1);
    }

    // Painted for real at a lower resolution onto a sheet with a band of
    // margin around the printable area: the band stays blank, and the paint
    // comes close to the printable edge it was fitted to.
    const double dpi = 150, band = 20;
    QImage image(qRound(printable.width() * dpi / 1440 + 2 * band),
                 qRound(printable.height() * dpi / 1440 + 2 * band), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    Outcome said;
    const ReportPage low =
        layOutReport(c.cells, c.frames, *prepareReport(c.cells, c.frames, said), image, printable);
    {
        QPainter painter(&image);
        painter.translate(band, band);
        paintFitted(painter, *low.recording, low.fit);
    }
    const QRectF inside(band, band, printable.width() * dpi / 1440,
                        printable.height() * dpi / 1440);
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                ink |= QRect(x, y, 1, 1);
    EXPECT_GE(ink.left(), inside.left());
    EXPECT_GE(ink.top(), inside.top());
    EXPECT_LE(ink.right() + 1, inside.right() + 0.5);
    EXPECT_LE(ink.bottom() + 1, inside.bottom() + 0.5);
    // Within a few pixels of an edge (the rightmost text may end in a blank).
    const double gap =
        std::min(inside.right() - ink.right() - 1, inside.bottom() - ink.bottom() - 1);
    if (low.fit.scale < 1) {
        EXPECT_LT(gap, 8) << low.fit.scale;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportFit,
    ::testing::Values(FitCase{"defaults", drawn(), {1, 1}, {}, true},
                      FitCase{"square_parent_sheet", drawn("17x11", "35x35"), {1, 1}, {}, false},
                      // Fits Letter as laid out with the built-in fonts.
                      FitCase{"demo_job_12345_frame_3", demoJob(), {3, 1}, {}, true},
                      FitCase{"finished_sheet_as_deep_as_wide", drawn("17x17"), {1, 1}, {}, false},
                      // Another printer's paper and margins: the rows run past the right edge.
                      FitCase{"a5_inch_margins", drawn(), {1, 1}, {QPageSize::A5, 0.5}, false}),
    [](const auto &row) { return std::string(row.param.name); });

// The report's name and the window's face resolve to the faces the program
// carries, each weight to its own file, while the machine's fonts are hidden.
TEST(EmbeddedFonts, ReportAndWindowFacesAreTheOnesCarried) {
    QFont bold = windowFont();
    bold.setBold(true);
    const struct {
        QFont requested;
        const char *family, *style;
    } rows[] = {{QFont(reportFontName, 12), embeddedSerifFamily, "Regular"},
                {QFont(reportFontName, 24, QFont::Bold), embeddedSerifFamily, "Bold"},
                {windowFont(), embeddedSansFamily, "Regular"},
                {bold, embeddedSansFamily, "Bold"}};
    for (const auto &row : rows) {
        const QRawFont raw = QRawFont::fromFont(row.requested);
        EXPECT_EQ(QFontInfo(row.requested).family().toStdString(), row.family);
        EXPECT_EQ((raw.familyName() + " " + raw.styleName()).toLower().toStdString(),
                  QString("%1 %2").arg(row.family, row.style).toLower().toStdString());
    }
    EXPECT_EQ(QFontInfo(QApplication::font()).family().toStdString(), embeddedSansFamily);
    EXPECT_DOUBLE_EQ(QApplication::font().pointSizeF(), windowFontPoints);
    // Beyond the generic names the platform always lists, only our faces.
    QStringList families = QFontDatabase::families();
    families.removeIf(
        [](const QString &f) { return f == "Sans Serif" || f == "Serif" || f == "Monospace"; });
    families.sort();
    EXPECT_EQ(families.join(", ").toStdString(), "Liberation Sans, Liberation Serif");
}

// The report agrees with the screen: the rows of the last redraw's panels
// beside each sheet, and headings with the counts it stored.
TEST(ReportRows, AreTheScreensBesideTheSheet) {
    SaidLog sink;
    LayoutSession session;
    session.cells.txtGrip = "0.5";
    sink.add(session.cmdNext_Click());
    sink.add(session.cmdNext_Click());
    sink.add(session.cmdNextPSS_Click());
    ASSERT_TRUE(session.finished() && session.press() && sink.messages.empty());

    const Report r(session.cells, session.frames);
    const std::string widest = " STANDARD OUT       ";
    const auto valueColumn = roundHalfEven(r.measure(bold12, widest) + 1260);
    for (const auto &[section, screen] : {std::pair{&r.page.layout.finished, session.finished()},
                                          {&r.page.layout.press, session.press()}}) {
        EXPECT_EQ(section->valueColumn, valueColumn);
        std::vector<std::pair<std::string, std::string>> expected, printed;
        for (const PanelRow &row : panelRows(*screen, PanelMedium::Report))
            expected.emplace_back(row.caption, row.value);
        const std::vector<Row> rows = rowsOf(r, *section);
        for (const Row &row : rows)
            printed.emplace_back(row.caption, row.value);
        EXPECT_EQ(printed, expected);
        ASSERT_GT(rows.size(), 2u);
        // The frame row starts at the sheet's top; the others follow a line apart.
        EXPECT_EQ(rows[0].y, section->placement.sheetTop);
        EXPECT_EQ(rows[2].y, rows[1].foot);
    }
    EXPECT_TRUE(r.text("LAYOUT: Finished Forms on Press Sheet (UP): " +
                       plainNumber(session.frames.fssFrameOut)));
    EXPECT_TRUE(r.text("LAYOUT: Press Forms on Parent Sheet (OUT): " +
                       plainNumber(session.frames.pssFrameOut)));
}

} // namespace
} // namespace sheetcraft::test
