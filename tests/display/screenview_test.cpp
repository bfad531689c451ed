#include "layoutsession.h"
#include "oprecords.h"
#include "recordingsink.h"
#include "recordingsurface.h"
#include "screenview.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

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
};

const Rows frame1Rows = {
    {" FRAME #            ", " 1 "},      {" STANDARD OUT       ", " 25 "},
    {" MAXIMUM OUT        ", " 29 "},     {" PSW-SHT WIDTH      ", " 17.0000"},
    {" PSD-SHT DEPTH      ", " 11.0000"}, {" X=FIN SHT DIM      ", " 3.0000"},
    {" Y=FIN SHT DIM      ", " 2.0000"},  {" % STOCK WASTE      ", " 19.8%"},
};

TEST(ScreenPanel, FinishedDiagramRowsPerFrame) {
    struct Row {
        const char *name;
        int steps;
        const char *grip;
        Rows expected;
    };
    Rows frame0 = frame1Rows;
    frame0[0].second = " 0 ";
    const Rows frame2 = {
        {" FRAME #            ", " 2 "},      {" STANDARD OUT       ", " 25 "},
        {" STAGGER OUT        ", " 3 "},      {" TOTAL OUT          ", " 28 "},
        {" MAXIMUM OUT        ", " 29 "},     {" PSW-SHT WIDTH      ", " 17.0000"},
        {" PSD-SHT DEPTH      ", " 11.0000"}, {" X=FIN SHT DIM      ", " 3.0000"},
        {" Y=FIN SHT DIM      ", " 2.0000"},  {" x=SWING CUT        ", " 2.0000"},
        {" y=SWING CUT        ", " 3.0000"},  {" % STOCK WASTE      ", " 10.2%"},
    };
    Rows gripper = frame1Rows;
    gripper.insert(gripper.begin() + 5, {"  = GRIPPER   ", " 0.5000"});
    gripper[2].second = " 28 "; // counted on the 17 x 10.5 usable sheet

    for (const Row &row :
         {Row{"before the first step", 0, "0.00", frame0}, Row{"frame 1", 1, "0.00", frame1Rows},
          Row{"frame 2", 2, "0.00", frame2}, Row{"gripper on the width edge", 1, "0.5", gripper}}) {
        SCOPED_TRACE(row.name);
        Screen s;
        s.session.cells.txtGrip = row.grip;
        if (row.steps == 0)
            s.session.DrawSheet();
        for (int i = 0; i < row.steps; ++i)
            s.session.cmdNext_Click();
        EXPECT_EQ(s.panel(640), row.expected);
        EXPECT_TRUE(s.sink.messages.empty());
    }
}

TEST(ScreenPanel, RowsStepOneTextLineFromThreeLinesBelowTheSheet) {
    Screen s;
    s.session.cells.txtGrip = "0.5";
    s.session.cmdNext_Click();
    const double h = s.surface.textHeight();
    const double bottom = s.view.placement(Diagram::Finished).sheetBottom;
    std::vector<double> ys;
    for (const DrawOp &op : opsOf(s.surface, Kind::Text))
        if (op.x1 == 2180)
            ys.push_back(op.y1);
    ASSERT_EQ(ys.size(), 9u);
    // The gripper row (the sixth) stands on a whole twip; the rows after it
    // follow on from there.
    const double gripperY = ys[4] + h;
    for (std::size_t i = 0; i < ys.size(); ++i) {
        const double expected =
            i < 5 ? bottom + (3 + double(i)) * h : std::nearbyint(gripperY) + double(i - 5) * h;
        EXPECT_NEAR(ys[i], expected, 1e-6) << "row " << i;
    }

    // The legend box sits in the gripper row, hatched like the strip.
    const auto boxes = opsOf(s.surface, Kind::Box);
    const auto legend =
        std::find_if(boxes.begin(), boxes.end(), [](const DrawOp &b) { return b.x1 == 700; });
    ASSERT_NE(legend, boxes.end());
    EXPECT_DOUBLE_EQ(legend->x2, 920);
    EXPECT_NEAR(legend->y1, gripperY + 30, 1e-6);
    EXPECT_NEAR(legend->y2, gripperY + 150, 1e-6);
    EXPECT_EQ(legend->fillColour, blue);
    EXPECT_EQ(legend->fillStyle, FillStyle::DiagonalCross);
}

TEST(ScreenPanel, PressDiagramAfterSkippingAnEmptyFrame) {
    Screen s;
    s.session.cmdNextPSS_Click();
    s.session.cmdNextPSS_Click(); // frame 2 has no stagger block: shows frame 3
    const Rows rows = s.panel(4000);
    ASSERT_GE(rows.size(), 7u);
    EXPECT_EQ(rows[0], (std::pair<std::string, std::string>{" FRAME #            ", " 3 "}));
    EXPECT_EQ(rows[1].second, " 3 ");
    EXPECT_EQ(rows[3], (std::pair<std::string, std::string>{" WID-SHT WIDTH      ", " 35.0000"}));
    EXPECT_EQ(rows[4], (std::pair<std::string, std::string>{" DEP-SHT DEPTH      ", " 23.0000"}));
    EXPECT_EQ(rows.back(), (std::pair<std::string, std::string>{" % STOCK WASTE      ", " 30.3%"}));
    // The skipped redraw left nothing behind: one heading of each diagram.
    int headings = 0;
    for (const DrawOp &op : opsOf(s.surface, Kind::Text))
        headings += op.text == pressHeading || op.text == finishedHeading;
    EXPECT_EQ(headings, 2);
}

TEST(ScreenPanel, PieceLargerThanSheetStopsAfterItsOutline) {
    Screen s;
    s.session.cells.txtSize[0] = "12x18";
    s.session.cmdNext_Click();
    ASSERT_EQ(s.sink.messages.size(), 1u);
    EXPECT_EQ(opsOf(s.surface, Kind::BoxGrid).size(), 0u);
    const auto texts = opsOf(s.surface, Kind::Text);
    EXPECT_TRUE(std::none_of(texts.begin(), texts.end(),
                             [](const DrawOp &t) { return t.text == pressHeading; }));
    EXPECT_TRUE(
        std::any_of(texts.begin(), texts.end(), [](const DrawOp &t) { return t.text == "PSW"; }));
}

} // namespace
