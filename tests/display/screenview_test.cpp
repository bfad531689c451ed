#include "layoutsession.h"
#include "oprecords.h"
#include "recordingsink.h"
#include "recordingsurface.h"
#include "screenview.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace sheetcraft;
using sheetcraft::test::opsOf;
using Kind = DrawOp::Kind;
using Rows = std::vector<std::pair<std::string, std::string>>;

namespace {

// The whole redraw flow drawing onto a recording, as the window runs it.
struct Screen {
    test::RecordingSink sink;
    RecordingSurface surface{QApplication::font(), 96};
    ScreenView view{surface};
    LayoutSession session{sink, &view};

    // Caption and value of each panel row under the sheet at `left`, read
    // back from the text drawn: captions at left (after the legend box for
    // the gripper row), values 1540 further on the same line.
    Rows panel(double left) const {
        const double bottom =
            view.placement(left < 4000 ? Diagram::Finished : Diagram::Press).sheetBottom;
        Rows rows;
        for (const DrawOp &caption : surface.ops()) {
            if (caption.kind != Kind::Text || caption.y1 <= bottom + 400 || caption.text.empty())
                continue;
            if (caption.x1 != left && caption.x1 != left + 280)
                continue;
            std::string value = "<missing>";
            for (const DrawOp &v : surface.ops())
                if (v.kind == Kind::Text && v.x1 == left + 1540 && v.y1 == caption.y1)
                    value = v.text;
            rows.emplace_back(caption.text, value);
        }
        return rows;
    }

    long count(const std::string &text) const {
        return std::count_if(surface.ops().begin(), surface.ops().end(), [&](const DrawOp &op) {
            return op.kind == Kind::Text && op.text == text;
        });
    }
};

TEST(ScreenPanel, RowsPerFrameUnderEachSheet) {
    const Rows frame1 = {
        {" FRAME #            ", " 1 "},      {" STANDARD OUT       ", " 25 "},
        {" MAXIMUM OUT        ", " 29 "},     {" PSW-SHT WIDTH      ", " 17.0000"},
        {" PSD-SHT DEPTH      ", " 11.0000"}, {" X=FIN SHT DIM      ", " 3.0000"},
        {" Y=FIN SHT DIM      ", " 2.0000"},  {" % STOCK WASTE      ", " 19.8%"},
    };
    Rows frame0 = frame1;
    frame0[0].second = " 0 ";
    const Rows frame2 = {
        {" FRAME #            ", " 2 "},      {" STANDARD OUT       ", " 25 "},
        {" STAGGER OUT        ", " 3 "},      {" TOTAL OUT          ", " 28 "},
        {" MAXIMUM OUT        ", " 29 "},     {" PSW-SHT WIDTH      ", " 17.0000"},
        {" PSD-SHT DEPTH      ", " 11.0000"}, {" X=FIN SHT DIM      ", " 3.0000"},
        {" Y=FIN SHT DIM      ", " 2.0000"},  {" x=SWING CUT        ", " 2.0000"},
        {" y=SWING CUT        ", " 3.0000"},  {" % STOCK WASTE      ", " 10.2%"},
    };
    Rows gripper = frame1;
    gripper.insert(gripper.begin() + 5, {"  = GRIPPER   ", " 0.5000"});
    gripper[2].second = " 28 "; // counted on the 17 x 10.5 usable sheet
    // The press diagram's frame 2 has no stagger block: two steps show frame 3.
    const Rows press3 = {
        {" FRAME #            ", " 3 "},      {" STANDARD OUT       ", " 3 "},
        {" MAXIMUM OUT        ", " 4 "},      {" WID-SHT WIDTH      ", " 35.0000"},
        {" DEP-SHT DEPTH      ", " 23.0000"}, {" X=PRS SHT DIM      ", " 11.0000"},
        {" Y=PRS SHT DIM      ", " 17.0000"}, {" % STOCK WASTE      ", " 30.3%"},
    };

    struct Row {
        const char *name;
        Diagram diagram;
        int steps;
        const char *grip;
        Rows expected;
    };
    for (const Row &row :
         {Row{"before the first step", Diagram::Finished, 0, "0.00", frame0},
          Row{"frame 1", Diagram::Finished, 1, "0.00", frame1},
          Row{"frame 2", Diagram::Finished, 2, "0.00", frame2},
          Row{"gripper on the width edge", Diagram::Finished, 1, "0.5", gripper},
          Row{"press after skipping an empty frame", Diagram::Press, 2, "0.00", press3}}) {
        SCOPED_TRACE(row.name);
        Screen s;
        s.session.cells.txtGrip = row.grip;
        if (row.steps == 0)
            s.session.DrawSheet();
        for (int i = 0; i < row.steps; ++i)
            row.diagram == Diagram::Finished ? s.session.cmdNext_Click()
                                             : s.session.cmdNextPSS_Click();
        const double left = row.diagram == Diagram::Finished ? 640 : 4000;
        EXPECT_EQ(s.panel(left), row.expected);
        EXPECT_TRUE(s.sink.messages.empty());
        // A skipped redraw leaves nothing behind.
        EXPECT_EQ(s.count(pressHeading), 1);
        EXPECT_EQ(s.count(finishedHeading), 1);

        // Rows step one text line from three lines below the sheet; the
        // gripper row stands on a whole twip and the rows after it follow on.
        const double h = s.surface.textHeight();
        double y = s.view.placement(row.diagram).sheetBottom + 3 * h;
        std::size_t i = 0;
        for (const DrawOp &op : opsOf(s.surface, Kind::Text)) {
            if (op.x1 != left + 1540 || i >= row.expected.size())
                continue;
            if (row.expected[i++].first == "  = GRIPPER   ") {
                // The legend box sits in the row, hatched like the strip.
                const auto boxes = opsOf(s.surface, Kind::Box);
                const auto legend = std::find_if(boxes.begin(), boxes.end(),
                                                 [](const DrawOp &b) { return b.x1 == 700; });
                ASSERT_NE(legend, boxes.end());
                EXPECT_EQ(legend->fillStyle, FillStyle::DiagonalCross);
                EXPECT_DOUBLE_EQ(legend->x2, 920);
                EXPECT_NEAR(legend->y1, y + 30, 1e-6);
                EXPECT_NEAR(legend->y2, y + 150, 1e-6);
                y = std::nearbyint(y);
            }
            EXPECT_NEAR(op.y1, y, 1e-6) << op.text;
            y += h;
        }
        EXPECT_EQ(i, row.expected.size());
    }
}

TEST(ScreenPanel, PieceLargerThanSheetStopsAfterItsOutline) {
    Screen s;
    s.session.cells.txtSize[0] = "12x18";
    s.session.cmdNext_Click();
    ASSERT_EQ(s.sink.messages.size(), 1u);
    EXPECT_TRUE(opsOf(s.surface, Kind::BoxGrid).empty());
    EXPECT_EQ(s.count("PSW"), 1);
    EXPECT_EQ(s.count(pressHeading), 0);
}

} // namespace
