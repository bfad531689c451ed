#include "diagrampainter.h"
#include "oprecords.h"
#include "recordingsurface.h"

#include <QApplication>
#include <gtest/gtest.h>

using namespace sheetcraft;
using sheetcraft::test::opsOf;
using Kind = DrawOp::Kind;

namespace {

const Diagram F = Diagram::Finished;
const Diagram P = Diagram::Press;

// Sizes in storage form, larger number first, as the redraw passes them.
DiagramValues layout(Diagram diagram, const char *piece, const char *sheet, int frame,
                     double gripper = 0, bool onWidth = true) {
    DiagramValues v = computeDiagram(diagram, piece, sheet, frame, gripper, onWidth);
    v.gripper = gripper; // kept even for the press diagram: its drawing must ignore it
    return v;
}

// Two corners; for a grid, its origin and one cell's width and height.
struct Box {
    double x1, y1, x2, y2;
};

Box B(double x1, double y1, double x2, double y2) {
    return {x1, y1, x2, y2};
}

void expectCorners(const DrawOp &op, const Box &b) {
    EXPECT_DOUBLE_EQ(op.x1, b.x1);
    EXPECT_DOUBLE_EQ(op.y1, b.y1);
    EXPECT_DOUBLE_EQ(op.x2, b.x2);
    EXPECT_DOUBLE_EQ(op.y2, b.y2);
}

struct Grid {
    Box cell;
    std::int64_t cols = 0, rows = 0; // no grid when no columns
};

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

// Pens (the outline and strip; marks and pieces) and the dimension-mark offsets
// (ticks, long line, labels) out from the outline.
struct Marks {
    int outlinePen, linePen;
    double start, end, middle, labelX, labelY;
};
const Marks screenMarks{1, 1, 60, 420, 240, 120, 160};
const Marks paperMarks{4, 3, 160, 520, 340, 220, 220};

class DrawDiagram : public ::testing::TestWithParam<DiagramRow> {};

TEST_P(DrawDiagram, OutlineStripMarksAndPieces) {
    const DiagramRow &row = GetParam();
    const Marks &m = row.onPaper ? paperMarks : screenMarks;
    const DiagramGeometry geometry =
        row.onPaper ? DiagramGeometry::paper(2000) : DiagramGeometry::screen(row.values.diagram);
    RecordingSurface surface(QApplication::font(), 96);
    const SheetPlacement p = DiagramPainter::drawSheet(surface, row.values, geometry);
    const std::size_t sheetOps = surface.ops().size();
    DiagramPainter::drawPieces(surface, row.values, p, geometry);
    EXPECT_EQ(p.scale, row.scale);
    EXPECT_EQ(p.sheetRight, row.outline.x2);
    EXPECT_EQ(p.sheetBottom, row.outline.y2);

    const bool hasStrip = row.strip.x2 != 0;
    const auto boxes = opsOf(surface, Kind::Box);
    ASSERT_EQ(boxes.size(), hasStrip ? 2u : 1u);
    expectCorners(boxes[0], row.outline);
    EXPECT_EQ(boxes[0].fillColour, white);
    EXPECT_EQ(boxes[0].fillStyle, FillStyle::Solid);
    EXPECT_EQ(boxes[0].lineWidth, m.outlinePen);
    if (hasStrip) {
        expectCorners(boxes[1], row.strip);
        EXPECT_EQ(boxes[1].fillColour, blue);
        EXPECT_EQ(boxes[1].fillStyle, FillStyle::DiagonalCross);
        EXPECT_EQ(boxes[1].lineWidth, m.outlinePen);
    }

    const double L = row.outline.x1, T = row.outline.y1, R = row.outline.x2, B = row.outline.y2;
    const auto lines = opsOf(surface, Kind::Line);
    ASSERT_EQ(lines.size(), 6u);
    const Box marks[] = {{R + m.start, T, R + m.end, T},     {R + m.start, B, R + m.end, B},
                         {R + m.middle, T, R + m.middle, B}, {L, B + m.start, L, B + m.end},
                         {R, B + m.start, R, B + m.end},     {L, B + m.middle, R, B + m.middle}};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        expectCorners(lines[i], marks[i]);
        EXPECT_EQ(lines[i].lineWidth, m.linePen);
    }
    EXPECT_EQ(test::textAt(surface, R + m.labelX, (B - T) / 2 + T - 180), row.depthLabel);
    EXPECT_EQ(test::textAt(surface, (R - L) / 2 + L - 60, B + m.labelY), row.widthLabel);

    std::vector<Grid> expected{row.grid};
    if (row.block.cols)
        expected.push_back(row.block);
    const auto grids = opsOf(surface, Kind::BoxGrid);
    ASSERT_EQ(grids.size(), expected.size());
    // One operation per grid, whatever the piece count: pen, fill colour and style, grids.
    EXPECT_EQ(surface.ops().size() - sheetOps, 3 + grids.size());
    for (std::size_t i = 0; i < grids.size(); ++i) {
        SCOPED_TRACE(i);
        expectCorners(grids[i], expected[i].cell);
        EXPECT_EQ(grids[i].cols, expected[i].cols);
        EXPECT_EQ(grids[i].rows, expected[i].rows);
        EXPECT_EQ(grids[i].fillColour, red);
        EXPECT_EQ(grids[i].fillStyle, FillStyle::DownwardDiagonal);
        EXPECT_EQ(grids[i].lineWidth, m.linePen);
    }
}

const Box pressSheet = B(640, 640, 1966, 1498);
const Box parentSheet = B(4000, 640, 5330, 1514);

INSTANTIATE_TEST_SUITE_P(
    WorkedCoordinates, DrawDiagram,
    ::testing::Values(
        DiagramRow{"frame1", layout(F, "3x2", "17x11", 1), false, 78, "PSD", "PSW", pressSheet,
                   G(640, 640, 234, 156, 5, 5)},
        DiagramRow{"frame0_as_frame1", layout(F, "3x2", "17x11", 0), false, 78, "PSD", "PSW",
                   pressSheet, G(640, 640, 234, 156, 5, 5)},
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
        DiagramRow{"parent_sheet", layout(P, "17x11", "35x23", 1), false, 38, "DEP", "WID",
                   parentSheet, G(4000, 640, 646, 418, 2, 2)},
        DiagramRow{"press_diagram_ignores_gripper", layout(P, "17x11", "35x23", 1, 0.5, true),
                   false, 38, "DEP", "WID", parentSheet, G(4000, 640, 646, 418, 2, 2)},
        // A frame 2 without room for a block draws only the grid.
        DiagramRow{"press_frame2_no_block", layout(P, "17x11", "35x23", 2), false, 38, "DEP", "WID",
                   parentSheet, G(4000, 640, 646, 418, 2, 2)},
        DiagramRow{"metric_press_sheet", layout(F, "90x50", "315x225", 1), false, 4, "PSD", "PSW",
                   B(640, 640, 1900, 1540), G(640, 640, 360, 200, 3, 4)},
        DiagramRow{"huge_sheet_collapses", layout(F, "10x10", "2640x2000", 1), false, 0, "PSD",
                   "PSW", B(640, 640, 640, 640), G(640, 640, 0, 0, 264, 200)},
        DiagramRow{"tiny_pieces_huge_count", layout(F, "0.002x0.002", "17x11", 1), false, 78, "PSD",
                   "PSW", pressSheet, G(640, 640, 0.156, 0.156, 8500, 5500)},
        DiagramRow{"paper", layout(F, "3x2", "11x8.5", 1, 0.5, false), true, 520, " 8.5 ", " 11 ",
                   B(640, 2000, 6360, 6420), G(900, 2000, 1560, 1040, 3, 4),
                   B(640, 2000, 900, 6420)}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
