// The best layout drawn with its cuts: to scale inside its box, every piece
// hatched when there is room, a number for each cut, and a bounded drawing
// however many pieces there are.

#include "cutlayoutpainter.h"
#include "recordingsurface.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <tuple>

using namespace sheetcraft;
using Kind = DrawOp::Kind;

namespace {

TEST(CutLayoutDrawing, StaysInItsBoxNumbersTheCutsAndStaysSmallForFinePieces) {
    const struct {
        const char *name;
        LayoutProblem problem;
        std::size_t piecesDrawn; // boxes outlined in black, one per piece; 0: too fine to tell
        std::size_t maxOps;
        bool allNumbered; // false: a trim thinner than can be seen is listed, not drawn
    } rows[] = {
        {"defaults", {17, 11, 3, 2}, 30, 200, true},
        {"gripper on the left", {17, 11, 3, 2, 0.5, false}, 29, 200, true},
        {"gripper on top", {17, 11, 3, 2, 0.5, true}, 28, 200, true},
        {"metric", {1020, 720, 216, 154}, 20, 200, false},
        {"tiny pieces", {17, 11, 0.017, 0.013}, 0, 5000, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        BestLayoutOptions options;
        options.budget = std::chrono::milliseconds(500);
        const BestLayout best = bestLayout(row.problem, options);
        const CutPlan plan = makeCutPlan(best.layout.tree, 5000, defaultMachine(false));
        RecordingSurface s(QFont(), 96);
        CutLayoutBox box;
        std::tie(box.left, box.top, box.width, box.depth, box.minDetail) =
            std::tuple(1000, 500, 7200, 4800, 60);
        drawCutLayout(s, best.layout, plan, best.sheetWidth, best.sheetDepth, box);

        std::size_t pieces = 0;
        std::set<int> numbers;
        // No number sits on the gripper's hatch.
        const auto hatch = std::find_if(s.ops().begin(), s.ops().end(), [](const DrawOp &op) {
            return op.kind == Kind::Box && op.fillStyle == FillStyle::DiagonalCross;
        });
        for (const DrawOp &op : s.ops()) {
            if (op.kind == Kind::Text && hatch != s.ops().end()) {
                EXPECT_FALSE(op.x1 < hatch->x2 && hatch->x1 < op.x2 && op.y1 < hatch->y2 &&
                             hatch->y1 < op.y2)
                    << op.text;
            }
            if (op.kind == Kind::Box || op.kind == Kind::Line) {
                // Inside the box, to within rounding.
                EXPECT_GE(std::min(op.x1, op.x2), box.left - 1e-6);
                EXPECT_GE(std::min(op.y1, op.y2), box.top - 1e-6);
                EXPECT_LE(std::max(op.x1, op.x2), box.left + box.width + 1e-6);
                EXPECT_LE(std::max(op.y1, op.y2), box.top + box.depth + 1e-6);
            }
            if (op.kind == Kind::Box && op.colour == black &&
                op.fillStyle == FillStyle::DownwardDiagonal)
                ++pieces;
            if (op.kind == Kind::Text)
                numbers.insert(std::stoi(op.text));
        }
        EXPECT_EQ(pieces, row.piecesDrawn);
        EXPECT_LE(s.ops().size(), row.maxOps);
        // Every number is a cut of the plan; with room enough, every cut has one.
        for (int n : numbers) {
            EXPECT_TRUE(n >= 1 && n <= static_cast<int>(plan.operations.size())) << n;
        }
        if (row.allNumbered) {
            EXPECT_EQ(numbers.size(), plan.operations.size());
        }
    }
}

TEST(CutLayoutDrawing, FitsTheSheetToScaleAndCentresIt) {
    const BestLayout best = bestLayout({17, 11, 3, 2});
    RecordingSurface s(QFont(), 96);
    CutLayoutBox box;
    std::tie(box.width, box.depth) = std::pair(3400, 4000);
    drawCutLayout(s, best.layout, makeCutPlan(best.layout.tree), 17, 11, box);
    const auto sheet = std::find_if(s.ops().begin(), s.ops().end(),
                                    [](const DrawOp &op) { return op.kind == Kind::Box; });
    ASSERT_NE(sheet, s.ops().end());
    // 200 twips a unit: 3400 x 2200, centred in the 4000 depth.
    EXPECT_EQ((std::array{sheet->x1, sheet->y1, sheet->x2, sheet->y2}),
              (std::array{0.0, 900.0, 3400.0, 3100.0}));
}

} // namespace
