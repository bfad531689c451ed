#include "diagrampainter.h"
#include "oprecords.h"
#include "recordingsurface.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cmath>

using namespace sheetcraft;
using sheetcraft::test::opsOf;
using sheetcraft::test::textAt;
using Kind = DrawOp::Kind;

namespace {

// A piece laid out on a sheet the way a frame lays it, worked out here by hand
// so the drawing can be checked apart from the count.
DiagramValues layout(Diagram diagram, double piece1, double piece2, double sheetW, double sheetD,
                     int frame, double gripper = 0, bool onWidth = true) {
    DiagramValues v;
    v.diagram = diagram;
    v.frame = frame;
    const bool turned = frame >= 3;
    v.pieceWidth = turned ? piece2 : piece1;
    v.pieceDepth = turned ? piece1 : piece2;
    v.fullSheetWidth = sheetW;
    v.fullSheetDepth = sheetD;
    v.gripper = gripper;
    v.gripperOnWidth = onWidth;
    v.sheetWidth = sheetW - (gripper > 0 && !onWidth ? gripper : 0);
    v.sheetDepth = sheetD - (gripper > 0 && onWidth ? gripper : 0);
    v.fitStatus = FitStatus::Fits;
    v.piecesAcross = std::floor(v.sheetWidth / v.pieceWidth);
    v.piecesDown = std::floor(v.sheetDepth / v.pieceDepth);
    if (frame == 2) {
        v.staggerAcross = std::floor((v.sheetWidth - v.pieceWidth * v.piecesAcross) / v.pieceDepth);
        v.staggerDown = std::floor(v.sheetDepth / v.pieceWidth);
    } else if (frame == 4) {
        v.staggerDown = std::floor((v.sheetDepth - v.pieceDepth * v.piecesDown) / v.pieceWidth);
        v.staggerAcross = std::floor(v.sheetWidth / v.pieceDepth);
    }
    return v;
}

struct Box {
    double x1, y1, x2, y2;
};

struct SheetRow {
    const char *name;
    DiagramValues values;
    std::int64_t scale;
    Box outline;
    int gripShiftX;
    int gripShiftY;
    bool hasStrip;
    Box strip;
};

void PrintTo(const SheetRow &row, std::ostream *os) {
    *os << row.name;
}

class DrawSheetScreen : public ::testing::TestWithParam<SheetRow> {};

TEST_P(DrawSheetScreen, OutlineStripAndShifts) {
    const SheetRow &row = GetParam();
    RecordingSurface surface(QApplication::font(), 96);
    const SheetPlacement p =
        DiagramPainter::drawSheet(surface, row.values, DiagramGeometry::screen(row.values.diagram));

    EXPECT_EQ(p.scale, row.scale);
    EXPECT_EQ(p.gripShiftX, row.gripShiftX);
    EXPECT_EQ(p.gripShiftY, row.gripShiftY);
    const auto boxes = opsOf(surface, Kind::Box);
    ASSERT_EQ(boxes.size(), row.hasStrip ? 2u : 1u);
    const DrawOp &outline = boxes[0];
    EXPECT_DOUBLE_EQ(outline.x1, row.outline.x1);
    EXPECT_DOUBLE_EQ(outline.y1, row.outline.y1);
    EXPECT_DOUBLE_EQ(outline.x2, row.outline.x2);
    EXPECT_DOUBLE_EQ(outline.y2, row.outline.y2);
    EXPECT_EQ(outline.fillColour, white);
    EXPECT_EQ(outline.fillStyle, FillStyle::Solid);
    EXPECT_EQ(p.sheetRight, row.outline.x2);
    EXPECT_EQ(p.sheetBottom, row.outline.y2);
    if (row.hasStrip) {
        const DrawOp &strip = boxes[1];
        EXPECT_DOUBLE_EQ(strip.x1, row.strip.x1);
        EXPECT_DOUBLE_EQ(strip.y1, row.strip.y1);
        EXPECT_DOUBLE_EQ(strip.x2, row.strip.x2);
        EXPECT_DOUBLE_EQ(strip.y2, row.strip.y2);
        EXPECT_EQ(strip.fillColour, blue);
        EXPECT_EQ(strip.fillStyle, FillStyle::DiagonalCross);
        EXPECT_EQ(strip.colour, black);
    }
}

const Diagram F = Diagram::Finished;
const Diagram P = Diagram::Press;

INSTANTIATE_TEST_SUITE_P(
    WorkedCoordinates, DrawSheetScreen,
    ::testing::Values(SheetRow{"default_press_sheet",
                               layout(F, 3, 2, 17, 11, 1),
                               78,
                               {640, 640, 1966, 1498},
                               0,
                               0,
                               false,
                               {}},
                      SheetRow{"default_parent_sheet",
                               layout(P, 17, 11, 35, 23, 1),
                               38,
                               {4000, 640, 5330, 1514},
                               0,
                               0,
                               false,
                               {}},
                      SheetRow{"gripper_half_on_width",
                               layout(F, 3, 2, 17, 11, 1, 0.5, true),
                               78,
                               {640, 640, 1966, 1498},
                               0,
                               39,
                               true,
                               {640, 640, 1966, 679}},
                      SheetRow{"gripper_quarter_on_depth_ties_to_even",
                               layout(F, 3, 2, 17, 11, 1, 0.25, false),
                               78,
                               {640, 640, 1966, 1498},
                               20,
                               0,
                               true,
                               {640, 640, 660, 1498}},
                      // The press diagram never shows a strip, whatever the gripper.
                      SheetRow{"press_diagram_ignores_gripper",
                               layout(P, 17, 11, 35, 23, 1, 0.5, true),
                               38,
                               {4000, 640, 5330, 1514},
                               0,
                               0,
                               false,
                               {}},
                      SheetRow{"metric_press_sheet",
                               layout(F, 90, 50, 315, 225, 1),
                               4,
                               {640, 640, 1900, 1540},
                               0,
                               0,
                               false,
                               {}},
                      SheetRow{"huge_sheet_collapses_to_a_point",
                               layout(F, 10, 10, 2640, 2000, 1),
                               0,
                               {640, 640, 640, 640},
                               0,
                               0,
                               false,
                               {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DrawSheetScreenMarks, TicksAndLetterLabels) {
    struct Row {
        Diagram diagram;
        const char *depthLabel;
        const char *widthLabel;
    };
    for (const Row &r : {Row{F, "PSD", "PSW"}, Row{P, "DEP", "WID"}}) {
        RecordingSurface surface(QApplication::font(), 96);
        // A 17x11 sheet at scale 78 on either side of the window.
        const DiagramValues v = layout(r.diagram, 3, 2, 17, 11, 1);
        const SheetPlacement p =
            DiagramPainter::drawSheet(surface, v, DiagramGeometry::screen(r.diagram));
        const double L = p.sheetLeft, R = p.sheetRight, T = 640, B = 1498;
        const auto lines = opsOf(surface, Kind::Line);
        ASSERT_EQ(lines.size(), 6u);
        const Box expected[] = {{R + 60, T, R + 420, T},  {R + 60, B, R + 420, B},
                                {R + 240, T, R + 240, B}, {L, B + 60, L, B + 420},
                                {R, B + 60, R, B + 420},  {L, B + 240, R, B + 240}};
        for (int i = 0; i < 6; ++i) {
            SCOPED_TRACE(i);
            EXPECT_DOUBLE_EQ(lines[i].x1, expected[i].x1);
            EXPECT_DOUBLE_EQ(lines[i].y1, expected[i].y1);
            EXPECT_DOUBLE_EQ(lines[i].x2, expected[i].x2);
            EXPECT_DOUBLE_EQ(lines[i].y2, expected[i].y2);
            EXPECT_EQ(lines[i].lineWidth, 1);
        }
        EXPECT_EQ(textAt(surface, R + 120, (B - T) / 2 + T - 180), r.depthLabel);
        EXPECT_EQ(textAt(surface, (R - L) / 2 + L - 60, B + 160), r.widthLabel);
    }
}

TEST(DrawSheetPaper, ScalePensAndNumericLabels) {
    RecordingSurface surface(QApplication::font(), 600);
    const DiagramValues v = layout(F, 3, 2, 11, 8.5, 1, 0.5, false);
    const SheetPlacement p = DiagramPainter::drawSheet(surface, v, DiagramGeometry::paper(2000));
    EXPECT_EQ(p.scale, 520);
    EXPECT_EQ(p.sheetLeft, 640);
    EXPECT_EQ(p.sheetRight, 640 + 5720);
    EXPECT_EQ(p.sheetBottom, 2000 + 4420);
    EXPECT_EQ(p.gripShiftX, 260);
    const auto boxes = opsOf(surface, Kind::Box);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].lineWidth, 4);
    EXPECT_EQ(boxes[1].lineWidth, 4); // the strip keeps the outline's pen
    EXPECT_DOUBLE_EQ(boxes[1].x2, 640 + 260);
    for (const DrawOp &line : opsOf(surface, Kind::Line))
        EXPECT_EQ(line.lineWidth, 3);
    const double R = p.sheetRight, B = p.sheetBottom;
    EXPECT_DOUBLE_EQ(opsOf(surface, Kind::Line)[0].x1, R + 160);
    EXPECT_DOUBLE_EQ(opsOf(surface, Kind::Line)[0].x2, R + 520);
    EXPECT_EQ(textAt(surface, R + 220, (B - 2000) / 2 + 2000 - 180), " 8.5 ");
    EXPECT_EQ(textAt(surface, (R - 640) / 2 + 640 - 60, B + 220), " 11 ");
}

struct GridRow {
    const char *name;
    DiagramValues values;
    std::vector<DrawOp> grids; // x1, y1 origin; x2, y2 cell; cols, rows
};

DrawOp grid(double x, double y, double w, double h, std::int64_t cols, std::int64_t rows) {
    DrawOp op;
    op.kind = Kind::BoxGrid;
    op.x1 = x;
    op.y1 = y;
    op.x2 = w;
    op.y2 = h;
    op.cols = cols;
    op.rows = rows;
    return op;
}

void PrintTo(const GridRow &row, std::ostream *os) {
    *os << row.name;
}

class DrawPieces : public ::testing::TestWithParam<GridRow> {};

TEST_P(DrawPieces, GridAndStaggerBlock) {
    const GridRow &row = GetParam();
    RecordingSurface surface(QApplication::font(), 96);
    const DiagramGeometry geometry = DiagramGeometry::screen(row.values.diagram);
    const SheetPlacement p = DiagramPainter::drawSheet(surface, row.values, geometry);
    surface.clear();
    DiagramPainter::drawPieces(surface, row.values, p, geometry);

    const auto grids = opsOf(surface, Kind::BoxGrid);
    ASSERT_EQ(grids.size(), row.grids.size());
    for (std::size_t i = 0; i < grids.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_DOUBLE_EQ(grids[i].x1, row.grids[i].x1);
        EXPECT_DOUBLE_EQ(grids[i].y1, row.grids[i].y1);
        EXPECT_DOUBLE_EQ(grids[i].x2, row.grids[i].x2);
        EXPECT_DOUBLE_EQ(grids[i].y2, row.grids[i].y2);
        EXPECT_EQ(grids[i].cols, row.grids[i].cols);
        EXPECT_EQ(grids[i].rows, row.grids[i].rows);
        EXPECT_EQ(grids[i].fillColour, red);
        EXPECT_EQ(grids[i].fillStyle, FillStyle::DownwardDiagonal);
        EXPECT_EQ(grids[i].lineWidth, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    WorkedCoordinates, DrawPieces,
    ::testing::Values(
        // 5 x 5 pieces fill x 640 to 1810 and y 640 to 1420.
        GridRow{"frame1_defaults", layout(F, 3, 2, 17, 11, 1), {grid(640, 640, 234, 156, 5, 5)}},
        GridRow{"frame0_laid_out_as_frame1",
                layout(F, 3, 2, 17, 11, 0),
                {grid(640, 640, 234, 156, 5, 5)}},
        // Side block of turned pieces from x 1810 to 1966, y 640 to 1342.
        GridRow{"frame2_side_block",
                layout(F, 3, 2, 17, 11, 2),
                {grid(640, 640, 234, 156, 5, 5), grid(1810, 640, 156, 234, 1, 3)}},
        GridRow{"frame3_turned", layout(F, 3, 2, 17, 11, 3), {grid(640, 640, 156, 234, 8, 3)}},
        // Bottom block below the 3 turned rows (y 1342), pieces upright again.
        GridRow{"frame4_bottom_block",
                layout(F, 3, 2, 17, 11, 4),
                {grid(640, 640, 156, 234, 8, 3), grid(640, 1342, 234, 156, 5, 1)}},
        GridRow{"gripper_on_width_shifts_down",
                layout(F, 3, 2, 17, 11, 1, 0.5, true),
                {grid(640, 679, 234, 156, 5, 5)}},
        GridRow{"gripper_on_depth_shifts_right",
                layout(F, 3, 2, 17, 11, 1, 0.25, false),
                {grid(660, 640, 234, 156, 5, 5)}},
        GridRow{"press_frame1", layout(P, 17, 11, 35, 23, 1), {grid(4000, 640, 646, 418, 2, 2)}},
        // A frame 2 without room for a block draws only the grid.
        GridRow{"press_frame2_no_block",
                layout(P, 17, 11, 35, 23, 2),
                {grid(4000, 640, 646, 418, 2, 2)}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DrawPiecesEmptyCells, GridDrawnAsOnePiece) {
    RecordingSurface surface(QApplication::font(), 96);
    const DiagramValues v = layout(F, 3, 2, 17, 11, 1);
    const auto geometry = DiagramGeometry::screen(F);
    const SheetPlacement p = DiagramPainter::drawSheet(surface, v, geometry);
    DiagramPainter::drawPieces(surface, v, p, geometry, true);
    const auto grids = opsOf(surface, Kind::BoxGrid);
    ASSERT_EQ(grids.size(), 1u);
    EXPECT_EQ(grids[0].cols, 1);
    EXPECT_EQ(grids[0].rows, 1);
}

TEST(DrawPiecesHugeCount, OneOperationWhateverTheCount) {
    RecordingSurface surface(QApplication::font(), 96);
    const DiagramValues v = layout(F, 0.002, 0.002, 17, 11, 1);
    const auto geometry = DiagramGeometry::screen(F);
    const SheetPlacement p = DiagramPainter::drawSheet(surface, v, geometry);
    const std::size_t before = surface.ops().size();
    DiagramPainter::drawPieces(surface, v, p, geometry);
    const auto grids = opsOf(surface, Kind::BoxGrid);
    ASSERT_EQ(grids.size(), 1u);
    EXPECT_GT(grids[0].cols * grids[0].rows, 46000000LL);
    EXPECT_LE(surface.ops().size() - before, 4u); // pen, fill colour, fill style, grid
}

} // namespace
