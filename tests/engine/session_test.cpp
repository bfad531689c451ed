#include "layoutsession.h"
#include "panel.h"
#include "recordingsink.h"
#include "sheetsize.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace sheetcraft;

namespace {

// Logs what the redraw asks to be drawn, one line per call.
class LogView : public RedrawView {
public:
    void clear() override { log.push_back("clear"); }
    void drawSheet(const DiagramValues &v) override
    {
        log.push_back(std::string("sheet ") + (v.diagram == Diagram::Finished ? "F" : "P"));
    }
    void drawLayout(const DiagramValues &v, const std::vector<PanelRow> &) override
    {
        log.push_back(std::string("layout ") + (v.diagram == Diagram::Finished ? "F" : "P") +
                      std::to_string(v.frame));
    }
    std::vector<std::string> log;
};

struct Session {
    test::RecordingSink sink;
    LogView view;
    LayoutSession s{sink, &view};
};

std::string wasteOf(const DiagramValues &v) { return panelRows(v).back().value; }

TEST(Frames, FinishedDiagramDefaultsInEachFrame)
{
    Session t;
    struct Expect {
        int frame;
        double frameOut;
        const char *waste;
    };
    const Expect expected[] = {{1, 25, " 19.8%"}, {2, 28, " 10.2%"}, {3, 24, " 23.0%"},
                               {4, 29, " 7.0%"},  {1, 25, " 19.8%"}};
    for (const auto &e : expected) {
        t.s.cmdNext_Click();
        ASSERT_TRUE(t.s.finished());
        EXPECT_EQ(t.s.frames.fssFrame, e.frame);
        EXPECT_EQ(t.s.frames.fssFrameOut, e.frameOut);
        EXPECT_EQ(t.s.finished()->maximumOut(), 29);
        EXPECT_EQ(wasteOf(*t.s.finished()), e.waste);
    }
    EXPECT_EQ(t.s.cmdNextCaption, "Next 1");
    EXPECT_TRUE(t.sink.messages.empty());
}

TEST(Frames, PressDiagramSkipsEmptyStaggerFrames)
{
    Session t;
    t.s.cmdNextPSS_Click();
    EXPECT_EQ(t.s.frames.pssFrame, 1);
    EXPECT_EQ(t.s.frames.fssFrame, 1);
    EXPECT_EQ(t.s.frames.pssFrameOut, 4);
    EXPECT_EQ(wasteOf(*t.s.press()), " 7.1%");

    t.view.log.clear();
    t.s.cmdNextPSS_Click(); // frame 2 has no stagger: on to 3
    EXPECT_EQ(t.s.frames.pssFrame, 3);
    EXPECT_EQ(t.s.frames.pssFrameOut, 3);
    EXPECT_EQ(wasteOf(*t.s.press()), " 30.3%");
    // The empty frame's picture is cleared and the next one drawn from the start.
    EXPECT_EQ(t.view.log.back(), "layout P3");
    EXPECT_EQ(std::count(t.view.log.begin(), t.view.log.end(), "layout P3"), 1);

    t.s.cmdNextPSS_Click(); // frame 4 empty too: wraps to 1
    EXPECT_EQ(t.s.frames.pssFrame, 1);
    EXPECT_EQ(t.s.press()->maximumOut(), 4);
    EXPECT_EQ(t.s.cmdNextPSSCaption, "Next 1");
}

TEST(Frames, FrameZeroIsLaidOutAsFrameOne)
{
    Session t;
    t.s.DrawSheet();
    ASSERT_TRUE(t.s.finished());
    EXPECT_EQ(t.s.finished()->frame, 0);
    EXPECT_EQ(t.s.finished()->standardOut(), 25);
    EXPECT_EQ(panelRows(*t.s.finished()).front().value, " 0 ");
}

struct GripperCase {
    const char *name;
    bool optWidth;
    double sheetWidth, sheetDepth;
};

class Gripper : public ::testing::TestWithParam<GripperCase> {};

TEST_P(Gripper, ComesOffTheChosenEdgeOnly)
{
    Session t;
    t.s.cells.txtGrip = "0.5";
    t.s.cells.optWidth = GetParam().optWidth;
    t.s.cmdNext_Click();
    const auto &v = *t.s.finished();
    EXPECT_EQ(v.sheetWidth, GetParam().sheetWidth);
    EXPECT_EQ(v.sheetDepth, GetParam().sheetDepth);
    EXPECT_EQ(v.fullSheetWidth, 17);
    EXPECT_EQ(v.fullSheetDepth, 11);
    EXPECT_EQ(v.piecesAcross * v.piecesDown, v.standardOut());
    // The strip is waste: the area is still the whole 17 x 11 sheet.
    EXPECT_EQ(wasteOf(v), " 19.8%");
    // The press diagram has no gripper.
    EXPECT_EQ(t.s.press()->sheetDepth, 23);
}

INSTANTIATE_TEST_SUITE_P(Edges, Gripper,
                         ::testing::Values(GripperCase{"width", true, 17, 10.5},
                                           GripperCase{"depth", false, 16.5, 11}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Gripper, NonFiniteOrNegativeCountsAsNone)
{
    for (const char *grip : {"1e999", "-1", "abc"}) {
        Session t;
        t.s.cells.txtGrip = grip;
        t.s.cmdNext_Click();
        ASSERT_TRUE(t.s.finished()) << grip;
        EXPECT_EQ(t.s.finished()->sheetDepth, 11) << grip;
        EXPECT_EQ(panelRows(*t.s.finished()).size(), 8u) << grip; // no gripper row
    }
}

TEST(Gripper, WiderThanTheSheetDoesNotFit)
{
    Session t;
    t.s.cells.txtGrip = "11";
    t.s.cmdNext_Click();
    EXPECT_EQ(t.s.lastOutcome(), RedrawOutcome::FinishedDoesNotFit);
    EXPECT_EQ(t.sink.messages, std::vector<std::string>{doesNotFitMessage});
}

TEST(Redraw, FinishedLargerThanPressStopsBeforeThePressDiagram)
{
    Session t;
    t.s.cells.txtSize[0] = "12x18";
    t.s.cmdNext_Click();
    EXPECT_EQ(t.s.lastOutcome(), RedrawOutcome::FinishedDoesNotFit);
    EXPECT_EQ(t.sink.messages.size(), 1u);
    EXPECT_EQ(t.view.log.back(), "sheet F");
    EXPECT_FALSE(t.s.press());
}

TEST(Redraw, StorageCellsHoldTheLargerNumberFirst)
{
    Session t;
    t.s.cells.txtSize[0] = "3x2"; // 3x2 and 2x3 store alike
    t.s.cells.txtSize[1] = "17X11";
    t.s.Command1_Click();
    EXPECT_EQ(t.s.cells.txtFSS, "3x2");
    EXPECT_EQ(t.s.cells.txtSize[1], "17x11");
    EXPECT_EQ(t.s.cells.txtPSS, "17x11");
    EXPECT_EQ(t.s.cells.txtPARS, "35x23");
    EXPECT_EQ(t.s.frames.fssFrameOut, 25);
}

class BadSizes : public ::testing::TestWithParam<std::pair<int, const char *>> {};

TEST_P(BadSizes, AreRefusedAndChangeNothing)
{
    Session t;
    t.s.cmdNext_Click(); // a good picture first
    const auto frames = t.s.frames;
    const auto storage = t.s.cells.txtPSS;
    t.view.log.clear();

    t.s.cells.txtSize[GetParam().first] = GetParam().second;
    t.s.cmdNext_Click();
    t.s.cmdNextPSS_Click();
    t.s.Command1_Click();
    t.s.cmdMaxOut_Click();
    t.s.DrawSheet();

    EXPECT_EQ(t.sink.messages.size(), 5u);
    for (const auto &m : t.sink.messages)
        EXPECT_EQ(m, incorrectSizeMessage);
    EXPECT_TRUE(t.view.log.empty()) << "nothing drawn or cleared";
    EXPECT_EQ(t.s.frames.fssFrame, frames.fssFrame);
    EXPECT_EQ(t.s.frames.pssFrame, frames.pssFrame);
    EXPECT_EQ(t.s.cells.txtPSS, storage);
    EXPECT_EQ(t.s.lastOutcome(), RedrawOutcome::RefusedSize);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, BadSizes,
    ::testing::Values(std::pair{1, "1117"}, std::pair{0, "x3"}, std::pair{0, "2x"},
                      std::pair{0, "0x3"}, std::pair{2, "-23x35"}, std::pair{0, "axb"},
                      std::pair{0, "1e999x3"}, std::pair{1, "0.01x0.04"},
                      std::pair{2, "0.02x0.03"}));

TEST(Redraw, TinyFinishedSheetIsNotRefused)
{
    Session t;
    t.s.cells.txtSize[0] = "0.002x0.002";
    t.s.cmdNext_Click();
    ASSERT_TRUE(t.s.finished());
    EXPECT_EQ(t.s.finished()->standardOut(), 8500.0 * 5500.0);
    EXPECT_TRUE(t.sink.messages.empty());
}

TEST(Maximize, DefaultsEndOnTheFirstBestFrames)
{
    Session t;
    t.s.cmdMaxOut_Click();
    EXPECT_EQ(t.s.frames.fssFrame, 4);
    EXPECT_EQ(t.s.frames.pssFrame, 1);
    EXPECT_EQ(t.s.cmdNextCaption, "Next 4");
    EXPECT_EQ(t.s.cmdNextPSSCaption, "Next 1");
    EXPECT_EQ(t.s.frames.stepMode, 0);
    EXPECT_EQ(t.s.frames.fssFrameOut, 29);

    t.s.Command1_Click(); // Clear after Maximize
    EXPECT_EQ(t.s.frames.fssFrame, 1);
    EXPECT_EQ(t.s.frames.pssFrame, 1);
}

TEST(Maximize, UprightPlainGridAlreadyBestStopsOnFrameOne)
{
    Session t;
    t.s.cells.txtSize[0] = "11x17";
    t.s.cells.txtSize[1] = "23x35";
    t.s.cmdMaxOut_Click();
    EXPECT_EQ(t.s.frames.fssFrame, 1);
    EXPECT_EQ(t.s.frames.fssFrameOut, 4);
}

// Frame 1 is empty (the gripper leaves the sheet narrower than the piece's
// long side) while a count left over from showing frame 3 equals the maximum.
TEST(Maximize, NeverSettlesOnAnEmptyFrame)
{
    Session t;
    t.s.cells.txtSize[0] = "10x12";
    t.s.cells.txtSize[1] = "13x17";
    t.s.cells.txtGrip = "6";
    t.s.cells.optWidth = false;
    t.s.Command1_Click(); // frames 1 and 2 empty: the skip rule lands on 3
    ASSERT_EQ(t.s.frames.fssFrame, 3);
    ASSERT_EQ(t.s.frames.fssFrameOut, 1);

    t.s.cmdMaxOut_Click();
    EXPECT_EQ(t.s.frames.fssFrame, 3);
    ASSERT_TRUE(t.s.finished());
    EXPECT_FALSE(t.s.finished()->isEmpty());
}

TEST(Maximize, PieceThatDoesNotFitWarnsOnce)
{
    Session t;
    t.s.cells.txtSize[0] = "12x18";
    t.s.cmdMaxOut_Click();
    EXPECT_EQ(t.sink.messages.size(), 1u);
    EXPECT_EQ(t.s.frames.stepMode, 0);
}

TEST(LostFocus, NormalisesAndCopiesIntoStorage)
{
    Session t;
    t.s.cells.txtSize[1] = "17X11";
    t.s.txtSize_LostFocus(1);
    EXPECT_EQ(t.s.cells.txtSize[1], "11x17");
    EXPECT_EQ(t.s.cells.txtPSS, "11x17");
    EXPECT_EQ(t.s.cells.txtFSS, "2x3");
    EXPECT_TRUE(t.sink.messages.empty());

    t.s.cells.txtSize[0] = "3x2";
    t.s.cells.txtSize[1] = "17x11";
    t.s.txtSize_LostFocus(0); // press storage untouched: last step was not on it
    EXPECT_EQ(t.s.cells.txtFSS, "2x3");
    EXPECT_EQ(t.s.cells.txtPSS, "11x17");
    EXPECT_TRUE(t.view.log.empty()) << "leaving a cell draws nothing";
}

TEST(LostFocus, BadSizeWarnsAndStaysAsTyped)
{
    Session t;
    t.s.cells.txtSize[1] = "1117";
    t.s.txtSize_LostFocus(1);
    EXPECT_EQ(t.s.cells.txtSize[1], "1117");
    EXPECT_EQ(t.s.cells.txtPSS, "PSS");
    EXPECT_EQ(t.sink.messages, std::vector<std::string>{incorrectSizeMessage});

    t.s.cells.txtSize[0] = "8.5 x 11";
    t.s.txtSize_LostFocus(0);
    EXPECT_EQ(t.s.cells.txtSize[0], "8.5 x 11");
    EXPECT_EQ(t.sink.messages.size(), 1u);
}

TEST(LostFocus, AfterAPressStepAlsoChecksThePressCell)
{
    Session t;
    t.s.cmdNextPSS_Click();
    t.s.cells.txtSize[1] = "1117";
    t.s.txtSize_LostFocus(0);
    EXPECT_EQ(t.s.cells.txtPSS, "1117");
    EXPECT_EQ(t.sink.messages, std::vector<std::string>{incorrectSizeMessage});
}

TEST(ScreenShowsCells, FollowsEveryInputOfTheRedraw)
{
    Session t;
    EXPECT_FALSE(t.s.screenShowsCells()) << "nothing drawn yet";
    t.s.cmdNext_Click();
    EXPECT_TRUE(t.s.screenShowsCells());

    t.s.txtSize_LostFocus(0); // entry form copied into the storage cell
    EXPECT_FALSE(t.s.screenShowsCells());
    t.s.DrawSheet();
    EXPECT_TRUE(t.s.screenShowsCells());

    t.s.cells.txtGrip = "0.25";
    EXPECT_FALSE(t.s.screenShowsCells());
}

TEST(Panel, StaggerAndGripperRowsInOrder)
{
    Session t;
    t.s.cells.txtGrip = "0.5";
    t.s.cmdNext_Click();
    t.s.cmdNext_Click(); // frame 2: 5 x 5 grid on 17 x 10.5 plus a side block
    std::vector<std::string> captions;
    for (const auto &row : panelRows(*t.s.finished()))
        captions.push_back(row.caption + "|" + row.value);
    const std::vector<std::string> expected = {
        " FRAME #            | 2 ",      " STANDARD OUT       | 25 ",
        " STAGGER OUT        | 3 ",      " TOTAL OUT          | 28 ",
        " MAXIMUM OUT        | 28 ",     " PSW-SHT WIDTH      | 17.0000",
        " PSD-SHT DEPTH      | 11.0000", "  = GRIPPER   | 0.5000",
        " X=FIN SHT DIM      | 3.0000",  " Y=FIN SHT DIM      | 2.0000",
        " x=SWING CUT        | 2.0000",  " y=SWING CUT        | 3.0000",
        " % STOCK WASTE      | 10.2%"};
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(t.s.cells.txtSwap[0], " 2");
}

TEST(Panel, PressRowsAndReportCaptions)
{
    Session t;
    t.s.cmdNext_Click();
    const auto screen = panelRows(*t.s.press());
    EXPECT_EQ(screen[3].caption, " WID-SHT WIDTH      ");
    EXPECT_EQ(screen[3].value, " 35.0000");
    EXPECT_EQ(screen[5].caption, " X=PRS SHT DIM      ");
    const auto report = panelRows(*t.s.press(), PanelMedium::Report);
    EXPECT_EQ(report[3].caption, " PARS-SHT WIDTH     ");
    EXPECT_EQ(report[4].caption, " PARS-SHT DEPTH     ");
}

} // namespace
