#include "diagrampainter.h"
#include "geometry.h"
#include "layoutsession.h"
#include "painterreplay.h"
#include "panel.h"
#include "recordingsurface.h"
#include "saidlog.h"
#include "screenview.h"
#include "twips.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

using namespace sheetcraft;
using Kind = DrawOp::Kind;
using Box = std::array<double, 4>; // two corners; for a grid, its origin and one cell's size

namespace {

std::vector<DrawOp> opsOf(const RecordingSurface &s, Kind kind) {
    std::vector<DrawOp> out;
    std::copy_if(s.ops().begin(), s.ops().end(), std::back_inserter(out),
                 [&](const DrawOp &op) { return op.kind == kind; });
    return out;
}

const auto corners = [](const DrawOp &op) { return Box{op.x1, op.y1, op.x2, op.y2}; };

// The text drawn at x on the line at y, or "<none>".
std::string textAt(const RecordingSurface &s, double x, double y) {
    for (const DrawOp &op : opsOf(s, Kind::Text))
        if (op.x1 == x && std::abs(op.y1 - y) < 1e-6)
            return op.text;
    return "<none>";
}

TEST(Geometry, HalvesRoundToEvenAndUnusableScalesCollapseToZero) {
    for (const auto &[value, rounded] : {std::pair{18.5, 18}, {-1.5, -2}, {std::nan(""), 0}})
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
    for (const double width : {2640.0, 0.0, HUGE_VAL})
        EXPECT_EQ(sheetScale(1320, width), 0) << width;
}

// Sizes in storage form, larger number first, as the redraw passes them.
DiagramValues layout(Diagram diagram, const char *piece, const char *sheet, int frame,
                     double gripper = 0, bool onWidth = true) {
    DiagramValues v = computeDiagram(diagram, piece, sheet, frame, gripper, onWidth);
    v.gripper = gripper; // kept even for the press diagram: its drawing must ignore it
    return v;
}

struct Grid {
    Box cell;
    std::int64_t cols = 0, rows = 0; // no grid when no columns
    bool operator==(const Grid &) const = default;
};

const auto B = [](double x1, double y1, double x2, double y2) { return Box{x1, y1, x2, y2}; };
Grid G(double x, double y, double w, double h, std::int64_t cols, std::int64_t rows) {
    return {{x, y, w, h}, cols, rows};
}

struct DiagramRow {
    const char *name;
    DiagramValues values;
    bool onPaper;
    std::int64_t scale;
    const char *depthLabel, *widthLabel;
    Box outline;
    Grid grid;
    Box strip = {}; // no strip when empty
    Grid block = {};
};

class DrawDiagram : public ::testing::TestWithParam<DiagramRow> {};

TEST_P(DrawDiagram, OutlineStripMarksAndPieces) {
    const DiagramRow &row = GetParam();
    // Pens (outline and strip; marks and pieces) and mark offsets out from the
    // outline: ticks from and to, the long line, the two labels.
    const auto [outlinePen, pen, start, end, middle, labelX, labelY] =
        row.onPaper ? std::tuple{4, 3, 160, 520, 340, 220, 220}
                    : std::tuple{1, 1, 60, 420, 240, 120, 160};
    const DiagramGeometry geometry =
        row.onPaper ? DiagramGeometry::paper(2000) : DiagramGeometry::screen(row.values.diagram);
    RecordingSurface surface(QApplication::font(), 96);
    const SheetPlacement p = DiagramPainter::drawSheet(surface, row.values, geometry);
    const std::size_t sheetOps = surface.ops().size();
    DiagramPainter::drawPieces(surface, row.values, p, geometry);
    EXPECT_EQ(p.scale, row.scale);

    const auto style = [](const DrawOp &op) {
        return std::tuple(op.fillColour, op.fillStyle, op.lineWidth);
    };
    const auto boxes = opsOf(surface, Kind::Box);
    ASSERT_EQ(boxes.size(), row.strip[2] ? 2u : 1u);
    EXPECT_EQ(corners(boxes[0]), row.outline);
    EXPECT_EQ(style(boxes[0]), std::tuple(white, FillStyle::Solid, outlinePen));
    if (row.strip[2]) {
        EXPECT_EQ(corners(boxes[1]), row.strip);
        EXPECT_EQ(style(boxes[1]), std::tuple(blue, FillStyle::DiagonalCross, outlinePen));
    }

    const auto [left, top, right, bottom] = row.outline;
    std::vector<Box> marks;
    for (const DrawOp &line : opsOf(surface, Kind::Line)) {
        marks.push_back(corners(line));
        EXPECT_EQ(line.lineWidth, pen);
    }
    EXPECT_EQ(marks, (std::vector<Box>{{right + start, top, right + end, top},
                                       {right + start, bottom, right + end, bottom},
                                       {right + middle, top, right + middle, bottom},
                                       {left, bottom + start, left, bottom + end},
                                       {right, bottom + start, right, bottom + end},
                                       {left, bottom + middle, right, bottom + middle}}));
    EXPECT_EQ(textAt(surface, right + labelX, (bottom - top) / 2 + top - 180), row.depthLabel);
    EXPECT_EQ(textAt(surface, (right - left) / 2 + left - 60, bottom + labelY), row.widthLabel);

    std::vector<Grid> grids;
    for (const DrawOp &grid : opsOf(surface, Kind::BoxGrid)) {
        grids.push_back({corners(grid), grid.cols, grid.rows});
        EXPECT_EQ(style(grid), std::tuple(red, FillStyle::DownwardDiagonal, pen));
    }
    EXPECT_EQ(grids, (row.block.cols ? std::vector{row.grid, row.block} : std::vector{row.grid}));
    // One operation per grid, whatever the piece count: pen, fill colour and style, grids.
    EXPECT_EQ(surface.ops().size() - sheetOps, 3 + grids.size());
}

const Diagram F = Diagram::Finished, P = Diagram::Press;
const Box pressSheet = B(640, 640, 1966, 1498), parentSheet = B(4000, 640, 5330, 1514);

INSTANTIATE_TEST_SUITE_P(
    WorkedCoordinates, DrawDiagram,
    ::testing::Values(
        DiagramRow{"frame1", layout(F, "3x2", "17x11", 1), false, 78, "PSD", "PSW", pressSheet,
                   G(640, 640, 234, 156, 5, 5)},
        // Side block of turned pieces right of the 5 columns (x 1810).
        DiagramRow{"frame2_side_block", layout(F, "3x2", "17x11", 2), false, 78, "PSD", "PSW",
                   pressSheet, G(640, 640, 234, 156, 5, 5), Box{}, G(1810, 640, 156, 234, 1, 3)},
        // Bottom block below the 3 turned rows (y 1342), pieces upright again.
        DiagramRow{"frame4_bottom_block", layout(F, "3x2", "17x11", 4), false, 78, "PSD", "PSW",
                   pressSheet, G(640, 640, 156, 234, 8, 3), Box{}, G(640, 1342, 234, 156, 5, 1)},
        DiagramRow{"gripper_on_width", layout(F, "3x2", "17x11", 1, 0.5, true), false, 78, "PSD",
                   "PSW", pressSheet, G(640, 679, 234, 156, 5, 5), B(640, 640, 1966, 679)},
        // 0.25 x 78 = 19.5: the strip's edge and the pieces' shift tie to 20.
        DiagramRow{"gripper_on_depth_ties_to_even", layout(F, "3x2", "17x11", 1, 0.25, false),
                   false, 78, "PSD", "PSW", pressSheet, G(660, 640, 234, 156, 5, 5),
                   B(640, 640, 660, 1498)},
        DiagramRow{"press_diagram_ignores_gripper", layout(P, "17x11", "35x23", 1, 0.5, true),
                   false, 38, "DEP", "WID", parentSheet, G(4000, 640, 646, 418, 2, 2)},
        DiagramRow{"metric_press_sheet", layout(F, "90x50", "315x225", 1), false, 4, "PSD", "PSW",
                   B(640, 640, 1900, 1540), G(640, 640, 360, 200, 3, 4)},
        DiagramRow{"tiny_pieces_huge_count", layout(F, "0.002x0.002", "17x11", 1), false, 78, "PSD",
                   "PSW", pressSheet, G(640, 640, 0.156, 0.156, 8500, 5500)},
        DiagramRow{"paper", layout(F, "3x2", "11x8.5", 1, 0.5, false), true, 520, " 8.5 ", " 11 ",
                   B(640, 2000, 6360, 6420), G(900, 2000, 1560, 1040, 3, 4),
                   B(640, 2000, 900, 6420)}),
    [](const auto &row) { return std::string(row.param.name); });

// The redraw flow as the window runs it: each panel shows its rows a text line apart from
// three lines below the sheet, captions at the sheet's left (after the gripper legend
// box), values 1540 further on.
TEST(ScreenPanel, RowsUnderEachSheet) {
    test::SaidLog sink;
    RecordingSurface surface(QApplication::font(), 96);
    ScreenView view(surface);
    LayoutSession session(&view);
    session.cells.txtGrip = "0.5";
    sink.add(session.cmdNext_Click());
    sink.add(session.cmdNext_Click());    // finished frame 2: stagger rows and the gripper row
    sink.add(session.cmdNextPSS_Click()); // press frame 2 holds nothing: frame 3 shows
    ASSERT_TRUE(sink.messages.empty());
    ASSERT_EQ(session.frames.pssFrame, 3);
    const auto texts = opsOf(surface, Kind::Text);
    const auto count = [&](auto match) { return std::count_if(texts.begin(), texts.end(), match); };
    // The skipped redraw left nothing behind.
    EXPECT_EQ(count([](const DrawOp &op) { return op.text == pressHeading; }), 1);

    const double h = surface.textHeight();
    for (const auto &[diagram, values] :
         {std::pair{Diagram::Finished, session.finished()}, {Diagram::Press, session.press()}}) {
        const double left = view.placement(diagram).sheetLeft;
        double y = view.placement(diagram).sheetBottom + 3 * h;
        const std::vector<PanelRow> rows = panelRows(*values);
        for (const PanelRow &row : rows) {
            SCOPED_TRACE(row.caption);
            const bool grip = row.caption == "  = GRIPPER   ";
            if (grip) { // the legend box, hatched like the strip; the row on a whole twip
                const auto boxes = opsOf(surface, Kind::Box);
                EXPECT_TRUE(std::any_of(boxes.begin(), boxes.end(), [&](const DrawOp &b) {
                    return b.fillStyle == FillStyle::DiagonalCross && b.x1 == left + 60 &&
                           b.x2 == left + 280 && std::abs(b.y1 - y - 30) < 1e-6 &&
                           std::abs(b.y2 - y - 150) < 1e-6;
                }));
                y = std::nearbyint(y);
            }
            EXPECT_EQ(textAt(surface, left + (grip ? 280 : 0), y), row.caption);
            EXPECT_EQ(textAt(surface, left + 1540, y), row.value);
            y += h;
        }
        EXPECT_EQ(count([&](const DrawOp &op) { return op.x1 == left + 1540; }),
                  static_cast<long>(rows.size()));
    }
}

QImage render(const RecordingSurface &surface, double dpi = 96) {
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ReplayOptions options;
    options.pixelsPerTwip = dpi / 1440;
    replayRecording(surface, painter, options);
    return image;
}

const auto isBlack = [](const QImage &i, int x, int y) { return i.pixel(x, y) == qRgb(0, 0, 0); };

// One hatched area plus its grid lines must look exactly like the boxes side by side.
TEST(Replay, GridLooksLikeItsBoxes) {
    // Cells of fractional pixels, hatched, cross-hatched and solid.
    for (const auto &[w, h, style, fill] :
         {std::tuple{234.0, 156.0, FillStyle::DownwardDiagonal, red},
          {300.0, 215.0, FillStyle::DiagonalCross, blue},
          {180.0, 100.0, FillStyle::Solid, white}}) {
        RecordingSurface grid(QApplication::font(), 96), boxes(QApplication::font(), 96);
        for (RecordingSurface *s : {&grid, &boxes}) {
            s->setFillColor(fill);
            s->setFillStyle(style);
        }
        grid.boxGrid(640, 650, w, h, 5, 4);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 5; ++c)
                boxes.box(640 + c * w, 650 + r * h, 640 + (c + 1) * w, 650 + (r + 1) * h);
        EXPECT_EQ(render(grid), render(boxes)) << w;
    }
}

// 0.002 units at scale 78: about a hundredth of a pixel per piece, yet the
// grid's far edges are still drawn where they belong.
TEST(Replay, DenseGridKeepsItsOuterEdges) {
    RecordingSurface surface(QApplication::font(), 96);
    surface.setFillColor(red);
    surface.setFillStyle(FillStyle::DownwardDiagonal);
    surface.boxGrid(640, 640, 0.156, 0.156, 8500, 5500);
    const QImage image = render(surface);
    const int right = qRound((640 + 8500 * 0.156) / 15.0);
    const int bottom = qRound((640 + 5500 * 0.156) / 15.0);
    EXPECT_TRUE(isBlack(image, right, 60));
    EXPECT_TRUE(isBlack(image, 60, bottom));
    EXPECT_FALSE(isBlack(image, right + 2, 60));
}

TEST(Replay, LineWidthsAreDevicePixelsAtAnyScale) {
    for (const auto &[dpi, width] : {std::pair{96.0, 1}, {384.0, 1}, {384.0, 3}}) {
        RecordingSurface surface(QApplication::font(), dpi);
        surface.setLineWidth(width);
        surface.line(0, 300, 1400, 300);
        const QImage image = render(surface, dpi);
        int top = qRound(300 * dpi / 1440), run = 0;
        while (top > 0 && isBlack(image, 10, top - 1))
            --top;
        while (isBlack(image, 10, top + run))
            ++run;
        EXPECT_EQ(run, width) << dpi;
    }
}

TEST(Replay, TextHangsBelowItsPosition) {
    RecordingSurface surface(QApplication::font(), 96);
    surface.moveTo(600, 600);
    surface.print("MMMM", false);
    const QImage image = render(surface);
    // 600 twips are 40 pixels at 96 DPI.
    const QRect box(40, 40, qRound(surface.textWidth("MMMM") / 15) + 1,
                    qRound(surface.textHeight() / 15) + 1);
    int inside = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++(box.contains(x, y) ? inside : outside);
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
}

// Designed twips to pixels: edges rounded half to even, so controls that meet
// in twips meet on screen at any DPI; no screen means 96 DPI.
TEST(TwipsScale, EdgesRoundHalfToEvenAtTheScreensDpi) {
    const struct {
        double dpi;
        QRect twips, pixels;
    } rows[] = {
        {96, {2520, 600, 495, 495}, {168, 40, 33, 33}},
        {120, {2520, 600, 495, 495}, {210, 50, 41, 41}}, // right edge 251.25
        {144, {7335, 7530, 0, 0}, {734, 753, 0, 0}},     // 733.5 to the even 734
        {48, {45, 75, 60, 60}, {2, 2, 2, 2}},            // 1.5 and 2.5 both to 2
        {100, {0, 0, 500, 500}, {0, 0, 35, 35}},         // 34.7
        {100, {500, 500, 500, 500}, {35, 35, 34, 34}},   // starts where the last ends
    };
    for (const auto &row : rows)
        EXPECT_EQ(TwipsScale(row.dpi).rect(row.twips), row.pixels) << row.dpi;
    EXPECT_EQ(TwipsScale::of(nullptr), TwipsScale(96));
    EXPECT_EQ(TwipsScale(0).pixels(1440), 96);
    EXPECT_EQ(TwipsScale(144).size(QSize(8655, 5640)), QSize(866, 564)); // 865.5
}

} // namespace
